// The activity classifier: components and produced classes by requested
// class, period negotiation, frames, the LDA slot, and the fused decision on
// walks, stillness and tilts fed through the tracker's step channels.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "activity/ActivityClassifier.h"
#include "activity/StepDetectorInterface.h"
#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "ldaScenarios.h"
#include "numerics/fixedPoint.h"
#include "stepFixture.h"
#include "support/allocationCounter.h"
#include "trackerFixture.h"

namespace {

using vnx::activity::ActivityClassifier;
using vnx::activity::StepDetectorInterface;
using namespace vnx::activitytest;
namespace training = vnx::ldatraining;

constexpr std::int32_t kNoLimit = std::numeric_limits<std::int32_t>::max();
constexpr float kFlat[3] = {0.0f, 0.0f, 1.0f};

/// One process call: its answer and the output record it left.
struct Frame
{
    int status;
    vnx_ActivityClassifier_Output_s out;
};

/// A classifier behind the activity tracker's two step channels, set up as
/// the LDA tables were trained (25 Hz, 1-s frames).
class ClassifierRig
{
  public:
    explicit ClassifierRig(std::uint32_t classes, std::uint32_t framePeriodUs = 1000000,
                           std::int32_t periodUs = training::kPeriodUs, std::uint32_t ldaKind = 0)
    {
        const auto config = classifierFixtureConfig(framePeriodUs, ldaKind);
        EXPECT_EQ(classifier.init(&config, kSensorNoiseMs2), VNX_STATUS_SUCCESS);
        std::uint32_t requested = classes;
        auto periods = accelerometerPeriod(0);
        std::int32_t pressure = 0;
        EXPECT_EQ(classifier.enableOutputPeriodsAndDeriveInputPeriods(&requested, &periods, &pressure),
                  VNX_STATUS_SUCCESS);
        EXPECT_EQ(classifier.setInputPeriods(accelerometerPeriod(periodUs), 100000), VNX_STATUS_SUCCESS);
        for (auto* c : {&steps_, &vibration_}) {
            const auto& s = c == &steps_ ? training::kStepChannel : training::kVibrationChannel;
            c->init(s.toleranceS, s.timeConstantS, s.minSpacingS, s.threshold);
            c->setInputPeriod(periodUs);
        }
    }

    Frame process(const vnx_Mobile_Output_s& in)
    {
        const float* a = in.accelerometer;
        const float norm = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        StepDetectorInterface::ChannelRecord r1{}, r2{};
        steps_.process(norm, r1);
        vibration_.process(norm, r2);
        vnx_StepDetector_Output_s step{};
        std::memcpy(&step, &r1, sizeof step);
        step.rawStepFlags = (step.rawStepFlags & ~0xFF00u) | (static_cast<std::uint32_t>(r2.stepFlag) << 8);
        Frame f{};
        std::memset(&f.out, 0xA5, sizeof f.out);
        std::uint8_t flag = 7;
        f.status = classifier.process(in, &step, &f.out, &flag);
        if (f.status == VNX_STATUS_SUCCESS) {
            EXPECT_EQ(flag, 0);
        }
        return f;
    }

    /// The frames the records completed.
    std::vector<vnx_ActivityClassifier_Output_s> frames(const std::vector<vnx_Mobile_Output_s>& records)
    {
        std::vector<vnx_ActivityClassifier_Output_s> done;
        for (const auto& in : records) {
            const Frame f = process(in);
            if (f.status == VNX_STATUS_SUCCESS)
                done.push_back(f.out);
        }
        return done;
    }

    ActivityClassifier classifier;

