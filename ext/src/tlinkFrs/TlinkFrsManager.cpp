#include "tlinkFrs/TlinkFrsManager.h"

#include <utility>

#include "common/timeSource.h"

namespace {

constexpr uint8_t kProtocolVersion = 2;
constexpr uint16_t kWideWindow = 7;
constexpr uint16_t kWindow = 2;
constexpr uint32_t kReadWordsPerResponse = 3;
constexpr uint32_t kReadWordsPerBleResponse = 2;

// Read-response statuses.
constexpr uint32_t kReadMore = 0;
constexpr uint32_t kReadRecordEnd = 3;
constexpr uint32_t kReadBlockEnd = 6;
constexpr uint32_t kReadRecordEndAlternate = 7;

// Write-response statuses.
constexpr uint8_t kWriteAcknowledged = 0;
constexpr uint8_t kWriteReady = 4;
constexpr uint8_t kWriteAllReceived = 8;

bool carriesData(uint32_t status)
{
    return status == kReadMore || status == kReadRecordEnd || status == kReadBlockEnd ||
           status == kReadRecordEndAlternate;
}

TlinkFrsManager::ResponseStatus_e readErrorStatus(uint32_t status)
{
    switch (status) {
    case 1:
        return TlinkFrsManager::ResponseStatus_e(3);
    case 2:
        return TlinkFrsManager::ResponseStatus_e(4);
    case 4:
        return TlinkFrsManager::ResponseStatus_e(12);
    case 5:
        return TlinkFrsManager::ResponseStatus_e(8);
    default:
        return TlinkFrsManager::RESPONSE_DEVICE_ERROR;
    }
}

// Final or unexpected write statuses 1 to 10; anything else is 9.
TlinkFrsManager::ResponseStatus_e writeStatus(uint8_t status)
{
    static const int kMapped[] = {3, 4, 0, 9, 5, 5, 6, 9, 7, 15};
    if (status < 1 || status > 10) {
        return TlinkFrsManager::ResponseStatus_e(9);
    }
    return TlinkFrsManager::ResponseStatus_e(kMapped[status - 1]);
}

} // namespace

bool TlinkFrsManager::setListener(Listener* listener)
{
    if (state_ != IDLE) {
        return false;
    }
    listener_ = listener;
    return true;
}

bool TlinkFrsManager::setTimeouts(uint64_t readTimeoutNs, uint64_t writeTimeoutNs)
{
    if (state_ != IDLE) {
        return false;
    }
    if (readTimeoutNs != 0) {
        readTimeoutNs_ = readTimeoutNs;
    }
    if (writeTimeoutNs != 0) {
        writeTimeoutNs_ = writeTimeoutNs;
    }
    return true;
}

bool TlinkFrsManager::setRetransmits(uint16_t writeLimit, uint16_t readLimit, uint16_t furtherLimit)
{
    if (state_ != IDLE) {
        return false;
    }
    writeRetransmitLimit_ = writeLimit;
    readRetransmitLimit_ = readLimit;
    furtherLimit_ = furtherLimit;
    return true;
}

zephra_message TlinkFrsManager::message(uint32_t type) const
{
    zephra_message message = {};
    message.messageType = type;
    message.protocolVersion = kProtocolVersion;
    message.destination = static_cast<uint8_t>(target_);
    return message;
}

void TlinkFrsManager::SendFailed()
{
    if (state_ == READING) {
        listener_->frsReadDone(recordType_, target_, RESPONSE_SEND_FAILED, 0, nullptr);
    } else {
        listener_->frsWriteDone(recordType_, target_, RESPONSE_SEND_FAILED);
    }
    state_ = IDLE;
}

bool TlinkFrsManager::SendReadRequest(uint16_t offset)
{
    zephra_message request = message(zephra_typeFRSReadRequest);
    request.body.FRSReadRequest.wordOffset = offset;
    request.body.FRSReadRequest.recordType = static_cast<uint16_t>(recordType_);
    request.body.FRSReadRequest.wordCount = requestedCount_;
    if (listener_->sendMessage(request) != 0) {
        SendFailed();
        return false;
    }
    return true;
}

bool TlinkFrsManager::SendWriteData(uint16_t offset)
{
    zephra_message data = message(zephra_typeFRSWriteData);
    data.body.FRSWriteData.wordOffset = offset;
    data.body.FRSWriteData.data = data_[offset];
    if (listener_->sendMessage(data) != 0) {
        SendFailed();
        return false;
    }
    return true;
}

