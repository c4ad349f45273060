#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "../common/scopedEnv.h"
#include "common/moduleType.h"
#include "mobileRig.h"
#include "moduleFactory/ModuleFactory.h"

namespace {

using namespace vnx::mobiletest;

/// Whether the core library is started: its factories are registered.
bool coreStarted()
{
    vnx_StructOutput_s* record = vnx::ModuleFactory::createOutput(VNX_TYPE_TEST_MODULE);
    if (record == nullptr)
        return false;
    vnx::ModuleFactory::destroyOutput(record);
    return true;
}

scdGen4Float_s defaultScd()
{
    return deviceScd().build();
}

TEST(MobileApi, DefaultsFillEveryFieldButTheReservedBytes)
{
    vnx_Mobile_Configuration_s config;
    std::memset(&config, 0x5A, sizeof config);
    EXPECT_EQ(vnx_Mobile_getDefaults(&config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(config.scd, nullptr);
    EXPECT_EQ(config.scdSize, 0u);
    EXPECT_EQ(config.dcd, nullptr);
    EXPECT_EQ(config.dcdSize, 0u);
    for (std::uint8_t b : config.reserved)
        EXPECT_EQ(b, 0x5A);
    EXPECT_EQ(config.reorientation.x, 0.0f);
    EXPECT_EQ(config.reorientation.y, 0.0f);
    EXPECT_EQ(config.reorientation.z, 0.0f);
    EXPECT_EQ(config.reorientation.w, 10000.0f);
    EXPECT_EQ(config.stabilityTimeS, 3);
    EXPECT_EQ(config.stabilityThreshold, 1.0f);
    EXPECT_EQ(config.clientThreshold, 0.2f);
    EXPECT_EQ(config.clientWord, 0u);
    for (std::uint8_t b : config.clientBytes)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(config.rawTimestamps, 0);
}

TEST(MobileApi, VersionRecordAndBanner)
{
    vnx_Mobile_Version_s v;
    std::memset(&v, 0xEE, sizeof v);
    EXPECT_EQ(vnx_Mobile_getVersion(&v), VNX_STATUS_SUCCESS);
    EXPECT_EQ(v.major, 3);
    EXPECT_EQ(v.minor, 1);
    EXPECT_EQ(v.patch, 4);
    EXPECT_EQ(v.build, 0u);
    for (std::uint8_t f : v.flags)
        EXPECT_EQ(f, 1);
    EXPECT_NE(std::strstr(vnx_Mobile_getVersionString(), "3.1.4.0"), nullptr);
}

TEST(MobileApi, InitializeWithoutScdFailsWithNullHandle)
{
    vnx_Mobile_Configuration_s config;
    vnx_Mobile_getDefaults(&config);
    vnx_Mobile_Handle handle = reinterpret_cast<vnx_Mobile_Handle>(&config);
    EXPECT_EQ(vnx_Mobile_initialize(&handle, &config), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(handle, nullptr);

    // A short buffer or a corrupt block fails the same way.
    scdGen4Float_s scd = defaultScd();
    config.scd = &scd.head;
    config.scdSize = 3;
    EXPECT_EQ(vnx_Mobile_initialize(&handle, &config), VNX_STATUS_INVALID_SCD);
    config.scdSize = 100;
    EXPECT_EQ(vnx_Mobile_initialize(&handle, &config), VNX_STATUS_INVALID_SCD);
    config.scdSize = sizeof scd;
    scd.innards.period += 1.0f; // breaks the check word
    EXPECT_EQ(vnx_Mobile_initialize(&handle, &config), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(vnx_Mobile_initialize(nullptr, &config), VNX_STATUS_INVALID_PARAMETER);
}

TEST(MobileApi, RootNodePropertyStartsAndStopsTheCoreLibraryWithTheEngines)
{
    ScopedEnv root("VNX_MOBILE_IS_ROOT_NODE", "1");
    ASSERT_FALSE(coreStarted());

    // A failed first initialise starts and stops it again.
    vnx_Mobile_Configuration_s bad;
    vnx_Mobile_getDefaults(&bad);
    vnx_Mobile_Handle none = nullptr;
    EXPECT_EQ(vnx_Mobile_initialize(&none, &bad), VNX_STATUS_INVALID_SCD);
    EXPECT_FALSE(coreStarted());

    const scdGen4Float_s scd = defaultScd();
    {
        MobileRig first(scd);
        ASSERT_EQ(first.initStatus, VNX_STATUS_SUCCESS);
        EXPECT_TRUE(coreStarted());
        {
            MobileRig second(scd);
            ASSERT_EQ(second.initStatus, VNX_STATUS_SUCCESS);
            // A failure beside live engines leaves the library running.
            EXPECT_EQ(vnx_Mobile_initialize(&none, &bad), VNX_STATUS_INVALID_SCD);
            EXPECT_TRUE(coreStarted());
        }
        EXPECT_TRUE(coreStarted());
        // Null and stale handles destroy nothing and must not count.
        vnx_Mobile_Handle stale = nullptr;
        {
            MobileRig gone(scd);
            stale = gone.handle;
        }
        vnx_Mobile_finalize(nullptr);
        vnx_Mobile_finalize(stale);
        vnx_Mobile_finalize(stale);
        EXPECT_TRUE(coreStarted());
        EXPECT_EQ(vnx_Mobile_reportFusionTick(first.handle, 0), VNX_STATUS_NOT_ACTIVE);
    }
    EXPECT_FALSE(coreStarted());
}

TEST(MobileApi, WithoutRootNodePropertyTheCoreLibraryIsTheClients)
{
    ScopedEnv root("VNX_MOBILE_IS_ROOT_NODE", nullptr);
    const scdGen4Float_s scd = defaultScd();
    {
        MobileRig rig(scd);
        ASSERT_EQ(rig.initStatus, VNX_STATUS_SUCCESS);
        EXPECT_FALSE(coreStarted());
    }
    EXPECT_FALSE(coreStarted());
}

TEST(MobileApi, NullAndStaleHandlesAreRefused)
{
    const scdGen4Float_s scd = defaultScd();
    vnx_Mobile_Handle stale = nullptr;
    {
        MobileRig rig(scd);
        stale = rig.handle;
    }
    for (vnx_Mobile_Handle h : {vnx_Mobile_Handle{nullptr}, stale}) {
        vnx_Mobile_Output_s out;
        std::uint8_t flag = 7;
        std::uint8_t bits = 0;
        vnx_Mobile_Quaternion_s q{};
        EXPECT_EQ(vnx_Mobile_reportAcc(h, 0, 0, 0, 0), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(vnx_Mobile_reportGyro(h, 0, 0, 0, 0, 0), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(vnx_Mobile_process(h, &out, &flag), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(flag, 0);
        EXPECT_EQ(vnx_Mobile_getDynamicCalibrationEnable(h, &bits), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(vnx_Mobile_getReorientation(h, &q), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(vnx_Mobile_tareNow(h, 7, 0), VNX_STATUS_INVALID_PARAMETER);
    }
}

TEST(MobileApi, ReportsOnSensorsThatAreOffAreNotActive)
{
    MobileRig rig(defaultScd());
    ASSERT_EQ(rig.initStatus, VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_Mobile_reportAcc(rig.handle, 8000, 0, 0, -16384), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(vnx_Mobile_reportGyro(rig.handle, 8000, 0, 0, 0, 0), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(vnx_Mobile_reportMag(rig.handle, 8000, 0, 0, 0), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(vnx_Mobile_reportFusionTick(rig.handle, 8000), VNX_STATUS_NOT_ACTIVE);
    // Nothing was stored: nothing to do.
    rig.drain([](const vnx_Mobile_Output_s&) { ADD_FAILURE() << "output without input"; });

    rig.enable(periods({{VNX_MOBILE_CALIBRATED_ROTATION_RATE, 2500}}));
    EXPECT_EQ(vnx_Mobile_reportAcc(rig.handle, 8000, 0, 0, -16384), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_Mobile_reportGyro(rig.handle, 8000, 0, 0, 0, 0), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_Mobile_reportMag(rig.handle, 8000, 0, 0, 0), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_Mobile_reportFusionTick(rig.handle, 8000), VNX_STATUS_NOT_ACTIVE);
}

TEST(MobileApi, PeriodsDerivedForRequestedOutputs)
{
    MobileRig rig(defaultScd());
    ASSERT_EQ(rig.initStatus, VNX_STATUS_SUCCESS);
    const auto rv = rig.enable(periods({{VNX_MOBILE_ROTATION_VECTOR, 20000}}));
    EXPECT_EQ(rv.accelerometerUs, 20000);
    EXPECT_EQ(rv.gyroscopeUs, 20000);
    EXPECT_EQ(rv.magnetometerUs, 20000);
    EXPECT_EQ(rv.fusionUs, 20000);

    const auto rate = rig.enable(periods({{VNX_MOBILE_CALIBRATED_ROTATION_RATE, 2500}}));
    EXPECT_EQ(rate.accelerometerUs, 4000);
    EXPECT_EQ(rate.gyroscopeUs, 2500);
    EXPECT_EQ(rate.magnetometerUs, 20000);
    EXPECT_EQ(rate.fusionUs, 0);

    // Only the calibrated rate is enabled now; gravity at a 1250 us gyroscope
    // comes every second sample.
    rig.enable(periods({{VNX_MOBILE_GRAVITY, 1250}}));
    vnx_Mobile_VirtualSensorPeriods_s effective{};
    const vnx_Mobile_PhysicalSensorPeriods_s physical{4000, 1250, 20000, 1250};
    EXPECT_EQ(vnx_Mobile_getEffectiveOutputPeriods(rig.handle, &physical, &effective), VNX_STATUS_SUCCESS);
    EXPECT_EQ(effective.periodUs[VNX_MOBILE_GRAVITY], 2500);
    EXPECT_EQ(effective.periodUs[VNX_MOBILE_CALIBRATED_ROTATION_RATE], 0);
}

TEST(MobileApi, DynamicCalibrationNeedsRoomForTheWholeBlock)
{
    MobileRig rig(defaultScd());
    std::vector<std::uint8_t> buffer(260, 0xCD);
    std::size_t written = 99;
    EXPECT_EQ(vnx_Mobile_getDynamicCalibration(rig.handle, buffer.data(), 259, &written),
              VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(written, 99u);
    for (std::uint8_t b : buffer)
        ASSERT_EQ(b, 0xCD);
    EXPECT_EQ(vnx_Mobile_getDynamicCalibration(rig.handle, buffer.data(), 260, &written), VNX_STATUS_SUCCESS);
    EXPECT_EQ(written, 260u);
    const auto* dcd = reinterpret_cast<const vnx_dcdData_s*>(buffer.data());
    EXPECT_EQ(dcd->size, 260);
    EXPECT_EQ(dcd->version, 27);
    EXPECT_NE(dcdAlg49AxisFixedValidateAndCast(dcd), nullptr);
}

TEST(MobileApi, DynamicCalibrationRoundTrip)
{
    const scdGen4Float_s scd = defaultScd();
    std::vector<std::uint8_t> dcd(260);
    {
        MobileRig rig(scd);
        rig.enable(periods({{VNX_MOBILE_ROTATION_VECTOR, 8000}}));
        for (int i = 1; i <= 500; ++i)
            rig.sample(8000u * i, {0, 0, -16384}, {0, 0, 0}, {0, 0, 0}, nullptr);
        std::size_t written = 0;
        ASSERT_EQ(vnx_Mobile_getDynamicCalibration(rig.handle, dcd.data(), dcd.size(), &written),
                  VNX_STATUS_SUCCESS);
    }
    {
        MobileRig same(scd, dcd.data(), dcd.size());
        EXPECT_EQ(same.initStatus, VNX_STATUS_SUCCESS);
    }
    {
        const scdGen4Float_s other = deviceScd().gyroNoise(3, 3, 3).build();
        MobileRig rig(other, dcd.data(), dcd.size());
        EXPECT_EQ(rig.initStatus, VNX_STATUS_WARNING_DCD_SCD_MISMATCH);
    }
    {
        std::vector<std::uint8_t> corrupt = dcd;
        corrupt[100] ^= 0x40;
        MobileRig rig(scd, corrupt.data(), corrupt.size());
        EXPECT_EQ(rig.initStatus, VNX_STATUS_WARNING_INVALID_DCD);
    }
    {
        // A buffer shorter than the block is not read past its end.
        MobileRig rig(scd, dcd.data(), 200);
        EXPECT_EQ(rig.initStatus, VNX_STATUS_WARNING_INVALID_DCD);
    }
    {
        const std::vector<std::uint8_t> zeros(260, 0);
        MobileRig rig(scd, zeros.data(), zeros.size());
        EXPECT_EQ(rig.initStatus, VNX_STATUS_SUCCESS);
    }
}

TEST(MobileApi, ReorientationSetGetAndTareValidation)
{
    MobileRig rig(defaultScd());
    vnx_Mobile_Quaternion_s q{};
    EXPECT_EQ(vnx_Mobile_getReorientation(rig.handle, &q), VNX_STATUS_SUCCESS);
    EXPECT_EQ(q.w, 1.0f);

    const vnx_Mobile_Quaternion_s turn{0.0f, 0.0f, 0.6f, 0.8f};
    EXPECT_EQ(vnx_Mobile_setReorientation(rig.handle, &turn), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_Mobile_getReorientation(rig.handle, &q), VNX_STATUS_SUCCESS);
    EXPECT_NEAR(q.z, 0.6f, 1e-6f);
    EXPECT_NEAR(q.w, 0.8f, 1e-6f);

    EXPECT_EQ(vnx_Mobile_tareNow(rig.handle, 5, 0), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_tareNow(rig.handle, 7, 3), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_getReorientation(rig.handle, &q), VNX_STATUS_SUCCESS);
    EXPECT_NEAR(q.z, 0.6f, 1e-6f);

    const vnx_Mobile_Quaternion_s none{0.0f, 0.0f, 0.0f, 1.0f};
    EXPECT_EQ(vnx_Mobile_setReorientation(rig.handle, &none), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_Mobile_getReorientation(rig.handle, &q), VNX_STATUS_SUCCESS);
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.z, 0.0f);
}

/// Quaternions (x, y, z, w) that no reorientation can be made of.
const vnx_Mobile_Quaternion_s kUnusableReorientations[] = {
    {std::nanf(""), 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f, std::nanf("")}, {0.0f, INFINITY, 0.0f, 1.0f},
    {0.0f, 0.0f, 0.5f, -INFINITY},     {1e-30f, 0.0f, 0.0f, 0.0f},        {0.0f, 4e-7f, 0.0f, 5e-7f},
};

TEST(MobileApi, UnusableReorientationIsRefusedAndOutputsStayAsTheyWere)
{
    const scdGen4Float_s scd = defaultScd();
    MobileRig plain(scd);
    MobileRig probed(scd);
    const vnx_Mobile_Quaternion_s turn{0.0f, 0.0f, 0.6f, 0.8f};
    for (MobileRig* rig : {&plain, &probed}) {
        ASSERT_EQ(vnx_Mobile_setReorientation(rig->handle, &turn), VNX_STATUS_SUCCESS);
        rig->enable(periods({{VNX_MOBILE_GAME_ROTATION_VECTOR, 8000}, {VNX_MOBILE_GRAVITY, 8000}}));
    }
    std::vector<vnx_Mobile_Output_s> expected;
    std::vector<vnx_Mobile_Output_s> seen;
    for (int i = 1; i <= 300; ++i) {
        const MobileRig::RawTriple gyro{static_cast<std::int16_t>(200 + i % 7), -150, 90};
        plain.sample(8000u * i, {300, -200, -16000}, gyro, {0, 0, 0},
                     [&](const vnx_Mobile_Output_s& out) { expected.push_back(out); });
        for (const vnx_Mobile_Quaternion_s& bad : kUnusableReorientations) {
            ASSERT_EQ(vnx_Mobile_setReorientation(probed.handle, &bad), VNX_STATUS_INVALID_PARAMETER)
                << bad.x << " " << bad.y << " " << bad.z << " " << bad.w;
        }
        probed.sample(8000u * i, {300, -200, -16000}, gyro, {0, 0, 0},
                      [&](const vnx_Mobile_Output_s& out) { seen.push_back(out); });
    }
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        ASSERT_EQ(seen[i].validBits, expected[i].validBits) << "output " << i;
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(seen[i].gravity[k], expected[i].gravity[k]) << "output " << i;
        for (int k = 0; k < 4; ++k)
            ASSERT_EQ(seen[i].gameRotationVector[k], expected[i].gameRotationVector[k]) << "output " << i;
    }
    vnx_Mobile_Quaternion_s q{};
    vnx_Mobile_getReorientation(probed.handle, &q);
    EXPECT_NEAR(q.z, 0.6f, 1e-6f);
    EXPECT_NEAR(q.w, 0.8f, 1e-6f);
}

TEST(MobileApi, UnusableConfiguredReorientationGivesNoEngine)
{
    const scdGen4Float_s scd = defaultScd();
    vnx_Mobile_Configuration_s config;
    vnx_Mobile_getDefaults(&config);
    config.scd = &scd.head;
    config.scdSize = sizeof scd;
    for (const vnx_Mobile_Quaternion_s& bad : kUnusableReorientations) {
        config.reorientation = bad;
        vnx_Mobile_Handle handle = reinterpret_cast<vnx_Mobile_Handle>(&config);
        EXPECT_EQ(vnx_Mobile_initialize(&handle, &config), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(handle, nullptr);
    }
    // "None" stays none whatever w is, as long as it is finite.
    config.reorientation = {0.0f, 0.0f, 0.0f, 0.0f};
    vnx_Mobile_Handle handle = nullptr;
    EXPECT_EQ(vnx_Mobile_initialize(&handle, &config), VNX_STATUS_SUCCESS);
    vnx_Mobile_finalize(handle);
}

TEST(MobileApi, FinalizedHandleNeverReachesTheNextEngine)
{
    const scdGen4Float_s scd = defaultScd();
    auto stale = std::make_unique<MobileRig>(scd);
    const vnx_Mobile_Handle old = stale->handle;
    stale.reset();
    // Made at once, so that it likely takes the old engine's memory.
    MobileRig fresh(scd);
    ASSERT_EQ(fresh.initStatus, VNX_STATUS_SUCCESS);
    EXPECT_NE(fresh.handle, old);

    const vnx_Mobile_Quaternion_s turn{0.0f, 0.0f, 0.6f, 0.8f};
    vnx_Mobile_Quaternion_s q{};
    std::uint8_t bits = 0;
    std::size_t written = 0;
    std::vector<std::uint8_t> dcd(260);
    const vnx_Mobile_VirtualSensorPeriods_s wanted = periods({{VNX_MOBILE_ROTATION_VECTOR, 8000}});
    vnx_Mobile_PhysicalSensorPeriods_s sensors{};
    EXPECT_EQ(vnx_Mobile_setReorientation(old, &turn), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_getReorientation(old, &q), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_setDynamicCalibrationEnable(old, 0), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_getDynamicCalibrationEnable(old, &bits), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_getDynamicCalibration(old, dcd.data(), dcd.size(), &written),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_enableOutputPeriodsAndDeriveInputPeriods(old, &wanted, &sensors),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_setInputPeriods(old, &sensors), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_reportFusionTick(old, 8000), VNX_STATUS_INVALID_PARAMETER);
    vnx_Mobile_finalize(old);

    // The new engine is as it was made: no reorientation, calibration on,
    // no sensor running.
    EXPECT_EQ(vnx_Mobile_getReorientation(fresh.handle, &q), VNX_STATUS_SUCCESS);
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.z, 0.0f);
    EXPECT_EQ(vnx_Mobile_getDynamicCalibrationEnable(fresh.handle, &bits), VNX_STATUS_SUCCESS);
    EXPECT_EQ(bits, 0xFF);
    EXPECT_EQ(vnx_Mobile_reportFusionTick(fresh.handle, 8000), VNX_STATUS_NOT_ACTIVE);
}

TEST(MobileApi, DynamicCalibrationIntoNoBufferIsAnInvalidParameter)
{
    MobileRig rig(defaultScd());
    std::size_t written = 99;
    EXPECT_EQ(vnx_Mobile_getDynamicCalibration(rig.handle, nullptr, 260, &written),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(written, 99u);
}

TEST(MobileApi, ConfiguredReorientationIsReportedBack)
{
    const scdGen4Float_s scd = defaultScd();
    vnx_Mobile_Configuration_s config;
    vnx_Mobile_getDefaults(&config);
    config.scd = &scd.head;
    config.scdSize = sizeof scd;
    config.reorientation = {0.0f, 2.0f, 0.0f, 2.0f}; // 90 degrees about y, not unit length
    vnx_Mobile_Handle handle = nullptr;
    ASSERT_EQ(vnx_Mobile_initialize(&handle, &config), VNX_STATUS_SUCCESS);
    vnx_Mobile_Quaternion_s q{};
    vnx_Mobile_getReorientation(handle, &q);
    EXPECT_NEAR(q.y, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(q.w, std::sqrt(0.5f), 1e-6f);
    vnx_Mobile_finalize(handle);
}

} // namespace
