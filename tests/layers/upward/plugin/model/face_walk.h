#pragma once
#include "plugin/hostlink/host_functions.h"
#include "plugin/widgets/dialog.h"
