#include "support/FakeHidBackend.h"

#include <gtest/gtest.h>

namespace {

const HidDeviceInfo receiver{"/dev/hidraw3", 0x1915, 0x1025, 0xFF00, 1};
const HidDeviceInfo keyboard{"/dev/hidraw0", 0x046D, 0xC31C, 0x0001, 6};

std::vector<uint8_t> report(uint8_t kind, size_t length = 64)
{
    std::vector<uint8_t> bytes(length, 0);
    bytes[1] = kind;
    return bytes;
}

TEST(FakeHidBackend, ReplaysAPlugReportsAndUnplugOnTheVirtualClock)
{
    FakeHidBackend hid;
    hid.plugAt(1'000'000, receiver);
    hid.reportAt(1'250'000, receiver.path, report(1));
    hid.reportAt(1'250'000, receiver.path, report(3));
    hid.reportAt(1'400'000, receiver.path, report(8));
    hid.unplugAt(2'000'000, receiver.path);

    // Before the plug: nothing to find, nothing to open.
    EXPECT_TRUE(hid.enumerate(receiver.vendorId, receiver.productId, 0, 0).empty());
    HidDeviceHandle handle = kHidNoDevice;
    EXPECT_EQ(hid.open(receiver.path, handle), HidOpenResult::NotFound);

    hid.sleepMicroseconds(500'000);
    EXPECT_EQ(hid.nowMicroseconds(), 500'000);
    hid.sleepMicroseconds(500'000);
    ASSERT_EQ(hid.enumerate(receiver.vendorId, receiver.productId, 0, 0).size(), 1u);
    ASSERT_EQ(hid.open(receiver.path, handle), HidOpenResult::Opened);

    uint8_t buffer[64];
    // A read times out after its full time when nothing comes.
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 100), kHidTimedOut);
    EXPECT_EQ(hid.nowMicroseconds(), 1'100'000);
    // A report due within the time-out ends the wait at its time.
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 500), 64);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(hid.nowMicroseconds(), 1'250'000);
    // Reports of the same time come in the order scripted, without waiting.
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 100), 64);
    EXPECT_EQ(buffer[1], 3);
    EXPECT_EQ(hid.nowMicroseconds(), 1'250'000);
    EXPECT_EQ(hid.read(handle, buffer, 24, 1000), 24);
    EXPECT_EQ(buffer[1], 8);
    EXPECT_EQ(hid.nowMicroseconds(), 1'400'000);
    // The unplug ends a wait that spans it.
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 10'000), kHidRemoved);
    EXPECT_EQ(hid.nowMicroseconds(), 2'000'000);
    EXPECT_TRUE(hid.enumerate(0, 0, 0, 0).empty());
    EXPECT_EQ(hid.write(handle, buffer, 32), kHidRemoved);
    hid.close(handle);
}

TEST(FakeHidBackend, EnumerateFiltersLikeTheRealBackend)
{
    FakeHidBackend hid;
    hid.plug(receiver);
    hid.plug(keyboard);
    EXPECT_EQ(hid.enumerate(0, 0, 0, 0).size(), 2u);
    const auto found = hid.enumerate(receiver.vendorId, receiver.productId, 0, 0);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, receiver.path);
    EXPECT_EQ(hid.enumerate(0, 0, 0x0001, 6).at(0).path, keyboard.path);
}

TEST(FakeHidBackend, ReportsReachOnlyHandlesOpenAtTheirTime)
{
    FakeHidBackend hid;
    hid.plug(receiver);
    hid.queueReport(receiver.path, report(1)); // nobody listens yet: lost
    HidDeviceHandle handle = kHidNoDevice;
    ASSERT_EQ(hid.open(receiver.path, handle), HidOpenResult::Opened);
    uint8_t buffer[64];
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 10), kHidTimedOut);
    hid.queueReport(receiver.path, report(3, 80)); // longer than a report: cut to 64
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 10), 64);
    EXPECT_EQ(hid.read(handle, nullptr, 64, 10), kHidRefused);
}

TEST(FakeHidBackend, RecordsWritesWithTheirVirtualTime)
{
    FakeHidBackend hid;
    hid.plug(receiver);
    HidDeviceHandle handle = kHidNoDevice;
    ASSERT_EQ(hid.open(receiver.path, handle), HidOpenResult::Opened);
    const uint8_t mode[32] = {0x55, 0xAA, 0x55, 0xAA};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(hid.write(handle, mode, sizeof mode), 32);
        hid.sleepMicroseconds(100);
    }
    const auto writes = hid.writes();
    ASSERT_EQ(writes.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(writes[i].timeUs, i * 100);
        EXPECT_EQ(writes[i].path, receiver.path);
        EXPECT_EQ(writes[i].data, std::vector<uint8_t>(mode, mode + 32));
    }
}

TEST(FakeHidBackend, InjectedErrors)
{
    FakeHidBackend hid;
    hid.plug(receiver);
    HidDeviceHandle handle = kHidNoDevice;
    for (HidOpenResult refusal : {HidOpenResult::PermissionDenied, HidOpenResult::Failed}) {
        hid.refuseOpen(receiver.path, refusal);
        EXPECT_EQ(hid.open(receiver.path, handle), refusal) << hidOpenResultName(refusal);
        EXPECT_EQ(handle, kHidNoDevice);
    }
    hid.allowOpen(receiver.path);
    ASSERT_EQ(hid.open(receiver.path, handle), HidOpenResult::Opened);
    EXPECT_EQ(hid.openCount(receiver.path), 1);

    const uint8_t mode[32] = {};
    hid.refuseWrites(receiver.path, true);
    EXPECT_EQ(hid.write(handle, mode, sizeof mode), kHidRemoved);
    hid.refuseWrites(receiver.path, false);
    EXPECT_EQ(hid.write(handle, mode, sizeof mode), 32);
    EXPECT_EQ(hid.writes().size(), 1u);

    // Pulled out and plugged in again: the old handle stays dead, a new open works.
    hid.unplug(receiver.path);
    hid.plug(receiver);
    uint8_t buffer[64];
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 100), kHidRemoved);
    HidDeviceHandle again = kHidNoDevice;
    ASSERT_EQ(hid.open(receiver.path, again), HidOpenResult::Opened);
    EXPECT_NE(again, handle);
    EXPECT_EQ(hid.read(again, buffer, sizeof buffer, 100), kHidTimedOut);
}

} // namespace
