#pragma once
#include "plugin/model/cmq_object.h"
