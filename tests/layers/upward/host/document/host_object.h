#pragma once
#include "plugin/model/uv_pair.h"
