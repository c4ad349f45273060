#pragma once

// How one message type looks on the wire in each protocol version: its report
// id, sub-id and length, and the field map of its body.

#include <array>
#include <cstdint>

#include "linkCodec/fieldMap.h"

namespace vnx::linkCodec {

enum class Direction : uint8_t
{
    In,  ///< device to host: decoded
    Out, ///< host to device: encoded
};

inline constexpr int kVersionCount = 3;

/// Where the sub-id (or report 41's type byte) stands in a report of a
/// version: after the version-2 frame header, right after the version-1 id.
constexpr unsigned subIdByte(unsigned version)
{
    return version == 2 ? 4u : 1u;
}

struct Form
{
    uint8_t length = 0; ///< exact report length (out) or minimum (in); 0: no form
    uint8_t reportId = 0;
    int16_t subId = -1; ///< -1: the report id alone names the type
    FieldMap fields{};

    constexpr bool exists() const { return length != 0; }
};

/// A form: report id, sub-id (-1 for none), length and body.
constexpr Form form(uint8_t reportId, int16_t subId, uint8_t length, FieldMap fields = {})
{
    return {length, reportId, subId, fields};
}

inline constexpr Form kNoForm{};

struct MessageLayout
{
    Direction direction;
    std::array<Form, kVersionCount> forms; ///< by protocol version
    /// Called directly, the decoder copies the version-2 length, destination
    /// and source into the message (the dispatcher always does).
    bool headerWhenDirect = true;
};

constexpr MessageLayout out(Form v0, Form v1, Form v2)
{
    return {Direction::Out, {v0, v1, v2}};
}
constexpr MessageLayout in(Form v0, Form v1, Form v2, bool headerWhenDirect = true)
{
    return {Direction::In, {v0, v1, v2}, headerWhenDirect};
}

} // namespace vnx::linkCodec