  private:
    StepDetectorInterface::StepDetectorInstance steps_, vibration_;
};

TEST(ActivityClassifier, ExportedFlagsAndVersion)
{
    std::uint32_t flags = 0;
    EXPECT_EQ(vnx_ActivityClassifier_getSupportedClassificationFlags(&flags), VNX_STATUS_SUCCESS);
    EXPECT_EQ(flags, 511u);
    EXPECT_EQ(vnx_ActivityClassifier_getSupportedClassificationFlags(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_ActivityClassifier_getActivityVersion(), 1);
}

struct EnableCase
{
    const char* name;
    std::uint32_t requested;
    std::uint32_t ldaKind;
    std::int32_t periodIn, pressureIn;
    std::uint8_t components;
    std::uint32_t produced;
    std::int32_t periodOut, maxPeriod, pressureOut, maxPressure;
};

TEST(ActivityClassifier, ClassesChooseComponentsAndPeriods)
{
    using C = ActivityClassifier;
    const std::uint8_t lda = C::kLda, vehicle = C::kVehicleClassification, tilt = C::kTilt,
                       vibration = C::kVibration, stairs = C::kStairs;
    const EnableCase cases[] = {
        {"stairs", 1u << 8, 0, 0, 0, lda | vibration | stairs, 477, 40000, 44444, 100000, 111111},
        {"stairs, wrist", 1u << 8, 1, 0, 0, lda | vibration | stairs, 477, 40000, 42105, 100000, 111111},
        {"stairs, slow pressure asked", 1u << 8, 0, 0, 500000, lda | vibration | stairs, 477, 40000, 44444,
         100000, 111111},
        {"tilting", 1u << 5, 0, 0, 0, tilt, 33, 100000, 111111, 0, kNoLimit},
        {"in vehicle", 1u << 1, 0, 0, 0, vehicle, 19, 10000, 11111, 0, kNoLimit},
        {"still", 1u << 4, 0, 0, 0, vibration, 17, 40000, 44444, 0, kNoLimit},
        {"walking, wrist", 1u << 6, 1, 0, 0, lda | vibration, 221, 40000, 42105, 0, kNoLimit},
        {"walking, faster input asked", 1u << 6, 0, 20000, 0, lda | vibration, 221, 20000, 44444, 0,
         kNoLimit},
        {"walking and in vehicle", (1u << 6) | (1u << 1), 0, 0, 0, lda | vehicle | vibration, 223, 10000,
         11111, 0, kNoLimit},
        {"everything", 511, 0, 0, 0, lda | vehicle | tilt | vibration | stairs, 511, 10000, 11111, 100000,
         111111},
        {"bits above code 8 ignored", 0xFFFFFE00u | (1u << 6), 0, 0, 0, lda | vibration, 221, 40000, 44444, 0,
         kNoLimit},
        {"unknown only: nothing", 1u, 0, 0, 0, 0, 0, kNoLimit, kNoLimit, 0, kNoLimit},
    };
    for (const EnableCase& c : cases) {
        SCOPED_TRACE(c.name);
        ActivityClassifier classifier;
        const auto config = classifierFixtureConfig(1000000, c.ldaKind);
        ASSERT_EQ(classifier.init(&config, 0.05f), VNX_STATUS_SUCCESS);
        std::uint32_t classes = c.requested;
        auto periods = accelerometerPeriod(c.periodIn);
        std::int32_t pressure = c.pressureIn;
        EXPECT_EQ(classifier.enableOutputPeriodsAndDeriveInputPeriods(&classes, &periods, &pressure),
                  VNX_STATUS_SUCCESS);
        EXPECT_EQ(classifier.components(), c.components);
        EXPECT_EQ(classes, c.produced);
        EXPECT_EQ(classifier.isEnabled(), c.components != 0);
        EXPECT_EQ(periods.periodUs[VNX_MOBILE_ACCELEROMETER], c.periodOut);
        EXPECT_EQ(classifier.maximumAccelerometerPeriod(), c.maxPeriod);
        EXPECT_EQ(pressure, c.pressureOut);
        EXPECT_EQ(classifier.maximumPressurePeriod(), c.maxPressure);

        std::int32_t frame = 0;
        std::uint32_t produced = 0;
        EXPECT_EQ(classifier.getEffectiveOutputPeriods(periods, 0, &frame, &produced), VNX_STATUS_SUCCESS);
        EXPECT_EQ(frame, 1000000);
        EXPECT_EQ(produced, c.produced);
    }
}

TEST(ActivityClassifier, FrameLengthInSamples)
{
    struct Case
    {
        std::uint32_t frameUs;
        std::int32_t periodUs, samples;
    };
    const Case cases[] = {{2000000, 40000, 50},  {1000000, 40000, 25}, {1000000, 30000, 34},
                          {1000000, 10000, 100}, {20000, 40000, 1},    {0, 40000, 0}};
    for (const Case& c : cases) {
        ClassifierRig rig(1u << 6, c.frameUs, c.periodUs);
        EXPECT_EQ(rig.classifier.samplesPerFrame(), c.samples) << c.frameUs << " at " << c.periodUs;
        const auto records = still(3.0, static_cast<std::uint32_t>(c.periodUs), kFlat);
        std::size_t done = 0;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const Frame f = rig.process(records[i]);
            const bool ends = c.samples > 0 && (i + 1) % static_cast<std::size_t>(c.samples) == 0;
            ASSERT_EQ(f.status, ends ? VNX_STATUS_SUCCESS : VNX_STATUS_ASYNC_PENDING) << i;
            done += ends;
        }
        EXPECT_EQ(done, c.samples > 0 ? records.size() / c.samples : 0u);
    }
}

TEST(ActivityClassifier, RecordsWithoutAnAccelerometerSampleDoNotCount)
{
    ClassifierRig rig(1u << 6, 200000); // five samples per frame
    auto records = still(1.0, training::kPeriodUs, kFlat);
    int frames = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        vnx_Mobile_Output_s gyroOnly = records[i];
        gyroOnly.validBits = 0x2;
        EXPECT_EQ(rig.process(gyroOnly).status, VNX_STATUS_ASYNC_PENDING);
        frames += rig.process(records[i]).status == VNX_STATUS_SUCCESS;
    }
    EXPECT_EQ(frames, 5);
}

