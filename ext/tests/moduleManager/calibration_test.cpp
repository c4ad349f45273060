// The device's SCD and DCD in the host: handed to each new module, read back
// out of it, kept in the DCD file store under the device's GUID or, in
// external mode, with the client.

#include <filesystem>

#include <gtest/gtest.h>

#include "common/statusCode.h"
#include "dcdStore/ZephraDcdManager.h"
#include "extCommon/extStatusCode.h"
#include "hostFixture.h"
#include "support/FakeModule.h"
#include "support/MotionTrace.h"
#include "support/dcdBlocks.h"
#include "support/fusionScenarios.h"
#include "support/scopedTempDir.h"

namespace vnx::testsupport {
namespace {

constexpr uint8_t kExtendedBundle = 65;

std::vector<uint8_t> bytesOf(const void* block, size_t size)
{
    const auto* begin = static_cast<const uint8_t*>(block);
    return std::vector<uint8_t>(begin, begin + size);
}

class HostCalibration : public HostTest
{
  protected:
    FakeModuleType& fakeModule()
    {
        FakeModuleScript script;
        script.type = kFakeType;
        script.inputInterfaces = {{22, 5}};
        script.outputInterfaces = {{5}};
        return useFake(script);
    }

    /// A sealed DCD as a module learns it, for this device's SCD.
    dcdAlg4MinFixed_s learnedDcd() const
    {
        dcdAlg4MinFixedInnards_s innards;
        std::memset(&innards, 0, sizeof innards);
        innards.state = VNX_DCD_STATE_EMPTY;
        return gyroOnlyDcd(0x1234abcd, innards);
    }

    /// Feeds `seconds` of a still presenter through the hosted module.
    void runStill(ModuleManager& host, double seconds, uint64_t seed = 4)
    {
        MotionTrace trace(scd_, realisticNoise(seed, {0.003, -0.002, 0.001}));
        trace.still(seconds);
        for (const MotionSample* sample = trace.next(); sample != nullptr; sample = trace.next()) {
            vnx_ButtonActivity_Output_s buttons;
            vnx_ButtonActivity_initOutput(&buttons);
            buttons.activity = 0;
            const vnx_StructOutput_s* outputs[] = {&sample->output6AG.output, &buttons.output};
            const vnx_StructFormat_s* formats[] = {&sample->format6AG, nullptr};
            host.process(2, outputs, formats);
            host.process();
        }
    }

    std::string dcdPath() const
    {
        vnx_DomainGuid_s guid;
        device_.getGuid(&guid);
        char path[ZephraDcdManager::kPathSize];
        EXPECT_TRUE(ZephraDcdManager::createPath(guid, path));
        return path;
    }

    const scdGen4Float_s scd_ = realisticDevice().build();
};

TEST_F(HostCalibration, AnScdIsKeptForTheNextModuleAndReportedWithTheCallersAddress)
{
    FakeModuleType& fake = fakeModule();
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    host_->setScd(&scd_.head);
    const std::vector<StubStatus> set = device_.deviceStatuses(VNX_DEVICE_STATUS_SCD_SET);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].record, &scd_);
    // The running module keeps the SCD it was made with.
    ASSERT_EQ(fake.calls("init").size(), 1u);
    EXPECT_EQ(fake.calls("init")[0].scd, std::vector<uint8_t>{});

    vnx_Device_Command_s restart;
    vnx_Device_initCommand(&restart);
    restart.code = 1;
    ASSERT_EQ(host_->sendCommand(&restart.command), 0);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(fake.calls("init").size(), 2u);
    EXPECT_EQ(fake.calls("init")[1].scd, bytesOf(&scd_, sizeof scd_));
}

TEST_F(HostCalibration, AnOversizedScdIsIgnored)
{
    FakeModuleType& fake = fakeModule();
    host_->setScd(&scd_.head);
    std::vector<uint8_t> huge(400, 0x5a);
    const uint16_t size = 300;
    std::memcpy(huge.data(), &size, sizeof size);
    host_->setScd(reinterpret_cast<const vnx_scdData_s*>(huge.data()));
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_SCD_SET).size(), 2u);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    EXPECT_EQ(fake.calls("init")[0].scd, bytesOf(&scd_, sizeof scd_));
}

