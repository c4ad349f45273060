#include <cmath>

#include "gyroBias/ZroKfMin.h"
#include "gyroBias/windowRounding.h"

namespace vnx {

namespace {

constexpr float kTwoPowMinus24 = 5.9604645e-8f;
constexpr float kTwoPowMinus28 = 3.7252903e-9f;
constexpr float kSmallValue = 1.1920929e-7f;
constexpr float kOneOverPi = 0.31830987f;
constexpr float kUnknownTemperature = -256.0f;
// A gyroscope axis noisier than this (rad/s, as 5 sigma or 1.2 x the offset
// term) cannot judge table offsets by its noise: the nominal level is used.
constexpr float kQuietChannelLimit = 0.017f;

/// floor(v) as int32, clamped; NaN gives 0.
std::int32_t floorToInt32(float v)
{
    const float f = std::floor(v);
    if (!(f == f))
        return 0;
    if (f >= 2147483648.0f)
        return INT32_MAX;
    if (f <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<std::int32_t>(f);
}

Fp32 consistencyLimitOf(const FixedPointCal::Output& cal, int rsChannels, Fp32 nominalLevel)
{
    const Fp32 minTermSpan = Fp32(1.2f) * Fp32(cal.zroMinTerm);
    for (int c = 0; c < rsChannels; ++c) {
        const Fp32 h = max(minTermSpan, Fp32(5.0f) * abs(cal.rsNoise[rsAxisOfChannel(c, rsChannels)]));
        // A nominal level of 0 (no nominal calibration) would make every
        // table offset inconsistent and restart the learning at each one.
        if (h > Fp32(kQuietChannelLimit) && nominalLevel > Fp32(0.0f))
            return nominalLevel;
    }
    // Three times the noisiest axis, whatever the channel count; an unknown
    // (-2^31) noise counts as 2^31.
    return Fp32(3.0f) * cal.rsNoise.infNorm();
}

} // namespace

void ZroKfMin::StaticCalConstants_t::init(const FixedPointCal::Output& cal, std::uint8_t channels)
{
    rsChannels = clampRsChannels(channels);
    const Fp32 rate(cal.rate);
    const Fp32 nominalLevel(cal.nominalLevel);
    const Fp32 tempCoef(cal.zroTempCoef);

    pScale = Fp32(1.0f) / (Fp32(0.16f) * rate);
    for (int c = 0; c < 3; ++c) {
        rFloor[c] = pOnTable[c] = Fp32(0.0f);
        if (c >= rsChannels)
            continue;
        const Fp32 noise = cal.rsNoise[rsAxisOfChannel(c, rsChannels)];
        rFloor[c] = max(noise * noise, Fp32(kTwoPowMinus24));
        pOnTable[c] = rFloor[c] * pScale;
        if (rsChannels == 3)
            pOnTable[c] = max(pOnTable[c], Fp32(kTwoPowMinus28));
    }

    zroStep = min(Fp32(0.1f) * nominalLevel, Fp32(cal.zroMinTerm) / Fp32(2.0f));
    period1 = Fp32(1.0f) / rate;
    period2 = Fp32(2.0f) / rate;
    gainFloor = zroStep * Fp32(kOneOverPi) * period1;
    sqrtTwoPeriod = sqrt(Fp32(2.0f) * Fp32(cal.period));
    tempRateFloor = max(Fp32(cal.tempNoise) * sqrtTwoPeriod, Fp32(kSmallValue));

    driftPerPeriod8 = Fp32(8.0f) * nominalLevel * rate;
    gapSamples = floorToInt32((driftPerPeriod8 / tempCoef).value());
    // Without a nominal level the drift rule gives no threshold at all, and
    // every sample would count as a gap: treat pauses up to about one second
    // as plain samples instead.
    if (gapSamples == 0)
        gapSamples = floorToInt32(cal.rate);
    agingLimit = 0xFFFFFFFFu;
    consistencyLimit = consistencyLimitOf(cal, rsChannels, nominalLevel);
    rateSamples = roundWindowLength(cal.rate);

    nominalSq4 = (Fp32(2.0f) * nominalLevel) * (Fp32(2.0f) * nominalLevel);
    qNominal = Fp32(static_cast<double>(nominalSq4.value()) / (8.0 * static_cast<double>(cal.rate)));
    pFloorPhase1 = Fp32(0.01 / (static_cast<double>(cal.rate) - 1.0));
    weightFloor = period1 / Fp32(25.0f);
    nominalLevelA = nominalLevel;
    nominalLevelB = nominalLevel;
}

ZroKfMin::TimeVaryingConstants_t::TimeVaryingConstants_t(const FixedPointCal::Output& cal,
                                                         const StaticCalConstants_t& constants,
                                                         Fp32 tempChange, Fp32 tempRate, Fp32 aging,
                                                         std::uint32_t /*unused*/)
    : StaticCalConstants_t(constants)
{
    const Fp32 tempCoef(cal.zroTempCoef);
    const Fp32 zero(0.0f);
    const bool temperatureMoves = tempRate != zero;

    if (temperatureMoves) {
        const Fp32 driftPerS = tempRate * tempCoef + nominalLevelB;
        qPerSample = (driftPerS * period2) * (driftPerS * period2);
    } else {
        qPerSample = zero;
    }

    if (tempChange != Fp32(kUnknownTemperature)) {
        zroSpan = max(tempChange, Fp32(kSmallValue)) * tempCoef + aging;
    } else {
        zroSpan = Fp32(4.0f) * Fp32(cal.zroNominalSigma);
    }
    zroSpan = max(zroSpan, nominalLevelA);
    invZroSpan = Fp32(1.0f) / zroSpan;
    qPhase2 = (zroSpan * period1) * (zroSpan * period1) * Fp32(0.33333334f);
    outlierLimit = sqrt(Fp32(64.0f) * zroSpan);

    if (temperatureMoves) {
        // Samples the offset needs to move by the nominal level or by one
        // step at this temperature rate; without a nominal level n is 0 and
        // both caps fall away (infinite gain cap, unordered variance cap).
        const Fp32 n = min(min(Fp32(8.0f), nominalLevelA / (Fp32(2.0f) * tempRate * tempCoef)),
                           max(Fp32(4.0f), zroStep / (tempRate * tempCoef)));
        gainCapPhase3 = period1 / n;
        pCapPhase3 = gainCapPhase3 * nominalSq4;
    } else {
        gainCapPhase3 = gainFloor;
        pCapPhase3 = qNominal;
    }
}

} // namespace vnx
