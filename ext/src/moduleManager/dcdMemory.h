#pragma once

// Room for one DCD record of any form: the largest is 260 bytes. Every DCD
// the module host copies is bounded by this size, whatever a record's own
// size field says.

#include <cstddef>
#include <cstdint>

#include "calibration/dcdData.h"

constexpr size_t kVnxDcdMemorySize = 260;

typedef union vnx_dcdMemory_s
{
    vnx_dcdData_s head;
    uint8_t bytes[kVnxDcdMemorySize];
} vnx_dcdMemory_s;

static_assert(sizeof(vnx_dcdMemory_s) == kVnxDcdMemorySize);
