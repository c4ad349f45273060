#pragma once

// Field maps of the boot loader, firmware update, debugging, parameter,
// statistics, coprocessor and performance-counter messages.

#include "linkCodec/fieldMap.h"

namespace vnx::linkCodec::fields {

// Host to device.
inline constexpr FieldOp kUsbBootCommandV0[] = {bytes(ZEPHRA_AT(USBBootCommand.command), 1, 1)};
inline constexpr FieldOp kUsbBootDataV0[] = {bytes(ZEPHRA_AT(USBBootData.data), 1, 69)};

inline constexpr FieldOp kDebugRequestV1[] = {bytes(ZEPHRA_AT(DebugRequest.payloadV1), 2, 6)};
inline constexpr FieldOp kDebugRequestV2[] = {bytes(ZEPHRA_AT(DebugRequest.payloadV2), 5, 7)};

inline constexpr FieldOp kParameterRequestV1[] = {bytes(ZEPHRA_AT(ParameterRequest.command), 2, 6)};
inline constexpr FieldOp kParameterRequestV2[] = {
    bytes(ZEPHRA_AT(ParameterRequest.command), 5, 1),
    bytes(ZEPHRA_AT(ParameterRequest.value), 6, 4),
};

inline constexpr FieldOp kStatisticsRequestV1[] = {bytes(ZEPHRA_AT(StatisticsRequest.selector), 2, 2)};
inline constexpr FieldOp kStatisticsRequestV2[] = {bytes(ZEPHRA_AT(StatisticsRequest.statistic), 5, 1)};

inline constexpr FieldOp kDfuCommandV1[] = {bytes(ZEPHRA_AT(DfuCommand.command), 2, 4)};
inline constexpr FieldOp kDfuCommandV2[] = {
    zeroWire(5, 3),
    bytes(ZEPHRA_AT(DfuCommand.command), 8, 4),
};

inline constexpr FieldOp kUtRequestV1[] = {bytes(ZEPHRA_AT(UtRequest.payload), 2, 6)};
inline constexpr FieldOp kDongleResetToBootV1[] = {bytes(ZEPHRA_AT(DongleResetToBoot.payload), 2, 4)};
inline constexpr FieldOp kCp2ZspV1[] = {bytes(ZEPHRA_AT(CP2ZSP.data), 1, 18)};
inline constexpr FieldOp kPerRequestV2[] = {bytes(ZEPHRA_AT(PerRequest.payload), 5, 6)};

// Device to host.
inline constexpr FieldOp kUsbBootStatusV0[] = {
    bytes(ZEPHRA_AT(USBBootStatus.statusBytes), 1, 2),
    words32(ZEPHRA_AT(USBBootStatus.words), 3, 2),
    bytes(ZEPHRA_AT(USBBootStatus.trailingByte), 11, 1),
};

inline constexpr FieldOp kDebugResponseV1[] = {bytes(ZEPHRA_AT(DebugResponse.payloadV1), 2, 25)};
inline constexpr FieldOp kDebugResponseV2[] = {bytes(ZEPHRA_AT(DebugResponse.payloadV2), 5, 7)};

inline constexpr FieldOp kParameterResponseV1[] = {
    bytes(ZEPHRA_AT(ParameterResponse.command), 2, 2),
    words16(ZEPHRA_AT(ParameterResponse.values), 4, 2),
};
inline constexpr FieldOp kParameterResponseV2[] = {
    // Report bytes 6 and 7 are not read.
    bytes(ZEPHRA_AT(ParameterResponse.command), 5, 1),
    words16(ZEPHRA_AT(ParameterResponse.values), 8, 2),
};

inline constexpr FieldOp kDfuStatusResponseV1[] = {
    flags(ZEPHRA_AT(DFUStatusResponse.flags), 4, 0, 7),
    bytes(ZEPHRA_AT(DFUStatusResponse.state), 8, 1),
    words32(ZEPHRA_AT(DFUStatusResponse.words), 12, 2),
};
inline constexpr FieldOp kDfuStatusResponseV2[] = {
    flags(ZEPHRA_AT(DFUStatusResponse.flags), 5, 0, 7),
    bytes(ZEPHRA_AT(DFUStatusResponse.state), 6, 1),
    words32(ZEPHRA_AT(DFUStatusResponse.words), 7, 2),
};

// Version 1 fills the selector, the statistic and the version-1 payload in one
// run of 25 bytes.
inline constexpr FieldOp kStatisticsResponseV1[] = {bytes(ZEPHRA_AT(StatisticsResponse.selector), 2, 25)};
inline constexpr FieldOp kStatisticsResponseV2[] = {
    bytes(ZEPHRA_AT(StatisticsResponse.statistic), 5, 1),
    bytes(ZEPHRA_AT(StatisticsResponse.payloadV2), 6, 16),
};

inline constexpr FieldOp kZsp2CoprocessorV1[] = {bytes(ZEPHRA_AT(ZSP2Coprocessor.data), 2, 17)};
inline constexpr FieldOp kZsp2CoprocessorV2[] = {bytes(ZEPHRA_AT(ZSP2Coprocessor.data), 5, 17)};

inline constexpr FieldOp kPerResponseV2[] = {words32(ZEPHRA_AT(PerResponse.counters), 6, 4)};

} // namespace vnx::linkCodec::fields
