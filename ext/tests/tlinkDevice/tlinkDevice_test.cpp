#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "activityClassification/ActivityClassificationRecords.h"
#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "support/logCapture.h"
#include "tlinkRig.h"

namespace tlinkTest {
namespace {

using Sent = std::vector<std::string>;
using vnx::TlinkDevice;
using vnx::TlinkDeviceFsm;

const std::string kProductIdRequest = "07 0B 04 00 09 00 00 00 00 00 00";
const std::string kDataOnVariant1 = "07 09 04 00 14 00 05 00 00";
const std::string kDataModeOn = "07 06 04 00 04 40";
const std::string kDataModeOff = "07 06 04 00 04 10";
const std::string kDataControlOff = "07 09 04 00 14 0A 00 00 00";

using TlinkDeviceTest = TlinkRig;

TEST_F(TlinkDeviceTest, BringUpAsksForIdentityThenTheScdThenMotion)
{
    EXPECT_FALSE(device_->isOpen());
    ASSERT_EQ(device_->open(), 0);
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::WAIT);
    EXPECT_EQ(receiver_.take(), Sent{}) << "open asks for nothing";
    ASSERT_EQ(send(command(TlinkDevice::COMMAND_START)), 0);
    EXPECT_EQ(receiver_.take(), Sent{kProductIdRequest});
    EXPECT_EQ(receiver_.lastFrom, static_cast<vnx::DeviceIOInterface*>(device_));

    ASSERT_EQ(feed(reports::productId(2, kPart, kUnit)), 0);
    EXPECT_EQ(receiver_.take(), Sent{"07 0C 04 00 08 00 00 00 A1 EC 00 00"})
        << "flash record 0xECA1 of the unit";
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::GET_SCD);

    feedAll(reports::frsRecord(scdWords()));
    EXPECT_EQ(host_->scdSize, 260) << "the SCD read from flash went to the host";
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::OPEN);
    EXPECT_EQ(receiver_.take(), Sent{});

    ASSERT_EQ(send(command(TlinkDevice::COMMAND_SET_DATA_MODE, 1)), 0);
    EXPECT_EQ(receiver_.take(), (Sent{kDataModeOn, kDataOnVariant1}));
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::ASLEEP);

    // Motion flows into the host, one batch per report.
    ASSERT_EQ(feed(reports::sda(10)), 0);
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::PROCESSING);
    ASSERT_EQ(host_->stored.size(), 3u);
    EXPECT_EQ(hostSampleNumber(), 10u);

    ASSERT_EQ(device_->close(), 0);
    EXPECT_EQ(receiver_.take(), (Sent{kDataModeOff, kDataControlOff}));
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::CLOSED);
    EXPECT_EQ(host_->terms, 1);
}

TEST_F(TlinkDeviceTest, VariantTwoPartsReadTheirOwnRecordAndAskForMode7)
{
    TlinkDevice::variantTwoPartNumbers() = {kPart};
    device_->open();
    send(command(TlinkDevice::COMMAND_START));
    feed(reports::productId(2, kPart, kUnit));
    EXPECT_EQ(receiver_.take(), (Sent{kProductIdRequest, "07 0C 04 00 08 00 00 00 79 79 00 00"}));
    feedAll(reports::frsRecord(scdWords()));
    send(command(TlinkDevice::COMMAND_SET_DATA_MODE, 1));
    EXPECT_EQ(receiver_.take(), (Sent{kDataModeOn, "07 09 04 00 14 00 07 00 00"}));

    // The choice stays with the device object: across close and open, and
    // whatever part number a later identity names.
    device_->close();
    device_->open();
    receiver_.take();
    send(command(TlinkDevice::COMMAND_START));
    feed(reports::productId(2, kPart + 1, kUnit));
    EXPECT_EQ(receiver_.take(), (Sent{kProductIdRequest, "07 0C 04 00 08 00 00 00 79 79 00 00"}));
}

