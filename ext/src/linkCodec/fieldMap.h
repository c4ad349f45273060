#pragma once

// A message body as a list of field copies between message bytes and report
// bytes. Decoders run the list from the report into the message, encoders
// from the message into the report; one small interpreter serves every type.

#include <cstddef>
#include <cstdint>
#include <span>

#include "linkCodec/zephraMessage.h"

namespace vnx::linkCodec {

enum class FieldKind : uint8_t
{
    Bytes,        ///< count bytes copied unchanged
    Words16,      ///< count 16-bit integers, little-endian on the wire
    Words32,      ///< count 32-bit integers, little-endian on the wire
    Flags,        ///< count one-byte flags (bit 0) <-> wire bits from `bit` up
    BitField,     ///< a 32-bit message value <-> `bits` wire bits from `bit`
    Zero,         ///< count zero bytes written (into the message when decoding,
                  ///< into the report when encoding)
    OrientationW, ///< the quaternion's W, computed from the X, Y, Z on the wire
};

struct FieldOp
{
    FieldKind kind;
    uint8_t message; ///< first message byte
    uint8_t wire;    ///< first report byte
    uint8_t count;   ///< bytes, integers or flags
    uint8_t bit;     ///< first wire bit of Flags and BitField
    uint8_t bits;    ///< width of a BitField; 0 encodes the value unmasked
};

/// Message byte of a body field, e.g. ZEPHRA_AT(UserFrame.deltaX).
#define ZEPHRA_AT(path) static_cast<uint8_t>(offsetof(zephra_message, body.path))

constexpr FieldOp bytes(uint8_t message, uint8_t wire, uint8_t count)
{
    return {FieldKind::Bytes, message, wire, count, 0, 0};
}
constexpr FieldOp words16(uint8_t message, uint8_t wire, uint8_t count = 1)
{
    return {FieldKind::Words16, message, wire, count, 0, 0};
}
constexpr FieldOp words32(uint8_t message, uint8_t wire, uint8_t count = 1)
{
    return {FieldKind::Words32, message, wire, count, 0, 0};
}
constexpr FieldOp flags(uint8_t message, uint8_t wire, uint8_t firstBit, uint8_t count)
{
    return {FieldKind::Flags, message, wire, count, firstBit, 0};
}
constexpr FieldOp bitField(uint8_t message, uint8_t wire, uint8_t firstBit, uint8_t bits)
{
    return {FieldKind::BitField, message, wire, 1, firstBit, bits};
}
/// Encodes the whole 32-bit value shifted to `firstBit` and cut to the byte:
/// a value wider than its nibble spills into the bits above it.
constexpr FieldOp unmaskedField(uint8_t message, uint8_t wire, uint8_t firstBit)
{
    return {FieldKind::BitField, message, wire, 1, firstBit, 0};
}
/// Decoding: count message bytes set to 0.
constexpr FieldOp zeroMessage(uint8_t message, uint8_t count)
{
    return {FieldKind::Zero, message, 0, count, 0, 0};
}
/// Encoding: count report bytes set to 0.
constexpr FieldOp zeroWire(uint8_t wire, uint8_t count)
{
    return {FieldKind::Zero, 0, wire, count, 0, 0};
}
/// W into the message from the X, Y, Z (three 16-bit words) at `wire`.
constexpr FieldOp orientationW(uint8_t message, uint8_t wire)
{
    return {FieldKind::OrientationW, message, wire, 1, 0, 0};
}

using FieldMap = std::span<const FieldOp>;

/// Message bytes [first, end) and report bytes [first, end) an op touches.
struct FieldExtent
{
    unsigned messageEnd;
    unsigned wireEnd;
};
constexpr FieldExtent extentOf(const FieldOp& op, bool decoding)
{
    const unsigned message = op.message;
    const unsigned wire = op.wire;
    const unsigned count = op.count;
    switch (op.kind) {
    case FieldKind::Bytes:
        return {message + count, wire + count};
    case FieldKind::Words16:
        return {message + 2 * count, wire + 2 * count};
    case FieldKind::Words32:
        return {message + 4 * count, wire + 4 * count};
    case FieldKind::Flags:
        return {message + count, wire + 1};
    case FieldKind::BitField:
        return {message + 4, wire + 1};
    case FieldKind::Zero:
        return decoding ? FieldExtent{message + count, 0} : FieldExtent{0, wire + count};
    case FieldKind::OrientationW:
        return {message + 2, wire + 6};
    }
    return {~0u, ~0u};
}

/// Fills message fields from a report that holds every byte the map reads.
void decodeFields(FieldMap fields, const uint8_t* report, uint8_t* message);

/// Writes the report bytes of the map from the message. Bytes that hold
/// flags or bit fields are written whole; others the map omits stay as they were.
void encodeFields(FieldMap fields, const uint8_t* message, uint8_t* report);

} // namespace vnx::linkCodec