void TlinkFrsManager::ReadDone(ResponseStatus_e status)
{
    state_ = IDLE;
    // Handed over before the call: the listener may start the next
    // transaction from inside it, which clears the data array.
    std::vector<uint32_t> words = std::move(data_);
    data_.clear();
    if (status == RESPONSE_SUCCESS) {
        listener_->frsReadDone(recordType_, target_, status, static_cast<uint32_t>(words.size()),
                               words.data());
    } else {
        listener_->frsReadDone(recordType_, target_, status, 0, nullptr);
    }
}

void TlinkFrsManager::WriteDone(ResponseStatus_e status)
{
    state_ = IDLE;
    listener_->frsWriteDone(recordType_, target_, status);
}

void TlinkFrsManager::frsRead(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target, uint16_t count,
                              uint16_t offset)
{
    if (listener_ == nullptr) {
        return;
    }
    if (state_ != IDLE) {
        listener_->frsReadDone(type, target, RESPONSE_BUSY, 0, nullptr);
        return;
    }
    recordType_ = type;
    target_ = target;
    requestedCount_ = count;
    nextOffset_ = offset;
    offsetError_ = 0;
    data_.clear();
    state_ = READING;
    progressTime_ = vnx_time_ns();
    timeout_ = readTimeoutNs_;
    retransmits_ = 0;
    SendReadRequest(nextOffset_);
}

void TlinkFrsManager::frsWrite(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target, uint32_t count,
                               const uint32_t* words)
{
    if (listener_ == nullptr) {
        return;
    }
    if (state_ != IDLE) {
        listener_->frsWriteDone(type, target, RESPONSE_BUSY);
        return;
    }
    recordType_ = type;
    target_ = target;
    if (count > 0 && words == nullptr) {
        data_.clear();
        WriteDone(RESPONSE_NO_DATA);
        return;
    }
    data_.assign(words, words + count);
    nextOffset_ = 0;
    lastSentOffset_ = 0;
    retransmits_ = 0;
    progressTime_ = vnx_time_ns();
    timeout_ = writeTimeoutNs_;
    writeWindow_ = type == TlinkFrs::RECORD_WIDE_WINDOW ? kWideWindow : kWindow;
    state_ = count == 0 ? EMPTY_WRITE_REQUESTED : WRITE_REQUESTED;

    zephra_message request = message(zephra_typeFRSWriteRequest);
    request.body.FRSWriteRequest.recordLength = static_cast<uint16_t>(count);
    request.body.FRSWriteRequest.recordType = static_cast<uint16_t>(type);
    if (listener_->sendMessage(request) != 0) {
        SendFailed();
    }
}

bool TlinkFrsManager::receiveMessage(const zephra_message& message)
{
    if (listener_ == nullptr) {
        return false;
    }
    bool consumed = false;
    switch (message.messageType) {
    case zephra_typeFRSReadResponse: {
        const zephra_FRSReadResponse& response = message.body.FRSReadResponse;
        if (response.wordCount <= kReadWordsPerResponse) {
            consumed =
                ReadResponseHandler(response.status, response.wordCount, response.wordOffset, response.data);
        }
        break;
    }
    case zephra_typeFRSReadResponseBLE: {
        const zephra_FRSReadResponseBLE& response = message.body.FRSReadResponseBLE;
        if (response.wordCount <= kReadWordsPerBleResponse) {
            consumed =
                ReadResponseHandler(response.status, response.wordCount, response.wordOffset, response.data);
        }
        break;
    }
    case zephra_typeFRSWriteResponse:
        consumed = WriteResponseHandler(message.body.FRSWriteResponse);
        break;
    default:
        break;
    }
    TimeoutHandler();
    return consumed;
}

void TlinkFrsManager::process()
{
    if (listener_ != nullptr) {
        TimeoutHandler();
    }
}

