// Significant motion: steps or a sustained strong change of the norm after
// the warm-up, at 20000 us.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "activity/DetectorFamily.h"
#include "activity/SignificantMotion.h"
#include "activity/significantMotionApi.h"
#include "common/statusCode.h"
#include "support/GaussianNoise.h"
#include "support/allocationCounter.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activity::SignificantMotion;
using vnx::testsupport::Acc;
using vnx::testsupport::accelerometerRecord;

constexpr std::int32_t kPeriodUs = 20000;
constexpr float kG = 9.81f;
constexpr std::size_t kWarmUpSamples = 25; // 0.5 s of 20 ms samples; arming takes the 25th or 26th

/// The norm's change of sample i: a device at rest (noise only) or shaken
/// along gravity with the amplitude at the frequency.
Acc sample(std::size_t i, float shakeMs2, double shakeHz = 3.0)
{
    static vnx::testsupport::GaussianNoise noise(8);
    const double t = static_cast<double>(i) * kPeriodUs * 1e-6;
    const float shake = shakeMs2 * static_cast<float>(std::sin(2.0 * std::numbers::pi * shakeHz * t));
    return {0.05f * static_cast<float>(noise.next()), 0.05f * static_cast<float>(noise.next()),
            kG + shake + 0.05f * static_cast<float>(noise.next())};
}

class SigMoRig
{
  public:
    SigMoRig()
    {
        vnx_SignificantMotionConfig_s config{};
        vnx_SignificantMotion_getSigMoDefaults(&config);
        EXPECT_EQ(vnx_SignificantMotion_initialize(&handle_, &config), VNX_STATUS_SUCCESS);
        enable();
    }
    ~SigMoRig() { vnx_SignificantMotion_finalize(handle_); }

    void enable()
    {
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        EXPECT_EQ(vnx_SignificantMotion_enableOutputPeriodsAndDeriveInputPeriods(handle_, 1, &periods), 0);
        EXPECT_EQ(periods.periodUs[0], 40000);
        periods.periodUs[0] = kPeriodUs;
        EXPECT_EQ(vnx_SignificantMotion_setInputPeriods(handle_, &periods), VNX_STATUS_SUCCESS);
    }

    /// Whether each sample reported significant motion; steps(i) is the
    /// step total of sample i.
    template <class Steps> std::vector<bool> run(std::size_t count, float shakeMs2, Steps steps)
    {
        std::vector<bool> events;
        for (std::size_t i = 0; i < count; ++i) {
            const vnx_Mobile_Output_s in =
                accelerometerRecord(static_cast<std::uint32_t>(i), sample(i, shakeMs2));
            vnx_StepDetector_Output_s stepOutput{};
            stepOutput.totalSteps = steps(i);
            vnx_Detector_Output_s out{0x55u, 0};
            std::uint8_t flag = 3;
            const int status = vnx_SignificantMotion_process(handle_, &in, &stepOutput, &out, &flag);
            EXPECT_EQ(flag, 0);
            EXPECT_EQ(status == VNX_STATUS_SUCCESS, out.event == 1u) << "sample " << i;
            if (status != VNX_STATUS_SUCCESS) {
                EXPECT_EQ(status, VNX_STATUS_ASYNC_PENDING);
                EXPECT_EQ(out.event, 0u);
            }
            events.push_back(status == VNX_STATUS_SUCCESS);
        }
        return events;
    }

    SignificantMotion& detector()
    {
        return *vnx::activity::DetectorFamily<SignificantMotion>::instance(handle_);
    }

    vnx_SignificantMotion_Handle handle_ = nullptr;
};

std::size_t firstEvent(const std::vector<bool>& events)
{
    for (std::size_t i = 0; i < events.size(); ++i)
        if (events[i])
            return i;
    return events.size();
}

TEST(SignificantMotion, DefaultsAndFilterFactors)
{
    vnx_SignificantMotionConfig_s config{};
    EXPECT_EQ(vnx_SignificantMotion_getSigMoDefaults(&config), 0);
    EXPECT_EQ(config.motionLevelQ24, 167772160);
    EXPECT_EQ(config.steps, 5u);
    EXPECT_EQ(vnx_SignificantMotion_getVersion(), 1);

    SigMoRig rig;
    for (std::int32_t periodUs : {1000, 20000, 40000}) {
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        periods.periodUs[0] = periodUs;
        ASSERT_EQ(vnx_SignificantMotion_setInputPeriods(rig.handle_, &periods), 0);
        const double alpha = 0.09 / (periodUs * 1e-6 + 0.09);
        EXPECT_NEAR(rig.detector().filterAlpha(), alpha, 1e-6) << periodUs;
        EXPECT_NEAR(rig.detector().filterGain(), (alpha + 1) / 2, 1e-6) << periodUs;
    }
}

