// Learning half of GestureRecognitionProcessor: training gestures, their
// codes, the averaged code and its place in the library.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "gesture/GestureRecognitionProcessor.h"
#include "gesture/gestureDirection.h"

namespace {

constexpr uint64_t kTrainingTimeLimitUs = 10000000;
// A training gesture shorter than this (in pointer units) says too little.
constexpr float kMinTrainingLength = 100.0f;
// Learning keeps only training codes whose mean cost to the others is at most
// this; beyond kInconsistentCost the set as a whole is refused.
constexpr double kOutlierCost = 0.25;
constexpr double kInconsistentCost = 0.4;
// At most a third of the training gestures may be dropped as outliers.
constexpr double kMaxOutlierShare = 0.34;
// A learned code closer than this to a stored gesture is that gesture.
constexpr double kKnownGestureCost = 0.25;

/// The learned digit of a direction value: rounded, with 9 (just below the
/// -x direction) folded onto 1.
uint8_t directionDigit(float value)
{
    const auto digit = static_cast<int>(value + 0.5);
    return static_cast<uint8_t>(digit == 9 ? 1 : digit);
}

void print(const char* message)
{
    std::fputs(message, stdout);
}

} // namespace

void GestureRecognitionProcessor::startLearning()
{
    trajectoryCount_ = 0;
    for (std::vector<float>& trajectory : trajectories_) {
        trajectory.clear();
    }
    learnedCode_.clear();
    trainingDx_.clear();
    trainingDy_.clear();
}

void GestureRecognitionProcessor::gestureLearning(int32_t dx, int32_t dy, bool capture, uint32_t periodUs)
{
    if (!previousCapture_ && capture) {
        trainingDx_.clear();
        trainingDy_.clear();
    } else if (previousCapture_ && capture) {
        if (periodUs == 0 || trainingDx_.size() <= kTrainingTimeLimitUs / periodUs) {
            trainingDx_.push_back(dx);
            trainingDy_.push_back(dy);
        }
    } else if (previousCapture_ && !capture) {
        if (trajectoryCount_ < kMaxTrajectories) {
            std::vector<float>& trajectory = trajectories_[trajectoryCount_];
            if (createGestureCode(trainingDx_, trainingDy_, trajectory)) {
                ++trajectoryCount_;
            } else {
                print("Code creation failed!\n");
                trajectory.clear();
            }
        } else {
            print("Max number of trajectory reached. This trajectory will be ignored.\n");
        }
    }
    previousCapture_ = capture;
}

bool GestureRecognitionProcessor::createGestureCode(const std::vector<int32_t>& dxs,
                                                    const std::vector<int32_t>& dys, std::vector<float>& code)
{
    if (dxs.empty() || dys.size() != dxs.size()) {
        print("Trace not long enough!");
        return false;
    }
    const std::size_t samples = dxs.size();
    auto sampleLength = [&](std::size_t i) {
        // Squares in 64 bits: a delta beyond 46340 units would overflow 32.
        const int64_t x = dxs[i];
        const int64_t y = dys[i];
        return std::sqrt(static_cast<float>(x * x + y * y));
    };
    float total = 0.0f;
    for (std::size_t i = 0; i < samples; ++i) {
        total += sampleLength(i);
    }
    if (total < kMinTrainingLength) {
        print("Trace not long enough!");
        return false;
    }
    const auto pieces = static_cast<std::size_t>(codeLength_ > 0 ? codeLength_ : 0);
    if (pieces == 0) {
        return code.empty(); // no library code length yet: the code is empty
    }
    // Walk the path and cut it into `pieces` pieces of equal length.
    const float pieceLength = total / static_cast<float>(pieces);
    float pieceX = 0.0f; // the current piece so far
    float pieceY = 0.0f;
    float lastPieceX = 0.0f;
    float lastPieceY = 0.0f;
    float along = 0.0f; // length of the current piece so far
    std::size_t made = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const float segment = sampleLength(i);
        const auto dx = static_cast<float>(dxs[i]);
        const auto dy = static_cast<float>(dys[i]);
        pieceX += dx;
        pieceY += dy;
        along += segment;
        while (along >= pieceLength) {
            ++made;
            along -= pieceLength;
            // The share of this sample that lies beyond the piece's end.
            const float beyond = along / segment;
            lastPieceX = pieceX - dx * beyond;
            lastPieceY = pieceY - dy * beyond;
            code.push_back(codeFromDeltaPos(lastPieceY, lastPieceX));
            pieceX = dx * beyond;
            pieceY = dy * beyond;
        }
    }
    // Rounding can leave the last piece a hair short: it takes the direction
    // of the piece before.
    if (along > 0.0f && made < pieces) {
        code.push_back(codeFromDeltaPos(lastPieceY, lastPieceX));
    }
    return code.size() == pieces;
}

