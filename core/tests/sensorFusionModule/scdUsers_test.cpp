// Every reader of an SCD (the calibration constants, the period function,
// the modules that take one at init, the mobile engine and its range
// functions) takes the block through the one shared copy-then-check step.
// Blocks in files, device buffers and client memory lie at any byte offset:
// offered one, two or three bytes past an aligned address, each reader must
// answer exactly as at the aligned address, and under UBSan a field read in
// place would be reported.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "calibration/FixedPointCal.h"
#include "calibration/scdData.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "mobileUtilities/mobileSensorRange.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorFusionMobile/mobileApi.h"
#include "sensorFusionModule/fusionRig.h"
#include "support/ScdBuilder.h"

namespace {

using sensorFusionTest::CoreLibrary;
using sensorFusionTest::Counts;
using sensorFusionTest::FusionRig;
using sensorFusionTest::kFlat;
using sensorFusionTest::kNoRotation;
using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

/// Room for a block at an aligned address and up to three bytes further on.
struct OfferedScd
{
    OfferedScd(const scdGen4Float_s& scd, std::size_t shift)
    {
        std::memcpy(bytes + shift, &scd, sizeof scd);
        at = reinterpret_cast<const vnx_scdData_s*>(bytes + shift);
    }
    /// Overwrites the block: readers must have taken what they need.
    void scribble() { std::memset(bytes, 0xA5, sizeof bytes); }

    alignas(8) std::uint8_t bytes[8 + sizeof(scdGen4Float_s)] = {};
    const vnx_scdData_s* at = nullptr;
};

/// What every reader answers for one offered block.
struct Answers
{
    int calibrationStatus = 0;
    std::uint32_t scdCrc = 0;
    float period = 0, accFullScale = 0, rsFullScale = 0, magFullScale = 0;
    float accNoise[3] = {}, rsNoise[3] = {}, zroInitSigma = 0;
    std::int32_t variant = 0;
    std::int32_t periodUs = 0;
    /// init of SensorInterpretation, SensorInterpretation9Axis,
    /// SensorFusionPerDevice, ActivityClassification and SensorFusion.
    int moduleStatus[5] = {};
    /// The DCD each of the first three modules gives right after init.
    std::vector<std::uint8_t> moduleDcd[3];
    int engineStatus = 0;
    std::vector<std::uint8_t> engineDcd;
    float ranges[3] = {};

    bool operator==(const Answers&) const = default;
};

constexpr std::uint8_t kModuleTypes[] = {VNX_TYPE_SENSOR_INTERPRETATION, VNX_TYPE_SENSOR_INTERPRETATION_9AXIS,
                                         VNX_TYPE_SENSOR_FUSION_PER_DEVICE, VNX_TYPE_ACTIVITY_CLASSIFICATION,
                                         VNX_TYPE_SENSOR_FUSION};

std::vector<std::uint8_t> dcdAfterInit(const vnx::ModuleInterface& module)
{
    std::vector<std::uint8_t> dcd(VNX_DCD_ALG49AXISFIXED_SIZE);
    int offset = 0;
    if (module.getDcd(reinterpret_cast<vnx_dcdData_s*>(dcd.data()), static_cast<int>(dcd.size()), offset) !=
        VNX_STATUS_SUCCESS)
        dcd.clear();
    return dcd;
}

Answers answersFor(const vnx_scdData_s* scd)
{
    Answers a;
    vnx::FixedPointCal cal;
    a.calibrationStatus = cal.verifyAndInit(scd);
    const vnx::FixedPointCal::Output& out = cal.output();
    a.scdCrc = out.scdCrc;
    a.period = out.period;
    a.accFullScale = out.accFullScale;
    a.rsFullScale = out.rsFullScale;
    a.magFullScale = out.magFullScale;
    for (int i = 0; i < 3; ++i) {
        a.accNoise[i] = out.accNoise[i].value();
        a.rsNoise[i] = out.rsNoise[i].value();
    }
    a.zroInitSigma = out.zroInitSigma;
    a.variant = out.variant;
    a.periodUs = vnx_scdGetPeriod(scd);

    for (std::size_t m = 0; m < std::size(kModuleTypes); ++m) {
        vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(nullptr, kModuleTypes[m]);
        EXPECT_NE(module, nullptr);
        if (module == nullptr)
            continue;
        int scdOffset = 0;
        int dcdOffset = 0;
        a.moduleStatus[m] = module->init(scd, scdOffset, nullptr, dcdOffset);
        if (m < std::size(a.moduleDcd))
            a.moduleDcd[m] = dcdAfterInit(*module);
        module->term();
        vnx::ModuleFactory::destroyModule(module);
    }

    vnx_Mobile_Configuration_s config;
    vnx_Mobile_getDefaults(&config);
    config.scd = scd;
    config.scdSize = sizeof(scdGen4Float_s);
    vnx_Mobile_Handle handle = nullptr;
    a.engineStatus = vnx_Mobile_initialize(&handle, &config);
    if (handle != nullptr) {
        a.engineDcd.resize(VNX_DCD_ALG49AXISFIXED_SIZE);
        std::size_t written = 0;
        if (vnx_Mobile_getDynamicCalibration(handle, a.engineDcd.data(), a.engineDcd.size(), &written) !=
            VNX_STATUS_SUCCESS)
            a.engineDcd.clear();
        vnx_Mobile_finalize(handle);
    }
    a.ranges[0] = vnx_Mobile_getAccRange(scd, sizeof(scdGen4Float_s));
    a.ranges[1] = vnx_Mobile_getGyroRange(scd, sizeof(scdGen4Float_s));
    a.ranges[2] = vnx_Mobile_getMagRange(scd, sizeof(scdGen4Float_s));
    return a;
}

/// A six-axis presenter at 100 Hz with a unit calibration of its own.
scdGen4Float_s sixAxisDevice()
{
    return ScdBuilder()
        .period(0.01)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelOffset(0.002f, -0.001f, 0.003f)
        .accelNoise(5, 6, 7)
        .gyroMatrix(vnx::Fp32(0.0011f) * I)
        .gyroOffset(12, -8, 3)
        .gyroNoise(3, 2.5f, 2)
        .zroTerms(0.004f, 0.006f)
        .zroTempCoef(0.0003f, 0.0002f, 0.0004f)
        .zroInitSigma(0.03f)
        .tempScale(0.0625f)
        .deviceKind(1)
        .build();
}

/// A nine-axis device whose SCD carries its magnetometer calibration.
scdGen4Float_s nineAxisDevice()
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(vnx::Fp32(9.80665f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.0005f) * I)
        .gyroNoise(2, 2, 2)
        .zroTerms(0.005f, 0.005f)
        .variant(24601)
        .magMatrix(vnx::Fp32(0.0015f) * I)
        .magOffset(30, -12, 7)
        .build();
}

