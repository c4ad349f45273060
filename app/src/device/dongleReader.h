#pragma once

// The reader thread: opens the receiver (looking again every 500 ms while it
// is absent), keeps it in the mode the button mode needs with bursts of the
// mode report, turns its input reports into packets on the packet queue
// (through the HID layer), tells the application when the receiver comes or
// goes and when the buttons count as released, and starts over by itself
// after an unplug.

#include "device/receiverIds.h"
#include "platform/HidBackend.h"

#include <cstdint>
#include <functional>

struct packetQueue;

/// The reader's counters. A fresh reader starts from all zero; a test may
/// start from another state.
struct DongleReaderState
{
    bool linkSettled = false;
    int unsettledTimeouts = 0;
    int quietTimeouts = 0;
    uint32_t modeBurstCount = 0; ///< opens, each with its burst, since last cleared
    uint8_t lastSentButtonOnlyMode = 0;
    uint32_t settledTimeoutTick = 0;
    uint32_t releaseCheckCount = 0;
};

class DongleReader
{
  public:
    using State = DongleReaderState;

    static constexpr int kModeBurstSlots = 256;
    static constexpr int64_t kModeBurstGapUs = 100;
    static constexpr int64_t kAbsentRetryUs = 500'000;
    static constexpr int kReceiveTimeoutMs = 100;
    static constexpr int64_t kAfterTrafficUs = 5'000;

    /// Attaches the HID layer to `backend` and `queue`; the reader sleeps on
    /// the backend's clock.
    DongleReader(HidBackend& backend, packetQueue* queue, ReceiverIds ids, State initial = {});

    /// Runs until `stopRequested` answers true, which it asks before each
    /// open and each receive; the program's reader never stops.
    void run(const std::function<bool()>& stopRequested);

    const State& state() const { return state_; }

  private:
    bool openReceiver(const std::function<bool()>& stopRequested);
    void serveReceiver(const std::function<bool()>& stopRequested);
    void sendModeBurst();
    void checkSettledLink();

    HidBackend& backend_;
    ReceiverIds ids_;
    State state_;
};

/// The reader thread's body: runs a reader on `backend` forever, its packets
/// going to the process-wide packet queue.
void dongleReaderThread(HidBackend* backend, ReceiverIds ids);
