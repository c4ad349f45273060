#include "gyroBias/ZroKfMin.h"

#include "common/NodeManager.h"

namespace vnx {

namespace {

constexpr float kUnknown = 2147483648.0f;     // 2^31
constexpr float kMaxGain = 0.99999988f;       // 1 - 2^-23: an update never forgets the prior entirely
constexpr float kMinVariance = 3.7252903e-9f; // 2^-28
// Start phase: a gain above this is held here, so early samples cannot pull
// the estimate all the way; below it the 1/n weight keeps the gain up.
constexpr float kStartGainCap = 0.149f;
// An innovation beyond 4 sigma shrinks the start-phase gain by 16 P / e^2.
constexpr float kOutlierSigmaSq = 16.0f;
// A window spread above this (rad/s) is motion, not noise, and the
// disturbance test does not apply.
constexpr float kQuietSpread = 0.14f;
// Acceleration variance ((m/s^2)^2) of the companion axis that marks the
// rate of this axis as disturbed.
constexpr float kDisturbedAccVar = 0.0625f;

bool isUntrustedRestoreState(std::uint32_t state)
{
    switch (state) {
    case 5:
    case 7:
    case 11:
    case 17:
    case 18:
    case 19:
        return true;
    default:
        return false;
    }
}

} // namespace

ZroKfMin::ZroKfMin(KfRole_e role) : role_(role)
{
    NodeManager::getInstance().addNode(this, &confidence_, NodeInterface::NODE_SUBNODE,
                                       "EvaluateRsZroConvergeConfidence");
}

ZroKfMin::~ZroKfMin()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(&confidence_));
}

ZroKfMin& ZroKfMin::operator=(const ZroKfMin& other)
{
    if (this == &other)
        return *this;
    phase_ = other.phase_;
    confidence_ = other.confidence_;
    x_ = other.x_;
    p_ = other.p_;
    return *this;
}

void ZroKfMin::restart(const StaticCalConstants_t& constants)
{
    phase_ = KF_PHASE_START;
    for (int c = 0; c < 3; ++c) {
        x_[c] = Fp32(0.0f);
        p_[c] = constants.rFloor[c];
    }
}

void ZroKfMin::init(const FixedPointCal::Output& cal, const StaticCalConstants_t& constants)
{
    rsChannels_ = constants.rsChannels;
    confidence_.init(cal, rsChannels_);
    restart(constants);
}

void ZroKfMin::addPDueToPowerGap(Fp32 v)
{
    if (phase_ != KF_PHASE_START)
        return;
    for (int c = 0; c < rsChannels_; ++c)
        p_[c] += v;
}

void ZroKfMin::restoreFrom(const dcdAlg4MinFixedInnards_s& innards)
{
    phase_ = KF_PHASE_RESTORED;
    for (int c = 0; c < rsChannels_; ++c) {
        x_[c] = Fp32(innards.zro[c]);
        p_[c] = Fp32(innards.zroVariance[c]);
    }
}

void ZroKfMin::setDcd(const FixedPointCal::Output& cal, const StaticCalConstants_t& constants,
                      const dcdAlg4MinFixedInnards_s& innards)
{
    rsChannels_ = constants.rsChannels;
    confidence_.init(cal, rsChannels_);
    switch (role_) {
    case KF_ROLE_MAIN:
    case KF_ROLE_CHECK_RESTORED:
        restoreFrom(innards);
        break;
    case KF_ROLE_CHECK:
        // States reached before "Check" had converged: its stored offset is
        // no second opinion, so it learns again.
        if (isUntrustedRestoreState(innards.state)) {
            restart(constants);
        } else {
            restoreFrom(innards);
        }
        break;
    case KF_ROLE_CHECK2:
        break;
    }
}

void ZroKfMin::getDcd(dcdAlg4MinFixedInnards_s& innards) const
{
    for (int c = 0; c < rsChannels_; ++c) {
        if (role_ == KF_ROLE_MAIN) {
            innards.zro[c] = x_[c].value();
            innards.zroVariance[c] = p_[c].value();
            innards.zro2[c] = x_[c].value();
        } else if (role_ == KF_ROLE_CHECK) {
            innards.zro2[c] = x_[c].value();
        }
    }
}

void ZroKfMin::calcRsVar(const TimeVaryingConstants_t& tv, const Vector3& r, const Vector3& d,
                         const CalcPeak2Peak::Output& stats, Vector3& rVar, bool* skip) const
{
    const Fp32 unknown(kUnknown);
    if (!stats.valid) {
        for (int c = 0; c < 3; ++c) {
            skip[c] = false;
            rVar[c] = unknown;
        }
        return;
    }
    for (int c = 0; c < rsChannels_; ++c) {
        skip[c] = false;
        const Fp32 s = stats.spread[c];
        Fp32 v;
        if (phase_ == KF_PHASE_START) {
            v = Fp32(0.5f) * s;
        } else {
            const Fp32 e = abs(r[c] - x_[c]);
            if (phase_ == KF_PHASE_RESTORED && e > tv.zroSpan) {
                // A restored offset far from the rate: inflate R with the
                // distance, and beyond the outlier limit do not update at all.
                v = e < tv.outlierLimit ? s + e * e * tv.invZroSpan : unknown + e;
            } else {
                v = s + e;
            }
        }
        if (v < unknown) {
            rVar[c] = v * v;
            if (s <= Fp32(kQuietSpread)) {
                // Rotation about y shows as acceleration along z and back:
                // a shaken companion axis means this rate is not at rest.
                const int axis = rsAxisOfChannel(c, rsChannels_);
                const Fp32 companion = axis == 1 ? d[2] : (axis == 2 ? d[1] : Fp32(0.0f));
                if (axis != 0 && companion > Fp32(kDisturbedAccVar))
                    skip[c] = true;
            }
        } else {
            rVar[c] = unknown;
            skip[c] = true;
        }
        rVar[c] = max(rVar[c], tv.rFloor[c]);
    }
}

