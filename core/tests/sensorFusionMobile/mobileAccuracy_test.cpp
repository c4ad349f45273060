#include <gtest/gtest.h>

#include <cmath>

#include "sensorFusionMobile/mobileAccuracy.h"

namespace {

using vnx::mobile::get2BitAccuracyWithHysteresis;
using vnx::mobile::get2BitZroAccuracy;
using vnx::mobile::updateAccuracy;

TEST(MobileAccuracy, HysteresisBetweenLevels)
{
    // angle (deg) -> accuracy, each from the previous row's accuracy.
    const std::pair<float, int> walk[] = {
        {5.0f, 3},   {15.9f, 3}, {16.0f, 2}, {10.0f, 2}, {8.0f, 2},  {7.9f, 3},  {50.0f, 1},
        {20.0f, 2},  {35.0f, 2}, {44.9f, 2}, {45.0f, 1}, {60.0f, 1}, {89.9f, 1}, {90.0f, 0},
        {120.0f, 0}, {70.0f, 0}, {59.0f, 1}, {31.0f, 1}, {29.0f, 2}, {3.0f, 3},
    };
    std::uint8_t accuracy = 3;
    for (const auto& [angle, expected] : walk) {
        SCOPED_TRACE(angle);
        accuracy = get2BitAccuracyWithHysteresis(angle, accuracy);
        EXPECT_EQ(accuracy, expected);
    }
}

TEST(MobileAccuracy, FixedLevelsWhateverThePrevious)
{
    for (std::uint8_t previous = 0; previous < 4; ++previous) {
        SCOPED_TRACE(previous);
        EXPECT_EQ(get2BitAccuracyWithHysteresis(50.0f, previous), 1);
        EXPECT_EQ(get2BitAccuracyWithHysteresis(90.0f, previous), 0);
        EXPECT_EQ(get2BitAccuracyWithHysteresis(180.0f, previous), 0);
        EXPECT_EQ(get2BitAccuracyWithHysteresis(1.0f, previous), 3);
        EXPECT_EQ(get2BitAccuracyWithHysteresis(-1.0f, previous), 3);
        EXPECT_EQ(get2BitAccuracyWithHysteresis(std::nanf(""), previous), 0);
    }
}

TEST(MobileAccuracy, ZroAccuracyIsTheWholeWeightClamped)
{
    const std::pair<float, int> cases[] = {{-1.0f, 0}, {0.0f, 0}, {0.99f, 0}, {1.0f, 1},
                                           {2.5f, 2},  {3.5f, 3}, {4.0f, 3},  {std::nanf(""), 0}};
    for (const auto& [x, expected] : cases) {
        SCOPED_TRACE(x);
        EXPECT_EQ(get2BitZroAccuracy(x), expected);
    }
}

TEST(MobileAccuracy, UpdateAccuracySetsAndClearsOnlyItsBit)
{
    vnx_Mobile_Output_s out{};
    out.accuracyLow = 0xFFFFFFFFu;
    out.accuracyHigh = 0xFFFFFFFFu;
    updateAccuracy(out, 0x20, 1);
    EXPECT_EQ(out.accuracyLow, 0xFFFFFFFFu);
    EXPECT_EQ(out.accuracyHigh, ~0x20u);
    updateAccuracy(out, 0x20, 2);
    EXPECT_EQ(out.accuracyLow, ~0x20u);
    EXPECT_EQ(out.accuracyHigh, 0xFFFFFFFFu);
    updateAccuracy(out, 0x2, 0);
    EXPECT_EQ(out.accuracyLow, ~0x22u);
    EXPECT_EQ(out.accuracyHigh, ~0x2u);
}

} // namespace
