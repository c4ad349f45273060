#include <gtest/gtest.h>

#include <cstring>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/statusCode.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "standardCursor/StandardCursor.h"

namespace {

class Cursor : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        int a = 0, b = 0;
        ASSERT_EQ(cursor_.init(nullptr, a, nullptr, b), 0);
        vnx_SensorFusion_initOutput(&motion_);
        vnx_SensorFusion_initFormat(&format_);
        format_.periodUs = 8000;
        format_.angularVelocityQ = 127;
        format_.quaternionQ = 127;
        setRates(0.0f, 0.0f);
        const float identity[4] = {1.0f, 0.0f, 0.0f, 0.0f};
        for (int i = 0; i < 4; ++i)
            std::memcpy(&motion_.quaternion[i], &identity[i], 4);
        vnx_ButtonActivity_initOutput(&buttons_);
        buttons_.activity = 0;
        vnx_StandardCursor_initOutput(&out_);
        vnx_StandardCursor_initFormat(&outFormat_);
    }
    void setRates(float y, float z)
    {
        std::memcpy(&motion_.angularVelocity[1], &y, 4);
        std::memcpy(&motion_.angularVelocity[2], &z, 4);
    }
    int step(uint32_t activity = 0)
    {
        ++motion_.sampleNumber;
        buttons_.activity = activity;
        const vnx_StructOutput_s* inputs[] = {&motion_.output, &buttons_.output};
        const vnx_StructFormat_s* formats[] = {&format_.format, nullptr};
        vnx_StructOutput_s* outputs[] = {&out_.output};
        vnx_StructFormat_s* outFormats[] = {&outFormat_.format};
        return cursor_.process(0, 2, inputs, formats, 0, 1, outputs, outFormats);
    }
    void applyDefaults()
    {
        vnx_StandardCursor_Config_s config;
        vnx_StandardCursor_initConfig(&config);
        ASSERT_EQ(cursor_.setConfig(&config.config), 0);
    }

    vnx::StandardCursor cursor_;
    vnx_SensorFusion_Output_s motion_;
    vnx_SensorFusion_Format_s format_;
    vnx_ButtonActivity_Output_s buttons_;
    vnx_StandardCursor_Output_s out_;
    vnx_StandardCursor_Format_s outFormat_;
};

TEST_F(Cursor, NoMotionUntilAConfigArrives)
{
    setRates(1.0f, -1.0f);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(step(), 0);
        EXPECT_EQ(out_.dx, 0);
        EXPECT_EQ(out_.dy, 0);
    }
    EXPECT_EQ(out_.sample, motion_.sampleNumber);
    EXPECT_EQ(outFormat_.periodUs, 8000u);
}

TEST_F(Cursor, DefaultsBuildTheModeFlagsAndMoveWithTheRate)
{
    applyDefaults();
    EXPECT_EQ(cursor_.modeFlags(), 0x5C01u);
    setRates(0.0f, 0.5f); // z: horizontal
    int sumX = 0;
    for (int i = 0; i < 50; ++i) {
        step();
        sumX += out_.dx;
        EXPECT_EQ(out_.dy, 0);
    }
    // 0.5 rad/s for 0.4 s at 1994 counts per radian, less the nonlinear
    // factor and the tremor filter's start.
    EXPECT_GT(sumX, 300);
    EXPECT_LT(sumX, 400);
}

TEST_F(Cursor, PeriodSetsTheButtonSuppressionPairs)
{
    applyDefaults();
    step();
    const auto& c = cursor_.buttonSuppression().config();
    const int expected[4][2] = {{47, 35}, {16, 8}, {37, 45}, {37, 45}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(c.event[k].holdSamples, expected[k][0]);
        EXPECT_EQ(c.event[k].radius, expected[k][1]);
    }
    format_.periodUs = 4000;
    step();
    EXPECT_EQ(cursor_.buttonSuppression().config().event[0].holdSamples, 94);
    EXPECT_EQ(cursor_.buttonSuppression().config().event[1].holdSamples, 32);
}

