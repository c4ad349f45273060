// LDA activity classifiers: warm-up, decision rules, model tables and the
// verdicts on fresh synthetic walks, runs and stillness.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "activity/LdaClassifierMobile.h"
#include "activity/LdaClassifierWatch.h"
#include "activity/ldaModelTables.h"
#include "common/statusCode.h"
#include "ldaScenarios.h"
#include "stepFixture.h"
#include "support/allocationCounter.h"

namespace {

using vnx::activity::LdaClassifier;
using vnx::activity::LdaClassifierMobile;
using vnx::activity::LdaClassifierWatch;
using namespace vnx::activitytest;
namespace lda = vnx::activity::lda;
namespace training = vnx::ldatraining;

constexpr std::uint8_t kRunning = 0, kWalking = 1, kNotWalking = 2, kNone = 4;

vnx_ActivityClassifier_Lda_Config_s window(std::uint8_t n, std::uint32_t kind = 0)
{
    return {kind, n, {0, 0, 0}};
}

/// The classes of every frame of the records, with the step channels of
/// the activity tracker in front of the classifier.
std::vector<std::uint8_t> classify(LdaClassifier& classifier, std::uint8_t n,
                                   const std::vector<vnx_Mobile_Output_s>& records)
{
    const auto config = window(n);
    EXPECT_EQ(classifier.init(&config), VNX_STATUS_SUCCESS);
    classifier.enable(true);
    classifier.changePeriod(training::kPeriodUs);
    vnx::activity::StepDetectorInterface::StepDetectorInstance steps, vibration;
    for (auto* c : {&steps, &vibration}) {
        const auto& s = c == &steps ? training::kStepChannel : training::kVibrationChannel;
        c->init(s.toleranceS, s.timeConstantS, s.minSpacingS, s.threshold);
        c->setInputPeriod(training::kPeriodUs);
    }
    std::vector<std::uint8_t> classes;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const float* a = records[i].accelerometer;
        const float norm = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        vnx::activity::StepDetectorInterface::ChannelRecord r1{}, r2{};
        steps.process(norm, r1);
        vibration.process(norm, r2);
        vnx_StepDetector_Output_s record{};
        record.rawStepFlags = r1.stepFlag | (static_cast<std::uint32_t>(r2.stepFlag) << 8);
        record.rawPosition = r1.position;
        classifier.reportNewMotion(&records[i]);
        classifier.reportNewStep(&record);
        if ((i + 1) % training::kSamplesPerFrame == 0) {
            LdaClassifier::LdaClassifier_Output_s out{};
            classifier.generateOutput(&out);
            classes.push_back(out.classCode);
        }
    }
    return classes;
}

int share(const std::vector<std::uint8_t>& classes, std::size_t from, std::uint8_t code)
{
    int n = 0;
    for (std::size_t i = from; i < classes.size(); ++i)
        n += classes[i] == code;
    return n;
}

TEST(LdaClassifier, FreshWalksRunsAndStillnessAreRecognised)
{
    constexpr float kFlat[3] = {0.0f, 0.0f, 1.0f};
    const struct
    {
        const char* what;
        std::vector<vnx_Mobile_Output_s> records;
        std::uint8_t expected;
    } cases[] = {
        {"still", still(60.0, training::kPeriodUs, kFlat, 99), kNotWalking},
        {"walk 2 Hz", walk(60.0, 2.0, training::kPeriodUs, 98), kWalking},
        {"run 2.8 Hz", walk(60.0, 2.8, training::kPeriodUs, 97), kRunning},
    };
    for (const auto& c : cases) {
        for (int kind = 0; kind < 2; ++kind) {
            SCOPED_TRACE(testing::Message() << c.what << (kind == 0 ? ", phone" : ", wrist"));
            LdaClassifierMobile phone;
            LdaClassifierWatch wrist;
            LdaClassifier& classifier = kind == 0 ? static_cast<LdaClassifier&>(phone) : wrist;
            const std::uint8_t n = kind == 0 ? training::kPhoneWindow : training::kWatchWindow;
            const auto classes = classify(classifier, n, c.records);
            // Past the warm-up and the settling of the step channel.
            const std::size_t from = n + 3;
            EXPECT_GT(share(classes, from, c.expected), static_cast<int>((classes.size() - from) * 3 / 4));
        }
    }
}

/// Exposes the decision rule of each kind on chosen coarse probabilities.
template <class Base> struct DecisionProbe : Base
{
    std::uint8_t decideWith(const std::vector<float>& coarse, float steps)
    {
        for (std::size_t g = 0; g < coarse.size(); ++g)
            this->coarse_[g] = coarse[g];
        this->features_[2] = steps; // the phone's steps in the window; the wrist's rule reads no feature
        return this->decide();
    }
};

