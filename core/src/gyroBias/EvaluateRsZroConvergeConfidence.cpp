#include "gyroBias/EvaluateRsZroConvergeConfidence.h"

#include <cmath>

namespace vnx {

namespace {

// Squared distance (summed over channels, (rad/s)^2) under which an update
// counts as close. A restored "Check" is judged more loosely.
constexpr float kCloseLimit = 0.00026f;
constexpr float kCloseLimitRestored = 0.0006f;

// Close-update counts for levels 1, 2 and 3, in updates at 125 Hz.
constexpr float kLevelUpdatesAt125Hz[3] = {6.5f, 10.5f, 30.0f};

} // namespace

EvaluateRsZroConvergeConfidence&
EvaluateRsZroConvergeConfidence::operator=(const EvaluateRsZroConvergeConfidence& other)
{
    count_ = other.count_;
    level_ = other.level_;
    for (int i = 0; i < 3; ++i)
        threshold_[i] = other.threshold_[i];
    return *this;
}

void EvaluateRsZroConvergeConfidence::init(const FixedPointCal::Output& cal, std::uint8_t rsChannels)
{
    count_ = 0;
    level_ = 0;
    rsChannels_ = clampRsChannels(rsChannels);
    const float periodsPer125Hz = 125.0f * cal.period;
    for (int i = 0; i < 3; ++i) {
        const float t = std::floor(kLevelUpdatesAt125Hz[i] / periodsPer125Hz + 0.5f);
        threshold_[i] = t >= 4294967295.0f ? 0xFFFFFFFFu : (t > 0.0f ? static_cast<std::uint32_t>(t) : 0u);
    }
}

void EvaluateRsZroConvergeConfidence::process(const qdVectorFixed::Vector3& r,
                                              const qdVectorFixed::Vector3& x, KfRole_e role)
{
    Fp32 q(0.0f);
    for (int c = 0; c < rsChannels_; ++c) {
        const Fp32 e = r[c] - x[c];
        q += e * e;
    }
    const Fp32 limit(role == KF_ROLE_CHECK_RESTORED ? kCloseLimitRestored : kCloseLimit);
    // Saturates rather than wrapping back to "not close" after 2^32 updates.
    if (q < limit) {
        if (count_ != 0xFFFFFFFFu)
            ++count_;
    } else {
        count_ = 0;
    }

    if (count_ >= threshold_[2]) {
        level_ = 3;
    } else if (count_ >= threshold_[1]) {
        if (level_ < 2)
            level_ = 2;
    } else if (count_ >= threshold_[0]) {
        if (level_ < 1)
            level_ = 1;
    }

    switch (role) {
    case KF_ROLE_CHECK_RESTORED:
        if (level_ >= 2)
            level_ = 1;
        break;
    case KF_ROLE_CHECK2:
        if (level_ != 3)
            level_ = 0;
        break;
    case KF_ROLE_CHECK:
        if (level_ == 1)
            level_ = 0;
        break;
    case KF_ROLE_MAIN:
        break;
    }
}

} // namespace vnx
