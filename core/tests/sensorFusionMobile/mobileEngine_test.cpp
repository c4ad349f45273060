// The engine's own state, driven directly: gaps, saturation, fusion-tick
// backlog, nodes, reorientation and tare of live outputs.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "common/NodeManager.h"
#include "mobileRig.h"
#include "sensorFusionMobile/SensorFusionMobile.h"
#include "sensorFusionMobile/mobilePeriods.h"

namespace {

using namespace vnx::mobiletest;
using vnx::SensorFusionMobile;
using vnx::mobile::GroupDelay;

class MobileEngine : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        engine = pool.create();
        vnx_Mobile_Configuration_s config;
        SensorFusionMobile::getDefaults(&config);
        config.scd = &scd.head;
        config.scdSize = sizeof scd;
        ASSERT_EQ(engine->init(config), VNX_STATUS_SUCCESS);
    }
    void TearDown() override { pool.destroy(engine); }

    void enable(const vnx_Mobile_VirtualSensorPeriods_s& wanted)
    {
        engine->enableOutputPeriodsAndDeriveInputPeriods(wanted, &sensors);
        engine->setInputPeriods(sensors);
    }

    /// Accelerometer, a zero magnetometer and gyroscope (and a fusion tick
    /// when running) at t.
    void sample(std::uint32_t t, MobileRig::RawTriple acc, MobileRig::RawTriple gyro,
                const std::function<void(const vnx_Mobile_Output_s&)>& onOutput = nullptr)
    {
        engine->reportAcc(t, acc[0], acc[1], acc[2]);
        if (sensors.magnetometerUs > 0)
            engine->reportMag(t, 0, 0, 0);
        engine->reportGyro(t, gyro[0], gyro[1], gyro[2], 0);
        if (sensors.fusionUs > 0)
            engine->reportFusionTick(t);
        drain(onOutput);
    }

    int drain(const std::function<void(const vnx_Mobile_Output_s&)>& onOutput = nullptr)
    {
        int outputs = 0;
        for (int calls = 0; calls < 64; ++calls) {
            vnx_Mobile_Output_s out{};
            std::uint8_t flag = 1;
            if (engine->process(&out, &flag) != VNX_STATUS_SUCCESS)
                return outputs;
            ++outputs;
            if (onOutput)
                onOutput(out);
        }
        ADD_FAILURE() << "process did not finish";
        return outputs;
    }

    void runStill(std::uint32_t& t, int samples, std::uint32_t periodUs)
    {
        for (int i = 0; i < samples; ++i) {
            t += periodUs;
            sample(t, {0, 0, -16384}, {0, 0, 0});
        }
    }

    scdGen4Float_s scd = deviceScd().build();
    SensorFusionMobile::Pool pool;
    SensorFusionMobile* engine = nullptr;
    vnx_Mobile_PhysicalSensorPeriods_s sensors{};
};

TEST_F(MobileEngine, ChildrenAreNamedSubNodesAndLeaveWithTheEngine)
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    ASSERT_NE(nodes.addNode(nullptr, engine, vnx::NodeInterface::NODE_MODULE, "mobileUnderTest"), nullptr);
    const char* children[] = {
        "Interpret", "ZroFromStable",     "BiasCorrectMin", "Cal",       "MagCal", "magFilt",
        "accCal",    "accPlanarCal",      "accFilt",        "gyroInteg", "sf",     "sf6AG",
        "sf9AM",     "inclAngFromStable", "dftLog"};
    for (const char* child : children) {
        SCOPED_TRACE(child);
        const std::string name = std::string("mobileUnderTest.") + child;
        const vnx::NodeInterface* node = nodes.getNode(name.c_str());
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->getNodeType(), std::string(child) == "dftLog" ? vnx::NodeInterface::NODE_LOG
                                                                      : vnx::NodeInterface::NODE_SUBNODE);
    }
    EXPECT_NE(nodes.getNode("mobileUnderTest.sf.dftLog"), nullptr);
    pool.destroy(engine);
    engine = pool.create();
    EXPECT_EQ(nodes.getNode("mobileUnderTest"), nullptr);
}

