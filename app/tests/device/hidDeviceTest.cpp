#include "deviceFixtures.h"

namespace {

const HidDeviceInfo receiver{"/dev/hidraw5", 0x1234, 0xABCD, 0xFF00, 1};
const HidDeviceInfo second{"/dev/hidraw6", 0x1234, 0xABCD, 0xFF00, 1};

class HidDeviceLayer : public ReceiverTest
{
  protected:
    int openReceiver(int maximum = 1)
    {
        return hidDeviceOpen(maximum, receiver.vendorId, receiver.productId, 0, 0);
    }
};

TEST_F(HidDeviceLayer, AnswersOfMissingClosedAndEmptyArguments)
{
    hid.plug(receiver);
    uint8_t buffer[24] = {};
    EXPECT_EQ(hidDeviceOpen(0, receiver.vendorId, receiver.productId, 0, 0), 0);
    EXPECT_EQ(hid.openCount(receiver.path), 0);
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), -1) << "no slot yet";

    ASSERT_EQ(openReceiver(), 1);
    EXPECT_EQ(hidDeviceRecv(0, buffer, 0, 100), 0);
    EXPECT_EQ(hidDeviceRecv(0, nullptr, 24, 100), 0);
    EXPECT_EQ(hidDeviceRecv(1, buffer, sizeof buffer, 100), -1);
    EXPECT_EQ(hidDeviceRecv(-1, buffer, sizeof buffer, 100), -1);
    EXPECT_EQ(hidDeviceSend(1, buffer, sizeof buffer), -1);
    EXPECT_EQ(hidDeviceSend(0, nullptr, 24), -1);
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 0) << "time-out";
    EXPECT_EQ(hid.nowMicroseconds(), 100'000);

    EXPECT_EQ(sendModeReportOn(0), 0);
    EXPECT_EQ(sendModeReportOff(0), 0);
    hid.refuseWrites(receiver.path, true);
    EXPECT_EQ(sendModeReportOn(0), 1);
    EXPECT_EQ(sendModeReportOff(0), 1);
    hid.refuseWrites(receiver.path, false);
    const auto writes = hid.writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].data, modeReportBytes(false));
    EXPECT_EQ(writes[1].data[8], 0x00);

    hidDeviceClose(0);
    EXPECT_EQ(hidDeviceSend(0, modeReportFor(true).bytes, 32), -1);
    EXPECT_EQ(sendModeReportOn(0), 1);
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), -1);
    EXPECT_EQ(hid.openHandleCount(), 0);
    hidDeviceClose(0);
    hidDeviceClose(7);
}

TEST_F(HidDeviceLayer, EveryReportBecomesOnePacketAndItsLengthIsTheAnswer)
{
    hid.plug(receiver);
    ASSERT_EQ(openReceiver(), 1);
    // Kinds the motion thread reads and one it does not: all queued alike.
    const std::vector<uint8_t> kinds = {hidPacketKindMotion, hidPacketKindButton, hidPacketKindStatus, 0x42};
    for (const uint8_t kind : kinds) {
        hid.reportAt(hid.nowMicroseconds() + 8'000, receiver.path, numberedReport(kind));
        uint8_t buffer[24] = {};
        EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 24);
        EXPECT_EQ(buffer[1], kind);
        EXPECT_EQ(buffer[23], 0x80 + 23);
    }
    const std::vector<hidPacket> packets = takePackets();
    ASSERT_EQ(packets.size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(packets[i].kind, kinds[i]);
        EXPECT_EQ(packets[i].reportByte0, 0x80);
        EXPECT_EQ(packets[i].deviceNumber, 0x82);
        EXPECT_EQ(packets[i].payload[0], 0x83);
        EXPECT_EQ(packets[i].payload[15], 0x80 + 18);
    }
}

