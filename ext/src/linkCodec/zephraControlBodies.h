#pragma once

// Bodies of the messages that identify a device, switch its data mode, set its
// LEDs and read its link, battery and sensor settings. Each comment gives the
// message bytes a field spans; flags are one byte each, of which bit 0 counts.

#include <stdint.h>

#include "linkCodec/zephraLayoutPin.h"

/// Body of the messages that carry nothing but their ids (pairing, RF and
/// transmitter switches, always-on, battery request, DFU status request).
typedef struct zephra_NoBody
{
    uint8_t unused; ///< 8, neither read nor written
} zephra_NoBody;

typedef zephra_NoBody zephra_PairingMessage;
typedef zephra_NoBody zephra_AlwaysOnRequest;
typedef zephra_NoBody zephra_DongleRFDisableMessage;
typedef zephra_NoBody zephra_TxDisableMessage;
typedef zephra_NoBody zephra_DongleRFEnableMessage;
typedef zephra_NoBody zephra_BatteryLevelRequest;
typedef zephra_NoBody zephra_AlwaysOnResponse;
typedef zephra_NoBody zephra_DfuStatusRequest;

/// Type 4: sent in version 2 only.
typedef struct zephra_ProductIDRequest
{
    uint8_t selector; ///< 8
} zephra_ProductIDRequest;
ZEPHRA_PIN(zephra_ProductIDRequest, selector, 8);

/// Type 5.
typedef struct zephra_LEDSetRequest
{
    uint8_t led;     ///< 8
    uint8_t setting; ///< 9
} zephra_LEDSetRequest;
ZEPHRA_PIN(zephra_LEDSetRequest, led, 8);
ZEPHRA_PIN(zephra_LEDSetRequest, setting, 9);

/// Type 6.
typedef struct zephra_LinkQualityRequest
{
    uint8_t setting; ///< 8
} zephra_LinkQualityRequest;
ZEPHRA_PIN(zephra_LinkQualityRequest, setting, 8);

/// Type 8: six settings in version 1, the first five in version 2.
typedef struct zephra_FrequencyFixRequest
{
    uint8_t settings[6]; ///< 8-13
} zephra_FrequencyFixRequest;
ZEPHRA_PIN(zephra_FrequencyFixRequest, settings, 8);

/// Type 9 (version 1 only).
typedef struct zephra_SoftwareResetMessage
{
    uint8_t resetKind; ///< 8
} zephra_SoftwareResetMessage;
ZEPHRA_PIN(zephra_SoftwareResetMessage, resetKind, 8);

/// Type 12.
typedef struct zephra_DongleRFSupressHomeFrequencyMessage
{
    uint8_t settings[2]; ///< 8, 9
} zephra_DongleRFSupressHomeFrequencyMessage;
ZEPHRA_PIN(zephra_DongleRFSupressHomeFrequencyMessage, settings, 8);

/// Type 23: one mode byte on the wire. Flags 0-5 are wire bits 0-5, flag 6
/// (byte 14) is wire bit 7 and flag 7 (byte 15) wire bit 6, which only
/// version 2 has.
typedef struct zephra_DataModeRequest
{
    uint8_t modeFlags[8]; ///< 8-15
} zephra_DataModeRequest;
ZEPHRA_PIN(zephra_DataModeRequest, modeFlags, 8);

/// Type 24.
typedef struct zephra_ButtonTestModeRequest
{
    uint8_t mode; ///< 8
} zephra_ButtonTestModeRequest;
ZEPHRA_PIN(zephra_ButtonTestModeRequest, mode, 8);

/// Type 27: flags 0-2 are wire bits 0-2, flag 3 is wire bit 7.
typedef struct zephra_FTAStatusRequest
{
    uint8_t flags[4]; ///< 8-11
} zephra_FTAStatusRequest;
ZEPHRA_PIN(zephra_FTAStatusRequest, flags, 8);

/// Type 69 (version 2 only).
typedef struct zephra_ActivityClassificationNotification
{
    uint8_t activity; ///< 8
} zephra_ActivityClassificationNotification;
ZEPHRA_PIN(zephra_ActivityClassificationNotification, activity, 8);

/// Type 70 (version 2 only): the first wire byte packs enableFlag (bit 0),
/// the low three bits of mode (bits 1-3) and modeFlag (bit 4).
typedef struct zephra_DataModeControlV2Request
{
    uint8_t enableFlag;      ///< 8
    uint8_t reserved9[3];    ///< 9-11
    uint32_t mode;           ///< 12, only its low three bits are sent
    uint8_t modeFlag;        ///< 16
    uint8_t settings[2];     ///< 17, 18
    uint8_t channelFlags[8]; ///< 19-26
} zephra_DataModeControlV2Request;
ZEPHRA_PIN(zephra_DataModeControlV2Request, enableFlag, 8);
ZEPHRA_PIN(zephra_DataModeControlV2Request, mode, 12);
ZEPHRA_PIN(zephra_DataModeControlV2Request, modeFlag, 16);
ZEPHRA_PIN(zephra_DataModeControlV2Request, settings, 17);
ZEPHRA_PIN(zephra_DataModeControlV2Request, channelFlags, 19);
ZEPHRA_PIN_SIZE(zephra_DataModeControlV2Request, 20);