TEST(SuppressionPairs, LongHoldsAndWideRadiiSaturateInsteadOfWrapping)
{
    const uint32_t holds[4] = {376000, 128000, 296000, 296000};
    const uint32_t radii[4] = {300, 8, 256, 45};
    const auto at1ms = vnx::suppressionConfigFor(holds, radii, 1000);
    EXPECT_EQ(at1ms.event[0].holdSamples, 255); // not 376 mod 256 = 120
    EXPECT_EQ(at1ms.event[1].holdSamples, 128);
    EXPECT_EQ(at1ms.event[0].radius, 255); // not 300 mod 256 = 44
    EXPECT_EQ(at1ms.event[2].radius, 255);
    EXPECT_EQ(at1ms.event[3].radius, 45);
    const auto noPeriod = vnx::suppressionConfigFor(holds, radii, 0);
    EXPECT_EQ(noPeriod.event[1].holdSamples, 255);
}

TEST_F(Cursor, APressFreezesTheCountsWhileTheHandStaysNear)
{
    applyDefaults();
    setRates(0.0f, 0.3f); // about 4.5 counts a sample: 35 counts after 8 samples
    step();
    step(VNX_BUTTON_ACTIVITY_PRESS);
    EXPECT_EQ(out_.dx, 0);
    int frozen = 1;
    while (frozen < 100) {
        step();
        if (out_.dx != 0)
            break;
        ++frozen;
    }
    EXPECT_GE(frozen, 6);
    EXPECT_LE(frozen, 10);
}

TEST_F(Cursor, SetConfigChecksFormatWordsButNotTheType)
{
    vnx_StandardCursor_Config_s config;
    vnx_StandardCursor_initConfig(&config);
    config.formatWord1 = 128;
    EXPECT_EQ(cursor_.setConfig(&config.config), VNX_STATUS_UNSUPPORTED_CONFIG);
    EXPECT_EQ(cursor_.modeFlags(), 0u);
    vnx_StandardCursor_initConfig(&config);
    config.outputSelector = 1;
    EXPECT_EQ(cursor_.setConfig(&config.config), VNX_STATUS_UNSUPPORTED_CONFIG);
    vnx_StandardCursor_initConfig(&config);
    config.config.header.type = 9; // another module's record with the right bytes
    config.options = 0;
    config.rollCompensation = 0;
    EXPECT_EQ(cursor_.setConfig(&config.config), 0);
    EXPECT_EQ(cursor_.modeFlags(), 0x0001u);
    EXPECT_EQ(cursor_.getConfig(&config.config), VNX_STATUS_FEATURE_NOT_IMPLEMENTED);
    EXPECT_EQ(cursor_.sendCommand(nullptr), 0);
}

TEST_F(Cursor, LinearGainWithoutTheNonlinearOption)
{
    vnx_StandardCursor_Config_s config;
    vnx_StandardCursor_initConfig(&config);
    config.options = 0; // no tremor filter, no nonlinear gain
    ASSERT_EQ(cursor_.setConfig(&config.config), 0);
    setRates(0.0f, 0.015f);
    for (int i = 0; i < 50; ++i) {
        step();
        ASSERT_EQ(out_.dx, 0);
    }
    setRates(0.0f, 0.3f); // 0.3 x 0.008 x 1994.1 = 4.79 counts a sample
    int sum = 0;
    for (int i = 0; i < 100; ++i) {
        step();
        sum += out_.dx;
    }
    EXPECT_NEAR(sum, 479, 1);
}

TEST_F(Cursor, RefusesMissingRecords)
{
    const vnx_StructOutput_s* inputs[] = {&motion_.output, &buttons_.output};
    const vnx_StructFormat_s* formats[] = {&format_.format, nullptr};
    vnx_StructOutput_s* outputs[] = {&out_.output};
    EXPECT_EQ(cursor_.process(0, 1, inputs, formats, 0, 1, outputs, nullptr), -2);
    EXPECT_EQ(cursor_.process(0, 2, inputs, nullptr, 0, 1, outputs, nullptr), -2);
    EXPECT_EQ(cursor_.process(0, 2, inputs, formats, 0, 1, nullptr, nullptr), -2);
    EXPECT_EQ(cursor_.process(0, 2, inputs, formats, 0, 1, outputs, nullptr), 0);
}

} // namespace
