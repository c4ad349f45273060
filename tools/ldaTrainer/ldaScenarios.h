#pragma once

// Labelled synthetic motion for the LDA activity classifiers: one scenario
// per fine class (still, fidgeting, riding, walking and running at several
// cadences and strengths, and for the wrist arm motions without steps),
// turned into accelerometer samples at 25 Hz, passed through the activity
// tracker's two step channels (the norm's step and vibration detectors) and
// into a classifier, which yields one feature vector and class per 1-s
// frame. The lda_trainer tool fits the model tables on these; the confusion
// benchmark scores the classifiers on fresh seeds of the same scenarios.

#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <random>

#include "activity/LdaClassifierMobile.h"
#include "activity/LdaClassifierWatch.h"
#include "activity/StepDetectorInterface.h"

namespace vnx::ldatraining {

inline constexpr std::int32_t kPeriodUs = 40000; ///< accelerometer period
inline constexpr int kSamplesPerFrame = 25;      ///< 1-s classification frames
inline constexpr std::uint8_t kPhoneWindow = 3;  ///< frames per feature window
inline constexpr std::uint8_t kWatchWindow = 4;
inline constexpr double kGravity = 9.81;

/// The step channels of the activity tracker, as the tables were trained:
/// the step channel as the step detectors' fixture (tolerance, time
/// constant, minimum spacing, threshold), and a quicker, more sensitive
/// channel for vibration.
struct ChannelSettings
{
    float toleranceS, timeConstantS, minSpacingS, threshold;
};
inline constexpr ChannelSettings kStepChannel{0.1f, 0.2f, 0.3f, 0.004f};
inline constexpr ChannelSettings kVibrationChannel{0.05f, 0.05f, 0.08f, 0.0003f};

struct Scenario
{
    const char* name;
    double cadenceHz;    ///< steps per second; 0: no gait
    double gaitMs2;      ///< vertical bounce of the gait
    double swayMs2;      ///< sideways sway at half the cadence
    double vibrationMs2; ///< random shaking per axis (a vehicle, typing)
    double bumpsPerS;    ///< short knocks (fidgeting)
    double tiltRad;      ///< slow turning of the device (handling) or arm swing (wrist)
    double tiltHz;
};

// clang-format off
inline constexpr Scenario kPhoneScenarios[16] = {
    {"sprint",         3.2, 7.0, 2.0, 0,    0,   0,   0},
    {"run 2.6 Hz",     2.6, 3.0, 0.8, 0,    0,   0,   0},
    {"run 2.8 Hz",     2.8, 2.5, 0.6, 0,    0,   0,   0},
    {"run 3.0 Hz",     3.0, 3.5, 0.8, 0,    0,   0,   0},
    {"walk 1.7 Hz",    1.7, 2.5, 0.6, 0,    0,   0,   0},
    {"walk 1.6 Hz",    1.6, 1.5, 0.4, 0,    0,   0,   0},
    {"walk 1.8 Hz",    1.8, 2.0, 0.5, 0,    0,   0,   0},
    {"walk 2.0 Hz",    2.0, 2.5, 0.5, 0,    0,   0,   0},
    {"walk 2.2 Hz",    2.2, 2.0, 0.5, 0,    0,   0,   0},
    {"soft walk",      2.0, 1.2, 0.3, 0,    0,   0,   0},
    {"brisk walk",     2.3, 3.5, 0.8, 0,    0,   0,   0},
    {"swaying walk",   1.9, 2.5, 1.5, 0,    0,   0,   0},
    {"fidgeting",      0,   0,   0,   0,    0.5, 0,   0},
    {"on a table",     0,   0,   0,   0,    0,   0,   0},
    {"riding",         0,   0,   0,   0.3,  0,   0,   0},
    {"handling",       0,   0,   0,   0,    0,   0.8, 0.3},
};

inline constexpr Scenario kWatchScenarios[18] = {
    {"sprint",         3.2, 7.0, 2.0, 0,    0,   0.6, 1.6},
    {"run 2.6 Hz",     2.6, 3.0, 0.8, 0,    0,   0.5, 1.3},
    {"run 2.8 Hz",     2.8, 2.5, 0.6, 0,    0,   0.5, 1.4},
    {"run 3.0 Hz",     3.0, 3.5, 0.8, 0,    0,   0.5, 1.5},
    {"walk 1.7 Hz",    1.7, 2.5, 0.6, 0,    0,   0.3, 0.85},
    {"walk 1.9 Hz",    1.9, 2.0, 0.5, 0,    0,   0.3, 0.95},
    {"walk 2.0 Hz",    2.0, 2.5, 0.5, 0,    0,   0.3, 1.0},
    {"walk 2.2 Hz",    2.2, 2.0, 0.5, 0,    0,   0.3, 1.1},
    {"soft walk",      2.0, 1.2, 0.3, 0,    0,   0.2, 1.0},
    {"fidgeting",      0,   0,   0,   0,    0.5, 0,   0},
    {"on a desk",      0,   0,   0,   0,    0,   0,   0},
    {"riding",         0,   0,   0,   0.3,  0,   0,   0},
    {"typing",         0,   0,   0,   0.1,  0,   0.05, 0.5},
    {"handling",       0,   0,   0,   0,    0,   0.8, 0.3},
    {"gesturing",      0,   0,   0,   0,    0,   1.0, 1.5},
    {"brushing",       0,   0,   0,   0.5,  0,   0.3, 4.0},
    {"arm swinging",   0,   0,   0,   0,    0,   0.6, 1.0},
    {"waving",         0,   0,   0,   0,    0,   0.8, 2.5},
};
// clang-format on

/// One run of a scenario: each run draws its own cadence, strength and
/// phase around the scenario's values.
class ScenarioSignal
{
  public:
    ScenarioSignal(const Scenario& s, std::uint64_t seed) : s_(s), random_(seed)
    {
        std::uniform_real_distribution<double> spread(0.9, 1.1);
        std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
        cadence_ = s.cadenceHz * spread(random_);
        gait_ = s.gaitMs2 * spread(random_);
        tilt_ = s.tiltRad * spread(random_);
        phase_ = phase(random_);
    }

