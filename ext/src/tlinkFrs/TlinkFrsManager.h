#pragma once

// Reads and writes one flash record of a device at a time over the version-2
// flash-record messages: per-transaction time-outs, retransmission and a
// sliding window for writes. It owns no transport and no timer: messages
// leave through its listener, arrive through receiveMessage, and time-outs
// are comparisons with the engine clock made when a message arrives or the
// owner calls process. Single-threaded.

#include <cstdint>
#include <vector>

#include "linkCodec/zephraMessage.h"
#include "log/DefaultLogger.h"
#include "tlinkFrs/TlinkFrs.h"

class TlinkFrsManager
{
    VNX_EXT_LOG_DEFAULT(TlinkFrsManager);

  public:
    /// How a transaction ended. Device statuses are mapped onto the values
    /// between the named ones.
    enum ResponseStatus_e : int
    {
        RESPONSE_SUCCESS = 0,
        RESPONSE_BUSY = 1,    ///< another transaction runs
        RESPONSE_TIMEOUT = 2, ///< no answer, retransmits used up
        RESPONSE_NO_DATA = 6, ///< a write of words without words
        RESPONSE_WRITE_RETRANSMITS = 10,
        RESPONSE_READ_OFFSET_ERRORS = 11,
        RESPONSE_DEVICE_ERROR = 15, ///< read status 8 or above; also a read past 65,536 words
        RESPONSE_SEND_FAILED = 16,
    };

    /// The owner's side: transaction ends and outgoing messages. The order
    /// of the operations is part of the binary interface.
    class Listener
    {
      public:
        virtual ~Listener() = default;
        /// `words` are valid during the call only; no words unless status 0.
        virtual void frsReadDone(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target,
                                 ResponseStatus_e status, uint32_t count, const uint32_t* words) = 0;
        virtual void frsWriteDone(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target,
                                  ResponseStatus_e status) = 0;
        /// Non-zero: the message was not sent.
        virtual int sendMessage(const zephra_message& message) = 0;
    };

    /// Most words one read may collect: offsets are 16 bits.
    static constexpr uint32_t kMaxReadWords = 65536;

    TlinkFrsManager() = default;
    TlinkFrsManager(const TlinkFrsManager&) = delete;
    TlinkFrsManager& operator=(const TlinkFrsManager&) = delete;

    // Settings: refused (false, nothing changed) while a transaction runs.
    bool setListener(Listener* listener);
    /// A zero argument keeps the current value.
    bool setTimeouts(uint64_t readTimeoutNs, uint64_t writeTimeoutNs);
    bool setRetransmits(uint16_t writeLimit, uint16_t readLimit, uint16_t furtherLimit);

    /// Starts reading `count` words (0: the whole record) from `offset`.
    /// Nothing without a listener; status 1 to the listener while another
    /// transaction runs.
    void frsRead(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target, uint16_t count, uint16_t offset);
    /// Starts writing `count` words. Nothing without a listener.
    void frsWrite(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target, uint32_t count,
                  const uint32_t* words);
    /// Offers an incoming message: true when it belonged to the running
    /// transaction. Then looks at the time-out.
    bool receiveMessage(const zephra_message& message);
    /// Looks at the time-out of the running transaction.
    void process();

  private:
    enum State_e : uint32_t
    {
        IDLE = 0,
        READING = 1,
        WRITE_REQUESTED = 2,
        SENDING_DATA = 3,
        ALL_ACKNOWLEDGED = 4,
        WAITING_FINAL_STATUS = 5,
        EMPTY_WRITE_REQUESTED = 6,
    };

    bool SendReadRequest(uint16_t offset);
    bool SendWriteData(uint16_t offset);
    bool ReadResponseHandler(uint32_t status, uint32_t wordCount, uint16_t offset, const uint32_t* words);
    bool WriteResponseHandler(const zephra_FRSWriteResponse& response);
    void TimeoutHandler();
    void WriteDone(ResponseStatus_e status);
    void ReadDone(ResponseStatus_e status);
    /// A send failed: the listener hears it first, then the manager is idle.
    void SendFailed();
    zephra_message message(uint32_t type) const;

    Listener* listener_ = nullptr;
    uint64_t readTimeoutNs_ = 1'000'000'000ull;
    uint64_t writeTimeoutNs_ = 5'000'000'000ull;
    std::vector<uint32_t> data_;
    TlinkFrs::RecordType_e recordType_ = TlinkFrs::RecordType_e(0);
    TlinkFrs::TargetType_e target_ = TlinkFrs::TargetType_e(0);
    uint16_t nextOffset_ = 0;
    uint16_t lastSentOffset_ = 0;
    uint16_t requestedCount_ = 0;
    uint8_t offsetError_ = 0;
    uint64_t progressTime_ = 0;
    uint64_t timeout_ = 0;
    uint16_t retransmits_ = 0;
    uint16_t writeRetransmitLimit_ = 3;
    uint16_t readRetransmitLimit_ = 3;
    uint16_t writeWindow_ = 2;
    uint16_t furtherLimit_ = 66; // kept for the settings interface; nothing reads it
    State_e state_ = IDLE;
};
