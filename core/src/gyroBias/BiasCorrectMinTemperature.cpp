#include <cmath>

#include "gyroBias/BiasCorrectMin.h"

namespace vnx {

namespace {

constexpr float kUnknown = 2147483648.0f; // 2^31
constexpr float kNoTemperature = VNX_DCD_NO_TEMPERATURE;
constexpr float kUsToS = 1e-6f;
// Without temperature input a pause is assumed to have warmed or cooled the
// device by 0.125 degC per second, 12.5 degC at most.
constexpr float kAssumedRateDegCPerS = 0.125f;
constexpr float kAssumedMaxChangeDegC = 12.5f;
// A falling temperature rate follows the measurement slowly; device kind
// flag 8 makes it slower still.
constexpr float kRateDecay = 0.25f;
constexpr float kRateDecaySlow = 0.0625f;
constexpr std::uint16_t kKindSlowRateDecay = 8;

/// Gap in seconds; gaps above 2^31 us are converted before they enter the
/// saturating value type.
Fp32 gapSeconds(std::uint32_t gapUs)
{
    return Fp32(static_cast<float>(gapUs) * kUsToS);
}

enum TemperatureMode_e : std::int32_t
{
    TEMPERATURE_START = 0,
    TEMPERATURE_RESTORED = 1,
    TEMPERATURE_RESTORED_VALID = 2,
    TEMPERATURE_RATE_KNOWN = 3,
    TEMPERATURE_NO_INPUT = 4
};

} // namespace

void BiasCorrectMin::predictDeltaTUsingSampleGap(std::uint32_t gap)
{
    referenceTemperature_ = min(gapSeconds(gap) * Fp32(kAssumedRateDegCPerS), Fp32(kAssumedMaxChangeDegC));
}

Fp32 BiasCorrectMin::predictZROTEffect(std::uint32_t gap) const
{
    const Fp32 change = min(gapSeconds(gap) * Fp32(kAssumedRateDegCPerS), Fp32(kAssumedMaxChangeDegC));
    return change * Fp32(cal_->zroTempCoef);
}

void BiasCorrectMin::updateTemperature(Fp32 temperatureDegC, const CalcPeak2Peak::Output& stats)
{
    if (isNoTInput()) {
        temperatureMode_ = TEMPERATURE_NO_INPUT;
        currentTemperature_ = Fp32(0.0f);
        return;
    }
    ++updateCount_;
    TemperatureFilt::Output filtered;
    temperatureFilt_.process(temperatureDegC, 0, filtered);
    currentTemperature_ = filtered.temperature;

    if (temperatureMode_ == TEMPERATURE_RESTORED) {
        if (!stats.valid)
            return;
        temperatureMode_ = TEMPERATURE_RESTORED_VALID;
    } else {
        const float oneSecond = std::floor(cal_->rate);
        if (static_cast<float>(updateCount_) < oneSecond)
            return;
        if (lastTemperature_ != Fp32(kNoTemperature)) {
            temperatureMode_ = TEMPERATURE_RATE_KNOWN;
            const Fp32 change = abs(lastTemperature_ - currentTemperature_);
            const Fp32 span = Fp32(static_cast<float>(updateCount_)) * Fp32(cal_->period);
            const Fp32 measured = change > Fp32(kUnknown) * span ? Fp32(kUnknown) : change / span;
            if (measured < temperatureRate_ && temperatureRate_ != Fp32(kAssumedRateDegCPerS)) {
                const Fp32 decay((cal_->deviceKind & kKindSlowRateDecay) ? kRateDecaySlow : kRateDecay);
                temperatureRate_ = temperatureRate_ - (temperatureRate_ - measured) * decay;
            } else {
                temperatureRate_ = measured;
            }
            temperatureRate_ = max(temperatureRate_, constants_.tempRateFloor);
        }
    }
    lastTemperature_ = currentTemperature_;
    updateCount_ = 0;
}

} // namespace vnx