TEST(SignificantMotion, StepsSinceArmingAreSignificant)
{
    const struct
    {
        const char* what;
        std::uint32_t base;     // step total when armed
        std::uint32_t newSteps; // steps taken after arming, one every 25 samples from sample 50
        bool event;
    } cases[] = {
        {"five steps", 100, 5, true},
        {"four steps", 100, 4, false},
        {"five steps across the wrap of the total", 0xFFFFFFFEu, 5, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SigMoRig rig;
        const auto events = rig.run(400, 0.0f, [&](std::size_t i) {
            const std::uint32_t taken = i < 50 ? 0 : std::min<std::uint32_t>(c.newSteps, (i - 50) / 25 + 1);
            return c.base + taken;
        });
        if (c.event) {
            // The fifth step comes at sample 150; from then on every sample reports.
            EXPECT_EQ(firstEvent(events), 150u);
            for (std::size_t i = 150; i < events.size(); ++i)
                EXPECT_TRUE(events[i]) << "sample " << i;
        } else {
            EXPECT_EQ(firstEvent(events), events.size());
        }
    }
}

TEST(SignificantMotion, NothingDuringTheWarmUp)
{
    // Steps and shaking from the start: nothing until armed, and the steps
    // taken before arming do not count.
    SigMoRig rig;
    const auto events = rig.run(200, 0.0f, [](std::size_t i) { return static_cast<std::uint32_t>(i); });
    EXPECT_EQ(rig.detector().state(), SignificantMotion::State::Armed);
    // Armed on the 25th or 26th sample (the warm-up time is a float sum),
    // with that sample's total: the fifth step after it reports.
    EXPECT_GE(firstEvent(events), kWarmUpSamples - 1 + 5);
    EXPECT_LE(firstEvent(events), kWarmUpSamples + 5);

    // An enable call on an armed detector warms it up again.
    rig.enable();
    EXPECT_EQ(rig.detector().state(), SignificantMotion::State::WarmingUp);
    const auto again = rig.run(200, 25.0f, [](std::size_t) { return 7u; });
    EXPECT_GE(firstEvent(again), kWarmUpSamples);
}

TEST(SignificantMotion, AStrongSustainedShakeIsSignificantWithoutSteps)
{
    const struct
    {
        float shakeMs2;
        bool event;
    } cases[] = {{20.0f, true}, {15.0f, true}, {2.5f, false}, {0.0f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shakeMs2);
        SigMoRig rig;
        const auto events = rig.run(500, c.shakeMs2, [](std::size_t) { return 42u; });
        const std::size_t first = firstEvent(events);
        if (c.event) {
            EXPECT_GE(first, kWarmUpSamples);
            EXPECT_LT(first, kWarmUpSamples + 25);
        } else {
            EXPECT_EQ(first, events.size());
        }
    }
}

TEST(SignificantMotion, DisabledDetectorAnswersThree)
{
    SigMoRig rig;
    vnx_Mobile_VirtualSensorPeriods_s periods{};
    vnx_SignificantMotion_enableOutputPeriodsAndDeriveInputPeriods(rig.handle_, 0, &periods);
    EXPECT_EQ(rig.detector().state(), SignificantMotion::State::Disabled);
    const auto events = rig.run(300, 20.0f, [](std::size_t i) { return static_cast<std::uint32_t>(i); });
    EXPECT_EQ(firstEvent(events), events.size());
    vnx_StepDetector_Output_s steps{};
    vnx_Detector_Output_s out{};
    std::uint8_t flag = 0;
    const vnx_Mobile_Output_s in = accelerometerRecord(0, {0, 0, kG});
    EXPECT_EQ(vnx_SignificantMotion_process(rig.handle_, &in, nullptr, &out, &flag),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_SignificantMotion_process(nullptr, &in, &steps, &out, &flag), VNX_STATUS_INVALID_PARAMETER);
}

TEST(SignificantMotion, ProcessAllocatesNothing)
{
    SigMoRig rig;
    std::vector<vnx_Mobile_Output_s> records;
    for (std::size_t i = 0; i < 1000; ++i)
        records.push_back(accelerometerRecord(static_cast<std::uint32_t>(i), sample(i, 20.0f)));
    int events = 0;
    const long allocations = vnx::test::allocationsDuring([&] {
        for (const auto& in : records) {
            vnx_StepDetector_Output_s steps{};
            vnx_Detector_Output_s out{};
            std::uint8_t flag = 0;
            events += vnx_SignificantMotion_process(rig.handle_, &in, &steps, &out, &flag) == 0;
        }
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(events, 0);
}

} // namespace
