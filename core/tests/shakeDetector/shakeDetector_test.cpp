#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/statusCode.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "shakeDetector/ShakeDetector.h"

namespace {

class Shake : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        int a = 0, b = 0;
        ASSERT_EQ(detector_.init(nullptr, a, nullptr, b), 0);
        vnx_SensorFusion_initOutput(&motion_);
        vnx_SensorFusion_initFormat(&format_);
        format_.periodUs = 8000;
        format_.angularVelocityQ = 127;
        vnx_ShakeDetector_initOutput(&out_);
    }

    int step(float x, float y, float z)
    {
        const float rates[3] = {x, y, z};
        for (int i = 0; i < 3; ++i)
            std::memcpy(&motion_.angularVelocity[i], &rates[i], 4);
        const vnx_StructOutput_s* inputs[] = {&motion_.output};
        const vnx_StructFormat_s* formats[] = {&format_.format};
        vnx_StructOutput_s* outputs[] = {&out_.output};
        return detector_.process(0, 1, inputs, formats, 0, 1, outputs, nullptr);
    }

    vnx::ShakeDetector detector_;
    vnx_SensorFusion_Output_s motion_;
    vnx_SensorFusion_Format_s format_;
    vnx_ShakeDetector_Output_s out_;
};

TEST_F(Shake, FifthReversalRaisesTheFlagWithPresetThree)
{
    // 4 rad/s about z, reversing every 5 samples (40 ms).
    float direction = 1.0f;
    int reversals = 0;
    for (int i = 0; i < 60 && !out_.shake; ++i) {
        if (i % 5 == 0) {
            direction = -direction;
            ++reversals;
        }
        ASSERT_EQ(step(0.0f, 0.0f, 4.0f * direction), 0);
        if (!out_.shake) {
            EXPECT_EQ(out_.outputValue, 1.0f);
            EXPECT_EQ(out_.intensity, 0.0f);
        }
    }
    EXPECT_EQ(out_.shake, 1);
    EXPECT_EQ(reversals, 5);
    EXPECT_EQ(detector_.reversalCount(), 5);
    EXPECT_NEAR(out_.outputValue, 0.11f, 1e-6f);
    EXPECT_EQ(out_.intensity, 1.0f);
}

TEST_F(Shake, ReversalCountIsDroppedOnTheThirtySixthQuietSample)
{
    ASSERT_EQ(step(0.0f, 4.0f, 0.0f), 0);
    EXPECT_EQ(detector_.reversalCount(), 1);
    for (int i = 1; i <= 35; ++i) {
        step(0.0f, 0.0f, 0.0f);
        ASSERT_EQ(detector_.reversalCount(), 1) << i;
    }
    step(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(detector_.reversalCount(), 0);
}

TEST_F(Shake, SlowTurnsAndSideRotationsDoNotCount)
{
    for (int i = 0; i < 200; ++i)
        step(0.0f, 0.0f, (i / 5) % 2 ? 2.0f : -2.0f); // below 150 degrees per second
    EXPECT_EQ(out_.shake, 0);

    // Single-axis preset: a fast rotation with y^2 >= z^2 / 3 fails.
    vnx_ShakeDetector_Config_s config;
    vnx_ShakeDetector_initConfig(&config);
    config.mode = 4;
    ASSERT_EQ(detector_.setConfig(&config.config), 0);
    for (int i = 0; i < 100; ++i)
        step(0.0f, 2.0f, (i / 5) % 2 ? 3.0f : -3.0f);
    EXPECT_EQ(detector_.reversalCount(), 0);
}

TEST_F(Shake, ModeZeroReportsRestAndPresetsAreStored)
{
    vnx_ShakeDetector_Config_s config;
    vnx_ShakeDetector_initConfig(&config);
    config.mode = 0;
    config.restValue = 0.7f;
    ASSERT_EQ(detector_.setConfig(&config.config), 0);
    step(0.0f, 0.0f, 50.0f);
    EXPECT_EQ(out_.shake, 0);
    EXPECT_EQ(out_.outputValue, 0.7f);

    config.mode = 4;
    ASSERT_EQ(detector_.setConfig(&config.config), 0);
    vnx_ShakeDetector_Config_s stored;
    vnx_ShakeDetector_initConfig(&stored);
    ASSERT_EQ(detector_.getConfig(&stored.config), 0);
    EXPECT_EQ(stored.rateThreshold, 0.34906626f);
    EXPECT_EQ(stored.singleAxis, 1);
    EXPECT_EQ(stored.xRatio, 0.13247433f);
    // Mode 1 keeps the client's values.
    config.mode = 1;
    config.rateThreshold = 9.0f;
    detector_.setConfig(&config.config);
    detector_.getConfig(&stored.config);
    EXPECT_EQ(stored.rateThreshold, 9.0f);
}

TEST_F(Shake, RefusesOtherRecordsAndShapes)
{
    vnx_SensorFusion_Config_s other;
    vnx_SensorFusion_initConfig(&other);
    EXPECT_EQ(detector_.setConfig(&other.config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(detector_.getConfig(&other.config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(detector_.sendCommand(nullptr), VNX_STATUS_NOT_FOR_ME);
    const vnx_StructOutput_s* inputs[] = {&motion_.output};
    const vnx_StructFormat_s* formats[] = {&format_.format};
    vnx_StructOutput_s* outputs[] = {&out_.output};
    EXPECT_EQ(detector_.process(1, 1, inputs, formats, 0, 1, outputs, nullptr), -2);
    EXPECT_EQ(detector_.process(0, 2, inputs, formats, 0, 1, outputs, nullptr), -2);
    EXPECT_EQ(detector_.process(0, 1, inputs, nullptr, 0, 1, outputs, nullptr), -2);
    vnx_StructOutput_s* wrong[] = {&motion_.output};
    EXPECT_EQ(detector_.process(0, 1, inputs, formats, 0, 1, wrong, nullptr), -2);
    uint8_t types[1];
    size_t count = 0;
    EXPECT_EQ(detector_.getInputInterface(0, 0, types, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(detector_.getInputInterface(1, 1, types, count), VNX_STATUS_INVALID_INTERFACE);
}

} // namespace