TEST_F(TlinkDeviceTest, NameAndGuidFollowTheProductIdentity)
{
    char name[32];
    EXPECT_EQ(device_->getName(sizeof name, name), VNX_STATUS_DEVICE_NOT_READY);
    EXPECT_TRUE(std::regex_match(name, std::regex("TlinkDevice_x[0-9A-F]{8}"))) << name;
    vnx_DomainGuid_s guid;
    EXPECT_EQ(device_->getGuid(&guid), VNX_STATUS_DEVICE_INVALID_ID);

    device_->open();
    send(command(TlinkDevice::COMMAND_START));
    // Class 1 is not a unit the device drives: nothing changes.
    feed(reports::productId(1, kPart, kUnit));
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::GET_PRODUCT_ID);
    EXPECT_EQ(device_->getName(sizeof name, name), VNX_STATUS_DEVICE_NOT_READY);

    feed(reports::productId(2, kPart, kUnit));
    EXPECT_EQ(device_->getName(sizeof name, name), 0);
    EXPECT_STREQ(name, "TlinkDevice_CAFE0001");
    ASSERT_EQ(device_->getGuid(&guid), 0);
    const uint8_t expected[16] = {121, 0, 0, 0, 0, 0, 0, 0, 0x45, 0x23, 0x01, 0x00, 0x01, 0x00, 0xFE, 0xCA};
    EXPECT_EQ(std::memcmp(&guid, expected, sizeof expected), 0);
    char shortName[8];
    device_->getName(sizeof shortName, shortName);
    EXPECT_STREQ(shortName, "TlinkDe");
}

TEST_F(TlinkDeviceTest, LedTimesTravelInUnitsOf12500MicrosecondsUpTo255)
{
    vnx_TlinkDevice_Command_s leds = command(TlinkDevice::COMMAND_SET_LEDS);
    EXPECT_EQ(send(leds), VNX_STATUS_DEVICE_CLOSED);
    EXPECT_EQ(receiver_.take(), Sent{});
    device_->open();
    leds.argument.pattern.time[0] = 3'200'000;
    leds.argument.pattern.time[1] = 3'199'999;
    leds.argument.pattern.time[2] = 12'500;
    leds.argument.pattern.time[3] = 12'499;
    leds.argument.pattern.pattern[0] = 9;
    EXPECT_EQ(send(leds), 0);
    EXPECT_EQ(receiver_.take(), Sent{"07 0C 04 00 13 FF FF 01 00 09 03 00"});

    EXPECT_EQ(device_->setLeds(leds.argument.pattern), VNX_STATUS_INVALID_PARAMETER) << "a time of 3.2 s";
    leds.argument.pattern.time[0] = 0;
    EXPECT_EQ(device_->setLeds(leds.argument.pattern), 0);
    EXPECT_EQ(receiver_.take(),
              (Sent{"07 0C 04 00 13 FF FF 01 00 09 03 00", "07 0C 04 00 13 00 FF 01 00 09 03 00"}));
}

TEST_F(TlinkDeviceTest, SampleNumbersWidenOnTheScdPeriod)
{
    // An SCD that names no period still gives the codec 8 ms.
    for (bool withPeriod : {true, false}) {
        SCOPED_TRACE(withPeriod ? "SCD with period" : "SCD without period");
        vnx_TlinkDevice_Config_s config;
        vnx_TlinkDevice_initConfig(&config);
        device_ = static_cast<TlinkDevice*>(domain_.createDevice(&config));
        host_ = vnx::testsupport::FakeModuleManager::last;
        device_->deviceIoRegisterReceiver(&receiver_);
        bringUpStreaming(kPart, withPeriod);

        ASSERT_EQ(feed(reports::sda(0xFFFF)), 0);
        EXPECT_EQ(hostSampleNumber(), 0xFFFFu);
        clock_.advanceMs(8);
        ASSERT_EQ(feed(reports::sda(0)), 0);
        EXPECT_EQ(hostSampleNumber(), 0x10000u) << "the 16-bit counter wrapped";
        clock_.advanceMs(3000);
        ASSERT_EQ(feed(reports::sda(1)), 0);
        EXPECT_EQ(hostSampleNumber(), 0x10000u + 375u) << "3 s at 8 ms a sample";
    }
}