    /// Acceleration (m/s^2, device frame) at sample i.
    void sample(int i, float* a)
    {
        const double t = i * kPeriodUs * 1e-6;
        const double w = 2.0 * std::numbers::pi;
        // Handling or arm swing: gravity turns about x.
        const double theta = tilt_ * std::sin(w * s_.tiltHz * t + phase_);
        double x = 0, y = kGravity * std::sin(theta), z = kGravity * std::cos(theta);
        if (cadence_ > 0) {
            const double p = w * cadence_ * t + phase_;
            z += gait_ * (std::sin(p) + 0.3 * std::sin(2.0 * p + 1.0));
            x += s_.swayMs2 * std::sin(0.5 * p);
        }
        if (s_.bumpsPerS > 0) {
            if (bumpLeft_ == 0 && uniform_(random_) < s_.bumpsPerS * kPeriodUs * 1e-6) {
                bumpLeft_ = 5;
                bumpAxis_ = static_cast<int>(uniform_(random_) * 3.0) % 3;
            }
            if (bumpLeft_ > 0) {
                const double bump = 3.0 * std::sin(std::numbers::pi * (5 - bumpLeft_ + 0.5) / 5.0);
                (bumpAxis_ == 0 ? x : bumpAxis_ == 1 ? y : z) += bump;
                --bumpLeft_;
            }
        }
        const double shake = s_.vibrationMs2 + 0.05; // sensor noise on top
        x += shake * normal_(random_);
        y += shake * normal_(random_);
        z += shake * normal_(random_);
        a[0] = static_cast<float>(x);
        a[1] = static_cast<float>(y);
        a[2] = static_cast<float>(z);
    }

  private:
    const Scenario& s_;
    std::mt19937_64 random_;
    std::normal_distribution<double> normal_{0.0, 1.0};
    std::uniform_real_distribution<double> uniform_{0.0, 1.0};
    double cadence_ = 0, gait_ = 0, tilt_ = 0, phase_ = 0;
    int bumpLeft_ = 0;
    int bumpAxis_ = 0;
};

/// Runs `frames` frames of one scenario run through the step channels and
/// a classifier; calls onFrame(features, class) for every frame after the
/// warm-up.
inline void runScenario(activity::LdaClassifier& classifier, std::uint8_t window, const Scenario& scenario,
                        std::uint64_t seed, int frames,
                        const std::function<void(const float* features, std::uint8_t classCode)>& onFrame)
{
    const vnx_ActivityClassifier_Lda_Config_s config{0, window, {0, 0, 0}};
    classifier.init(&config);
    classifier.enable(true);
    classifier.changePeriod(kPeriodUs);
    activity::StepDetectorInterface::StepDetectorInstance steps, vibration;
    const auto start = [](activity::StepDetectorInterface::StepDetectorInstance& c,
                          const ChannelSettings& s) {
        c.init(s.toleranceS, s.timeConstantS, s.minSpacingS, s.threshold);
        c.setInputPeriod(kPeriodUs);
    };
    start(steps, kStepChannel);
    start(vibration, kVibrationChannel);
    ScenarioSignal signal(scenario, seed);
    for (int frame = 0; frame < frames + window; ++frame) {
        for (int k = 0; k < kSamplesPerFrame; ++k) {
            vnx_Mobile_Output_s in{};
            in.validBits = VNX_MOBILE_BIT_ACCELEROMETER;
            signal.sample(frame * kSamplesPerFrame + k, in.accelerometer);
            const float* a = in.accelerometer;
            const float norm = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
            activity::StepDetectorInterface::ChannelRecord r1{}, r2{};
            steps.process(norm, r1);
            vibration.process(norm, r2);
            vnx_StepDetector_Output_s record{};
            record.rawStepFlags = r1.stepFlag | (static_cast<std::uint32_t>(r2.stepFlag) << 8);
            record.rawPosition = r1.position;
            classifier.reportNewMotion(&in);
            classifier.reportNewStep(&record);
        }
        activity::LdaClassifier::LdaClassifier_Output_s out{};
        classifier.generateOutput(&out);
        if (frame >= window)
            onFrame(classifier.features(), out.classCode);
    }
}

} // namespace vnx::ldatraining