/// Type 71 (version 2 only).
typedef struct zephra_ReorientationRequest
{
    uint8_t flagA;      ///< 8, wire bit 6
    uint8_t flagB;      ///< 9, wire bit 7
    uint8_t payload[4]; ///< 10-13
} zephra_ReorientationRequest;
ZEPHRA_PIN(zephra_ReorientationRequest, flagA, 8);
ZEPHRA_PIN(zephra_ReorientationRequest, flagB, 9);
ZEPHRA_PIN(zephra_ReorientationRequest, payload, 10);

/// Type 72 (version 2 only).
typedef struct zephra_SensorPeriodRequest
{
    uint8_t flagA;         ///< 8, wire bit 0
    uint8_t flagB;         ///< 9, wire bit 1
    uint8_t sensor;        ///< 10
    uint8_t reserved11;    ///< 11
    uint32_t sensorPeriod; ///< 12
} zephra_SensorPeriodRequest;
ZEPHRA_PIN(zephra_SensorPeriodRequest, flagA, 8);
ZEPHRA_PIN(zephra_SensorPeriodRequest, flagB, 9);
ZEPHRA_PIN(zephra_SensorPeriodRequest, sensor, 10);
ZEPHRA_PIN(zephra_SensorPeriodRequest, sensorPeriod, 12);
ZEPHRA_PIN_SIZE(zephra_SensorPeriodRequest, 8);

/// Type 73 (version 2 only).
typedef struct zephra_BmsRequest
{
    uint8_t setting; ///< 8
} zephra_BmsRequest;
ZEPHRA_PIN(zephra_BmsRequest, setting, 8);

/// Type 74 (version 2 only).
typedef struct zephra_LedSetPatternRequest
{
    uint8_t pattern[7]; ///< 8-14
} zephra_LedSetPatternRequest;
ZEPHRA_PIN(zephra_LedSetPatternRequest, pattern, 8);

/// Type 75 (version 2 only): fourteen 4-bit settings, two per wire byte
/// (even index low nibble, odd index high nibble). They are sent unmasked:
/// callers keep every value within 0-15.
typedef struct zephra_SensorDriverRequest
{
    uint32_t settings[14]; ///< 8, 12, ... 60
} zephra_SensorDriverRequest;
ZEPHRA_PIN(zephra_SensorDriverRequest, settings, 8);
ZEPHRA_PIN_SIZE(zephra_SensorDriverRequest, 56);

/// Type 33.
typedef struct zephra_PairingResponse
{
    uint8_t flags[3]; ///< 8-10
} zephra_PairingResponse;
ZEPHRA_PIN(zephra_PairingResponse, flags, 8);

/// Type 34: the device's identity.
typedef struct zephra_ProductIDResponse
{
    uint32_t partNumber;     ///< 8
    uint32_t identityWordA;  ///< 12
    uint32_t identityWordB;  ///< 16, version 1 only
    uint16_t identityWord16; ///< 20
    uint8_t identityByteA;   ///< 22
    uint8_t identityByteB;   ///< 23
    uint32_t unitId;         ///< 24
    uint32_t deviceClass;    ///< 28
    uint8_t classFlagA;      ///< 32, always 0 in version 2
    uint8_t classFlagB;      ///< 33, version 2 only
    uint8_t reserved34[2];   ///< 34, 35
} zephra_ProductIDResponse;
ZEPHRA_PIN(zephra_ProductIDResponse, partNumber, 8);
ZEPHRA_PIN(zephra_ProductIDResponse, identityWordA, 12);
ZEPHRA_PIN(zephra_ProductIDResponse, identityWordB, 16);
ZEPHRA_PIN(zephra_ProductIDResponse, identityWord16, 20);
ZEPHRA_PIN(zephra_ProductIDResponse, identityByteA, 22);
ZEPHRA_PIN(zephra_ProductIDResponse, identityByteB, 23);
ZEPHRA_PIN(zephra_ProductIDResponse, unitId, 24);
ZEPHRA_PIN(zephra_ProductIDResponse, deviceClass, 28);
ZEPHRA_PIN(zephra_ProductIDResponse, classFlagA, 32);
ZEPHRA_PIN(zephra_ProductIDResponse, classFlagB, 33);
ZEPHRA_PIN_SIZE(zephra_ProductIDResponse, 28);

