// The link side of TlinkDevice: reports in, requests out, the SCD read from
// flash and the motion reports handed to the module host.

#include <climits>
#include <cstring>

#include "calibration/scdData.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "deviceDomain/DeviceRecords.h"
#include "extCommon/extStatusCode.h"
#include "tlinkDevice/TlinkCoordinator.h"
#include "tlinkDevice/TlinkDevice.h"

namespace vnx {

namespace {

/// Where every request goes: the unit itself.
constexpr uint8_t kUnitDestination = 4;
/// LED times travel in units of 12.5 ms, at most 255 of them.
constexpr uint32_t kLedTimeUnitUs = 12'500;
constexpr uint32_t kLedTimeLimitUs = 3'200'000;
/// Sampling period the codec assumes when the SCD names none.
constexpr uint32_t kDefaultPeriodUs = 8000;

} // namespace

zephra_message TlinkDevice::request(uint32_t type, uint8_t length) const
{
    zephra_message message;
    std::memset(&message, 0, sizeof message);
    message.messageType = type;
    message.protocolVersion = 2;
    message.length = length;
    message.destination = kUnitDestination;
    return message;
}

int TlinkDevice::sendMessage(const zephra_message& message)
{
    zephra_message copy = message;
    uint8_t report[ZEPHRA_MAX_REPORT_LENGTH] = {};
    const int length = zephra_encode_message(&copy, report, sizeof report);
    if (length < 1) {
        VNX_LOGF(dftLog_, log::WARN, "sendMessage() unable to encode tlinkOut message!!");
        return length;
    }
    if (ioReceiver_ == nullptr) {
        VNX_LOGF(dftLog_, log::NOTICE, "ioReceiver_ not set, cannot send message");
        return VNX_STATUS_INTERNAL_ERROR;
    }
    const int result = ioReceiver_->deviceIoReceive(this, report, static_cast<size_t>(length));
    if (result != VNX_STATUS_SUCCESS && fsm_.getState() != TlinkDeviceFsm::CLOSED) {
        VNX_LOGF(dftLog_, log::WARN, "sendMessage() unable to send tlinkOut message: %s",
                 vnx_statusToString(result));
        sendStatus(VNX_STATUS_IO_ERROR, VNX_TLINK_DEVICE_STATUS_DEVICE);
    }
    return result;
}

int TlinkDevice::deviceIoRegisterReceiver(DeviceIOReceiver* receiver)
{
    ioReceiver_ = receiver;
    return VNX_STATUS_SUCCESS;
}

int TlinkDevice::sendDataMode(const zephra_message& first, const zephra_message& second)
{
    sendMessage(first);
    return sendMessage(second);
}

int TlinkDevice::requestProductId()
{
    return sendMessage(request(zephra_typeProductIDRequest, 0));
}

int TlinkDevice::requestScd()
{
    frsManager_.frsRead(static_cast<TlinkFrs::RecordType_e>(scdRecordType_), TlinkFrs::TARGET_UNIT, 0, 0);
    return VNX_STATUS_SUCCESS;
}

int TlinkDevice::requestDataOn()
{
    zephra_message mode = request(zephra_typeDataModeRequest, 8);
    mode.body.DataModeRequest.modeFlags[7] = 1;
    zephra_message control = request(zephra_typeDataModeControlV2Request, 20);
    control.body.DataModeControlV2Request.settings[0] =
        dataModeVariant_ == 1 ? 5 : (dataModeVariant_ == 2 ? 7 : 0);
    return sendDataMode(mode, control);
}

int TlinkDevice::requestDataOff()
{
    zephra_message mode = request(zephra_typeDataModeRequest, 8);
    mode.body.DataModeRequest.modeFlags[4] = 1;
    zephra_message control = request(zephra_typeDataModeControlV2Request, 20);
    control.body.DataModeControlV2Request.mode = 5;
    return sendDataMode(mode, control);
}

int TlinkDevice::requestDataMode()
{
    zephra_message mode = request(zephra_typeDataModeRequest, 8);
    mode.body.DataModeRequest.modeFlags[6] = 1;
    zephra_message control = request(zephra_typeDataModeControlV2Request, 20);
    control.body.DataModeControlV2Request.enableFlag = 1;
    control.body.DataModeControlV2Request.modeFlag = 1;
    return sendDataMode(mode, control);
}

int TlinkDevice::requestData()
{
    return fsm_.isModeOn() ? requestDataOn() : requestDataOff();
}

int TlinkDevice::sendActivity(uint8_t value)
{
    zephra_message message = request(zephra_typeActivityClassificationNotification, 0);
    message.body.ActivityClassificationNotification.activity = value;
    return sendMessage(message);
}

int TlinkDevice::setLeds(const vnx_TlinkDevice_LEDConfigPattern_s& pattern)
{
    zephra_message message = request(zephra_typeLedSetPatternRequest, 7);
    bool tooLong = false;
    for (int i = 0; i < 4; ++i) {
        const uint32_t time = pattern.time[i];
        tooLong = tooLong || time >= kLedTimeLimitUs;
        message.body.LedSetPatternRequest.pattern[i] =
            static_cast<uint8_t>(time >= kLedTimeLimitUs ? 255u : time / kLedTimeUnitUs);
    }
    for (int i = 0; i < 3; ++i) {
        message.body.LedSetPatternRequest.pattern[4 + i] = pattern.pattern[i];
    }
    sendMessage(message);
    return tooLong ? VNX_STATUS_INVALID_PARAMETER : VNX_STATUS_SUCCESS;
}

bool TlinkDevice::saveScd()
{
    const uint64_t bytes = static_cast<uint64_t>(frsWordCount_) * 4u;
    uint16_t ownSize = 0;
    if (bytes >= sizeof ownSize) {
        std::memcpy(&ownSize, frsWords_, sizeof ownSize);
    }
    if (bytes < 4 || bytes < ownSize) {
        VNX_LOGF(dftLog_, log::ERROR, "SCD failed size validation");
        return false;
    }
    const auto* scd = reinterpret_cast<const vnx_scdData_s*>(frsWords_);
    onHost([&](ModuleManagerInterface& host) {
        host.setScd(scd);
        return VNX_STATUS_SUCCESS;
    });
    const int32_t period = vnx_scdGetPeriod(scd);
    VNX_LOGF(dftLog_, log::INFO, "Sampling period: %d", period);
    // A period of 0 would switch the counter widening off.
    sdaCodec_.setSamplingPeriod(period > 0 ? static_cast<uint32_t>(period) : kDefaultPeriodUs);
    return true;
}

void TlinkDevice::frsReadDone(TlinkFrs::RecordType_e, TlinkFrs::TargetType_e,
                              TlinkFrsManager::ResponseStatus_e status, uint32_t count, const uint32_t* words)
{
    frsWordCount_ = words != nullptr ? count : 0;
    frsWords_ = words;
    if (status == TlinkFrsManager::RESPONSE_SUCCESS) {
        fsm_.frsSuccess(status);
    } else {
        fsm_.frsFail(status);
    }
    frsWordCount_ = 0;
    frsWords_ = nullptr;
}

void TlinkDevice::frsWriteDone(TlinkFrs::RecordType_e, TlinkFrs::TargetType_e,
                               TlinkFrsManager::ResponseStatus_e)
{
    VNX_LOGF(dftLog_, log::NOTICE, "frsWriteDone(): unexpected method call!!");
}

int TlinkDevice::deviceIoSend(const void* bytes, size_t length)
{
    // A listener may remove the device while a report is handled: it goes
    // once the report is through.
    return guarded([&] {
        zephra_message message;
        std::memset(&message, 0, sizeof message);
        const auto* report = static_cast<const uint8_t*>(bytes);
        const int size = length > INT_MAX ? INT_MAX : static_cast<int>(length);
        if (zephra_decode_message(report, size, &message, 2) != 0) {
            std::memset(&message, 0, sizeof message);
            if (zephra_decode_message(report, size, &message, 1) != 0) {
                fsm_.receivedOtherMessage();
                return static_cast<int>(VNX_STATUS_WARNING_IO_UNRECOGNIZED_MSG);
            }
        }
        switch (message.messageType) {
        case zephra_typeProductIDResponse:
        case zephra_typeProductIDResponseBLE:
            handleProductId(message);
            break;
        case zephra_typeDataModeResponse:
            handleDataModeResponse(message);
            break;
        case zephra_typeDataModeControlV2Response: {
            const uint32_t mode = message.body.DataModeControlV2Response.mode;
            VNX_LOGF(dftLog_, log::INFO, "Got Data Mode Response v2: %u", mode);
            if (mode == 0) {
                if (!fsm_.isModeOn()) {
                    requestDataOff();
                }
            } else if (mode <= 5) {
                if (fsm_.isModeOn()) {
                    requestDataOn();
                }
            } else {
                requestData();
            }
            break;
        }
        case zephra_typeFRSReadResponse:
        case zephra_typeFRSReadResponseBLE:
            frsManager_.receiveMessage(message);
            break;
        case zephra_typeSDA:
        case zephra_typeDceOutput:
        case zephra_typeSuperSDA:
        case zephra_typeDceOutV2:
        case zephra_typeDceOutV3:
        case zephra_typeDceOutV4T0:
        case zephra_typeDceOutV4T1:
            if (fsm_.receivedMotionData() == VNX_STATUS_SUCCESS) {
                handleMotion(message);
            }
            break;
        default:
            VNX_LOGF(dftLog_, log::NOTICE, "Received Unexpected Message!! %u", message.messageType);
            fsm_.receivedOtherMessage();
            break;
        }
        return static_cast<int>(VNX_STATUS_SUCCESS);
    });
}

void TlinkDevice::handleDataModeResponse(const zephra_message& message)
{
    // Message byte 14: whether the hardware's motion reports are on.
    const bool motionOn = message.body.DataModeResponse.modeFlags[6] != 0;
    if (fsm_.isModeOn() && !motionOn) {
        requestDataOn();
    } else if (!fsm_.isModeOn() && motionOn) {
        requestDataOff();
    }
}

void TlinkDevice::handleProductId(const zephra_message& message)
{
    const bool ble = message.messageType == zephra_typeProductIDResponseBLE;
    const uint32_t deviceClass =
        ble ? message.body.ProductIDResponseBLE.deviceClass : message.body.ProductIDResponse.deviceClass;
    const uint32_t part =
        ble ? message.body.ProductIDResponseBLE.partNumber : message.body.ProductIDResponse.partNumber;
    VNX_LOGF(dftLog_, log::INFO, "Product Id: part=%u cls=%u", part, deviceClass);
    if (deviceClass != 2) {
        return;
    }
    const bool variantTwo = isTovixLike(static_cast<int>(part));
    if (dataModeVariant_ == 0) {
        dataModeVariant_ = variantTwo ? 2 : 1;
    }
    if (scdRecordType_ == 0) {
        scdRecordType_ = variantTwo ? TlinkFrs::RECORD_SCD_ALTERNATE : TlinkFrs::RECORD_SCD;
    }
    vnx_TlinkDevice_initInfo(&info_);
    info_.partNumber = part;
    if (ble) {
        const zephra_ProductIDResponseBLE& body = message.body.ProductIDResponseBLE;
        info_.unitId = body.unitId;
        info_.identityByte1 = body.identityByteA;
        info_.identityByte2 = body.identityByteB;
        info_.identityWord1 = body.trailingWord;
        info_.identityWord2 = body.identityWord16;
    } else {
        const zephra_ProductIDResponse& body = message.body.ProductIDResponse;
        info_.unitId = body.unitId;
        info_.identityByte1 = body.identityByteB;
        info_.identityByte2 = body.identityByteA;
        info_.identityWord1 = body.identityWord16;
        info_.identityWord2 = body.identityWordA;
    }
    productIdKnown_ = true;
    fsm_.receivedProductId();
}

void TlinkDevice::handleMotion(const zephra_message& message)
{
    InputStore* store = nullptr;
    const int result = sdaCodec_.decode(message, 2, store);
    if (result == VNX_STATUS_SUCCESS) {
        unsigned long n = 0;
        const vnx_StructOutput_s** outputs = nullptr;
        const vnx_StructFormat_s** formats = nullptr;
        store->retrieve(n, outputs, formats);
        onHost([&](ModuleManagerInterface& host) { return host.process(n, outputs, formats); });
        return;
    }
    if (result == VNX_STATUS_WARNING_DECODE_INCOMPLETE) {
        return;
    }
    VNX_LOGF(dftLog_, log::WARN, "sdaCodec_.decode error: %d", result);
    vnx_Device_Status_s status;
    vnx_Device_initStatus(&status);
    status.status.result = static_cast<uint32_t>(result);
    status.statusKind = VNX_DEVICE_STATUS_PROCESS_FAILED;
    statusCallback(this, reinterpret_cast<const vnx_StructStatus_s*>(&status));
}

} // namespace vnx
