// Phone and wrist step detectors on synthetic walks: period negotiation,
// counting accuracy, activity gating and the output record.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "activity/StepDetector.h"
#include "activity/StepDetectorWatch.h"
#include "common/statusCode.h"
#include "stepFixture.h"
#include "support/allocationCounter.h"

namespace {

using vnx::activity::StepDetector;
using vnx::activity::StepDetectorInterface;
using vnx::activity::StepDetectorWatch;
using namespace vnx::activitytest;

constexpr std::uint8_t kStill = 4;
constexpr std::uint8_t kWalking = 6;
constexpr std::uint8_t kRunning = 7;
constexpr float kFlat[3] = {0.0f, 0.0f, 1.0f};
constexpr float kOnItsSide[3] = {1.0f, 0.0f, 0.0f};

enum class Kind
{
    Phone,
    Wrist
};

const char* name(Kind kind)
{
    return kind == Kind::Phone ? "phone" : "wrist";
}

std::unique_ptr<StepDetectorInterface> make(Kind kind)
{
    if (kind == Kind::Phone)
        return std::make_unique<StepDetector>();
    return std::make_unique<StepDetectorWatch>();
}

/// A detector initialised with the fixture, enabled and running at periodUs.
std::unique_ptr<StepDetectorInterface> running(Kind kind, std::int32_t periodUs)
{
    auto detector = make(kind);
    const vnx_StepDetectorConfig_s config = stepFixtureConfig();
    EXPECT_EQ(detector->init(&config), VNX_STATUS_SUCCESS);
    vnx_Mobile_VirtualSensorPeriods_s periods{};
    EXPECT_EQ(detector->enableOutputPeriodsAndDeriveInputPeriods(1, &periods), VNX_STATUS_SUCCESS);
    periods.periodUs[0] = periodUs;
    EXPECT_EQ(detector->setInputPeriods(&periods), VNX_STATUS_SUCCESS);
    return detector;
}

/// Every output of the detector over the records.
std::vector<vnx_StepDetector_Output_s>
feed(StepDetectorInterface& detector, const std::vector<vnx_Mobile_Output_s>& records, std::uint8_t activity)
{
    std::vector<vnx_StepDetector_Output_s> outputs;
    outputs.reserve(records.size());
    for (const vnx_Mobile_Output_s& in : records) {
        vnx_StepDetector_Output_s out{};
        std::uint8_t flag = 9;
        EXPECT_EQ(detector.process(&in, activity, &out, &flag), VNX_STATUS_SUCCESS);
        EXPECT_EQ(flag, 0);
        outputs.push_back(out);
    }
    return outputs;
}

TEST(StepDetector, PeriodNegotiationFollowsEachDetectorsLimits)
{
    const struct
    {
        Kind kind;
        std::int32_t acceptedUs;
    } cases[] = {{Kind::Phone, 44444}, {Kind::Wrist, 42105}};
    for (const auto& c : cases) {
        SCOPED_TRACE(name(c.kind));
        auto detector = make(c.kind);
        const vnx_StepDetectorConfig_s config = stepFixtureConfig();
        ASSERT_EQ(detector->init(&config), VNX_STATUS_SUCCESS);
        EXPECT_EQ(detector->getVersion(), 2);
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        EXPECT_EQ(detector->enableOutputPeriodsAndDeriveInputPeriods(1, &periods), VNX_STATUS_SUCCESS);
        EXPECT_EQ(periods.periodUs[0], 40000);
        for (std::int32_t periodUs : {c.acceptedUs, c.acceptedUs + 1}) {
            detector->enableOutputPeriodsAndDeriveInputPeriods(1, &periods);
            periods.periodUs[0] = periodUs;
            const int expected =
                periodUs == c.acceptedUs ? VNX_STATUS_SUCCESS : VNX_STATUS_ARRAY_SIZE_MISMATCH;
            EXPECT_EQ(detector->setInputPeriods(&periods), expected) << periodUs;
            std::int32_t effective = -1;
            detector->getEffectiveOutputPeriods(&periods, &effective);
            EXPECT_EQ(effective, expected == VNX_STATUS_SUCCESS ? periodUs : 0);
        }
        EXPECT_EQ(detector->init(nullptr), VNX_STATUS_INVALID_CONFIG);
    }
}

TEST(StepDetector, WalksAndRunsAreCountedWithinFivePercent)
{
    const struct
    {
        double cadenceHz;
        std::uint8_t activity;
    } gaits[] = {{2.0, kWalking}, {2.8, kRunning}};
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        for (std::uint32_t periodUs : {20000u, 40000u}) {
            for (const auto& gait : gaits) {
                SCOPED_TRACE(testing::Message()
                             << name(kind) << ", " << periodUs << " us, " << gait.cadenceHz << " Hz");
                auto detector = running(kind, static_cast<std::int32_t>(periodUs));
                const auto outputs = feed(*detector, walk(60.0, gait.cadenceHz, periodUs), gait.activity);
                const double expected = 60.0 * gait.cadenceHz;
                EXPECT_NEAR(outputs.back().totalSteps, expected, 0.05 * expected);
                EXPECT_EQ(detector->getProcessedStepCount(gait.activity), outputs.back().totalSteps);
            }
        }
    }
}

