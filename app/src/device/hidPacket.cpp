#include "device/hidPacket.h"

#include <algorithm>
#include <new>

void hidPacketFill(hidPacket& packet, const uint8_t* report, size_t length)
{
    uint8_t bytes[19] = {};
    if (report != nullptr) {
        std::copy_n(report, std::min(length, sizeof bytes), bytes);
    }
    packet.reportByte0 = bytes[0];
    packet.kind = bytes[1];
    packet.deviceNumber = bytes[2];
    packet.unused = 0;
    std::copy_n(bytes + 3, sizeof packet.payload, packet.payload);
}

hidPacket* hidPacketAllocate()
{
    return new (std::nothrow) hidPacket{};
}

void hidPacketFree(hidPacket* packet)
{
    delete packet;
}
