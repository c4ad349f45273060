#pragma once

// Field maps of the flash-record messages. The version-1 families of the three
// memories share one shape, so one map serves each of them.

#include "linkCodec/fieldMap.h"

namespace vnx::linkCodec::fields {

// Version 2, host to device: report byte 5 is 0, the body follows from 6.
inline constexpr FieldOp kFrsWriteRequestV2[] = {
    zeroWire(5, 1), words16(ZEPHRA_AT(FRSWriteRequest.recordLength), 6, 2), // length, record type
};
inline constexpr FieldOp kFrsWriteDataV2[] = {
    zeroWire(5, 1),
    words16(ZEPHRA_AT(FRSWriteData.wordOffset), 6),
    words32(ZEPHRA_AT(FRSWriteData.data), 8),
};
inline constexpr FieldOp kFrsReadRequestV2[] = {
    zeroWire(5, 1), words16(ZEPHRA_AT(FRSReadRequest.wordOffset), 6, 3), // offset, record type, word count
};

// Version 2, device to host.
inline constexpr FieldOp kFrsWriteResponseV2[] = {
    bytes(ZEPHRA_AT(FRSWriteResponse.status), 5, 1),
    words16(ZEPHRA_AT(FRSWriteResponse.wordOffset), 6),
};
inline constexpr FieldOp kFrsReadResponseV2[] = {
    bitField(ZEPHRA_AT(FRSReadResponse.status), 5, 0, 4),
    bitField(ZEPHRA_AT(FRSReadResponse.wordCount), 5, 4, 4),
    words16(ZEPHRA_AT(FRSReadResponse.wordOffset), 6),
    words32(ZEPHRA_AT(FRSReadResponse.data), 8, 3),
    words16(ZEPHRA_AT(FRSReadResponse.trailingWord), 20),
};
inline constexpr FieldOp kFrsReadResponseBleV2[] = {
    bitField(ZEPHRA_AT(FRSReadResponseBLE.status), 5, 0, 4),
    bitField(ZEPHRA_AT(FRSReadResponseBLE.wordCount), 5, 4, 4),
    words16(ZEPHRA_AT(FRSReadResponseBLE.wordOffset), 6),
    words32(ZEPHRA_AT(FRSReadResponseBLE.data), 8, 2),
    words16(ZEPHRA_AT(FRSReadResponseBLE.trailingWords), 16, 2),
};

// Version 1, any memory.
inline constexpr FieldOp kFrsReadRequestV1[] = {bytes(ZEPHRA_AT(FRSHandheldReadRequest.request), 2, 6)};
inline constexpr FieldOp kFrsWriteRequestV1[] = {bytes(ZEPHRA_AT(FRSHandheldWriteRequest.request), 2, 4)};
inline constexpr FieldOp kFrsWriteDataV1[] = {
    words16(ZEPHRA_AT(FRSHandheldWriteData.wordOffset), 2),
    words32(ZEPHRA_AT(FRSHandheldWriteData.data), 4),
};
inline constexpr FieldOp kFrsReadResponseV1[] = {
    words16(ZEPHRA_AT(FRSHandheldReadResponse.wordOffset), 2),
    words32(ZEPHRA_AT(FRSHandheldReadResponse.data), 4, 5),
    bitField(ZEPHRA_AT(FRSHandheldReadResponse.status), 24, 0, 4),
    bitField(ZEPHRA_AT(FRSHandheldReadResponse.wordCount), 24, 4, 4),
    words16(ZEPHRA_AT(FRSHandheldReadResponse.trailingWord), 25),
};
inline constexpr FieldOp kFrsWriteResponseV1[] = {
    words16(ZEPHRA_AT(FRSHandheldWriteResponse.wordOffset), 2),
    bytes(ZEPHRA_AT(FRSHandheldWriteResponse.status), 4, 1),
};

} // namespace vnx::linkCodec::fields