TEST_F(HostCalibration, ExternalModeHandsTheClientsDcdToTheNextModule)
{
    FakeModuleType& fake = fakeModule();
    ASSERT_EQ(host_->setDcdIsExternal(true), 0);
    const dcdAlg4MinFixed_s dcd = learnedDcd();
    EXPECT_EQ(host_->setDcd(&dcd.head), 0);
    const std::vector<StubStatus> updated = device_.deviceStatuses(VNX_DEVICE_STATUS_DCD_UPDATED);
    ASSERT_EQ(updated.size(), 1u);
    EXPECT_EQ(updated[0].record, &dcd);

    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(fake.calls("init").size(), 1u);
    EXPECT_EQ(fake.calls("init")[0].dcd, bytesOf(&dcd, sizeof dcd));
    EXPECT_FALSE(std::filesystem::exists(dcdPath()));
}

TEST_F(HostCalibration, ADcdLargerThanAnyFormIsRefusedInBothModes)
{
    std::vector<uint8_t> block(1024, 0x77);
    for (uint16_t size : {261, 1000}) {
        std::memcpy(block.data(), &size, sizeof size);
        const auto* dcd = reinterpret_cast<const vnx_dcdData_s*>(block.data());
        host_->setDcdIsExternal(true);
        EXPECT_EQ(host_->setDcd(dcd), VNX_STATUS_INVALID_PARAMETER) << size;
        host_->setDcdIsExternal(false);
        EXPECT_EQ(host_->setDcd(dcd), VNX_STATUS_INVALID_PARAMETER) << size;
    }
    EXPECT_TRUE(device_.deviceStatuses(VNX_DEVICE_STATUS_DCD_UPDATED).empty());
    EXPECT_FALSE(std::filesystem::exists(dcdPath()));
}

TEST_F(HostCalibration, ExternalSaveReportsTheLearnedDcdAndKeepsIt)
{
    host_->setScd(&scd_.head);
    ASSERT_EQ(host_->setDcdIsExternal(true), 0);
    ASSERT_EQ(host(kExtendedBundle), 0);
    runStill(*host_, 3.0);
    device_.statuses.clear();
    EXPECT_EQ(host_->saveDcd(), 0);
    const std::vector<StubStatus> updated = device_.deviceStatuses(VNX_DEVICE_STATUS_DCD_UPDATED);
    ASSERT_EQ(updated.size(), 1u);
    const std::vector<uint8_t> learned = updated[0].recordBytes;
    ASSERT_GE(learned.size(), 184u);

    // The next module starts from those bytes, and its init takes them.
    FakeModuleType& fake = fakeModule();
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(fake.calls("init").size(), 1u);
    EXPECT_EQ(fake.calls("init")[0].dcd, learned);
}

TEST_F(HostCalibration, ExternalClearEmptiesTheBufferAndRestartsTheModule)
{
    FakeModuleType& fake = fakeModule();
    host_->setDcdIsExternal(true);
    const dcdAlg4MinFixed_s dcd = learnedDcd();
    host_->setDcd(&dcd.head);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    EXPECT_EQ(host_->clearDcd(), 0);
    EXPECT_EQ(host_->getModule(), nullptr);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(fake.calls("init").size(), 2u);
    EXPECT_TRUE(fake.calls("init")[1].dcd.empty());
}

TEST_F(HostCalibration, AfterTermAnExternalModeModuleStartsEmpty)
{
    FakeModuleType& fake = fakeModule();
    host_->setDcdIsExternal(true);
    const dcdAlg4MinFixed_s dcd = learnedDcd();
    host_->setDcd(&dcd.head);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    EXPECT_EQ(host_->term(), 0);
    EXPECT_EQ(host_->getModule(), nullptr);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(fake.calls("init").size(), 2u);
    EXPECT_TRUE(fake.calls("init")[1].dcd.empty());
    EXPECT_FALSE(std::filesystem::exists(dcdPath()));
}

