#include "cursorBlocks/MapMin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace vnx {
namespace {

using Quaternion = qdVectorFixed::quaternion<float>;

constexpr float kDegree = 3.14159265f / 180.0f;
constexpr std::uint16_t kOn = MapMin::kEnable;
constexpr std::uint16_t kRoll = MapMin::kEnable | MapMin::kRollCompensation;
constexpr std::uint16_t kRollPitch = kRoll | MapMin::kPitchScale;

// Device pitched by `degrees` (a turn about its y axis).
Quaternion pitched(float degrees)
{
    const float h = degrees * kDegree / 2.0f;
    return {std::cos(h), 0.0f, std::sin(h), 0.0f};
}

// Device rolled by `degrees` about its pointing (x) axis.
Quaternion rolled(float degrees)
{
    const float h = degrees * kDegree / 2.0f;
    return {std::cos(h), std::sin(h), 0.0f, 0.0f};
}

MapMin::Output map(MapMin& m, std::uint16_t flags, float rate0, float rate1, const Quaternion& q,
                   float spread0 = 0.0f, float spread1 = 0.0f)
{
    const Fp32 rate[2] = {Fp32(rate0), Fp32(rate1)};
    const Fp32 spread[2] = {Fp32(spread0), Fp32(spread1)};
    MapMin::Output out{};
    m.process(flags, 0, rate, spread, q, out);
    return out;
}

TEST(MapMin, DisabledWritesOnlyTheLeadingWord)
{
    MapMin m;
    m.init();
    MapMin::Output out;
    std::memset(&out, 0xAB, sizeof out);
    MapMin::Output before = out;
    const Fp32 rate[2] = {Fp32(1.0f), Fp32(2.0f)};
    const Fp32 spread[2] = {Fp32(0.1f), Fp32(0.2f)};
    m.process(MapMin::kRollCompensation | MapMin::kPitchScale, 0, rate, spread, pitched(80.0f), out);
    EXPECT_EQ(out.word, 0u);
    before.word = 0;
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
    EXPECT_EQ(m.pointingState(), 1); // the pitch was not looked at
}

TEST(MapMin, WithoutRollCompensationSwapsAxesAndFlipsTheVertical)
{
    MapMin m;
    m.init();
    const auto out = map(m, kOn, 0.3f, -0.7f, rolled(40.0f), 0.05f, 0.06f);
    EXPECT_EQ(out.rateA, -0.7f);
    EXPECT_EQ(out.rateB, -0.3f);
    EXPECT_EQ(out.spreadA, 0.05f);
    EXPECT_EQ(out.spreadB, 0.06f);
    EXPECT_EQ(out.pointingState, 1);
}

TEST(MapMin, PointingStateFollowsPitchWithHysteresis)
{
    MapMin m;
    m.init();
    struct Step
    {
        float pitchDegrees;
        std::uint8_t state;
    };
    // Compensation stops above 75 degrees and resumes only below 36.
    const Step steps[] = {{0, 1}, {60, 1}, {-74, 1}, {80, 0}, {60, 0}, {40, 0}, {-76, 0}, {30, 1}, {70, 1}};
    for (const Step& s : steps) {
        EXPECT_EQ(map(m, kRoll, 0.1f, 0.1f, pitched(s.pitchDegrees)).pointingState, s.state)
            << s.pitchDegrees;
        EXPECT_EQ(m.pointingState(), s.state);
    }
    m.init();
    EXPECT_EQ(m.pointingState(), 1);
}

TEST(MapMin, RatesBeyondTenRadiansPerSecondAreClamped)
{
    MapMin m;
    m.init();
    const auto out = map(m, kOn, -30.0f, 20.0f, Quaternion::identity());
    EXPECT_EQ(out.rateA, 10.0f);
    EXPECT_EQ(out.rateB, 10.0f);
    // Clamped before the compensation turns them.
    const auto turned = map(m, kRoll, 0.0f, 25.0f, rolled(90.0f));
    EXPECT_NEAR(std::hypot(turned.rateA, turned.rateB), 10.0f, 1e-4f);
}

TEST(MapMin, RollCompensationTurnsTheRateBackByTheRoll)
{
    // A sweep measured by a rolled device is turned by the roll angle, so the
    // pointer moves as if the device were held level.
    for (float roll : {0.0f, 30.0f, 90.0f, -45.0f, 180.0f, 135.0f}) {
        MapMin m;
        m.init();
        const float a = 0.4f, b = -0.25f; // level-device rates (rate 1, rate 0)
        const auto level = map(m, kOn, b, a, Quaternion::identity());
        const auto out = map(m, kRoll, b, a, rolled(roll), 0.02f, 0.03f);
        const float c = std::cos(roll * kDegree), s = std::sin(roll * kDegree);
        EXPECT_NEAR(out.rateA, a * c - b * s, 1e-5f) << roll;
        EXPECT_NEAR(out.rateB, -(b * c + a * s), 1e-5f) << roll;
        EXPECT_NEAR(std::hypot(out.rateA, out.rateB), std::hypot(level.rateA, level.rateB), 1e-5f) << roll;
        EXPECT_NEAR(out.spreadA, std::fabs(c * 0.02f), 1e-6f) << roll;
        EXPECT_NEAR(out.spreadB, std::sqrt(s * s * 0.02f * 0.02f + c * c * 0.03f * 0.03f), 1e-6f) << roll;
    }
}

TEST(MapMin, PitchScaleStretchesTheHorizontalRateOnlyWhileCompensating)
{
    MapMin m;
    m.init();
    const auto plain = map(m, kRoll, 0.2f, 0.5f, pitched(30.0f));
    const auto scaled = map(m, kRollPitch, 0.2f, 0.5f, pitched(30.0f));
    EXPECT_NEAR(scaled.rateA, plain.rateA / std::cos(30.0f * kDegree), 1e-5f);
    EXPECT_EQ(scaled.rateB, plain.rateB);

    // Near vertical, nothing is compensated or scaled.
    map(m, kRollPitch, 0.0f, 0.0f, pitched(80.0f));
    const auto vertical = map(m, kRollPitch, 0.2f, 0.5f, pitched(70.0f));
    EXPECT_EQ(vertical.pointingState, 0);
    EXPECT_EQ(vertical.rateA, 0.5f);
    EXPECT_EQ(vertical.rateB, -0.2f);
}

} // namespace
} // namespace vnx