TEST_F(TlinkDeviceTest, DceOutputReportsWaitForTheirFirstValue)
{
    bringUpStreaming();
    const uint8_t counters[] = {0x20, 0x21, 0x22};
    for (uint8_t counter : counters) {
        host_->stored.clear();
        EXPECT_EQ(feed(reports::dceOutput(counter, 0x01)), 0) << "980 is no error for the transport";
        EXPECT_TRUE(host_->stored.empty()) << int(counter);
    }
    ASSERT_EQ(feed(reports::dceOutput(0x23, 0x01)), 0);
    EXPECT_EQ(host_->stored.size(), 4u);
    for (const SeenStatus& status : listener_.statuses) {
        EXPECT_NE(status.kind, VNX_DEVICE_STATUS_PROCESS_FAILED) << "incomplete values are not errors";
    }
}

TEST_F(TlinkDeviceTest, ActiveMessagesAre126SampleTicksApart)
{
    const std::string active = "07 06 04 00 12 03";
    bringUpStreaming();
    uint16_t last = 999;
    auto outputAt = [&](uint16_t counter) {
        clock_.advanceMs(8u * static_cast<uint16_t>(counter - last)); // reports on time
        last = counter;
        feed(reports::sda(counter));
        device_->process(); // the host reports the batch: motion output
        return receiver_.take();
    };
    EXPECT_EQ(outputAt(1000), Sent{active});
    EXPECT_EQ(outputAt(1125), Sent{}) << "125 ticks after the last one";
    EXPECT_EQ(outputAt(1126), Sent{active}) << "126 ticks after";
    EXPECT_EQ(listener_.outputs, 3);

    // Switched off, motion still flows and the user's rest and activity as
    // the chain classifies it still go out.
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_SET_ACTIVITY_MESSAGES, 1)), 0);
    EXPECT_EQ(outputAt(1400), Sent{});
    EXPECT_EQ(listener_.outputs, 4);
    vnx_ActivityClassification_Status_s activity;
    vnx_ActivityClassification_initStatus(&activity);
    struct FlagCase
    {
        uint32_t statusType;
        uint32_t flags;
        Sent sent;
    };
    const FlagCase cases[] = {
        {1, 1, {"07 06 04 00 12 01"}},
        {1, 3, {"07 06 04 00 12 01"}},
        {1, 2, {"07 06 04 00 12 00"}},
        {1, 0, {}},
        {0, 1, {}},
    };
    for (const FlagCase& c : cases) {
        activity.statusType = c.statusType;
        activity.flags = c.flags;
        device_->statusCallback(nullptr, reinterpret_cast<const vnx_StructStatus_s*>(&activity));
        EXPECT_EQ(receiver_.take(), c.sent) << c.statusType << "/" << c.flags;
    }
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_SLEEP)), 0);
    EXPECT_EQ(receiver_.take(), Sent{"07 06 04 00 12 00"});
}