TEST_F(HostCalibration, TermStoresTheLearnedDcdForTheNextHostOfTheDevice)
{
    host_->setScd(&scd_.head);
    ASSERT_EQ(host(kExtendedBundle), 0);
    runStill(*host_, 3.0);
    EXPECT_FALSE(std::filesystem::exists(dcdPath()));
    EXPECT_EQ(host_->term(), 0);
    ASSERT_TRUE(std::filesystem::exists(dcdPath()));
    const std::vector<uint8_t> stored = readFileBytes(dcdPath());
    ASSERT_EQ(stored.size(), 260u);

    // The same device (same GUID) on a new host.
    dropHost(host_);
    StubDevice again(1, "StubDeviceAgain");
    std::unique_ptr<ModuleManager> next = makeHost(again);
    next->setScd(&scd_.head);
    const vnx_Device_Config_s config = deviceConfig(kExtendedBundle);
    ASSERT_EQ(next->setConfig(&config.config), 0);
    PresenterSample sample(1);
    EXPECT_EQ(next->process(2, sample.outputs, sample.formats), 0) << "init took the stored DCD without warning";
    EXPECT_EQ(again.deviceStatuses(VNX_DEVICE_STATUS_MODULE_READY).size(), 1u);
    EXPECT_TRUE(again.deviceStatuses(VNX_DEVICE_STATUS_MODULE_FAILED).empty());
    // It learned nothing new yet: what it would save is what was stored.
    int offset = 0;
    vnx_dcdMemory_s read;
    ASSERT_EQ(next->getModule()->getDcd(&read.head, sizeof read, offset), 0);
    EXPECT_EQ(bytesOf(&read, read.head.size), stored);
    dropHost(next);
}

TEST_F(HostCalibration, FileModeSetDcdWritesTheFileAndRestartsTheModule)
{
    FakeModuleType& fake = fakeModule();
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    device_.statuses.clear();
    const dcdAlg4MinFixed_s dcd = learnedDcd();
    EXPECT_EQ(host_->setDcd(&dcd.head), 0);
    EXPECT_EQ(host_->getModule(), nullptr);
    EXPECT_TRUE(device_.deviceStatuses(VNX_DEVICE_STATUS_DCD_UPDATED).empty());
    EXPECT_EQ(readFileBytes(dcdPath()), bytesOf(&dcd, sizeof dcd));
    ASSERT_EQ(store(sample), 0);
    EXPECT_EQ(fake.calls("init").back().dcd, bytesOf(&dcd, sizeof dcd));
}

TEST_F(HostCalibration, FileModeSetDcdOfNothingClearsTheFile)
{
    fakeModule();
    const dcdAlg4MinFixed_s dcd = learnedDcd();
    ASSERT_EQ(host_->setDcd(&dcd.head), 0);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    device_.statuses.clear();
    EXPECT_EQ(host_->setDcd(nullptr), 0);
    EXPECT_EQ(host_->getModule(), nullptr);
    EXPECT_EQ(std::filesystem::file_size(dcdPath()), 0u);
    const std::vector<StubStatus> updated = device_.deviceStatuses(VNX_DEVICE_STATUS_DCD_UPDATED);
    ASSERT_EQ(updated.size(), 1u);
    EXPECT_EQ(updated[0].record, nullptr);
}

TEST_F(HostCalibration, SavingWithoutAModuleWritesNothing)
{
    EXPECT_EQ(host_->saveDcd(), 0);
    EXPECT_FALSE(std::filesystem::exists(dcdPath()));
}

TEST_F(HostCalibration, AnUnknownGuidStartsTheModuleWithoutADcd)
{
    FakeModuleType& fake = fakeModule();
    const dcdAlg4MinFixed_s dcd = learnedDcd();
    ASSERT_EQ(host_->setDcd(&dcd.head), 0);
    device_.guidAnswer = VNX_STATUS_INVALID_PARAMETER;
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(fake.calls("init").size(), 1u);
    EXPECT_TRUE(fake.calls("init")[0].dcd.empty());
    EXPECT_EQ(host_->saveDcd(), VNX_STATUS_INVALID_PARAMETER);
}

TEST_F(HostCalibration, CalibrationNeedsADevice)
{
    ModuleManager lonely;
    const dcdAlg4MinFixed_s dcd = learnedDcd();
    EXPECT_EQ(lonely.setDcd(&dcd.head), VNX_STATUS_DEVICE_INVALID_ID);
    EXPECT_EQ(lonely.clearDcd(), VNX_STATUS_DEVICE_INVALID_ID);
    EXPECT_EQ(lonely.saveDcd(), 0);
}

} // namespace
} // namespace vnx::testsupport
