#pragma once

// The 32-byte output report that sets the receiver's mode: buttons only, or
// buttons and motion.

#include <cstdint>

struct modeReport
{
    uint8_t bytes[32];
};

static_assert(sizeof(modeReport) == 32);

/// 55 AA 55 AA B7 01 02 11, then 00 for buttons only or 01 for buttons and
/// motion, then zeros.
modeReport modeReportFor(bool buttonsOnly);

/// Send the mode report for buttons only (Off: byte 8 = 0) or for buttons and
/// motion (On: byte 8 = 1) to the slot: 1 when the send failed, else 0.
int sendModeReportOff(int slot);
int sendModeReportOn(int slot);