TEST_F(TlinkDeviceTest, CommandsAnswerDirectlyOrByStatus)
{
    // GetInfo before the identity is known waits for it.
    device_->open();
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_GET_INFO)), VNX_STATUS_ASYNC_REQUIRED);
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::GET_INFO);
    vnx_TlinkDevice_Command_s second = command(TlinkDevice::COMMAND_GET_INFO);
    second.command.extra = 78;
    EXPECT_EQ(send(second), VNX_STATUS_DEVICE_BUSY);
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_START)), VNX_STATUS_DEVICE_NOT_READY);
    listener_.statuses.clear();
    feed(reports::productId(2, kPart, kUnit));
    ASSERT_EQ(listener_.deviceStatuses().size(), 1u);
    const SeenStatus info = listener_.deviceStatuses()[0];
    EXPECT_EQ(info.kind, VNX_TLINK_DEVICE_STATUS_PRODUCT_INFO);
    EXPECT_EQ(info.tag, 77) << "the request id of the GetInfo that waited";
    EXPECT_EQ(info.result, 0);
    EXPECT_EQ(info.info.unitId, kUnit);
    EXPECT_EQ(info.info.partNumber, kPart);
    EXPECT_EQ(info.info.identityByte1, 0xB2);
    EXPECT_EQ(info.info.identityByte2, 0xA1);
    EXPECT_EQ(info.info.identityWord1, 0x1617);
    EXPECT_EQ(info.info.identityWord2, 0x0C0D0E0Fu);
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::WAIT);

    // Once known: at once, directly with no status, or by status.
    send(command(TlinkDevice::COMMAND_START));
    feed(reports::productId(2, kPart, kUnit));
    feedAll(reports::frsRecord(scdWords()));
    listener_.statuses.clear();
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_GET_INFO)), 0);
    EXPECT_TRUE(listener_.deviceStatuses().empty());
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_GET_INFO, 0, 2)), VNX_STATUS_ASYNC_PENDING);
    ASSERT_EQ(listener_.deviceStatuses().size(), 1u);
    EXPECT_EQ(listener_.deviceStatuses()[0].kind, VNX_TLINK_DEVICE_STATUS_PRODUCT_INFO);
    EXPECT_EQ(listener_.deviceStatuses()[0].info.unitId, kUnit);

    // Errors travel the same two ways.
    listener_.statuses.clear();
    EXPECT_EQ(send(command(99)), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(send(command(99, 0, 1)), VNX_STATUS_ASYNC_PENDING);
    ASSERT_EQ(listener_.deviceStatuses().size(), 1u);
    EXPECT_EQ(listener_.deviceStatuses()[0].result, VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(listener_.deviceStatuses()[0].tag, 77);
    EXPECT_EQ(listener_.deviceStatuses()[0].kind, VNX_TLINK_DEVICE_STATUS_DEVICE);
}

TEST_F(TlinkDeviceTest, DestroyRemovesTheDeviceOnlyWhenAnsweredDirectly)
{
    device_->open();
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_DESTROY, 0, 1)), VNX_STATUS_ASYNC_PENDING);
    EXPECT_EQ(domain_.deviceCount(), 1u);
    ASSERT_EQ(listener_.deviceStatuses().size(), 1u);
    EXPECT_EQ(listener_.deviceStatuses()[0].result, 0);

    receiver_.take();
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_DESTROY)), 0);
    EXPECT_EQ(domain_.deviceCount(), 0u);
    EXPECT_EQ(receiver_.take(), (Sent{kDataModeOff, kDataControlOff})) << "closed on the way out";
}

TEST_F(TlinkDeviceTest, RefusedSendsAreReportedOnceEachWhileNotClosed)
{
    device_->open();
    receiver_.answer = VNX_STATUS_IO_NOT_READY;
    listener_.statuses.clear();
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_START)), 0);
    ASSERT_EQ(listener_.deviceStatuses().size(), 1u);
    EXPECT_EQ(listener_.deviceStatuses()[0].result, VNX_STATUS_IO_ERROR);
    EXPECT_EQ(listener_.deviceStatuses()[0].kind, VNX_TLINK_DEVICE_STATUS_DEVICE);
    EXPECT_EQ(listener_.deviceStatuses()[0].tag, 0);

    listener_.statuses.clear();
    device_->close();
    EXPECT_TRUE(listener_.deviceStatuses().empty()) << "the data-off pair of a close is not reported";

    // Without a receiver nothing is sent and nothing reported.
    device_->deviceIoRegisterReceiver(nullptr);
    device_->open();
    listener_.statuses.clear();
    EXPECT_EQ(send(command(TlinkDevice::COMMAND_SLEEP)), VNX_STATUS_DEVICE_CLOSED);
    EXPECT_EQ(device_->requestProductId(), VNX_STATUS_INTERNAL_ERROR);
    EXPECT_TRUE(listener_.deviceStatuses().empty());
}