TEST(StepDetector, AConstantNormGivesNoPeakAndNoStep)
{
    // A device at rest: flat, then turned on its side while the detector
    // was disabled (enabling restarts the filters, so the turn is no jump).
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        SCOPED_TRACE(name(kind));
        auto detector = running(kind, 20000);
        auto outputs = feed(*detector, still(20.0, 20000, kFlat), kWalking);
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        detector->enableOutputPeriodsAndDeriveInputPeriods(0, &periods);
        detector->enableOutputPeriodsAndDeriveInputPeriods(1, &periods);
        periods.periodUs[0] = 20000;
        detector->setInputPeriods(&periods);
        const auto turned = feed(*detector, still(20.0, 20000, kOnItsSide, 12, 30000000u), kWalking);
        outputs.insert(outputs.end(), turned.begin(), turned.end());
        int rawPeaks = 0;
        for (const auto& out : outputs)
            rawPeaks += out.rawStepFlags != 0;
        EXPECT_EQ(rawPeaks, 0);
        EXPECT_EQ(detector->channel(StepDetectorInterface::kRawChannel).total, 0u);
        // Both wrist channels follow the norm; the phone's position channel
        // follows each axis and may take a stray peak on sensor noise.
        if (kind == Kind::Wrist) {
            EXPECT_EQ(outputs.back().totalSteps, 0u);
        }
        EXPECT_LE(outputs.back().totalSteps, 1u);
    }
}

TEST(StepDetector, OnlyStepsOnFootAreReported)
{
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        SCOPED_TRACE(name(kind));
        const auto records = walk(30.0, 2.0, 20000);
        auto still = running(kind, 20000);
        const auto stillOutputs = feed(*still, records, kStill);
        EXPECT_EQ(stillOutputs.back().totalSteps, 0u);
        EXPECT_GT(still->channel(StepDetectorInterface::kRawChannel).total, 40u)
            << "the channels go on counting";

        auto walking = running(kind, 20000);
        EXPECT_GT(feed(*walking, records, kWalking).back().totalSteps, 50u);
    }
}

TEST(StepDetector, FirstReportTakesOverTheStepsTakenBeforeTheUserWasKnownOnFoot)
{
    // The activity is known only 6 s into a 30-s walk, while the channel that
    // counted those steps is kept (its period within the keep ratio of the
    // best): the first report still carries the steps confirmed so far.
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        SCOPED_TRACE(name(kind));
        const auto records = walk(30.0, 2.0, 40000);
        auto detector = running(kind, 40000);
        const std::size_t known = 6 * 25;
        const std::vector<vnx_Mobile_Output_s> before(records.begin(), records.begin() + known);
        const std::vector<vnx_Mobile_Output_s> after(records.begin() + known, records.end());
        EXPECT_EQ(feed(*detector, before, kStill).back().totalSteps, 0u);
        const std::uint32_t confirmed = detector->channel(StepDetectorInterface::kRawChannel).total;
        EXPECT_GE(confirmed, 9u);
        const auto outputs = feed(*detector, after, kWalking);
        const auto first = std::find_if(outputs.begin(), outputs.end(),
                                        [](const vnx_StepDetector_Output_s& o) { return o.totalSteps > 0; });
        ASSERT_NE(first, outputs.end());
        EXPECT_GE(first->totalSteps, confirmed);
        EXPECT_NEAR(outputs.back().totalSteps, 60.0, 3.0);
    }
}

TEST(StepDetector, RecordsWithoutAnAccelerometerSampleLeaveTheCountAlone)
{
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        SCOPED_TRACE(name(kind));
        auto detector = running(kind, 20000);
        const auto outputs = feed(*detector, walk(10.0, 2.0, 20000), kWalking);
        const std::uint32_t total = outputs.back().totalSteps;
        ASSERT_GT(total, 0u);
        for (std::uint32_t bits : {0u, static_cast<std::uint32_t>(VNX_MOBILE_BIT_GRAVITY)}) {
            vnx_Mobile_Output_s in = walk(1.0, 2.0, 20000)[10];
            in.validBits = bits;
            in.timeUs = 0xABCDEF01u;
            vnx_StepDetector_Output_s out{};
            out.changed = 1;
            out.totalSteps = 12345;
            std::uint8_t flag = 4;
            EXPECT_EQ(detector->process(&in, kWalking, &out, &flag), VNX_STATUS_ASYNC_PENDING);
            EXPECT_EQ(out.changed, 0);
            EXPECT_EQ(out.totalSteps, total);
            EXPECT_EQ(out.timeUs, 0xABCDEF01u);
            EXPECT_EQ(flag, 0);
        }
        // Disabled: the same answer.
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        detector->enableOutputPeriodsAndDeriveInputPeriods(0, &periods);
        vnx_StepDetector_Output_s out{};
        std::uint8_t flag = 0;
        const vnx_Mobile_Output_s in = walk(1.0, 2.0, 20000)[3];
        EXPECT_EQ(detector->process(&in, kWalking, &out, &flag), VNX_STATUS_ASYNC_PENDING);
        EXPECT_EQ(out.totalSteps, total);
    }
}

