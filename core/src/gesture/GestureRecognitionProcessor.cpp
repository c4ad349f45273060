#include "gesture/GestureRecognitionProcessor.h"

#include <algorithm>
#include <cmath>

#include "gesture/gestureDirection.h"

namespace {

// Ten seconds of samples at the capture's period.
constexpr uint64_t kCaptureTimeLimitUs = 10000000;
// Squared length a step must reach: 40 units for the first one, which also
// absorbs the jitter at the start of a gesture, then 8 units.
constexpr double kFirstStepLengthSquared = 1600.0;
constexpr double kStepLengthSquared = 64.0;
// The first step is shortened so that the start contributes little direction.
constexpr float kFirstStepShrink = 5.0f;
// One sample adds at most this many steps, however far it jumps: far beyond
// any real pointer movement, it keeps a corrupt delta from filling memory.
constexpr std::size_t kMaxStepsPerSample = GestureRecognitionProcessor::kMaxSteps;
// A normalised code shorter than this is not compared.
constexpr std::size_t kMinCodeLength = 4;

const char kNoMatchName[] = "Not matched";
const char kNoMatchImage[] = "Gesture_noMatch.png";

} // namespace

GestureRecognitionProcessor::GestureRecognitionProcessor()
{
    init();
}

void GestureRecognitionProcessor::init()
{
    code_.clear();
    library_.clear();
    positionsX_.clear();
    positionsY_.clear();
    runningX_ = runningY_ = 0;
    anchorX_ = anchorY_ = 0;
    previousCapture_ = false;
    codeLength_ = 0;
}

void GestureRecognitionProcessor::clearGestures()
{
    library_.clear();
    codeLength_ = 0;
}

bool GestureRecognitionProcessor::addGesture(const Gesture& gesture)
{
    const auto length = static_cast<int32_t>(gesture.getCode().size());
    if (codeLength_ == 0) {
        codeLength_ = length;
    } else if (length != codeLength_) {
        return false;
    }
    library_.push_back(gesture);
    return true;
}

float GestureRecognitionProcessor::codeFromDeltaPos(double y, double x)
{
    return vnx::gesture::directionValue(y, x);
}

double GestureRecognitionProcessor::costProcess(const std::vector<float>& tested,
                                                const std::vector<float>& reference)
{
    return costTable_.cost(tested, reference);
}

void GestureRecognitionProcessor::beginCapture()
{
    runningX_ = runningY_ = 0;
    anchorX_ = anchorY_ = 0;
    code_.clear();
    positionsX_.clear();
    positionsY_.clear();
    stepsX_.clear();
    stepsY_.clear();
    captureState_ = kCaptureNormal;
}

void GestureRecognitionProcessor::handleStartCapture()
{
    beginCapture();
}

void GestureRecognitionProcessor::handleStopCapture(Output_t& result, AdditionalOutput_t* additional,
                                                    uint32_t periodUs)
{
    gestureMatchProcess(result, additional, periodUs);
}

void GestureRecognitionProcessor::processCursorFrame(int32_t dx, int32_t dy, bool capture, Output_t& result,
                                                     AdditionalOutput_t* additional, uint32_t periodUs)
{
    result.done = false;
    if (previousCapture_) {
        if (capture) {
            handleCapturing(dx, dy, periodUs);
        } else {
            gestureMatchProcess(result, additional, periodUs);
        }
    } else if (capture) {
        beginCapture();
    }
    previousCapture_ = capture;
}

void GestureRecognitionProcessor::handleCapturing(int32_t dx, int32_t dy, uint32_t periodUs)
{
    if (periodUs != 0 && positionsX_.size() >= kCaptureTimeLimitUs / periodUs) {
        captureState_ = kCaptureTimeLimit;
        return;
    }
    if (stepsX_.size() >= kMaxSteps) {
        captureState_ = kCaptureLengthLimit;
        return;
    }
    runningX_ += dx;
    runningY_ += dy;
    positionsX_.push_back(static_cast<int32_t>(runningX_));
    positionsY_.push_back(static_cast<int32_t>(runningY_));

    const double offsetX = static_cast<double>(runningX_ - anchorX_);
    const double offsetY = static_cast<double>(runningY_ - anchorY_);
    const double lengthSquared = offsetX * offsetX + offsetY * offsetY;
    const bool firstStep = stepsX_.empty();
    const double threshold = firstStep ? kFirstStepLengthSquared : kStepLengthSquared;
    if (lengthSquared < threshold) {
        return;
    }
    anchorX_ = runningX_;
    anchorY_ = runningY_;
    // The displacement is cut into n steps of about the threshold length.
    const auto count = static_cast<std::size_t>(std::sqrt(lengthSquared / threshold) + 0.5);
    float stepX = static_cast<float>(offsetX / static_cast<double>(count));
    float stepY = static_cast<float>(offsetY / static_cast<double>(count));
    if (firstStep) {
        stepX /= kFirstStepShrink;
        stepY /= kFirstStepShrink;
    }
    const std::size_t appended = std::min(count, kMaxStepsPerSample);
    stepsX_.insert(stepsX_.end(), appended, stepX);
    stepsY_.insert(stepsY_.end(), appended, stepY);
}