TEST_F(HidDeviceLayer, AShortReportCarriesNoBytesOfTheReportBefore)
{
    hid.plug(receiver);
    ASSERT_EQ(openReceiver(), 1);
    hid.queueReport(receiver.path, std::vector<uint8_t>(64, 0xFF));
    uint8_t buffer[24];
    ASSERT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 24);
    hid.queueReport(receiver.path, numberedReport(hidPacketKindButton, 10));
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 10);

    const std::vector<hidPacket> packets = takePackets();
    ASSERT_EQ(packets.size(), 2u);
    const hidPacket& shortOne = packets[1];
    EXPECT_EQ(shortOne.kind, hidPacketKindButton);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(shortOne.payload[i], 0x83 + i) << "packet byte " << 4 + i;
    }
    for (size_t i = 7; i < 16; ++i) {
        EXPECT_EQ(shortOne.payload[i], 0x00) << "packet byte " << 4 + i;
    }
}

TEST_F(HidDeviceLayer, ReportsWaitingBehindTheFirstAreQueuedInTheSameRead)
{
    hid.plug(receiver);
    ASSERT_EQ(openReceiver(), 1);
    // A fast receiver: five samples arrived while the reader slept.
    for (uint8_t n = 0; n < 5; ++n) {
        std::vector<uint8_t> report = numberedReport(hidPacketKindMotion);
        report[3] = n;
        hid.queueReport(receiver.path, report);
    }
    hid.reportAt(50'000, receiver.path, numberedReport(hidPacketKindButton));
    uint8_t buffer[24];
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 24);
    EXPECT_EQ(hid.nowMicroseconds(), 0) << "the catch-up does not wait";
    std::vector<hidPacket> packets = takePackets();
    ASSERT_EQ(packets.size(), 5u);
    for (uint8_t n = 0; n < 5; ++n) {
        EXPECT_EQ(packets[n].payload[0], n);
    }
    // The report still to come is the next read's.
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 24);
    EXPECT_EQ(hid.nowMicroseconds(), 50'000);
    packets = takePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].kind, hidPacketKindButton);
}

TEST_F(HidDeviceLayer, EmptyAndOverlongReports)
{
    hid.plug(receiver);
    ASSERT_EQ(openReceiver(), 1);
    uint8_t buffer[64];
    hid.queueReport(receiver.path, {});
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 0) << "nothing to read in an empty report";
    hid.queueReport(receiver.path, numberedReport(hidPacketKindMotion, 200));
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 64);
    hid.queueReport(receiver.path, numberedReport(hidPacketKindStatus, 1));
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 1);
    const std::vector<hidPacket> packets = takePackets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].kind, hidPacketKindMotion);
    EXPECT_EQ(packets[1].reportByte0, 0x80);
    EXPECT_EQ(packets[1].kind, 0);
}

TEST_F(HidDeviceLayer, UnplugSetsTheRemovedFlagClosesTheSlotAndKeepsItsPackets)
{
    hid.plug(receiver);
    ASSERT_EQ(openReceiver(), 1);
    hid.reportAt(10'000, receiver.path, numberedReport(hidPacketKindMotion));
    hid.unplugAt(20'000, receiver.path);
    uint8_t buffer[24];
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), 24);
    EXPECT_EQ(hidDeviceRemovedFlag.load(), 0);
    EXPECT_EQ(hidDeviceRecv(0, buffer, sizeof buffer, 100), -1);
    EXPECT_EQ(hidDeviceRemovedFlag.load(), 1);
    ASSERT_NE(hidDeviceRecordAt(0), nullptr);
    EXPECT_EQ(hidDeviceRecordAt(0)->open, 0);
    EXPECT_EQ(hidDeviceSend(0, buffer, sizeof buffer), -1);
    EXPECT_EQ(takePackets().size(), 1u);

    // The next open lets go of the gone device's handle.
    EXPECT_EQ(openReceiver(), 0);
    EXPECT_EQ(hidDeviceRecordAt(0), nullptr);
    EXPECT_EQ(hid.openHandleCount(), 0);
}

TEST_F(HidDeviceLayer, OpenTakesNoMoreDevicesThanTheMaximum)
{
    hid.plug(receiver);
    hid.plug(second);
    for (const int maximum : {1, 2, 5}) {
        EXPECT_EQ(openReceiver(maximum), std::min(maximum, 2));
        EXPECT_EQ(hid.openHandleCount(), std::min(maximum, 2)) << "a reopen closes what it held";
    }
    EXPECT_EQ(hidDeviceOpen(1, 0x1235, 0, 0, 0), 0);
    EXPECT_EQ(hid.openHandleCount(), 0);
}

} // namespace