bool TlinkFrsManager::ReadResponseHandler(uint32_t status, uint32_t wordCount, uint16_t offset,
                                          const uint32_t* words)
{
    if (state_ != READING) {
        return false;
    }
    if (!carriesData(status)) {
        ReadDone(readErrorStatus(status));
        return true;
    }
    if (offset == nextOffset_) {
        // Offsets are 16 bits: a device that never ends its record would
        // wrap them and grow the data without bound.
        if (data_.size() + wordCount > kMaxReadWords) {
            ReadDone(RESPONSE_DEVICE_ERROR); // the words read so far are freed
            return true;
        }
        nextOffset_ = static_cast<uint16_t>(nextOffset_ + wordCount);
        progressTime_ = vnx_time_ns();
        retransmits_ = 0;
        data_.insert(data_.end(), words, words + wordCount);
    } else {
        offsetError_ = 1;
    }
    if (status == kReadMore) {
        return true;
    }

    if (offsetError_ != 0) {
        offsetError_ = 0;
        if (retransmits_ >= readRetransmitLimit_) {
            ReadDone(RESPONSE_READ_OFFSET_ERRORS);
            return true;
        }
        ++retransmits_;
        VNX_LOGF(dftLog_, vnx::log::ERROR, "Read offset error, rtx = %d", int(retransmits_));
        SendReadRequest(nextOffset_);
    } else if (status != kReadBlockEnd || requestedCount_ != 0) {
        ReadDone(RESPONSE_SUCCESS);
    } else {
        SendReadRequest(nextOffset_);
    }
    return true;
}

bool TlinkFrsManager::WriteResponseHandler(const zephra_FRSWriteResponse& response)
{
    const uint8_t status = response.status;
    switch (state_) {
    case WRITE_REQUESTED:
        if (status != kWriteReady) {
            WriteDone(writeStatus(status));
            return true;
        }
        progressTime_ = vnx_time_ns();
        state_ = SENDING_DATA;
        SendWriteData(nextOffset_);
        return true;

    case SENDING_DATA: {
        if (status != kWriteAcknowledged) {
            return true;
        }
        const uint16_t acknowledged = response.wordOffset;
        if (acknowledged < nextOffset_ || acknowledged > lastSentOffset_) {
            VNX_LOGF(dftLog_, vnx::log::ERROR, "Write offset error.");
            return true;
        }
        if (acknowledged != nextOffset_) {
            VNX_LOGF(dftLog_, vnx::log::INFO, "Write offset skipped.  Expected: %d, Received %d.",
                     int(nextOffset_), int(acknowledged));
        }
        nextOffset_ = static_cast<uint16_t>(acknowledged + 1);
        progressTime_ = vnx_time_ns();
        if (nextOffset_ >= data_.size()) {
            state_ = ALL_ACKNOWLEDGED;
            return true;
        }
        if (retransmits_ != 0) {
            lastSentOffset_ = acknowledged;
            retransmits_ = 0;
        }
        while (lastSentOffset_ - nextOffset_ + 1 < writeWindow_ && lastSentOffset_ + 1u < data_.size()) {
            ++lastSentOffset_;
            if (!SendWriteData(lastSentOffset_)) {
                return true;
            }
        }
        return true;
    }

    case ALL_ACKNOWLEDGED:
    case EMPTY_WRITE_REQUESTED:
        if (status == (state_ == ALL_ACKNOWLEDGED ? kWriteAllReceived : kWriteReady)) {
            progressTime_ = vnx_time_ns();
            state_ = WAITING_FINAL_STATUS;
        } else {
            WriteDone(writeStatus(status));
        }
        return true;

    case WAITING_FINAL_STATUS:
        WriteDone(writeStatus(status));
        return true;

    default:
        return false;
    }
}

void TlinkFrsManager::TimeoutHandler()
{
    if (state_ == IDLE || timeout_ == 0 || vnx_time_ns() - progressTime_ < timeout_) {
        return;
    }
    switch (state_) {
    case READING:
        if (retransmits_ >= readRetransmitLimit_) {
            ReadDone(RESPONSE_TIMEOUT);
            return;
        }
        ++retransmits_;
        VNX_LOGF(dftLog_, vnx::log::INFO, "Read request timeout, rtx = %d", int(retransmits_));
        progressTime_ = vnx_time_ns();
        SendReadRequest(nextOffset_);
        return;
    case SENDING_DATA:
        if (retransmits_ < writeRetransmitLimit_) {
            ++retransmits_;
            progressTime_ = vnx_time_ns();
            SendWriteData(nextOffset_);
            return;
        }
        WriteDone(RESPONSE_WRITE_RETRANSMITS);
        return;
    default:
        WriteDone(RESPONSE_TIMEOUT);
        return;
    }
}
