#pragma once

#include "../support/scopedEnv.h"
