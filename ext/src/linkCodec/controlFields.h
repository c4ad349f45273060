#pragma once

// Field maps of the messages that identify a device, switch its data mode and
// read or set its LEDs, link, battery and sensor settings. Version-2 host
// payloads start at report byte 5, version-1 ones at byte 2.

#include "linkCodec/fieldMap.h"

namespace vnx::linkCodec::fields {

// Host to device.

inline constexpr FieldOp kProductIdRequestV2[] = {bytes(ZEPHRA_AT(ProductIDRequest.selector), 5, 1)};

inline constexpr FieldOp kLedSetRequestV1[] = {bytes(ZEPHRA_AT(LEDSetRequest.led), 2, 2)};
inline constexpr FieldOp kLedSetRequestV2[] = {bytes(ZEPHRA_AT(LEDSetRequest.led), 5, 2)};

inline constexpr FieldOp kLinkQualityRequestV1[] = {bytes(ZEPHRA_AT(LinkQualityRequest.setting), 2, 1)};
inline constexpr FieldOp kLinkQualityRequestV2[] = {bytes(ZEPHRA_AT(LinkQualityRequest.setting), 5, 1)};

inline constexpr FieldOp kFrequencyFixRequestV1[] = {bytes(ZEPHRA_AT(FrequencyFixRequest.settings), 2, 6)};
inline constexpr FieldOp kFrequencyFixRequestV2[] = {bytes(ZEPHRA_AT(FrequencyFixRequest.settings), 5, 5)};

inline constexpr FieldOp kSoftwareResetV1[] = {bytes(ZEPHRA_AT(SoftwareResetMessage.resetKind), 2, 1)};

inline constexpr FieldOp kSupressHomeFrequencyV1[] = {
    bytes(ZEPHRA_AT(DongleRFSupressHomeFrequencyMessage.settings), 2, 2)};
inline constexpr FieldOp kSupressHomeFrequencyV2[] = {
    bytes(ZEPHRA_AT(DongleRFSupressHomeFrequencyMessage.settings), 5, 2)};

// The mode byte: flags 0-5 in bits 0-5, flag 6 in bit 7, and in version 2
// flag 7 in bit 6 (version 1 leaves bit 6 clear).
inline constexpr FieldOp kDataModeRequestV1[] = {
    flags(ZEPHRA_AT(DataModeRequest.modeFlags), 2, 0, 6),
    flags(ZEPHRA_AT(DataModeRequest.modeFlags[6]), 2, 7, 1),
};
inline constexpr FieldOp kDataModeRequestV2[] = {
    flags(ZEPHRA_AT(DataModeRequest.modeFlags), 5, 0, 6),
    flags(ZEPHRA_AT(DataModeRequest.modeFlags[7]), 5, 6, 1),
    flags(ZEPHRA_AT(DataModeRequest.modeFlags[6]), 5, 7, 1),
};

inline constexpr FieldOp kButtonTestModeRequestV1[] = {bytes(ZEPHRA_AT(ButtonTestModeRequest.mode), 2, 1)};
inline constexpr FieldOp kButtonTestModeRequestV2[] = {bytes(ZEPHRA_AT(ButtonTestModeRequest.mode), 5, 1)};

inline constexpr FieldOp kFtaStatusRequestV1[] = {
    flags(ZEPHRA_AT(FTAStatusRequest.flags), 2, 0, 3),
    flags(ZEPHRA_AT(FTAStatusRequest.flags[3]), 2, 7, 1),
};
inline constexpr FieldOp kFtaStatusRequestV2[] = {
    flags(ZEPHRA_AT(FTAStatusRequest.flags), 5, 0, 3),
    flags(ZEPHRA_AT(FTAStatusRequest.flags[3]), 5, 7, 1),
};

inline constexpr FieldOp kActivityNotificationV2[] = {
    bytes(ZEPHRA_AT(ActivityClassificationNotification.activity), 5, 1)};

inline constexpr FieldOp kDataModeControlV2RequestV2[] = {
    flags(ZEPHRA_AT(DataModeControlV2Request.enableFlag), 5, 0, 1),
    bitField(ZEPHRA_AT(DataModeControlV2Request.mode), 5, 1, 3),
    flags(ZEPHRA_AT(DataModeControlV2Request.modeFlag), 5, 4, 1),
    bytes(ZEPHRA_AT(DataModeControlV2Request.settings), 6, 2),
    flags(ZEPHRA_AT(DataModeControlV2Request.channelFlags), 8, 0, 8),
};

inline constexpr FieldOp kReorientationRequestV2[] = {
    flags(ZEPHRA_AT(ReorientationRequest.flagA), 5, 6, 2), // flags A, B in bits 6, 7
    bytes(ZEPHRA_AT(ReorientationRequest.payload), 6, 4),
};

inline constexpr FieldOp kSensorPeriodRequestV2[] = {
    flags(ZEPHRA_AT(SensorPeriodRequest.flagA), 5, 0, 2), // flags A, B in bits 0, 1
    bytes(ZEPHRA_AT(SensorPeriodRequest.sensor), 6, 1),
    zeroWire(7, 1),
    words32(ZEPHRA_AT(SensorPeriodRequest.sensorPeriod), 8),
};

inline constexpr FieldOp kBmsRequestV2[] = {bytes(ZEPHRA_AT(BmsRequest.setting), 5, 1)};

inline constexpr FieldOp kLedSetPatternRequestV2[] = {bytes(ZEPHRA_AT(LedSetPatternRequest.pattern), 5, 7)};

// Two settings per byte, sent unmasked (see zephra_SensorDriverRequest).
#define ZEPHRA_DRIVER_PAIR_OUT(i)                                                                            \
    unmaskedField(ZEPHRA_AT(SensorDriverRequest.settings[2 * (i)]), 5 + (i), 0),                             \
        unmaskedField(ZEPHRA_AT(SensorDriverRequest.settings[2 * (i) + 1]), 5 + (i), 4)
inline constexpr FieldOp kSensorDriverRequestV2[] = {
    ZEPHRA_DRIVER_PAIR_OUT(0), ZEPHRA_DRIVER_PAIR_OUT(1), ZEPHRA_DRIVER_PAIR_OUT(2),
    ZEPHRA_DRIVER_PAIR_OUT(3), ZEPHRA_DRIVER_PAIR_OUT(4), ZEPHRA_DRIVER_PAIR_OUT(5),
    ZEPHRA_DRIVER_PAIR_OUT(6),
};
#undef ZEPHRA_DRIVER_PAIR_OUT

// Device to host.

inline constexpr FieldOp kPairingResponseV1[] = {flags(ZEPHRA_AT(PairingResponse.flags), 2, 0, 3)};
inline constexpr FieldOp kPairingResponseV2[] = {flags(ZEPHRA_AT(PairingResponse.flags), 5, 0, 3)};

inline constexpr FieldOp kProductIdResponseV1[] = {
    words32(ZEPHRA_AT(ProductIDResponse.partNumber), 2, 3), // part number, identity words A, B
    words16(ZEPHRA_AT(ProductIDResponse.identityWord16), 14),
    bytes(ZEPHRA_AT(ProductIDResponse.identityByteA), 16, 2),
    words32(ZEPHRA_AT(ProductIDResponse.unitId), 20),
    bitField(ZEPHRA_AT(ProductIDResponse.deviceClass), 24, 0, 7),
    flags(ZEPHRA_AT(ProductIDResponse.classFlagA), 24, 7, 1),
};
inline constexpr FieldOp kProductIdResponseV2[] = {
    words32(ZEPHRA_AT(ProductIDResponse.partNumber), 8, 2), // part number, identity word A
    words16(ZEPHRA_AT(ProductIDResponse.identityWord16), 20),
    bytes(ZEPHRA_AT(ProductIDResponse.identityByteA), 7, 1),
    bytes(ZEPHRA_AT(ProductIDResponse.identityByteB), 6, 1),
    words32(ZEPHRA_AT(ProductIDResponse.unitId), 16),
    // Bit 6 of the class byte is not read.
    bitField(ZEPHRA_AT(ProductIDResponse.deviceClass), 5, 0, 6),
    zeroMessage(ZEPHRA_AT(ProductIDResponse.classFlagA), 1),
    flags(ZEPHRA_AT(ProductIDResponse.classFlagB), 5, 7, 1),
};

inline constexpr FieldOp kProductIdResponseBleV2[] = {
    bitField(ZEPHRA_AT(ProductIDResponseBLE.deviceClass), 5, 0, 6),
    flags(ZEPHRA_AT(ProductIDResponseBLE.classFlagA), 5, 6, 2), // class flags A, B
    bytes(ZEPHRA_AT(ProductIDResponseBLE.identityByteA), 6, 2),
    words32(ZEPHRA_AT(ProductIDResponseBLE.partNumber), 8, 2),      // part number, unit id
    words16(ZEPHRA_AT(ProductIDResponseBLE.identityWord16), 16, 2), // identity word, trailing word
};

inline constexpr FieldOp kLinkStatusV1[] = {bytes(ZEPHRA_AT(LinkStatus.status), 2, 3)};
inline constexpr FieldOp kLinkStatusV2[] = {bytes(ZEPHRA_AT(LinkStatus.status), 5, 4)};

inline constexpr FieldOp kDataModeResponseV1[] = {flags(ZEPHRA_AT(DataModeResponse.modeFlags), 2, 0, 6)};
inline constexpr FieldOp kDataModeResponseV2[] = {flags(ZEPHRA_AT(DataModeResponse.modeFlags), 5, 0, 7)};

inline constexpr FieldOp kButtonTestModeResponseV1[] = {bytes(ZEPHRA_AT(ButtonTestModeResponse.state), 2, 3)};
inline constexpr FieldOp kButtonTestModeResponseV2[] = {bytes(ZEPHRA_AT(ButtonTestModeResponse.state), 5, 3)};

inline constexpr FieldOp kFtaStatusResponseV1[] = {
    flags(ZEPHRA_AT(FTAStatusResponse.flags), 2, 0, 3),
    bytes(ZEPHRA_AT(FTAStatusResponse.status), 3, 1),
};
inline constexpr FieldOp kFtaStatusResponseV2[] = {
    flags(ZEPHRA_AT(FTAStatusResponse.flags), 5, 0, 3),
    bytes(ZEPHRA_AT(FTAStatusResponse.status), 6, 1),
};

inline constexpr FieldOp kBatteryLevelV1[] = {bytes(ZEPHRA_AT(BatteryLevel.level), 1, 1)};
inline constexpr FieldOp kBatteryLevelV2[] = {bytes(ZEPHRA_AT(BatteryLevel.level), 5, 1)};

inline constexpr FieldOp kDataModeControlV2ResponseV2[] = {
    flags(ZEPHRA_AT(DataModeControlV2Response.enableFlag), 5, 0, 1),
    bitField(ZEPHRA_AT(DataModeControlV2Response.mode), 5, 1, 3),
    flags(ZEPHRA_AT(DataModeControlV2Response.modeFlag), 5, 4, 1),
    bitField(ZEPHRA_AT(DataModeControlV2Response.upperBits), 5, 5, 3),
    bytes(ZEPHRA_AT(DataModeControlV2Response.settings), 6, 2),
    flags(ZEPHRA_AT(DataModeControlV2Response.channelFlags), 8, 0, 8),
};

inline constexpr FieldOp kSensorPeriodResponseV2[] = {
    // Report bytes 5 and 7 are not read.
    bytes(ZEPHRA_AT(SensorPeriodResponse.sensor), 6, 1),
    words32(ZEPHRA_AT(SensorPeriodResponse.sensorPeriod), 8),
};

#define ZEPHRA_DRIVER_PAIR_IN(i)                                                                             \
    bitField(ZEPHRA_AT(SensorDriverResponse.settings[2 * (i)]), 5 + (i), 0, 4),                              \
        bitField(ZEPHRA_AT(SensorDriverResponse.settings[2 * (i) + 1]), 5 + (i), 4, 4)
inline constexpr FieldOp kSensorDriverResponseV2[] = {
    ZEPHRA_DRIVER_PAIR_IN(0), ZEPHRA_DRIVER_PAIR_IN(1), ZEPHRA_DRIVER_PAIR_IN(2), ZEPHRA_DRIVER_PAIR_IN(3),
    ZEPHRA_DRIVER_PAIR_IN(4), ZEPHRA_DRIVER_PAIR_IN(5), ZEPHRA_DRIVER_PAIR_IN(6),
};
#undef ZEPHRA_DRIVER_PAIR_IN

} // namespace vnx::linkCodec::fields