TEST_F(TlinkDeviceTest, ReportsThatAreNotMotion)
{
    bringUpStreaming();
    const Report garbage = {0xEE, 0x01, 0x02};
    EXPECT_EQ(feed(garbage), VNX_STATUS_WARNING_IO_UNRECOGNIZED_MSG);
    EXPECT_EQ(device_->deviceIoSend(nullptr, 0), VNX_STATUS_WARNING_IO_UNRECOGNIZED_MSG);
    // In ASLEEP an unexpected report makes the device ask for its data mode.
    const Sent askMode = {"07 06 04 00 04 80", "07 09 04 00 14 11 00 00 00"};
    EXPECT_EQ(receiver_.take(), (Sent{askMode[0], askMode[1], askMode[0], askMode[1]}));
    vnx::testsupport::LogCapture log(vnx::testsupport::LogCapture::defaultLoggerOf(device_),
                                     vnx::log::NOTICE);
    EXPECT_EQ(feed(reports::kinemoraOutput(2, 5)), 0);
    EXPECT_TRUE(log.contains("Received Unexpected Message!! 80")) << "KinemoraOutput is not taken as motion";
    EXPECT_EQ(receiver_.take(), askMode);
    EXPECT_TRUE(host_->stored.empty()) << "not decoded";

    // Data-mode answers bring the hardware in line with the client's wish.
    struct ModeCase
    {
        bool wanted;
        uint8_t reported;
        Sent sent;
    };
    const ModeCase cases[] = {
        {true, 0, {}},
        {true, 3, {kDataModeOn, kDataOnVariant1}},
        {true, 6, {kDataModeOn, kDataOnVariant1}},
        {false, 0, {kDataModeOff, kDataControlOff}},
        {false, 5, {}},
        {false, 7, {kDataModeOff, kDataControlOff}},
    };
    for (const ModeCase& c : cases) {
        send(command(TlinkDevice::COMMAND_SET_DATA_MODE, c.wanted ? 1 : 0));
        receiver_.take();
        EXPECT_EQ(feed(reports::dataModeControlV2(c.reported)), 0);
        EXPECT_EQ(receiver_.take(), c.sent) << c.wanted << " " << int(c.reported);
    }
}

TEST_F(TlinkDeviceTest, AnScdShorterThanItsSizeIsReadAgainThenGivenUp)
{
    vnx::testsupport::LogCapture log(vnx::testsupport::LogCapture::defaultLoggerOf(device_), vnx::log::ERROR);
    device_->open();
    send(command(TlinkDevice::COMMAND_START));
    feed(reports::productId(2, kPart, kUnit));
    receiver_.take();
    std::vector<uint32_t> cut = scdWords();
    cut.resize(30);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        feedAll(reports::frsRecord(cut));
        EXPECT_EQ(receiver_.take(), Sent{"07 0C 04 00 08 00 00 00 A1 EC 00 00"}) << "read again, " << attempt;
    }
    listener_.statuses.clear();
    feedAll(reports::frsRecord(cut));
    EXPECT_TRUE(log.contains("SCD failed size validation"));
    EXPECT_EQ(device_->getState(), TlinkDeviceFsm::WAIT);
    ASSERT_EQ(listener_.deviceStatuses().size(), 1u);
    EXPECT_EQ(listener_.deviceStatuses()[0].result, VNX_STATUS_DEVICE_FAILED_TO_OPEN);
    EXPECT_EQ(host_->scdSize, 0) << "no SCD reached the host";
}

} // namespace
} // namespace tlinkTest
