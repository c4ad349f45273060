#pragma once

#include "../support/scopedTempDir.h"