class ScdUsers : public ::testing::Test
{
  protected:
    CoreLibrary core_;
};

TEST_F(ScdUsers, EveryReaderAnswersAtAnyOffsetAsAtAnAlignedAddress)
{
    scdGen4Float_s unsealed = sixAxisDevice();
    unsealed.innards.rsOffset[1] += 1.0f; // the check word no longer matches
    // Without a DCD the interpretation modules warn of none (2); the fusion
    // modules and the engine do not.
    constexpr int kValid[5] = {VNX_STATUS_WARNING_INVALID_DCD, VNX_STATUS_WARNING_INVALID_DCD,
                               VNX_STATUS_SUCCESS, VNX_STATUS_SUCCESS, VNX_STATUS_SUCCESS};
    constexpr int kRefused[5] = {VNX_STATUS_INVALID_SCD, VNX_STATUS_INVALID_SCD, VNX_STATUS_INVALID_SCD,
                                 VNX_STATUS_INVALID_SCD, VNX_STATUS_INVALID_SCD};
    const struct
    {
        const char* name;
        scdGen4Float_s scd;
        int status; ///< of the calibration and of the engine
        const int (&modules)[5];
    } cases[] = {
        {"six-axis device", sixAxisDevice(), VNX_STATUS_SUCCESS, kValid},
        {"nine-axis device", nineAxisDevice(), VNX_STATUS_SUCCESS, kValid},
        {"unsealed block", unsealed, VNX_STATUS_INVALID_SCD, kRefused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OfferedScd aligned(c.scd, 0);
        const Answers reference = answersFor(aligned.at);
        EXPECT_EQ(reference.calibrationStatus, c.status);
        for (std::size_t m = 0; m < std::size(c.modules); ++m)
            EXPECT_EQ(reference.moduleStatus[m], c.modules[m]) << int(kModuleTypes[m]);
        EXPECT_EQ(reference.engineStatus, c.status);
        if (c.status == VNX_STATUS_SUCCESS) {
            EXPECT_GT(reference.ranges[0], 0.0f);
            for (const std::vector<std::uint8_t>& dcd : reference.moduleDcd)
                EXPECT_EQ(dcd.size(), std::size_t{VNX_DCD_ALG49AXISFIXED_SIZE});
            EXPECT_EQ(reference.engineDcd.size(), std::size_t{VNX_DCD_ALG49AXISFIXED_SIZE});
        }
        for (std::size_t shift : {1u, 2u, 3u}) {
            const OfferedScd offered(c.scd, shift);
            EXPECT_TRUE(answersFor(offered.at) == reference) << "shifted by " << shift;
        }
    }
    // The period each reader used is the device's own.
    EXPECT_EQ(answersFor(OfferedScd(sixAxisDevice(), 2).at).periodUs, 10000);
}

TEST_F(ScdUsers, FusionRunsTheSameFromAShiftedBlockThatIsGoneAfterInit)
{
    const Counts turning{0, 0, 400}; // 0.44 rad/s about z
    std::vector<vnx_SensorFusion_Output_s> runs[2];
    std::size_t run = 0;
    for (std::size_t shift : {0u, 2u}) {
        FusionRig rig;
        OfferedScd offered(sixAxisDevice(), shift);
        rig.module()->setModuleListener(&rig.statuses);
        int scdOffset = 0;
        int dcdOffset = 0;
        ASSERT_EQ(rig.module()->init(offered.at, scdOffset, nullptr, dcdOffset), VNX_STATUS_SUCCESS);
        offered.scribble();
        for (int k = 0; k < 600; ++k) {
            ASSERT_EQ(rig.step6AG(kFlat, k < 200 ? kNoRotation : turning), VNX_STATUS_SUCCESS);
            runs[run].push_back(rig.motion());
        }
        EXPECT_EQ(rig.motionFormat().periodUs, 10000u);
        ++run;
    }
    ASSERT_EQ(runs[0].size(), runs[1].size());
    for (std::size_t k = 0; k < runs[0].size(); ++k)
        ASSERT_EQ(std::memcmp(&runs[0][k], &runs[1][k], sizeof runs[0][k]), 0) << "sample " << k;
    // The run turned: the last orientation is not where it started.
    EXPECT_NE(std::memcmp(&runs[0].front().quaternion, &runs[0].back().quaternion,
                          sizeof runs[0].front().quaternion),
              0);
}

} // namespace
