#pragma once

// The one table of the link protocol: for every message type, by code, its
// direction and its form in protocol versions 0, 1 and 2 (report id, sub-id,
// length, body). Dispatch, length checks and the encoders all read it.

#include <array>

#include "linkCodec/controlFields.h"
#include "linkCodec/flashRecordFields.h"
#include "linkCodec/messageLayout.h"
#include "linkCodec/motionFields.h"
#include "linkCodec/serviceFields.h"

namespace vnx::linkCodec {

namespace detail {
using namespace fields;
constexpr uint8_t kHostReport = 7;     // every host report but the single-purpose ones
constexpr uint8_t kDeviceReportV1 = 8; // version-1 device report with a sub-id
constexpr Form none = kNoForm;

inline constexpr std::array<MessageLayout, ZEPHRA_MESSAGE_TYPE_COUNT> kMessageLayouts = {{
    /* 0 USBBootCommand */ out(form(1, -1, 2, kUsbBootCommandV0), none, none),
    /* 1 USBBootData */ out(form(2, -1, 70, kUsbBootDataV0), none, none),
    /* 2 USBBootStatus */ in(form(3, -1, 12, kUsbBootStatusV0), none, none),
    /* 3 PairingMessage */ out(none, form(kHostReport, 13, 8), form(kHostReport, 2, 5)),
    /* 4 ProductIDRequest */
    out(none, form(kHostReport, 32, 8), form(kHostReport, 9, 11, kProductIdRequestV2)),
    /* 5 LEDSetRequest */
    out(none, form(kHostReport, 34, 8, kLedSetRequestV1), form(kHostReport, 10, 11, kLedSetRequestV2)),
    /* 6 LinkQualityRequest */
    out(none, form(kHostReport, 48, 8, kLinkQualityRequestV1),
        form(kHostReport, 3, 11, kLinkQualityRequestV2)),
    /* 7 AlwaysOnRequest */ out(none, form(kHostReport, 49, 8), none),
    /* 8 FrequencyFixRequest */
    out(none, form(kHostReport, 50, 8, kFrequencyFixRequestV1),
        form(kHostReport, 11, 10, kFrequencyFixRequestV2)),
    /* 9 SoftwareResetMessage */ out(none, form(kHostReport, 51, 8, kSoftwareResetV1), none),
    /* 10 DongleRFDisableMessage */ out(none, form(kHostReport, 52, 8), form(kHostReport, 13, 5)),
    /* 11 TxDisableMessage */ out(none, form(kHostReport, 80, 2), form(kHostReport, 14, 5)),
    /* 12 DongleRFSupressHomeFrequencyMessage */
    out(none, form(kHostReport, 53, 8, kSupressHomeFrequencyV1),
        form(kHostReport, 15, 11, kSupressHomeFrequencyV2)),
    /* 13 FRSHandheldReadRequest */ out(none, form(kHostReport, 58, 8, kFrsReadRequestV1), none),
    /* 14 FRSHandheldWriteRequest */ out(none, form(kHostReport, 61, 8, kFrsWriteRequestV1), none),
    /* 15 FRSHandheldWriteData */ out(none, form(kHostReport, 63, 8, kFrsWriteDataV1), none),
    /* 16 FRSDongleReadRequest */ out(none, form(kHostReport, 59, 8, kFrsReadRequestV1), none),
    /* 17 FRSDongleWriteRequest */ out(none, form(kHostReport, 62, 8, kFrsWriteRequestV1), none),
    /* 18 FRSDongleWriteData */ out(none, form(kHostReport, 64, 8, kFrsWriteDataV1), none),
    /* 19 FRSEFlashReadRequest */ out(none, form(kHostReport, 65, 8, kFrsReadRequestV1), none),
    /* 20 FRSEFlashWriteRequest */ out(none, form(kHostReport, 66, 8, kFrsWriteRequestV1), none),
    /* 21 FRSEFlashWriteData */ out(none, form(kHostReport, 67, 8, kFrsWriteDataV1), none),
    /* 22 DongleRFEnableMessage */ out(none, form(kHostReport, 71, 8), form(kHostReport, 12, 5)),
    /* 23 DataModeRequest */
    out(none, form(kHostReport, 73, 3, kDataModeRequestV1), form(kHostReport, 4, 6, kDataModeRequestV2)),
    /* 24 ButtonTestModeRequest */
    out(none, form(kHostReport, 81, 3, kButtonTestModeRequestV1),
        form(kHostReport, 17, 6, kButtonTestModeRequestV2)),
    /* 25 DebugRequest */
    out(none, form(kHostReport, 15, 8, kDebugRequestV1), form(kHostReport, 64, 12, kDebugRequestV2)),
    /* 26 ParameterRequest */
    out(none, form(kHostReport, 70, 8, kParameterRequestV1), form(kHostReport, 68, 10, kParameterRequestV2)),
    /* 27 FTAStatusRequest */
    out(none, form(kHostReport, 21, 3, kFtaStatusRequestV1), form(kHostReport, 65, 6, kFtaStatusRequestV2)),
    /* 28 DfuStatusRequest */ out(none, form(kHostReport, 69, 8), form(kHostReport, 67, 5)),
    /* 29 StatisticsRequest */
    out(none, form(kHostReport, 22, 4, kStatisticsRequestV1), form(kHostReport, 69, 6, kStatisticsRequestV2)),
    /* 30 DfuCommand */
    out(none, form(kHostReport, 68, 8, kDfuCommandV1), form(kHostReport, 71, 12, kDfuCommandV2)),
    /* 31 UtRequest */ out(none, form(kHostReport, 72, 8, kUtRequestV1), none),
    /* 32 DongleResetToBoot */ out(none, form(kHostReport, 20, 6, kDongleResetToBootV1), none),
    /* 33 PairingResponse */
    in(none, form(kDeviceReportV1, 13, 27, kPairingResponseV1), form(5, 2, 12, kPairingResponseV2)),
    /* 34 ProductIDResponse */
    in(none, form(kDeviceReportV1, 32, 27, kProductIdResponseV1), form(6, 9, 22, kProductIdResponseV2)),
    /* 35 LinkStatus */ in(none, form(kDeviceReportV1, 48, 27, kLinkStatusV1), form(5, 3, 31, kLinkStatusV2)),
    /* 36 AlwaysOnResponse */ in(none, form(kDeviceReportV1, 49, 27), none),
    /* 37 FRSHandheldReadResponse */ in(none, form(kDeviceReportV1, 58, 27, kFrsReadResponseV1), none),
    /* 38 FRSHandheldWriteResponse */ in(none, form(kDeviceReportV1, 61, 27, kFrsWriteResponseV1), none),
    /* 39 FRSDongleReadResponse */ in(none, form(kDeviceReportV1, 59, 27, kFrsReadResponseV1), none),
    /* 40 FRSDongleWriteResponse */ in(none, form(kDeviceReportV1, 62, 27, kFrsWriteResponseV1), none),
    /* 41 FRSEFlashReadResponse */ in(none, form(kDeviceReportV1, 65, 27, kFrsReadResponseV1), none),
    /* 42 FRSEFlashWriteResponse */ in(none, form(kDeviceReportV1, 66, 27, kFrsWriteResponseV1), none),
    /* 43 DataModeResponse */
    in(none, form(kDeviceReportV1, 73, 3, kDataModeResponseV1), form(5, 4, 6, kDataModeResponseV2)),
    /* 44 ButtonTestModeResponse */
    in(none, form(kDeviceReportV1, 81, 5, kButtonTestModeResponseV1),
       form(5, 17, 8, kButtonTestModeResponseV2)),
    /* 45 DebugResponse */
    in(none, form(kDeviceReportV1, 15, 27, kDebugResponseV1), form(5, 64, 12, kDebugResponseV2)),
    /* 46 FTAStatusResponse */
    in(none, form(kDeviceReportV1, 21, 4, kFtaStatusResponseV1), form(5, 65, 7, kFtaStatusResponseV2)),
    /* 47 DFUStatusResponse */
    in(none, form(kDeviceReportV1, 67, 20, kDfuStatusResponseV1), form(5, 67, 15, kDfuStatusResponseV2)),
    /* 48 ParameterResponse */
    in(none, form(kDeviceReportV1, 70, 8, kParameterResponseV1), form(5, 68, 12, kParameterResponseV2)),
    /* 49 StatisticsResponse */
    in(none, form(kDeviceReportV1, 22, 27, kStatisticsResponseV1), form(6, 69, 22, kStatisticsResponseV2)),
    /* 50 ZSP2Coprocessor */
    in(none, form(kDeviceReportV1, 60, 19, kZsp2CoprocessorV1), form(6, 70, 22, kZsp2CoprocessorV2)),
    /* 51 SDA */ in(none, form(kDeviceReportV1, 1, 27, kSdaV1), form(36, -1, 22, kSdaV2)),
    /* 52 BatteryLevelRequest */ out(none, form(9, -1, 2), form(kHostReport, 5, 5)),
    /* 53 BatteryLevel */ in(none, form(10, -1, 4, kBatteryLevelV1), form(5, 5, 6, kBatteryLevelV2)),
    /* 54 CP2ZSP */ out(none, form(15, -1, 19, kCp2ZspV1), none),
    /* 55 BodyFrame */ in(none, form(32, -1, 21, kBodyFrameV1), form(32, -1, 22, kBodyFrameV2)),
    /* 56 UserFrame */ in(none, form(33, -1, 23, kUserFrameV1), form(33, -1, 22, kUserFrameV2)),
    /* 57 DataMotionControl */ out(none, form(34, -1, 2, kDataMotionControlV1), none),
    /* 58 DceOutput */ in(none, form(37, -1, 22, kDceOutputV1), form(37, -1, 25, kDceOutputV2)),
    /* 59 FRSWriteResponse */ in(none, none, form(5, 6, 8, kFrsWriteResponseV2), false),
    /* 60 DataModeControlV2Response */ in(none, none, form(5, 20, 9, kDataModeControlV2ResponseV2)),
    /* 61 SensorPeriodResponse */ in(none, none, form(5, 23, 12, kSensorPeriodResponseV2), false),
    /* 62 SensorDriverResponse */ in(none, none, form(5, 72, 12, kSensorDriverResponseV2)),
    /* 63 FRSReadResponse */ in(none, none, form(6, 8, 22, kFrsReadResponseV2)),
    /* 64 PerResponse */ in(none, none, form(6, 16, 22, kPerResponseV2)),
    /* 65 FRSWriteRequest */ out(none, none, form(kHostReport, 6, 10, kFrsWriteRequestV2)),
    /* 66 FRSWriteData */ out(none, none, form(kHostReport, 7, 12, kFrsWriteDataV2)),
    /* 67 FRSReadRequest */ out(none, none, form(kHostReport, 8, 12, kFrsReadRequestV2)),
    /* 68 PerRequest */ out(none, none, form(kHostReport, 16, 11, kPerRequestV2)),
    /* 69 ActivityClassificationNotification */
    out(none, none, form(kHostReport, 18, 6, kActivityNotificationV2)),
    /* 70 DataModeControlV2Request */ out(none, none, form(kHostReport, 20, 9, kDataModeControlV2RequestV2)),
    /* 71 ReorientationRequest */ out(none, none, form(kHostReport, 21, 10, kReorientationRequestV2)),
    /* 72 SensorPeriodRequest */ out(none, none, form(kHostReport, 22, 12, kSensorPeriodRequestV2)),
    /* 73 BmsRequest */ out(none, none, form(kHostReport, 23, 6, kBmsRequestV2)),
    /* 74 LedSetPatternRequest */ out(none, none, form(kHostReport, 19, 12, kLedSetPatternRequestV2)),
    /* 75 SensorDriverRequest */ out(none, none, form(kHostReport, 72, 12, kSensorDriverRequestV2)),
    /* 76 ProductIDResponseBLE */ in(none, none, form(8, 22, 20, kProductIdResponseBleV2)),
    /* 77 FRSReadResponseBLE */ in(none, none, form(8, 21, 20, kFrsReadResponseBleV2)),
    /* 78 BodyUserFrame */ in(none, none, form(34, -1, 36, kBodyUserFrameV2)),
    /* 79 SuperSDA */ in(none, none, form(35, -1, 36, kSuperSdaV2)),
    /* 80 KinemoraOutput */ in(none, none, form(38, -1, 54, kKinemoraOutputV2)),
    /* 81 DceOutV2 */ in(none, none, form(39, -1, 31, kDceOutV2V2)),
    /* 82 DceOutV3 */ in(none, none, form(40, -1, 20, kDceOutV3V2)),
    /* 83 DceOutV4T0 */ in(none, none, form(41, 0, 20, kDceOutV4T0V2)),
    /* 84 DceOutV4T1 */ in(none, none, form(41, 1, 15, kDceOutV4T1V2)),
}};

// Each row's direction is the one the type list gives (it decides which
// per-type function exists).
constexpr bool directionsMatchTypeList()
{
    constexpr Direction IN = Direction::In;
    constexpr Direction OUT = Direction::Out;
    constexpr Direction listed[] = {
#define ZEPHRA_LISTED_DIRECTION(code, Name, dir) dir,
        ZEPHRA_MESSAGE_TYPES(ZEPHRA_LISTED_DIRECTION)
#undef ZEPHRA_LISTED_DIRECTION
    };
    for (size_t i = 0; i < kMessageLayouts.size(); ++i) {
        if (kMessageLayouts[i].direction != listed[i]) {
            return false;
        }
    }
    return true;
}
static_assert(directionsMatchTypeList());

// Every field of every form lies inside the report bytes its length
// guarantees, behind the report's header, and inside the message object: a
// decoder given at least the minimum length never reads past the report, and
// an encoder never writes past the length it returns.
constexpr bool fieldsFitTheirReports()
{
    for (const MessageLayout& layout : kMessageLayouts) {
        const bool decoding = layout.direction == Direction::In;
        for (unsigned version = 0; version < kVersionCount; ++version) {
            const Form& f = layout.forms[version];
            if (!f.exists()) {
                continue;
            }
            if (f.length > ZEPHRA_MAX_REPORT_LENGTH) {
                return false;
            }
            const unsigned headerEnd = f.subId >= 0 ? subIdByte(version) + 1 : (version == 2 ? 4u : 1u);
            if (f.length < headerEnd) {
                return false;
            }
            for (const FieldOp& op : f.fields) {
                const FieldExtent e = extentOf(op, decoding);
                if (e.messageEnd > sizeof(zephra_message) || e.wireEnd > f.length) {
                    return false;
                }
                const bool touchesWire = e.wireEnd != 0;
                if (touchesWire && op.wire < headerEnd) {
                    return false;
                }
                const bool touchesMessage = e.messageEnd != 0;
                if (touchesMessage && op.message < ZEPHRA_BODY_START) {
                    return false;
                }
            }
        }
    }
    return true;
}
static_assert(fieldsFitTheirReports());
} // namespace detail

using detail::kMessageLayouts;

} // namespace vnx::linkCodec
