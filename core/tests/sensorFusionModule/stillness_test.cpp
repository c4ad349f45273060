// Stillness of the device, as the activity child sees it through the fusion
// child's interpreted motion, reaches the module's listener.

#include <gtest/gtest.h>

#include "fusionRig.h"

namespace sensorFusionTest {
namespace {

constexpr long kMinuteOfSamples = 60L * kSamplesPerSecond;
/// Samples between two reports: 250 ms at 8 ms per sample (integer division).
constexpr long kReportSpacing = 250000 / 8000;
/// 0.15 rad/s on y, above the 0.1 rad/s that counts as motion.
constexpr Counts kTurnY{0, 150, 0};

void expectStillStatus(const vnx_ActivityClassification_Status_s& status)
{
    EXPECT_EQ(status.statusType, 1u);
    EXPECT_EQ(status.flags, VNX_ACTIVITY_CLASSIFICATION_STATUS_STILL);
}

TEST(SensorFusionStillness, ListenerHearsStillnessAfterAMinuteThenEveryQuarterSecond)
{
    CoreLibrary core;
    FusionRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_SUCCESS);

    // The first sample after init starts the count (nothing is known of the
    // time before it): the report comes with the sample a minute after it.
    ASSERT_EQ(rig.hold(kFlat, kNoRotation, kMinuteOfSamples), 0);
    EXPECT_TRUE(rig.statuses.activityStatuses.empty());
    ASSERT_EQ(rig.hold(kFlat, kNoRotation, 1), 0);
    ASSERT_EQ(rig.statuses.activityStatuses.size(), 1u);
    expectStillStatus(rig.statuses.activityStatuses[0]);
    EXPECT_NE(rig.activity().flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL, 0);

    ASSERT_EQ(rig.hold(kFlat, kNoRotation, 4 * kReportSpacing), 0);
    const auto& at = rig.statuses.sampleIndices;
    ASSERT_EQ(at.size(), 5u);
    for (size_t i = 1; i < at.size(); ++i) {
        EXPECT_EQ(at[i] - at[i - 1], kReportSpacing);
        expectStillStatus(rig.statuses.activityStatuses[i]);
    }
    EXPECT_EQ(rig.statuses.otherStatuses, 0);
}

TEST(SensorFusionStillness, TurnAboutYRestartsTheStillMinute)
{
    CoreLibrary core;
    FusionRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_SUCCESS);

    ASSERT_EQ(rig.hold(kFlat, kNoRotation, kMinuteOfSamples - 10), 0);
    long lastMoving = 0;
    for (int k = 0; k < 5; ++k) {
        ASSERT_EQ(rig.step6AG(kFlat, kTurnY), VNX_STATUS_SUCCESS);
        if (rig.motion().angularVelocity[1].real > 0.1f) {
            lastMoving = rig.statuses.currentSample;
        }
    }
    ASSERT_GT(lastMoving, 0) << "the turn never reached the motion output";
    ASSERT_EQ(rig.hold(kFlat, kNoRotation, kMinuteOfSamples + 100), 0);
    ASSERT_FALSE(rig.statuses.activityStatuses.empty());
    // A whole minute of still samples after the last moving one.
    EXPECT_EQ(rig.statuses.sampleIndices[0] - lastMoving, kMinuteOfSamples);
    expectStillStatus(rig.statuses.activityStatuses[0]);
}

} // namespace
} // namespace sensorFusionTest