/// Type 76 (version 2 only): the identity as BLE devices report it.
typedef struct zephra_ProductIDResponseBLE
{
    uint32_t deviceClass;    ///< 8
    uint8_t classFlagA;      ///< 12
    uint8_t classFlagB;      ///< 13
    uint8_t identityByteA;   ///< 14
    uint8_t identityByteB;   ///< 15
    uint32_t partNumber;     ///< 16
    uint32_t unitId;         ///< 20
    uint16_t identityWord16; ///< 24
    uint16_t trailingWord;   ///< 26
} zephra_ProductIDResponseBLE;
ZEPHRA_PIN(zephra_ProductIDResponseBLE, deviceClass, 8);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, classFlagA, 12);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, classFlagB, 13);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, identityByteA, 14);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, identityByteB, 15);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, partNumber, 16);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, unitId, 20);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, identityWord16, 24);
ZEPHRA_PIN(zephra_ProductIDResponseBLE, trailingWord, 26);
ZEPHRA_PIN_SIZE(zephra_ProductIDResponseBLE, 20);

/// Type 35: four status bytes in version 2, three in version 1.
typedef struct zephra_LinkStatus
{
    uint8_t status[4]; ///< 8-11
} zephra_LinkStatus;
ZEPHRA_PIN(zephra_LinkStatus, status, 8);

/// Type 43: seven mode flags in version 2, six in version 1.
typedef struct zephra_DataModeResponse
{
    uint8_t modeFlags[7]; ///< 8-14
} zephra_DataModeResponse;
ZEPHRA_PIN(zephra_DataModeResponse, modeFlags, 8);

/// Type 44.
typedef struct zephra_ButtonTestModeResponse
{
    uint8_t state[3]; ///< 8-10
} zephra_ButtonTestModeResponse;
ZEPHRA_PIN(zephra_ButtonTestModeResponse, state, 8);

/// Type 46.
typedef struct zephra_FTAStatusResponse
{
    uint8_t flags[3]; ///< 8-10
    uint8_t status;   ///< 11
} zephra_FTAStatusResponse;
ZEPHRA_PIN(zephra_FTAStatusResponse, flags, 8);
ZEPHRA_PIN(zephra_FTAStatusResponse, status, 11);

/// Type 53.
typedef struct zephra_BatteryLevel
{
    uint8_t level; ///< 8
} zephra_BatteryLevel;
ZEPHRA_PIN(zephra_BatteryLevel, level, 8);

/// Type 60 (version 2 only): the answer to a DataModeControlV2Request.
typedef struct zephra_DataModeControlV2Response
{
    uint8_t enableFlag;      ///< 8, wire bit 0
    uint8_t reserved9[3];    ///< 9-11
    uint32_t mode;           ///< 12, wire bits 1-3
    uint8_t modeFlag;        ///< 16, wire bit 4
    uint8_t reserved17[3];   ///< 17-19
    uint32_t upperBits;      ///< 20, wire bits 5-7
    uint8_t settings[2];     ///< 24, 25
    uint8_t channelFlags[8]; ///< 26-33
} zephra_DataModeControlV2Response;
ZEPHRA_PIN(zephra_DataModeControlV2Response, enableFlag, 8);
ZEPHRA_PIN(zephra_DataModeControlV2Response, mode, 12);
ZEPHRA_PIN(zephra_DataModeControlV2Response, modeFlag, 16);
ZEPHRA_PIN(zephra_DataModeControlV2Response, upperBits, 20);
ZEPHRA_PIN(zephra_DataModeControlV2Response, settings, 24);
ZEPHRA_PIN(zephra_DataModeControlV2Response, channelFlags, 26);
ZEPHRA_PIN_SIZE(zephra_DataModeControlV2Response, 28);

/// Type 61 (version 2 only).
typedef struct zephra_SensorPeriodResponse
{
    uint8_t sensor;        ///< 8
    uint8_t reserved9[3];  ///< 9-11
    uint32_t sensorPeriod; ///< 12
} zephra_SensorPeriodResponse;
ZEPHRA_PIN(zephra_SensorPeriodResponse, sensor, 8);
ZEPHRA_PIN(zephra_SensorPeriodResponse, sensorPeriod, 12);
ZEPHRA_PIN_SIZE(zephra_SensorPeriodResponse, 8);

/// Type 62 (version 2 only): fourteen 4-bit settings, as in the request.
typedef struct zephra_SensorDriverResponse
{
    uint32_t settings[14]; ///< 8, 12, ... 60
} zephra_SensorDriverResponse;
ZEPHRA_PIN(zephra_SensorDriverResponse, settings, 8);
ZEPHRA_PIN_SIZE(zephra_SensorDriverResponse, 56);
