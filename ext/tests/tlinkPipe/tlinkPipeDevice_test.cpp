#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "deviceApi/deviceApi.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"
#include "extEntry/extEntry.h"
#include "support/fakeModuleManager.h"
#include "support/fifoDirectory.h"
#include "support/linkDeviceListener.h"
#include "support/linkReports.h"
#include "tlinkPipe/TlinkPipe.h"
#include "tlinkPipeDomain/TlinkPipeCoordinator.h"
#include "tlinkPipeRecords/TlinkPipeDomainRecords.h"

namespace {

using vnx::NamedPipe;
using vnx::TlinkPipe;
using vnx::TlinkPipeDevice;
using vnx::testsupport::command;
using vnx::testsupport::Report;
namespace reports = vnx::testsupport::linkReports;

void setName(char (&field)[VNX_TLINK_PIPE_NAME_SIZE], const std::string& name)
{
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name.data(), std::min(name.size(), sizeof field));
}

class TlinkPipeDeviceTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        vnx_core_initialize();
        vnx_ext_initialize();
    }
    static void TearDownTestSuite()
    {
        vnx_ext_finalize();
        vnx_core_finalize();
    }

    void SetUp() override
    {
        ASSERT_LE(fifos_.fifo("in").size(), 32u) << "pipe names fit 32 characters";
        fifos_.fifo("out");
        fifos_.fifo("pass");
        vnx_TlinkPipeDevice_initConfig(&config_);
        setName(config_.inPipe, fifos_ / "in");
        setName(config_.outPipe, fifos_ / "out");
        setName(config_.passThroughPipe, fifos_ / "pass");
        device_ = static_cast<TlinkPipeDevice*>(domain_.createDevice(&config_.config));
        ASSERT_NE(device_, nullptr);
        host_ = vnx::testsupport::FakeModuleManager::last;
        device_->registerDeviceListener(&listener_);
        // The far ends: the device's reports are read, the unit's written.
        ASSERT_EQ(
            fromDevice_.open((fifos_ / "out").c_str(), NamedPipe::ACCESS_READ, NamedPipe::CREATE_BY_PROPERTY),
            0);
        passThrough_ = ::open((fifos_ / "pass").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(passThrough_, 0);
    }
    void TearDown() override { ::close(passThrough_); }

    void openDevice()
    {
        ASSERT_EQ(device_->open(), 0);
        ASSERT_EQ(
            toDevice_.open((fifos_ / "in").c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY),
            0);
    }
    void unitSends(const Report& report) { ASSERT_EQ(toDevice_.write(report.data(), report.size()), 0); }
    /// Every report the device wrote to its out-pipe, as hex text.
    std::vector<std::string> deviceSent()
    {
        std::vector<std::string> sent;
        uint8_t report[96];
        size_t n = 0;
        while (fromDevice_.read(report, sizeof report, &n) == 0) {
            vnx::testsupport::RecordingReceiver text;
            text.deviceIoReceive(nullptr, report, n);
            sent.push_back(text.sent.front());
        }
        return sent;
    }
    int sendOwn(uint32_t code)
    {
        vnx_TlinkPipeDevice_Command_s own;
        vnx_TlinkPipeDevice_initCommand(&own);
        own.code = code;
        return device_->sendCommand(&own.command);
    }

    vnx::testsupport::FifoDirectory fifos_;
    vnx_TlinkPipeDevice_Config_s config_;
    vnx::testsupport::RecordingListener listener_; // outlives the domain's devices
    vnx::TlinkPipeCoordinator domain_;
    TlinkPipeDevice* device_ = nullptr;
    vnx::testsupport::FakeModuleManager* host_ = nullptr;
    TlinkPipe fromDevice_;
    TlinkPipe toDevice_;
    int passThrough_ = -1;
};

TEST_F(TlinkPipeDeviceTest, AUnitBehindThePipesIsBroughtUpAndStreams)
{
    EXPECT_EQ(device_->getType(), VNX_TYPE_TLINK_PIPE_DEVICE);
    EXPECT_EQ(device_->getDomain(), &domain_);
    openDevice();
    const auto start = command(vnx::TlinkDevice::COMMAND_START);
    ASSERT_EQ(device_->sendCommand(&start.command), 0);
    EXPECT_EQ(deviceSent(), std::vector<std::string>{"07 0B 04 00 09 00 00 00 00 00 00"});

    unitSends(reports::productId(2, 0x10, 0x20));
    ASSERT_EQ(domain_.process(), 0);
    EXPECT_EQ(deviceSent(), std::vector<std::string>{"07 0C 04 00 08 00 00 00 A1 EC 00 00"});
    for (const Report& report : reports::frsRecord(vnx::testsupport::scdWords())) {
        unitSends(report);
    }
    domain_.process();
    EXPECT_EQ(host_->scdSize, 260);
    EXPECT_EQ(device_->getState(), vnx::TlinkDeviceFsm::OPEN);

    const auto dataOn = command(vnx::TlinkDevice::COMMAND_SET_DATA_MODE, 1);
    device_->sendCommand(&dataOn.command);
    EXPECT_EQ(deviceSent().size(), 2u);
    unitSends(reports::sda(40));
    domain_.process();
    EXPECT_EQ(host_->stored.size(), 3u);
    EXPECT_GE(listener_.outputs, 1) << "the host's batch came back as output";
    EXPECT_EQ(device_->getState(), vnx::TlinkDeviceFsm::PROCESSING);
}