TEST(ActivityClassifier, PeriodsOutsideTheLimitsDisable)
{
    struct Case
    {
        const char* name;
        std::uint32_t classes;
        std::int32_t period, pressure;
        int status;
    };
    const Case cases[] = {
        {"longest phone period", 1u << 6, 44444, 0, VNX_STATUS_SUCCESS},
        {"one above", 1u << 6, 44445, 0, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"no period", 1u << 6, 0, 0, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"negative period", 1u << 6, -40000, 0, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"vehicle needs 90 Hz", 1u << 1, 11112, 0, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"tilt takes 9 Hz", 1u << 5, 111111, 0, VNX_STATUS_SUCCESS},
        {"stairs without pressure", 1u << 8, 40000, 0, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"stairs, pressure too slow", 1u << 8, 40000, 111112, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"stairs, negative pressure period", 1u << 8, 40000, -1, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"stairs at 9 Hz pressure", 1u << 8, 40000, 111111, VNX_STATUS_SUCCESS},
        {"pressure ignored without stairs", 1u << 6, 40000, 0, VNX_STATUS_SUCCESS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActivityClassifier classifier;
        const auto config = classifierFixtureConfig();
        ASSERT_EQ(classifier.init(&config, 0.05f), VNX_STATUS_SUCCESS);
        std::uint32_t classes = c.classes;
        auto periods = accelerometerPeriod(0);
        std::int32_t pressure = 0;
        classifier.enableOutputPeriodsAndDeriveInputPeriods(&classes, &periods, &pressure);
        EXPECT_EQ(classifier.setInputPeriods(accelerometerPeriod(c.period), c.pressure), c.status);
        EXPECT_EQ(classifier.isEnabled(), c.status == VNX_STATUS_SUCCESS);
        if (c.status != VNX_STATUS_SUCCESS) {
            vnx_ActivityClassifier_Output_s out;
            std::memset(&out, 0xA5, sizeof out);
            vnx_ActivityClassifier_Output_s untouched = out;
            std::uint8_t flag = 9;
            const auto records = still(2.0, 40000, kFlat);
            for (const auto& in : records)
                EXPECT_EQ(classifier.process(in, nullptr, &out, &flag), VNX_STATUS_ASYNC_PENDING);
            EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
            EXPECT_EQ(flag, 9);
        }
    }
}

TEST(ActivityClassifier, DisabledClassifierAcceptsAnyPeriodWithoutChange)
{
    ActivityClassifier classifier;
    const auto config = classifierFixtureConfig();
    ASSERT_EQ(classifier.init(&config, 0.05f), VNX_STATUS_SUCCESS);
    EXPECT_EQ(classifier.setInputPeriods(accelerometerPeriod(0), 0), VNX_STATUS_SUCCESS);
    EXPECT_FALSE(classifier.isEnabled());
    EXPECT_EQ(classifier.init(nullptr, 0.05f), VNX_STATUS_INVALID_CONFIG);
}

TEST(ActivityClassifier, InitRefusesWhatAComponentRefuses)
{
    ActivityClassifier classifier;
    auto config = classifierFixtureConfig();
    config.lda.windowLength = 0;
    EXPECT_EQ(classifier.init(&config, 0.05f), VNX_STATUS_INVALID_CONFIG);
    config = classifierFixtureConfig(1000000, 1);
    config.lda.windowLength = 5; // the wrist keeps four frames
    EXPECT_EQ(classifier.init(&config, 0.05f), VNX_STATUS_INVALID_CONFIG);
}

TEST(ActivityClassifier, StartsUnknownAndTheFirstFrameTakesItsTimeFromTheFirstSample)
{
    ClassifierRig rig(1u << 6, 40000); // one sample per frame
    const auto& f = rig.classifier.filter();
    EXPECT_EQ(f.mostLikely, 5);
    EXPECT_EQ(rig.classifier.ldaActivity(), 0);
    // Every record carries the same time: no frame takes time, nothing moves.
    auto records = still(0.4, 40000, kFlat);
    for (auto& r : records)
        r.timeUs = 123456;
    for (const auto& out : rig.frames(records)) {
        EXPECT_EQ(out.mostLikely, 0);
        EXPECT_EQ(out.confidence[0], 100);
        EXPECT_EQ(out.timeUs, 123456u);
    }
    EXPECT_FLOAT_EQ(f.q, 0.06f);
    EXPECT_EQ(f.p[5], 1.0f);
}

/// Share of frames from `from` on whose field is `value`.
template <class Field>
double share(const std::vector<vnx_ActivityClassifier_Output_s>& frames, std::size_t from, Field field,
             std::uint8_t value)
{
    int n = 0;
    for (std::size_t i = from; i < frames.size(); ++i)
        n += field(frames[i]) == value;
    return frames.size() > from ? static_cast<double>(n) / (frames.size() - from) : 0.0;
}

const auto mostLikely = [](const vnx_ActivityClassifier_Output_s& o) { return o.mostLikely; };
const auto ldaCode = [](const vnx_ActivityClassifier_Output_s& o) { return o.ldaActivity; };

TEST(ActivityClassifier, WalkingAndStillnessAreRecognised)
{
    struct Case
    {
        const char* name;
        std::vector<vnx_Mobile_Output_s> records;
        std::uint8_t code;
    };
    const Case cases[] = {
        {"walk at 2 Hz", walk(60.0, 2.0, training::kPeriodUs, 21), 6},
        {"run at 2.8 Hz", walk(60.0, 2.8, training::kPeriodUs, 22), 7},
        {"still on a table", still(60.0, training::kPeriodUs, kFlat, 23), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClassifierRig rig((1u << 4) | (1u << 6) | (1u << 7));
        const auto frames = rig.frames(c.records);
        ASSERT_EQ(frames.size(), 60u);
        // The LDA warms up for its window: no verdict, code 0.
        for (std::size_t i = 0; i < training::kPhoneWindow; ++i)
            EXPECT_EQ(frames[i].ldaActivity, 0) << i;
        EXPECT_GT(share(frames, 10, ldaCode, c.code), 0.75);
        EXPECT_GT(share(frames, 10, mostLikely, c.code), 0.75);
        const auto& last = frames.back();
        int sum = 0;
        for (int code : {0, 1, 2, 4, 6, 7})
            sum += last.confidence[code];
        EXPECT_EQ(sum, 100);
        EXPECT_EQ(last.confidence[3], last.confidence[6] + last.confidence[7]);
        // Bytes that belong to the caller stay as they were.
        for (std::uint8_t b : last.reserved0)
            EXPECT_EQ(b, 0xA5);
        for (std::uint8_t b : last.reserved1)
            EXPECT_EQ(b, 0xA5);
    }
}

TEST(ActivityClassifier, ATurnedDeviceReportsTiltingForOneFrame)
{
    ClassifierRig rig((1u << 5) | (1u << 4));
    constexpr float kOnItsSide[3] = {1.0f, 0.0f, 0.0f};
    auto records = still(10.0, training::kPeriodUs, kFlat, 31);
    const auto turned = still(10.0, training::kPeriodUs, kOnItsSide, 32, 10000000);
    records.insert(records.end(), turned.begin(), turned.end());
    const auto frames = rig.frames(records);
    ASSERT_EQ(frames.size(), 20u);
    int tilted = -1;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].confidence[5] == 100) {
            EXPECT_EQ(tilted, -1) << "second tilt at frame " << i;
            tilted = static_cast<int>(i);
        } else {
            EXPECT_EQ(frames[i].confidence[5], 0);
        }
    }
    ASSERT_GE(tilted, 10);
    EXPECT_LE(tilted, 12);
}

