#include "tlinkDeviceFsm/TlinkDeviceFsm.h"

#include "common/statusCode.h"
#include "common/timeSource.h"
#include "extCommon/extStatusCode.h"
#include "tlinkDeviceFsm/TlinkDeviceFsmHostInterface.h"

namespace vnx {

namespace {

// A request that gets no answer is asked again after a second; a device in
// PROCESSING that sends no motion for ten seconds counts as asleep.
constexpr uint64_t kRequestTimeoutNs = 1'000'000'000ull;
constexpr uint64_t kProcessingTimeoutNs = 10'000'000'000ull;
// Retries after the first request in GET_INFO and GET_SCD: four asks in all.
constexpr uint32_t kMaxRetries = 3;
// A flash-read end with this status leaves GET_SCD to its time-out.
constexpr int kFrsStatusIgnoredInGetScd = 4;

} // namespace

const char* const TlinkDeviceFsm::_stateNames[] = {
    "CLOSED", "WAIT", "GET_INFO", "GET_PRODUCT_ID", "GET_SCD", "OPEN", "ASLEEP", "PROCESSING",
};

TlinkDeviceFsm::TlinkDeviceFsm() : entryTime_(vnx_time_ns()) {}

TlinkDeviceFsm::~TlinkDeviceFsm() = default;

void TlinkDeviceFsm::setListener(TlinkDeviceFsmHostInterface* host)
{
    host_ = host;
}

void TlinkDeviceFsm::transition(State_e next)
{
    VNX_LOGF(dftLog_, log::INFO, "Transition: %s -> %s", _stateNames[state_], _stateNames[next]);
    enter(next);
}

void TlinkDeviceFsm::arm(uint64_t timeoutNs)
{
    timeout_ = timeoutNs;
    timerActive_ = true;
}

void TlinkDeviceFsm::enter(State_e next)
{
    timerActive_ = false;
    entryTime_ = vnx_time_ns();
    timeout_ = 0;
    if (next != state_) {
        retryCount_ = 0;
    }
    state_ = next;

    switch (next) {
    case GET_INFO:
    case GET_PRODUCT_ID:
        if (host_ != nullptr) {
            host_->requestProductId();
        }
        arm(kRequestTimeoutNs);
        break;
    case GET_SCD:
        arm(kRequestTimeoutNs);
        if (host_ != nullptr) {
            host_->requestScd();
        }
        break;
    case OPEN:
        if (modeOn_) {
            if (host_ != nullptr) {
                host_->requestDataOn();
            }
            transition(ASLEEP);
        }
        break;
    case PROCESSING:
        arm(kProcessingTimeoutNs);
        break;
    case CLOSED:
    case WAIT:
    case ASLEEP:
        break;
    }
}

bool TlinkDeviceFsm::retry()
{
    if (retryCount_ >= kMaxRetries) {
        return false;
    }
    ++retryCount_;
    return true;
}

void TlinkDeviceFsm::open()
{
    if (state_ == CLOSED) {
        transition(WAIT);
    }
}

void TlinkDeviceFsm::reset()
{
    transition(CLOSED);
    modeOn_ = false;
    if (host_ != nullptr) {
        host_->requestDataOff();
    }
}

int TlinkDeviceFsm::process()
{
    if (timerActive_ && vnx_time_ns() - entryTime_ > timeout_) {
        timeout();
    }
    return VNX_STATUS_SUCCESS;
}

void TlinkDeviceFsm::timeout()
{
    switch (state_) {
    case GET_INFO:
        if (retry()) {
            enter(GET_INFO);
        } else {
            transition(WAIT);
            if (host_ != nullptr) {
                host_->sendStatus(VNX_STATUS_DEVICE_TIMEOUT, VNX_TLINK_DEVICE_STATUS_PRODUCT_INFO);
            }
        }
        break;
    case GET_PRODUCT_ID:
        // Asked again every second until the device answers or is closed.
        enter(GET_PRODUCT_ID);
        break;
    case GET_SCD:
        if (retry()) {
            enter(GET_SCD);
        } else {
            transition(WAIT);
            if (host_ != nullptr) {
                host_->sendStatus(VNX_STATUS_DEVICE_FAILED_TO_OPEN, VNX_TLINK_DEVICE_STATUS_DEVICE);
            }
        }
        break;
    case PROCESSING:
        transition(ASLEEP);
        break;
    default:
        break;
    }
}

int TlinkDeviceFsm::start()
{
    switch (state_) {
    case CLOSED:
        return VNX_STATUS_DEVICE_CLOSED;
    case WAIT:
        transition(GET_PRODUCT_ID);
        return VNX_STATUS_SUCCESS;
    case GET_INFO:
        return VNX_STATUS_DEVICE_NOT_READY;
    default:
        return VNX_STATUS_SUCCESS;
    }
}

int TlinkDeviceFsm::getInfo()
{
    switch (state_) {
    case CLOSED:
        return VNX_STATUS_DEVICE_CLOSED;
    case WAIT:
        transition(GET_INFO);
        return VNX_STATUS_ASYNC_PENDING;
    case GET_INFO:
    case GET_PRODUCT_ID:
        return VNX_STATUS_ASYNC_PENDING;
    default:
        return VNX_STATUS_SUCCESS;
    }
}

int TlinkDeviceFsm::setLeds()
{
    return state_ == CLOSED ? int(VNX_STATUS_DEVICE_CLOSED) : int(VNX_STATUS_SUCCESS);
}

int TlinkDeviceFsm::setModeOn()
{
    if (state_ == CLOSED) {
        return VNX_STATUS_DEVICE_CLOSED;
    }
    modeOn_ = true;
    if (state_ == OPEN) {
        if (host_ != nullptr) {
            host_->requestDataOn();
        }
        transition(ASLEEP);
    }
    return VNX_STATUS_SUCCESS;
}

int TlinkDeviceFsm::setModeOff()
{
    if (state_ == CLOSED) {
        return VNX_STATUS_DEVICE_CLOSED;
    }
    modeOn_ = false;
    if (state_ == ASLEEP || state_ == PROCESSING) {
        if (host_ != nullptr) {
            host_->requestDataOff();
        }
        transition(OPEN);
    }
    return VNX_STATUS_SUCCESS;
}

void TlinkDeviceFsm::receivedProductId()
{
    if (state_ != GET_PRODUCT_ID && state_ != GET_INFO) {
        return;
    }
    transition(state_ == GET_PRODUCT_ID ? GET_SCD : WAIT);
    if (host_ != nullptr) {
        host_->sendStatus(VNX_STATUS_SUCCESS, VNX_TLINK_DEVICE_STATUS_PRODUCT_INFO);
    }
}

int TlinkDeviceFsm::receivedMotionData()
{
    switch (state_) {
    case CLOSED:
        return VNX_STATUS_DEVICE_CLOSED;
    case OPEN:
        // Reports that nobody wants: ask the hardware again to stop them.
        if (host_ != nullptr) {
            host_->requestDataOff();
        }
        return VNX_STATUS_WARNING_SKIP_HANDLING;
    case ASLEEP:
        transition(PROCESSING);
        return VNX_STATUS_SUCCESS;
    case PROCESSING:
        // Motion keeps it awake: the time-out starts again.
        entryTime_ = vnx_time_ns();
        return VNX_STATUS_SUCCESS;
    default:
        return VNX_STATUS_WARNING_SKIP_HANDLING;
    }
}

void TlinkDeviceFsm::receivedOtherMessage()
{
    if (state_ == ASLEEP && host_ != nullptr) {
        host_->requestDataMode();
    }
}

void TlinkDeviceFsm::frsSuccess(TlinkFrsManager::ResponseStatus_e)
{
    if (state_ != GET_SCD) {
        return;
    }
    if (host_ != nullptr && host_->saveScd()) {
        transition(OPEN);
        return;
    }
    // An SCD that was not accepted costs a retry, as a time-out does.
    if (retry()) {
        enter(GET_SCD);
        return;
    }
    transition(WAIT);
    if (host_ != nullptr) {
        host_->sendStatus(VNX_STATUS_DEVICE_FAILED_TO_OPEN, VNX_TLINK_DEVICE_STATUS_DEVICE);
    }
}

void TlinkDeviceFsm::frsFail(TlinkFrsManager::ResponseStatus_e status)
{
    if (state_ != GET_SCD || status == kFrsStatusIgnoredInGetScd) {
        return;
    }
    VNX_LOGF(dftLog_, log::WARN, "Failed getting SCD from device (FRS error=%d)", int(status));
    transition(WAIT);
    if (host_ != nullptr) {
        host_->sendStatus(VNX_STATUS_DEVICE_FAILED_TO_OPEN, VNX_TLINK_DEVICE_STATUS_DEVICE);
    }
}

} // namespace vnx