TEST_F(MobileEngine, DecimationFollowsTheGyroscopePeriod)
{
    const std::pair<std::int32_t, int> cases[] = {{1250, 2}, {2500, 1}, {833, 3}, {10000, 1}};
    for (const auto& [period, factor] : cases) {
        SCOPED_TRACE(period);
        engine->setInputPeriods({4000, period, 20000, period});
        EXPECT_EQ(engine->decimation(), factor);
    }
    // Switching the gyroscope off keeps the factor.
    engine->setInputPeriods({4000, 0, 20000, 0});
    EXPECT_EQ(engine->decimation(), 1);
    engine->setInputPeriods({4000, 1250, 20000, 0});
    engine->setInputPeriods({4000, 0, 20000, 0});
    EXPECT_EQ(engine->decimation(), 2);
}

TEST_F(MobileEngine, GyroscopePauseRestartsTheAccelerometerFilter)
{
    enable(periods({{VNX_MOBILE_ROTATION_VECTOR, 8000}}));
    std::uint32_t t = 0;
    runStill(t, 500, 8000);
    EXPECT_GE(engine->accelerometerDelay().state, GroupDelay::kStill);

    // 300 ms without any sample: the accelerometer did not report, so it is
    // invalid, and so is this gyroscope sample.
    t += 300000;
    engine->reportGyro(t, 0, 0, 0, 0);
    EXPECT_EQ(engine->accelerometerDelta(), SensorFusionMobile::kDeltaInvalid);
    EXPECT_EQ(engine->gyroscopeDelta(), SensorFusionMobile::kDeltaInvalid);
    drain();

    // The next complete sample restarts as after a reset: the filter's delay
    // starts over from -T/2.
    t += 8000;
    engine->reportAcc(t, 0, 0, -16384);
    EXPECT_EQ(engine->accelerometerDelta(), SensorFusionMobile::kDeltaFirst);
    engine->reportMag(t, 0, 0, 0);
    engine->reportGyro(t, 0, 0, 0, 0);
    EXPECT_EQ(engine->accelerometerDelay().state, GroupDelay::kGrowingAfterGap);
    EXPECT_LE(engine->accelerometerDelay().delayS.value(), 0.0f);
    drain();
}

TEST_F(MobileEngine, SaturatedRateHoldsTheSaturationCounterForThreeSeconds)
{
    const std::pair<std::int32_t, int> cases[] = {{10000, 300}, {8000, 374}};
    for (const auto& [period, expected] : cases) {
        SCOPED_TRACE(period);
        TearDown(); // a fresh engine per case
        SetUp();
        enable(periods({{VNX_MOBILE_ROTATION_VECTOR, period}}));
        std::uint32_t t = 0;
        runStill(t, 20, static_cast<std::uint32_t>(period));
        t += static_cast<std::uint32_t>(period);
        sample(t, {0, 0, -16384}, {32767, 0, 0});
        EXPECT_EQ(engine->saturationCounter(), expected);
        // The saturated sample adds 150 deg/s to the rate uncertainty.
        EXPECT_GT(engine->gyroscopeError().value(), 2.6179938f);
        runStill(t, 10, static_cast<std::uint32_t>(period));
        EXPECT_EQ(engine->saturationCounter(), expected - 10);
    }
}

TEST_F(MobileEngine, FusionTickBacklogYieldsOneOutput)
{
    enable(periods({{VNX_MOBILE_ROTATION_VECTOR, 8000}}));
    std::uint32_t t = 0;
    runStill(t, 10, 8000);
    for (int i = 0; i < 5; ++i)
        engine->reportFusionTick(t);
    int fused = 0;
    drain([&](const vnx_Mobile_Output_s& out) {
        if ((out.validBits & VNX_MOBILE_BIT_ROTATION_VECTOR) != 0)
            ++fused;
    });
    EXPECT_EQ(fused, 1);
}