TEST_F(TlinkPipeDeviceTest, ReportsTheDeviceCannotReadArePassedOnUnchanged)
{
    openDevice();
    unitSends({0xEE, 0x01, 0x02});
    unitSends(reports::productId(2, 0x10, 0x20)); // read, not passed on
    domain_.process();
    uint8_t raw[32];
    const ssize_t count = ::read(passThrough_, raw, sizeof raw);
    ASSERT_EQ(count, 7);
    EXPECT_EQ(std::vector<uint8_t>(raw, raw + 7), (std::vector<uint8_t>{3, 0, 0, 0, 0xEE, 0x01, 0x02}));
}

TEST_F(TlinkPipeDeviceTest, ABrokenInPipeClosesTheDeviceOnce)
{
    openDevice();
    listener_.statuses.clear();
    const uint32_t tooLong = 101;
    Report broken(4);
    std::memcpy(broken.data(), &tooLong, 4);
    const int in = ::open((fifos_ / "in").c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(in, 0);
    ASSERT_EQ(::write(in, broken.data(), broken.size()), 4);
    ::close(in);
    EXPECT_EQ(device_->process(), 0);
    EXPECT_FALSE(device_->isOpen());
    ASSERT_EQ(listener_.deviceStatuses().size(), 1u);
    EXPECT_EQ(listener_.deviceStatuses()[0].result, VNX_STATUS_IO_ERROR);
    EXPECT_EQ(listener_.deviceStatuses()[0].kind, VNX_TLINK_DEVICE_STATUS_DEVICE);
    EXPECT_EQ(device_->process(), 0);
    EXPECT_EQ(listener_.deviceStatuses().size(), 1u);
}

TEST_F(TlinkPipeDeviceTest, PipeNamesAreCheckedAtOpenAndFrozenWhileOpen)
{
    vnx_TlinkPipeDevice_Config_s noPassThrough = config_;
    setName(noPassThrough.passThroughPipe, "");
    ASSERT_EQ(device_->setConfig(&noPassThrough.config), 0);
    EXPECT_EQ(device_->open(), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_FALSE(device_->isOpen());

    ASSERT_EQ(device_->setConfig(&config_.config), 0);
    openDevice();
    vnx_TlinkPipeDevice_Config_s other = config_;
    setName(other.inPipe, "/tmp/elsewhere");
    EXPECT_EQ(device_->setConfig(&other.config), VNX_STATUS_UNSUPPORTED_CONFIG);
    vnx_TlinkPipeDevice_Config_s kept;
    vnx_TlinkPipeDevice_initConfig(&kept);
    ASSERT_EQ(device_->getConfig(&kept.config), 0);
    EXPECT_EQ(std::string(kept.inPipe), fifos_ / "in");

    // A name that fills all 32 characters is read as exactly those.
    device_->close();
    const std::string full(32, 'x');
    std::memcpy(other.outPipe, full.data(), 32);
    std::memset(other.passThroughPipe, 'y', 32);
    ASSERT_EQ(device_->setConfig(&other.config), 0);
    EXPECT_EQ(device_->open(), VNX_STATUS_INVALID_PARAMETER) << "no such pipes";
}

TEST_F(TlinkPipeDeviceTest, DestroyCommandsOfBothTypesRemoveTheDevice)
{
    EXPECT_EQ(sendOwn(7), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(sendOwn(VNX_TLINK_PIPE_DEVICE_COMMAND_DESTROY), 0);
    EXPECT_EQ(domain_.deviceCount(), 0u);

    // The link device's own Destroy goes to the pipe domain as well.
    device_ = static_cast<TlinkPipeDevice*>(domain_.createDevice(&config_.config));
    ASSERT_NE(device_, nullptr);
    openDevice();
    const auto destroy = command(vnx::TlinkDevice::COMMAND_DESTROY);
    EXPECT_EQ(device_->sendCommand(&destroy.command), 0);
    EXPECT_EQ(domain_.deviceCount(), 0u);
    EXPECT_EQ(deviceSent().size(), 2u) << "the data-off pair of the close on the way out";
}

TEST_F(TlinkPipeDeviceTest, DomainCommandCreatesAClosedDeviceEvenWithoutNames)
{
    vnx_TlinkPipeDomain_Command_s create;
    vnx_TlinkPipeDomain_initCommand(&create);
    create.code = VNX_TLINK_PIPE_DOMAIN_COMMAND_CREATE_DEVICE;
    ASSERT_EQ(domain_.sendCommand(&create.command), 0);
    EXPECT_EQ(domain_.deviceCount(), 2u);
    vnx_TlinkPipeDomain_Command_s unknown = create;
    unknown.code = 5;
    EXPECT_EQ(domain_.sendCommand(&unknown.command), VNX_STATUS_INVALID_PARAMETER);
    const auto notOurs = command(vnx::TlinkDevice::COMMAND_START);
    EXPECT_EQ(domain_.sendCommand(&notOurs.command), VNX_STATUS_INVALID_PARAMETER);
    vnx_StructConfig_s wrongConfig;
    vnx_TlinkPipeDomain_initConfig(&wrongConfig);
    EXPECT_EQ(domain_.createDevice(&wrongConfig), nullptr);
    EXPECT_EQ(domain_.deviceCount(), 2u);
}

TEST(TlinkDomains, BothLinkDomainsAreCreatedByType)
{
    vnx_core_initialize();
    vnx_ext_initialize();
    for (uint8_t type : {VNX_TYPE_TLINK_DOMAIN, VNX_TYPE_TLINK_PIPE_DOMAIN}) {
        vnx_DomainHandle_s* domain = vnx_DomainFactory_createDomain(type);
        ASSERT_NE(domain, nullptr) << int(type);
        EXPECT_EQ(vnx_DomainFactory_destroyDomain(domain), 0);
    }
    vnx_ext_finalize();
    vnx_core_finalize();
}

} // namespace