TEST(ActivityClassifier, TheLdaSlotHoldsTheConfiguredKind)
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    ActivityClassifier classifier;
    const auto nameOf = [&](const void* object) {
        const vnx::NodeInterface* node = nodes.getNode(object);
        return node != nullptr ? node->getLocalName() : std::string("(none)");
    };
    EXPECT_TRUE(classifier.isPhoneLda());
    EXPECT_EQ(nameOf(classifier.lda()), "LdaClassifier");

    auto watch = classifierFixtureConfig(1000000, 7);
    ASSERT_EQ(classifier.init(&watch, 0.05f), VNX_STATUS_SUCCESS);
    EXPECT_FALSE(classifier.isPhoneLda());
    EXPECT_NE(dynamic_cast<const vnx::activity::LdaClassifierWatch*>(classifier.lda()), nullptr);
    EXPECT_EQ(nameOf(classifier.lda()), "LdaClassifierWatch");

    auto phone = classifierFixtureConfig(1000000, 0);
    ASSERT_EQ(classifier.init(&phone, 0.05f), VNX_STATUS_SUCCESS);
    EXPECT_TRUE(classifier.isPhoneLda());
    EXPECT_NE(dynamic_cast<const vnx::activity::LdaClassifierMobile*>(classifier.lda()), nullptr);
    EXPECT_EQ(nameOf(classifier.lda()), "LdaClassifier");
}