TEST(StepDetector, OutputRecordCarriesTheRawChannelAndTheFusionTime)
{
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        SCOPED_TRACE(name(kind));
        auto detector = running(kind, 20000);
        const auto records = walk(30.0, 2.0, 20000);
        std::uint32_t previousTotal = 0;
        int rawPeaks = 0;
        std::size_t lastPeak = 0;
        for (std::size_t i = 0; i < records.size(); ++i) {
            vnx_StepDetector_Output_s out{};
            std::uint8_t flag = 0;
            ASSERT_EQ(detector->process(&records[i], kWalking, &out, &flag), VNX_STATUS_SUCCESS);
            unsigned char bytes[sizeof out];
            std::memcpy(bytes, &out, sizeof out);
            std::uint32_t timeUs = 0;
            std::memcpy(&timeUs, bytes + 20, 4);
            EXPECT_EQ(timeUs, records[i].timeUs);
            const bool peak = detector->channel(StepDetectorInterface::kRawChannel).stepFlag != 0;
            EXPECT_EQ(bytes[12], peak ? 1 : 0) << "sample " << i;
            EXPECT_EQ(bytes[13] | bytes[14] | bytes[15], 0);
            EXPECT_EQ(bytes[0], out.totalSteps != previousTotal ? 1 : 0) << "sample " << i;
            EXPECT_EQ(out.rawPosition, detector->channel(StepDetectorInterface::kRawChannel).position);
            if (peak) {
                // One peak per step of the 2 Hz walk: 25 samples apart, never
                // closer than the 0.3 s minimum spacing.
                if (rawPeaks > 0) {
                    EXPECT_GT(i - lastPeak, 15u);
                }
                ++rawPeaks;
                lastPeak = i;
            }
            previousTotal = out.totalSteps;
        }
        EXPECT_NEAR(rawPeaks, 60, 3);
    }
}

TEST(StepDetector, PhonePositionChannelCountsSoonAfterEnabling)
{
    // The position channel high-passes the acceleration of each axis; on
    // enabling it must start from the device's gravity without taking it
    // for motion, so it follows the walk within a few seconds.
    auto detector = running(Kind::Phone, 20000);
    const auto records = walk(6.0, 2.0, 20000);
    feed(*detector, records, kWalking);
    EXPECT_GE(detector->channel(StepDetector::kPositionChannel).total, 5u);
}

TEST(StepDetector, IrregularPeaksConfirmFarFewerSteps)
{
    // Bumps of the norm whose spacing is drawn between 0.2 s and 1.2 s.
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        SCOPED_TRACE(name(kind));
        std::mt19937 random(3);
        std::uniform_real_distribution<double> spacing(0.2, 1.2);
        vnx::testsupport::GaussianNoise noise(4);
        std::vector<vnx::testsupport::Acc> samples;
        int bumps = 0;
        while (samples.size() < 3000) {
            const auto length = static_cast<std::size_t>(spacing(random) / 0.02);
            for (std::size_t i = 0; i < length; ++i) {
                const double bump = kGaitAmplitudeMs2 * std::sin(std::numbers::pi * (i + 0.5) / length);
                samples.push_back({static_cast<float>(kSensorNoiseMs2 * noise.next()),
                                   static_cast<float>(kSensorNoiseMs2 * noise.next()),
                                   static_cast<float>(kGravityMs2 - kGaitAmplitudeMs2 / 2 + bump)});
            }
            ++bumps;
        }
        auto detector = running(kind, 20000);
        const auto outputs =
            feed(*detector, vnx::testsupport::accelerometerRecords(samples, 20000), kWalking);
        int rawPeaks = 0;
        for (const auto& out : outputs)
            rawPeaks += out.rawStepFlags != 0;
        EXPECT_GT(rawPeaks, bumps / 2) << "the peaks are found";
        EXPECT_LT(outputs.back().totalSteps, static_cast<std::uint32_t>(rawPeaks / 3));
    }
}

TEST(StepDetector, ProcessAllocatesNothing)
{
    for (Kind kind : {Kind::Phone, Kind::Wrist}) {
        auto detector = running(kind, 20000);
        const auto records = walk(20.0, 2.0, 20000);
        std::vector<vnx_StepDetector_Output_s> outputs(records.size());
        const long allocations = vnx::test::allocationsDuring([&] {
            for (std::size_t i = 0; i < records.size(); ++i) {
                std::uint8_t flag = 0;
                detector->process(&records[i], kWalking, &outputs[i], &flag);
            }
        });
        EXPECT_EQ(allocations, 0) << name(kind);
        EXPECT_GT(outputs.back().totalSteps, 30u);
    }
}

} // namespace
