#include "calibration/rawConversion.h"

namespace vnx {

using qdVectorFixed::Vector3;

namespace {

constexpr float kTemperatureLimitDegC = 255.99f;

Vector3 toVector(const RawTriple& raw)
{
    return {Fp32(raw[0]), Fp32(raw[1]), Fp32(raw[2])};
}

/// Limits each component to [-2^31, 2^31] (NaN to 2^31).
Vector3 saturated(Vector3 v)
{
    for (int i = 0; i < 3; ++i)
        v[i] = Fp32(v[i].value());
    return v;
}

} // namespace

bool isRawAtRangeEnd(const RawTriple& raw)
{
    for (std::int16_t v : raw)
        if (v == INT16_MAX || v == INT16_MIN)
            return true;
    return false;
}

Vector3 accFromRaw(const FixedPointCal::Output& cal, const RawTriple& raw)
{
    Vector3 b;
    for (int i = 0; i < 3; ++i) {
        const Fp32 a = Fp32(raw[i]) >> 15; // full-scale units, exact
        b[i] = a + cal.accOffset[i];
        if (cal.hasAccNonlinear) {
            const Fp32 a2 = a * a;
            b[i] += cal.accSecondOrder[i] * a2;
            b[i] += cal.accThirdOrder[i] * (a2 * a);
        }
    }
    return applyScdMatrix(cal.accMatrix, b);
}

Vector3 rsFromRaw(const FixedPointCal::Output& cal, const RawTriple& raw, const Vector3& accMps2)
{
    Vector3 x = toVector(raw) + cal.rsOffset;
    if (cal.hasRsAccSens)
        x += applyScdMatrix(cal.rsAccSensMatrix, accMps2);
    return saturated(applyScdMatrix(cal.rsMatrix, x));
}

Fp32 tempFromRaw(const FixedPointCal::Output& cal, std::int16_t raw)
{
    const float t = (static_cast<float>(raw) - cal.tempOffset) * cal.tempScale;
    if (t >= -kTemperatureLimitDegC)
        return t <= kTemperatureLimitDegC ? t : kTemperatureLimitDegC;
    return t < -kTemperatureLimitDegC ? -kTemperatureLimitDegC : kTemperatureLimitDegC; // NaN: upper
}

Vector3 magFromRaw(const FixedPointCal::Output& cal, const RawTriple& raw)
{
    if (isRawAtRangeEnd(raw))
        return {Fp32::kMin, Fp32::kMin, Fp32::kMin};
    return saturated(applyScdMatrix(cal.magMatrix, toVector(raw) + cal.magOffset));
}

} // namespace vnx
