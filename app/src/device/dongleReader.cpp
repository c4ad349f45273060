#include "device/dongleReader.h"

#include "device/hidCallback.h"
#include "device/hidDevice.h"
#include "device/modeReport.h"
#include "device/packetQueue.h"
#include "device/presenterState.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Unsettled time-outs after which a report settles the link.
constexpr int kQuietTimeoutsToSettle = 30;
// Opens after which the first unsettled time-out settles the link.
constexpr uint32_t kOpensToSettle = 3;
// Unsettled time-outs, after the first, before the receiver is opened again.
constexpr int kUnsettledTimeoutsBeforeReopen = 5;
// Settled time-outs from one mode and release check to the next.
constexpr uint32_t kSettledTimeoutsPerCheck = 5;
// Checks from one release report to the next.
constexpr uint32_t kChecksPerRelease = 3;

bool takeRemovedFlag()
{
    return hidDeviceRemovedFlag.exchange(0, relaxed) == 1;
}

} // namespace

DongleReader::DongleReader(HidBackend& backend, packetQueue* queue, ReceiverIds ids, State initial)
    : backend_(backend), ids_(ids), state_(initial)
{
    hidDeviceAttach(&backend, queue);
}

void DongleReader::run(const std::function<bool()>& stopRequested)
{
    while (openReceiver(stopRequested)) {
        sendModeBurst();
        ++state_.modeBurstCount;
        reportPresenterEvent(PresenterEvent{1, 0, 0, 0, 0, 0, presenterInfoWord.load(relaxed)});
        receiverOpen.store(1, relaxed);
        serveReceiver(stopRequested);
    }
}

bool DongleReader::openReceiver(const std::function<bool()>& stopRequested)
{
    for (;;) {
        if (stopRequested()) {
            return false;
        }
        if (hidDeviceOpen(1, ids_.vendorId, ids_.productId, 0, 0) > 0) {
            return true;
        }
        presenterPairState.store(0, relaxed);
        receiverOpen.store(0, relaxed);
        presenterInfoWord.store(0, relaxed);
        hotButtonState.store(0, relaxed);
        pointerButtonDown.store(0, relaxed);
        reportPresenterEvent(PresenterEvent{});
        backend_.sleepMicroseconds(kAbsentRetryUs);
    }
}

// Reads the open receiver until it must be opened again.
void DongleReader::serveReceiver(const std::function<bool()>& stopRequested)
{
    uint8_t buffer[24];
    while (!stopRequested()) {
        if (takeRemovedFlag()) {
            return;
        }
        const int received = hidDeviceRecv(0, buffer, sizeof buffer, kReceiveTimeoutMs);
        if (received < 0) {
            state_.linkSettled = false;
            hidDeviceClose(0);
            state_.unsettledTimeouts = 0;
            state_.quietTimeouts = 0;
            return;
        }
        if (received > 0) {
            presenterPairState.store(1, relaxed);
            if (state_.quietTimeouts > kQuietTimeoutsToSettle) {
                state_.linkSettled = true;
                state_.quietTimeouts = 0;
            }
            backend_.sleepMicroseconds(kAfterTrafficUs);
            continue;
        }
        if (state_.linkSettled) {
            checkSettledLink();
            continue;
        }
        // Unsettled silence: the receiver may have missed the mode report.
        if (state_.modeBurstCount >= kOpensToSettle) {
            state_.modeBurstCount = 0;
            state_.linkSettled = true;
            state_.quietTimeouts = 0;
        }
        ++state_.quietTimeouts;
        if (state_.unsettledTimeouts < kUnsettledTimeoutsBeforeReopen) {
            ++state_.unsettledTimeouts;
            continue;
        }
        state_.unsettledTimeouts = 0;
        hidDeviceClose(0);
        return;
    }
}

// Every fifth settled time-out: send the mode again when the button mode
// changed, and every third such check report both buttons released, in case
// a release was lost.
void DongleReader::checkSettledLink()
{
    if (state_.settledTimeoutTick >= kSettledTimeoutsPerCheck) {
        state_.settledTimeoutTick = 0;
    }
    if (state_.settledTimeoutTick == 0) {
        if (buttonOnlyMode.load(relaxed) != state_.lastSentButtonOnlyMode) {
            sendModeBurst();
        }
        if (state_.releaseCheckCount >= kChecksPerRelease) {
            hotButtonState.store(0, relaxed);
            pointerButtonDown.store(0, relaxed);
            state_.releaseCheckCount = 0;
            reportPresenterEvent(PresenterEvent{static_cast<char>(receiverOpen.load(relaxed)),
                                                presenterPairState.load(relaxed), 0, 0, 0, 0,
                                                presenterInfoWord.load(relaxed)});
        }
        ++state_.releaseCheckCount;
    }
    ++state_.settledTimeoutTick;
}

// The mode report to every slot, 100 µs apart; slots past the end of the
// list refuse it.
void DongleReader::sendModeBurst()
{
    const uint8_t mode = buttonOnlyMode.load(relaxed);
    const modeReport report = modeReportFor(mode != 0);
    for (int slot = 0; slot < kModeBurstSlots; ++slot) {
        hidDeviceSend(slot, report.bytes, sizeof report.bytes);
        backend_.sleepMicroseconds(kModeBurstGapUs);
    }
    state_.lastSentButtonOnlyMode = mode;
}

void dongleReaderThread(HidBackend* backend, ReceiverIds ids)
{
    DongleReader reader(*backend, sharedPacketQueue(), ids);
    reader.run([] { return false; });
}