TEST(LdaClassifier, DecisionRules)
{
    const struct
    {
        std::vector<float> coarse;
        float steps;
        std::uint8_t expected;
    } phone[] = {
        {{0.5f, 0.5f, 0.0f}, 6, kRunning}, // a tie of running and walking is running
        {{0.4f, 0.6f, 0.0f}, 6, kWalking},
        {{0.4f, 0.2f, 0.4f}, 6, kRunning}, // not walking only when strictly larger
        {{0.3f, 0.3f, 0.4f}, 6, kNotWalking},
        {{0.9f, 0.1f, 0.0f}, 1, kNotWalking}, // one step in the window is no gait
    };
    for (const auto& c : phone) {
        DecisionProbe<LdaClassifierMobile> probe;
        EXPECT_EQ(probe.decideWith(c.coarse, c.steps), c.expected) << c.coarse[0] << " " << c.coarse[1];
    }
    const struct
    {
        std::vector<float> coarse;
        std::uint8_t expected;
    } wrist[] = {
        {{0.25f, 0.25f, 0.25f, 0.25f}, 0},
        {{0.2f, 0.3f, 0.2f, 0.3f}, 1},
        {{0.1f, 0.2f, 0.3f, 0.3f}, 2},
        {{0.1f, 0.2f, 0.3f, 0.4f}, 3},
    };
    for (const auto& c : wrist) {
        DecisionProbe<LdaClassifierWatch> probe;
        EXPECT_EQ(probe.decideWith(c.coarse, 6), c.expected);
    }
}

TEST(LdaClassifier, PhoneWarmsUpForTheWindowLength)
{
    LdaClassifierMobile phone;
    const auto classes = classify(phone, 4, walk(12.0, 2.0, training::kPeriodUs));
    ASSERT_GE(classes.size(), 6u);
    for (int frame = 0; frame < 4; ++frame)
        EXPECT_EQ(classes[frame], kNone) << "frame " << frame + 1;
    EXPECT_NE(classes[4], kNone);
    // A new period restarts the warm-up; a disabled classifier has no verdict.
    phone.changePeriod(training::kPeriodUs);
    LdaClassifier::LdaClassifier_Output_s out{};
    phone.generateOutput(&out);
    EXPECT_EQ(out.classCode, kNone);
    phone.enable(false);
    phone.generateOutput(&out);
    EXPECT_EQ(out.classCode, kNone);
}

TEST(LdaClassifier, OneStepInTheWindowIsNotWalking)
{
    LdaClassifierMobile phone;
    const auto config = window(3);
    phone.init(&config);
    phone.enable(true);
    phone.changePeriod(training::kPeriodUs);
    LdaClassifier::LdaClassifier_Output_s out{};
    for (int frame = 0; frame < 6; ++frame) {
        for (int k = 0; k < training::kSamplesPerFrame; ++k) {
            // A strong bounce, as in a run, but a single step flag.
            vnx_Mobile_Output_s in{};
            in.accelerometer[2] = kGravityMs2 + 8.0f * std::sin(0.8f * k);
            vnx_StepDetector_Output_s step{};
            step.rawStepFlags = frame == 4 && k == 3 ? 1u : 0u;
            step.rawPosition = 0.1f * std::sin(0.8f * k);
            phone.reportNewMotion(&in);
            phone.reportNewStep(&step);
        }
        phone.generateOutput(&out);
    }
    EXPECT_EQ(phone.features()[2], 1.0f);
    EXPECT_EQ(out.classCode, kNotWalking);
    EXPECT_EQ(phone.coarseProbabilities()[2], 1.0f);
}

TEST(LdaClassifier, WatchRateStartsFromZeroAfterAReset)
{
    LdaClassifierWatch wrist;
    const auto config = window(4, 1);
    wrist.init(&config);
    wrist.enable(true);
    wrist.changePeriod(40000);
    vnx_Mobile_Output_s in{};
    in.accelerometer[2] = 9.81f;
    wrist.reportNewMotion(&in);
    EXPECT_FLOAT_EQ(wrist.rateMean(), 9.81f / 0.04f);
    // A frame of that one sample still gives finite features (no 0/0 variance).
    LdaClassifier::LdaClassifier_Output_s out{};
    wrist.generateOutput(&out);
    for (int i = 0; i < wrist.featureCount(); ++i)
        EXPECT_TRUE(std::isfinite(wrist.features()[i])) << "feature " << i;
}

TEST(LdaClassifier, WindowLengthMustFitTheRings)
{
    const struct
    {
        bool phone;
        std::uint8_t n;
        int status;
    } cases[] = {{true, 0, VNX_STATUS_INVALID_CONFIG},  {true, 11, VNX_STATUS_INVALID_CONFIG},
                 {true, 10, VNX_STATUS_SUCCESS},        {true, 1, VNX_STATUS_SUCCESS},
                 {false, 0, VNX_STATUS_INVALID_CONFIG}, {false, 5, VNX_STATUS_INVALID_CONFIG},
                 {false, 4, VNX_STATUS_SUCCESS}};
    for (const auto& c : cases) {
        LdaClassifierMobile phone;
        LdaClassifierWatch wrist;
        LdaClassifier& classifier = c.phone ? static_cast<LdaClassifier&>(phone) : wrist;
        const auto config = window(c.n);
        EXPECT_EQ(classifier.init(&config), c.status) << c.phone << " " << int(c.n);
    }
    LdaClassifierMobile phone;
    EXPECT_EQ(phone.init(nullptr), VNX_STATUS_INVALID_CONFIG);
}