TEST(ActivityClassifier, PressureBeforeTheFirstFrameIsNotOnFoot)
{
    // Steep pressure, but no frame has told the gait yet: no evidence.
    ClassifierRig rig(1u << 8);
    for (int i = 0; i <= 40; ++i)
        EXPECT_EQ(rig.classifier.reportPressure(fixedQ(1000.0f + 0.01f * i, 20), 100000u * (i + 1)),
                  VNX_STATUS_SUCCESS);
    const auto frames = rig.frames(still(1.0, training::kPeriodUs, kFlat));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].confidence[8], 0); // P = 0.00104
}

TEST(ActivityClassifier, VehicleAccelerationFromAnEarlierRequestIsNoEvidence)
{
    // Vehicle classification first, with bounds that every window meets, so
    // the acceleration component reports a vehicle after its 5-s settling.
    ActivityClassifier classifier;
    auto config = classifierFixtureConfig();
    std::int32_t* t = config.inVehicleAcceleration.thresholdQ20;
    for (int k = 16; k <= 22; k += 2) {
        t[k] = fixedQ(1000.0f, 20);
        t[k + 1] = fixedQ(-1.0f, 20);
    }
    ASSERT_EQ(classifier.init(&config, kSensorNoiseMs2), VNX_STATUS_SUCCESS);
    std::uint32_t classes = 511;
    auto periods = accelerometerPeriod(0);
    std::int32_t pressure = 0;
    classifier.enableOutputPeriodsAndDeriveInputPeriods(&classes, &periods, &pressure);
    ASSERT_EQ(classifier.setInputPeriods(accelerometerPeriod(10000), 100000), VNX_STATUS_SUCCESS);
    vnx_ActivityClassifier_Output_s out{};
    std::uint8_t flag = 0;
    for (const auto& in : still(10.0, 10000, kFlat))
        classifier.process(in, nullptr, &out, &flag);

    // Then gait classes only: while the LDA warms up on a walk nothing tells
    // anything, and the vehicle must not gain from the old status.
    classes = 1u << 6;
    periods = accelerometerPeriod(0);
    classifier.enableOutputPeriodsAndDeriveInputPeriods(&classes, &periods, &pressure);
    ASSERT_EQ(classifier.setInputPeriods(accelerometerPeriod(training::kPeriodUs), 0), VNX_STATUS_SUCCESS);
    const float vehicleBefore = classifier.filter().p[0];
    auto records = walk(3.0, 2.0, training::kPeriodUs);
    for (auto& r : records)
        r.timeUs += 10000000;
    for (const auto& in : records)
        classifier.process(in, nullptr, &out, &flag);
    EXPECT_LE(classifier.filter().p[0], std::fmax(vehicleBefore, 0.05f));
    EXPECT_NE(out.mostLikely, 1);
}

TEST(ActivityClassifier, FramesAllocateNothing)
{
    ClassifierRig rig(511, 1000000, 10000); // in-vehicle classification needs 100 Hz
    const auto records = walk(10.0, 2.0, 10000);
    const long allocations = vnx::test::allocationsDuring([&] {
        for (const auto& in : records)
            rig.process(in);
        rig.classifier.reportPressure(0, 0);
    });
    EXPECT_EQ(allocations, 0);
}

} // namespace