TEST_F(MobileEngine, OutputsFollowTheReorientation)
{
    enable(periods({{VNX_MOBILE_ACCELEROMETER, 8000}, {VNX_MOBILE_ROTATION_VECTOR, 8000}}));
    std::uint32_t t = 0;
    vnx_Mobile_Output_s last{};
    auto keepAccelerometer = [&](const vnx_Mobile_Output_s& out) {
        if ((out.validBits & VNX_MOBILE_BIT_ACCELEROMETER) != 0)
            last = out;
    };
    // Gravity along the sensor's x axis comes out along y.
    t += 8000;
    sample(t, {16384, 0, 0}, {0, 0, 0}, keepAccelerometer);
    EXPECT_NEAR(last.accelerometer[0], 0.0f, 1e-4f);
    EXPECT_NEAR(last.accelerometer[1], kGravity, 1e-3f);
    // Accuracy 2: no offset learned yet.
    EXPECT_EQ(last.accuracyLow & VNX_MOBILE_BIT_ACCELEROMETER, 0u);
    EXPECT_NE(last.accuracyHigh & VNX_MOBILE_BIT_ACCELEROMETER, 0u);

    // Mounted turned by 90 degrees about z.
    const float h = std::sqrt(0.5f);
    engine->setReorientation({0.0f, 0.0f, h, h});
    t += 8000;
    sample(t, {16384, 0, 0}, {0, 0, 0}, keepAccelerometer);
    EXPECT_NEAR(last.accelerometer[0], -kGravity, 1e-3f);
    EXPECT_NEAR(last.accelerometer[1], 0.0f, 1e-3f);
}

TEST_F(MobileEngine, TareAllAxesMakesTheRotationVectorReadIdentity)
{
    enable(periods({{VNX_MOBILE_ROTATION_VECTOR, 8000}}));
    std::uint32_t t = 0;
    vnx_Mobile_Output_s last{};
    auto keep = [&](const vnx_Mobile_Output_s& out) {
        if ((out.validBits & VNX_MOBILE_BIT_ROTATION_VECTOR) != 0)
            last = out;
    };
    // Tilted by 30 degrees about x.
    const std::int16_t y = counts(-kCountsPerG * std::sin(0.5236f));
    const std::int16_t z = counts(-kCountsPerG * std::cos(0.5236f));
    for (int i = 0; i < 300; ++i) {
        t += 8000;
        sample(t, {0, y, z}, {0, 0, 0}, keep);
    }
    EXPECT_LT(std::fabs(last.rotationVector[3]), 0.99f);
    ASSERT_EQ(engine->tareNow(SensorFusionMobile::kTareAllAxes, SensorFusionMobile::kTareRotationVector),
              VNX_STATUS_SUCCESS);
    t += 8000;
    sample(t, {0, y, z}, {0, 0, 0}, keep);
    EXPECT_NEAR(last.rotationVector[3], 1.0f, 1e-4f);

    // A heading tare keeps the tilt: tilt back by setting none, then tare heading.
    engine->setReorientation({0.0f, 0.0f, 0.0f, 1.0f});
    ASSERT_EQ(engine->tareNow(SensorFusionMobile::kTareHeading, SensorFusionMobile::kTareRotationVector),
              VNX_STATUS_SUCCESS);
    t += 8000;
    sample(t, {0, y, z}, {0, 0, 0}, keep);
    EXPECT_NEAR(2.0f * std::acos(std::fmin(1.0f, last.rotationVector[3])), 0.5236f, 0.01f);
}

TEST_F(MobileEngine, DynamicCalibrationBitsDefaultToAllOn)
{
    std::uint8_t bits = 0;
    EXPECT_EQ(engine->getDynamicCalibrationEnable(&bits), VNX_STATUS_SUCCESS);
    EXPECT_EQ(bits, 0xFF);
    EXPECT_EQ(engine->setDynamicCalibrationEnable(0x02), VNX_STATUS_SUCCESS);
    engine->getDynamicCalibrationEnable(&bits);
    EXPECT_EQ(bits, 0x02);
}

} // namespace