TEST(LdaClassifier, InputPeriodsAndVersions)
{
    LdaClassifierMobile phone;
    LdaClassifierWatch wrist;
    const struct
    {
        LdaClassifier* classifier;
        bool maximum;
        std::int32_t limit;
    } cases[] = {
        {&phone, false, 40000}, {&phone, true, 44444}, {&wrist, false, 40000}, {&wrist, true, 42105}};
    for (const auto& c : cases) {
        std::int32_t period = 100000;
        c.classifier->applyInputPeriod(c.maximum, period);
        EXPECT_EQ(period, c.limit);
        period = 10000;
        c.classifier->applyInputPeriod(c.maximum, period);
        EXPECT_EQ(period, 10000);
        EXPECT_EQ(c.classifier->getVersion(), 1);
    }
}

TEST(LdaModelTables, GivenRowsAreKeptExactly)
{
    const struct
    {
        const float* row;
        std::vector<float> values;
    } rows[] = {
        {lda::phoneMean_[0], {10.783f, 0.0931f, 8.6027f}},
        {lda::phoneMean_[4], {1.0584f, 0.026493f, 5.1155f}},
        {lda::phoneMean_[12], {0.03182f, 0.0037422f, 0.58333f}},
        {lda::phoneMean_[13], {0.05833f, 0.00055069f, 0.0f}},
        {lda::watchMean_[0], {-0.051717f, 354.87f, 10.799f, 13.661f, 8.7551f, 8.7347f}},
        {lda::watchMean_[9], {0.020892f, 39.038f, 0.046812f, 0.73014f, 4.7966f, 0.74576f}},
        {lda::watchMean_[14], {-0.080019f, 129.96f, 0.14814f, 1.7705f, 8.4242f, 1.2424f}},
    };
    for (const auto& r : rows)
        for (std::size_t i = 0; i < r.values.size(); ++i)
            EXPECT_EQ(r.row[i], r.values[i]) << i;
    // Class 13 (a phone on a table): a02 = a12 = 0, a22 = 9.901e5.
    EXPECT_EQ(lda::phoneInvCovUpperTriangle_[13][2], 0.0f);
    EXPECT_EQ(lda::phoneInvCovUpperTriangle_[13][4], 0.0f);
    EXPECT_EQ(lda::phoneInvCovUpperTriangle_[13][5], 9.901e5f);
    EXPECT_EQ(lda::phonePrefactor_[0], -0.42387f);
    EXPECT_EQ(lda::phonePrefactor_[13], 15.636f);
    EXPECT_EQ(lda::watchPrefactor_[0], -11.428f);
    EXPECT_EQ(lda::watchPrefactor_[12], -0.35449f);
}

/// Whether the symmetric matrix of an upper triangle has positive pivots.
bool positiveDefinite(const float* triangle, int d)
{
    std::vector<double> a(d * d);
    for (int i = 0, t = 0; i < d; ++i)
        for (int j = i; j < d; ++j, ++t)
            a[i * d + j] = a[j * d + i] = triangle[t];
    for (int j = 0; j < d; ++j) {
        if (!(a[j * d + j] > 0))
            return false;
        for (int i = j + 1; i < d; ++i) {
            const double l = a[i * d + j] / a[j * d + j];
            for (int k = j; k < d; ++k)
                a[i * d + k] -= l * a[j * d + k];
        }
    }
    return true;
}

TEST(LdaModelTables, EveryInverseCovarianceIsPositiveDefinite)
{
    for (int k = 0; k < lda::kPhoneClasses; ++k)
        EXPECT_TRUE(positiveDefinite(lda::phoneInvCovUpperTriangle_[k], lda::kPhoneFeatures))
            << "phone " << k;
    for (int k = 0; k < lda::kWatchClasses; ++k)
        EXPECT_TRUE(positiveDefinite(lda::watchInvCovUpperTriangle_[k], lda::kWatchFeatures))
            << "wrist " << k;
}

TEST(LdaClassifier, FramesAllocateNothing)
{
    LdaClassifierMobile phone;
    LdaClassifierWatch wrist;
    const auto records = walk(20.0, 2.0, training::kPeriodUs);
    for (LdaClassifier* classifier :
         {static_cast<LdaClassifier*>(&phone), static_cast<LdaClassifier*>(&wrist)}) {
        const auto config = window(3);
        classifier->init(&config);
        classifier->enable(true);
        classifier->changePeriod(training::kPeriodUs);
        int decided = 0;
        const long allocations = vnx::test::allocationsDuring([&] {
            for (std::size_t i = 0; i < records.size(); ++i) {
                vnx_StepDetector_Output_s step{};
                classifier->reportNewMotion(&records[i]);
                classifier->reportNewStep(&step);
                if (i % 25 == 24) {
                    LdaClassifier::LdaClassifier_Output_s out{};
                    classifier->generateOutput(&out);
                    decided += out.classCode != kNone;
                }
            }
        });
        EXPECT_EQ(allocations, 0);
        EXPECT_GT(decided, 10);
    }
}

} // namespace
