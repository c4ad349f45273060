#pragma once

// The 20-byte unit the reader thread makes of every input report of the
// receiver and hands to the motion thread through the packet queue.

#include <cstddef>
#include <cstdint>

enum hidPacketKind : uint8_t
{
    hidPacketKindMotion = 1,
    hidPacketKindButton = 3,
    hidPacketKindStatus = 8,
};

struct hidPacket
{
    uint8_t reportByte0;  ///< input report byte 0
    uint8_t kind;         ///< input report byte 1: a hidPacketKind (others pass through)
    uint8_t deviceNumber; ///< input report byte 2: the presenter's identity on the receiver
    uint8_t unused;       ///< read by nobody; 0
    uint8_t payload[16];  ///< input report bytes 3-18: eight little-endian 16-bit words
};

static_assert(sizeof(hidPacket) == 20);
static_assert(offsetof(hidPacket, reportByte0) == 0);
static_assert(offsetof(hidPacket, kind) == 1);
static_assert(offsetof(hidPacket, deviceNumber) == 2);
static_assert(offsetof(hidPacket, unused) == 3);
static_assert(offsetof(hidPacket, payload) == 4);

/// Fills `packet` from the first `length` bytes of `report`; what the report
/// does not reach reads 0, so a short report never carries bytes of an
/// earlier one.
void hidPacketFill(hidPacket& packet, const uint8_t* report, size_t length);

/// A zeroed packet on the heap, or null when memory is short. The motion
/// thread frees what it pops with hidPacketFree.
hidPacket* hidPacketAllocate();
void hidPacketFree(hidPacket* packet);
