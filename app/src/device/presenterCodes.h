#pragma once

// The codes at packet byte 4 (input report byte 3) of button packets (kind 3)
// and receiver-status packets (kind 8).

#include <cstdint>

enum presenterButtonCode : uint8_t
{
    presenterButtonPointerDown = 4,
    presenterButtonPointerUp = 5,
    presenterButtonHotDown = 7,
    presenterButtonHotUp = 8,
    presenterButtonHotClick = 9,
};

enum receiverStatusCode : uint8_t
{
    receiverStatusPaired = 0xB1,
    receiverStatusIdentity = 0xB9, ///< the presenter's identity is the packet's device number
    receiverStatusBattery = 0xBA,  ///< packet byte 6: the battery level
    receiverStatusFirmware = 0xBB, ///< packet bytes 6-13: the firmware version
};