Fp32 ZroKfMin::computeKalmanGain(Fp32 p, Fp32 rVar)
{
    const Fp32 total = p + rVar;
    if (total == Fp32(0.0f))
        return Fp32(kMaxGain);
    return min(p / total, Fp32(kMaxGain));
}

void ZroKfMin::updateWithConstraint(const TimeVaryingConstants_t& tv, const Vector3& r, const Vector3& w,
                                    const Vector3& rVar, const bool* skip)
{
    const Fp32 zero(0.0f);
    for (int c = 0; c < rsChannels_; ++c) {
        const Fp32 e = r[c] - x_[c];
        Fp32 p = p_[c] + (skip[c] ? zero : tv.qPerSample);
        Fp32 k;
        switch (phase_) {
        case KF_PHASE_START: {
            const Fp32 g = max(w[c], tv.weightFloor);
            p = max(p, tv.pFloorPhase1);
            k = computeKalmanGain(p, rVar[c]);
            const Fp32 e2 = e * e;
            if (e2 > Fp32(kOutlierSigmaSq) * p)
                k = Fp32(kOutlierSigmaSq) * p * k / e2;
            k = k >= Fp32(kStartGainCap) ? Fp32(kStartGainCap) : max(k, g);
            break;
        }
        case KF_PHASE_RESTORED:
            p += skip[c] ? zero : tv.qPhase2;
            k = computeKalmanGain(p, rVar[c]);
            break;
        case KF_PHASE_RUNNING:
        default:
            // Comparisons written so that an unordered cap (NaN) leaves the
            // value as it is.
            if (tv.pCapPhase3 < p)
                p = tv.pCapPhase3;
            k = computeKalmanGain(p, rVar[c]);
            if (tv.gainCapPhase3 < k)
                k = tv.gainCapPhase3;
            k = max(k, tv.gainFloor);
            break;
        }
        x_[c] += k * e;
        p = (Fp32(1.0f) - k) * p;
        p_[c] = p < Fp32(kMinVariance) ? Fp32(kMinVariance) : p;
    }
}

std::uint8_t ZroKfMin::updatePhase()
{
    const std::uint8_t level = confidence_.get();
    if (level != 0)
        phase_ = KF_PHASE_RUNNING;
    return level;
}

void ZroKfMin::processNormal(const TimeVaryingConstants_t& tv, const Vector3& /*xRef*/, const Vector3& r,
                             const Vector3& d, const Vector3& w, const CalcPeak2Peak::Output& stats)
{
    Vector3 rVar{};
    bool skip[3] = {false, false, false};
    calcRsVar(tv, r, d, stats, rVar, skip);
    updateWithConstraint(tv, r, w, rVar, skip);
    confidence_.process(r, x_, role_);
    updatePhase();
}

void ZroKfMin::processBeforeBuffersAreFull(const TimeVaryingConstants_t& /*tv*/, const Vector3& xRef,
                                           const Vector3& r, const Vector3& w, Fp32 varianceLimit,
                                           RsMoveAverage& average, bool moved)
{
    Vector3 spread{};
    average.processWithStats(r, w, x_, spread);
    for (int c = 0; c < rsChannels_; ++c) {
        if (moved || spread[c] * spread[c] > Fp32(4.0f) * varianceLimit) {
            // The device moved: the running mean is no offset.
            p_[c] = varianceLimit;
            x_[c] = xRef[c];
        } else {
            const Fp32 half = Fp32(0.5f) * spread[c];
            p_[c] = max(half * half, Fp32(kMinVariance));
        }
    }
}

void ZroKfMin::processRefused(const Vector3& r)
{
    confidence_.process(r, x_, role_);
    updatePhase();
}

void ZroKfMin::discardStart(const Vector3& xRef, Fp32 variance)
{
    if (phase_ != KF_PHASE_START)
        return;
    for (int c = 0; c < rsChannels_; ++c) {
        x_[c] = xRef[c];
        p_[c] = variance;
    }
}

void ZroKfMin::processDeviceOnTable(const TimeVaryingConstants_t& tv, bool consistent, const Vector3& m)
{
    const std::uint8_t level = confidence_.get();
    if (consistent) {
        if (level == 0)
            for (int c = 0; c < rsChannels_; ++c)
                x_[c] = m[c];
        confidence_.set(static_cast<std::uint8_t>(level + 1));
    } else {
        for (int c = 0; c < rsChannels_; ++c) {
            x_[c] = m[c];
            p_[c] = tv.pOnTable[c];
        }
        switch (role_) {
        case KF_ROLE_MAIN:
            confidence_.set(1);
            break;
        case KF_ROLE_CHECK:
            confidence_.set(0);
            phase_ = KF_PHASE_RESTORED;
            break;
        case KF_ROLE_CHECK2:
            confidence_.set(0);
            phase_ = KF_PHASE_START;
            break;
        case KF_ROLE_CHECK_RESTORED:
            break;
        }
    }
    updatePhase();
}

void ZroKfMin::isZroConsistent(const TimeVaryingConstants_t& tv, const Vector3& m, bool& consistent,
                               Vector3& difference) const
{
    consistent = true;
    for (int c = 0; c < 3; ++c) {
        difference[c] = Fp32(0.0f);
        if (c >= rsChannels_)
            continue;
        difference[c] = abs(m[c] - x_[c]);
        if (!(difference[c] <= tv.consistencyLimit))
            consistent = false;
    }
}

void ZroKfMin::saturateZro(const TimeVaryingConstants_t& /*tv*/, Vector3& /*offset*/) const {}

} // namespace vnx