void GestureRecognitionProcessor::stopLearning(vnx_CursorGesture_StatusType_e* statusType,
                                               vnx_CursorGesture_LearningSuccessData_s* data)
{
    const uint32_t trajectories = trajectoryCount_;
    const auto length = static_cast<std::size_t>(codeLength_ > 0 ? codeLength_ : 0);
    if (trajectories == 0) {
        *statusType = VNX_CURSOR_GESTURE_LEARNING_FAILED;
        return;
    }
    // The record carries the first 63 digits; the learned code keeps all.
    auto storeDigit = [&](std::size_t position, uint8_t digit) {
        if (position < VNX_CURSOR_GESTURE_MAX_LEARNED_DIGITS) {
            data->digits[position] = digit;
        }
        learnedCode_.push_back(static_cast<float>(digit));
    };
    if (trajectories == 1) {
        *statusType = VNX_CURSOR_GESTURE_LEARNING_SUCCESS;
        const std::vector<float>& only = trajectories_[0];
        for (std::size_t k = 0; k < length && k < only.size(); ++k) {
            storeDigit(k, directionDigit(only[k]));
        }
        data->codeLength = static_cast<uint8_t>(codeLength_);
        data->quality = 100.0f;
        return;
    }

    // Pairwise costs; each trajectory's sum measures how far it lies from the
    // others.
    pairCosts_.resize(static_cast<std::size_t>(trajectories) * trajectories);
    auto pairCost = [&](uint32_t i, uint32_t j) -> double& {
        return pairCosts_[std::size_t(i) * trajectories + j];
    };
    std::array<double, kMaxTrajectories> sums{};
    std::array<bool, kMaxTrajectories> included{};
    for (uint32_t i = 0; i < trajectories; ++i) {
        included[i] = true;
        for (uint32_t j = 0; j < trajectories; ++j) {
            pairCost(i, j) = costProcess(trajectories_[i], trajectories_[j]);
            sums[i] += pairCost(i, j);
        }
    }
    uint32_t worst = 0;
    double worstSum = 0.0;
    auto findWorst = [&] {
        worst = 0;
        worstSum = 0.0;
        for (uint32_t i = 0; i < trajectories; ++i) {
            if (included[i] && sums[i] > worstSum) {
                worst = i;
                worstSum = sums[i];
            }
        }
    };
    findWorst();
    uint32_t remaining = trajectories;
    const auto passes = static_cast<uint32_t>(kMaxOutlierShare * trajectories);
    for (uint32_t pass = 0; pass < passes; ++pass) {
        if (worstSum / (remaining - 1) <= kOutlierCost) {
            break;
        }
        included[worst] = false;
        --remaining;
        for (uint32_t j = 0; j < trajectories; ++j) {
            if (included[j]) {
                sums[j] -= pairCost(j, worst);
            }
        }
        findWorst();
    }
    if (worstSum / (remaining - 1) >= kInconsistentCost) {
        print("Gesture inputs are NOT consistent!");
        *statusType = VNX_CURSOR_GESTURE_LEARNING_FAILED;
        return;
    }

    *statusType = VNX_CURSOR_GESTURE_LEARNING_SUCCESS;
    for (std::size_t k = 0; k < length; ++k) {
        // Circular mean of the included values at this position.
        float sumCos = 0.0f;
        float sumSin = 0.0f;
        for (uint32_t t = 0; t < trajectories; ++t) {
            if (included[t] && k < trajectories_[t].size()) {
                const double angle =
                    (trajectories_[t][k] - 1.0) * vnx::gesture::kSector - vnx::gesture::kHalfTurn;
                sumCos += static_cast<float>(std::cos(angle));
                sumSin += static_cast<float>(std::sin(angle));
            }
        }
        storeDigit(k, directionDigit(codeFromDeltaPos(sumSin, sumCos)));
    }
    double worstCost = 0.0;
    for (uint32_t t = 0; t < trajectories; ++t) {
        if (included[t]) {
            worstCost = std::max(worstCost, costProcess(trajectories_[t], learnedCode_));
        }
    }
    data->codeLength = static_cast<uint8_t>(codeLength_);
    data->quality = static_cast<float>((1.0 - worstCost) * 100.0);
}

void GestureRecognitionProcessor::updateGestureLibrary(int32_t& userCounter)
{
    const Gesture* known = nullptr;
    double best = 1.0;
    for (const Gesture& gesture : library_) {
        const double cost = costProcess(learnedCode_, gesture.getCode());
        if (cost < best) {
            best = cost;
            if (cost < kKnownGestureCost) {
                known = &gesture;
            }
        }
    }
    if (known != nullptr) {
        std::printf("User input matched to %s with %5.1f %%, not saved.\n", known->getName().c_str(),
                    (1.0 - best) * 100.0);
        return;
    }
    if (userCounter >= kMaxUserGestures) {
        print("Max number of customized gestures reached. Can not save new gesture code.\n");
        return;
    }
    ++userCounter;
    Gesture learned("User " + std::to_string(userCounter), "", " ");
    learned.setCode(learnedCode_);
    library_.push_back(learned);
    std::printf("New code %s is saved to library.\n", learned.getName().c_str());
}
