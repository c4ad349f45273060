#pragma once

// Helpers of the receiver tests: a packet queue of the test's own, the
// presenter events with the virtual time they were reported at, and the
// shared state reset between tests.

#include "device/hidCallback.h"
#include "device/hidDevice.h"
#include "device/hidPacket.h"
#include "device/modeReport.h"
#include "device/packetQueue.h"
#include "device/presenterState.h"
#include "support/FakeHidBackend.h"

#include <gtest/gtest.h>
#include <vector>

struct TimedEvent
{
    int64_t timeUs;
    PresenterEvent event;
};

inline bool operator==(const TimedEvent& a, const TimedEvent& b)
{
    return a.timeUs == b.timeUs && a.event == b.event;
}

inline void PrintTo(const TimedEvent& e, std::ostream* out)
{
    *out << "{" << e.timeUs << " us: " << int(e.event.dongleInsert) << ", " << e.event.pairState << ", "
         << e.event.dx << ", " << e.event.dy << ", " << int(e.event.hotState) << ", "
         << int(e.event.pointerPressed) << ", " << e.event.info << "}";
}

/// The receiver's layer on a fake backend, with a queue and event record of
/// the test's own; the shared presenter state starts from zero.
class ReceiverTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(packetQueueInitSync(&queue), 0);
        ASSERT_EQ(packetQueueInit(&queue), 0);
        hidDeviceAttach(&hid, &queue);
        for (auto* word : {&buttonOnlyMode, &receiverOpen, &hotButtonState, &pointerButtonDown}) {
            word->store(0);
        }
        presenterPairState.store(0);
        presenterInfoWord.store(0);
        setHidCallback([this](const PresenterEvent& event) {
            events.push_back({hid.nowMicroseconds(), event});
        });
    }

    void TearDown() override
    {
        setHidCallback({});
        hidDeviceAttach(nullptr, sharedPacketQueue());
        for (hidPacket* packet : takeQueue()) {
            hidPacketFree(packet);
        }
        packetQueueClose(&queue);
        packetQueueDestroySync(&queue);
    }

    /// Every packet queued so far, copied out and freed, in queue order.
    std::vector<hidPacket> takePackets()
    {
        std::vector<hidPacket> packets;
        for (hidPacket* packet : takeQueue()) {
            packets.push_back(*packet);
            hidPacketFree(packet);
        }
        return packets;
    }

    FakeHidBackend hid;
    packetQueue queue{};
    std::vector<TimedEvent> events;

  private:
    // A marker pushed behind the packets ends the taking without blocking.
    std::vector<hidPacket*> takeQueue()
    {
        std::vector<hidPacket*> items;
        int marker = 0;
        if (packetQueuePushBack(&queue, &marker) != 0) {
            return items;
        }
        for (void* item = packetQueuePopFront(&queue); item != nullptr && item != &marker;
             item = packetQueuePopFront(&queue)) {
            items.push_back(static_cast<hidPacket*>(item));
        }
        return items;
    }
};

inline std::vector<uint8_t> numberedReport(uint8_t kind, size_t length = 64)
{
    std::vector<uint8_t> report(length);
    for (size_t i = 0; i < length; ++i) {
        report[i] = static_cast<uint8_t>(0x80 + i);
    }
    if (length > 1) {
        report[1] = kind;
    }
    return report;
}

inline std::vector<uint8_t> modeReportBytes(bool buttonsOnly)
{
    const modeReport report = modeReportFor(buttonsOnly);
    return {report.bytes, report.bytes + sizeof report.bytes};
}
