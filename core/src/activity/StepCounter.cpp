#include "activity/StepCounter.h"

#include <cmath>
#include <cstdlib>

#include "common/NodeManager.h"

namespace vnx::activity {

namespace {

constexpr int kMaxRecorded = 8;
constexpr int kRecomputeBelow = 5; ///< intervals before the total grows one step at a time
constexpr int kCorrectionAt = 7;   ///< intervals at the one-time correction

std::int32_t distance(std::int32_t a, std::int32_t b)
{
    return std::abs(a - b);
}

} // namespace

StepCounter::~StepCounter()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

void StepCounter::init(const vnx_StepCounterConfig_s& config)
{
    config_ = config;
    toleranceSamples_ = 0;
    minIntervalSamples_ = 0;
    for (int k = 0; k < kHistory; ++k) {
        intervals_[k] = 0;
        confirmed_[k] = 0;
    }
    recorded_ = 0;
    total_ = 0;
}

void StepCounter::setSamplePeriod(float dtS)
{
    toleranceSamples_ = static_cast<std::int32_t>(std::floor(config_.toleranceS / dtS));
    minIntervalSamples_ = static_cast<std::int32_t>(std::floor(config_.minIntervalS / dtS));
}

bool StepCounter::agree(std::int32_t a, std::int32_t b) const
{
    return distance(a, b) < toleranceSamples_;
}

void StepCounter::steadyFlags(int* f) const
{
    const std::int32_t* I = intervals_;
    const std::int32_t T = toleranceSamples_;
    const std::int32_t M = minIntervalSamples_;
    f[4] = I[4] > M && agree(I[4], I[6]) && agree(I[4], I[2]);
    // A step whose own neighbours disagree may still sit in a rhythm that
    // holds on one side of it.
    if (I[4] > M && !(distance(I[4], I[2]) <= T && distance(I[6], I[4]) <= T)) {
        f[4] =
            (agree(I[2], I[0]) && agree(I[3], I[1]) && I[0] > M) || (agree(I[6], I[8]) && agree(I[5], I[7]));
    }
}

void StepCounter::warmUpFlags(int* f) const
{
    const std::int32_t* I = intervals_;
    const std::int32_t T = toleranceSamples_;
    const std::int32_t M = minIntervalSamples_;
    const bool early = I[0] <= M || !agree(I[3], I[1]) || !agree(I[2], I[0]);
    for (int k = 2; k <= 6; ++k) {
        const std::int32_t x = I[k];
        const std::int32_t before = I[k - 2];
        const std::int32_t after = I[k + 2];
        f[k] = agree(x, after) && agree(x, before) && x > M;
        if ((k == 2 || k == 3) && before > M) {
            f[k - 2] = agree(x, before);
            f[k] = agree(x, after);
        }
        if ((k == 5 || k == 6) && x > M) {
            f[k + 2] = agree(x, after);
            f[k] = agree(x, before) && before > M;
        }
        if (k == 4 && x > M && (distance(x, I[2]) > T || distance(I[2], I[0]) > T)) {
            f[4] = !(early && (distance(I[6], I[8]) >= T || distance(I[5], I[7]) >= T));
        }
    }
}

std::int32_t StepCounter::process(std::int32_t intervalSamples)
{
    for (int k = 0; k + 1 < kHistory; ++k)
        intervals_[k] = intervals_[k + 1];
    intervals_[kHistory - 1] = intervalSamples + 1;
    if (recorded_ < kMaxRecorded)
        ++recorded_;

    int f[kHistory] = {};
    if (intervals_[0] >= 1)
        steadyFlags(f);
    else
        warmUpFlags(f);

    const std::int32_t previous = total_;
    if (recorded_ < kRecomputeBelow) {
        total_ = 1;
        for (int k = 0; k < kHistory; ++k)
            total_ += f[k];
    } else {
        total_ += f[4];
        for (int k = 0; k + 1 < kHistory; ++k)
            confirmed_[k] = confirmed_[k + 1];
        confirmed_[kHistory - 1] = static_cast<std::uint8_t>(f[4]);
    }
    if (recorded_ == kCorrectionAt && f[6] + f[7] + f[8] > 1)
        total_ += 3 - (f[2] + f[3] + f[4] + f[5]);
    return total_ - previous;
}

int StepCounter::rank() const
{
    return confirmed_[kHistory - 3] + confirmed_[kHistory - 2] + confirmed_[kHistory - 1];
}

float StepCounter::averagePeriod() const
{
    const std::int32_t* I = intervals_;
    return static_cast<float>(I[kHistory - 3] + I[kHistory - 2] + I[kHistory - 1]) / 3.0f;
}

} // namespace vnx::activity