void GestureRecognitionProcessor::appendDirections(float x, float y, std::size_t times)
{
    code_.insert(code_.end(), times, codeFromDeltaPos(y, x));
}

void GestureRecognitionProcessor::gestureNormalize()
{
    if (codeLength_ <= 0) {
        return;
    }
    const auto length = static_cast<std::size_t>(codeLength_);
    const std::size_t steps = stepsX_.size();
    const std::size_t stretchBelow = 3 * length / 4;
    if (steps >= kMinCodeLength && steps < stretchBelow) {
        // Too few steps: repeat each until the code is longer than 3/4 L.
        const std::size_t repeat = stretchBelow / steps + 1;
        for (std::size_t i = 0; i < steps; ++i) {
            appendDirections(stepsX_[i], stepsY_[i], repeat);
        }
    } else if (steps <= 3 * length / 2) {
        for (std::size_t i = 0; i < steps; ++i) {
            appendDirections(stepsX_[i], stepsY_[i], 1);
        }
    } else {
        // Too many steps: drop the last few (the pointer settling at the end)
        // and sum windows of neighbouring steps.
        const std::size_t kept = steps - steps / length;
        const std::size_t window = (kept + length / 2) / length;
        if (window == 0) {
            return;
        }
        for (std::size_t start = 0; start < kept; start += window) {
            const std::size_t end = std::min(start + window, kept);
            float sumX = 0.0f;
            float sumY = 0.0f;
            for (std::size_t i = start; i < end; ++i) {
                sumX += stepsX_[i];
                sumY += stepsY_[i];
            }
            appendDirections(sumX, sumY, 1);
        }
    }
}

void GestureRecognitionProcessor::gestureMatchProcess(Output_t& result, AdditionalOutput_t* additional,
                                                      uint32_t periodUs)
{
    gestureNormalize();
    const Gesture* match = nullptr;
    double best = 1.0;
    if (code_.size() >= kMinCodeLength) {
        for (const Gesture& gesture : library_) {
            const double cost = costProcess(code_, gesture.getCode());
            if (cost < best) {
                best = cost;
                if (cost < kMatchCost) {
                    match = &gesture;
                }
            }
        }
    }
    result.done = true;
    if (match == nullptr) {
        result.name = kNoMatchName;
        result.score = 0.0;
        if (additional != nullptr) {
            additional->imageName = kNoMatchImage;
            additional->positionsX.clear();
            additional->positionsY.clear();
        }
        return;
    }
    result.name = match->getName();
    result.score = (1.0 - best) * 100.0;
    if (additional != nullptr) {
        additional->imageName = match->getImageName();
        fillMatchStatistics(*additional, periodUs);
    }
}

void GestureRecognitionProcessor::fillMatchStatistics(AdditionalOutput_t& additional, uint32_t periodUs) const
{
    additional.positionsX = positionsX_;
    additional.positionsY = positionsY_;
    additional.durationS = static_cast<float>(static_cast<double>(periodUs) *
                                              static_cast<double>(positionsX_.size()) / 1000000.0);
    additional.captureState = captureState_;
    if (positionsX_.empty()) {
        return;
    }
    const auto [minX, maxX] = std::minmax_element(positionsX_.begin(), positionsX_.end());
    const auto [minY, maxY] = std::minmax_element(positionsY_.begin(), positionsY_.end());
    additional.centreX = static_cast<float>((static_cast<double>(*minX) + *maxX) / 2.0);
    additional.centreY = static_cast<float>((static_cast<double>(*minY) + *maxY) / 2.0);
    additional.width = static_cast<float>(static_cast<double>(*maxX) - *minX);
    additional.height = static_cast<float>(static_cast<double>(*maxY) - *minY);
    additional.lastX = static_cast<float>(positionsX_.back());
    additional.lastY = static_cast<float>(positionsY_.back());
    double path = 0.0;
    for (std::size_t i = 1; i < positionsX_.size(); ++i) {
        const double stepX = static_cast<double>(positionsX_[i]) - positionsX_[i - 1];
        const double stepY = static_cast<double>(positionsY_[i]) - positionsY_[i - 1];
        path += std::sqrt(stepX * stepX + stepY * stepY);
    }
    additional.pathLength = static_cast<float>(path);
}
