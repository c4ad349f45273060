#include "calibration/FixedPointCal.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "calibration/rawConversion.h"
#include "calibration/scdPeriod.h"
#include "common/statusCode.h"

namespace vnx {

using qdVectorFixed::Matrix3;
using qdVectorFixed::Vector3;

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
/// Terms below this are read as "not calibrated".
constexpr float kZroTermFloor = 3e-7f;

/// Magnetometer scale of the variants without a stored magnetometer matrix.
constexpr float kMagScale = 0.0016666667f;
static_assert(std::bit_cast<std::uint32_t>(kMagScale) == 0x3ADA740Eu);

/// Variant whose SCD carries a magnetometer matrix and offset in the slots of
/// the gyro acceleration sensitivity and the accelerometer third-order terms.
constexpr std::int32_t kVariantStoredMag = 24601;

/// One production batch was calibrated with wrong accelerometer noise and
/// offset-uncertainty terms. An SCD carrying exactly these five values gets
/// the corrected ones (the SCD itself is left as it is).
constexpr float kFaultyNoise[3] = {63.1446f, 99.3907f, 84.5787f};
constexpr float kFaultyInitSigma = 1.1001753f;
constexpr float kFaultyAging = 0.0036669367f;
constexpr float kCorrectedNoise[3] = {75.715897f, 121.98770f, 115.3635f};
constexpr float kCorrectedInitSigma = 0.09583166f;
constexpr float kCorrectedAging = 0.00039929643f;
static_assert(std::bit_cast<std::uint32_t>(kCorrectedNoise[0]) == 0x42976E8Au);
static_assert(std::bit_cast<std::uint32_t>(kCorrectedNoise[1]) == 0x42F3F9B4u);

/// Full-scale magnitudes stay strictly below 2^31, the "unknown" mark.
constexpr float kFullScaleLimit = 2147483520.0f; // largest float below 2^31
static_assert(kFullScaleLimit < 2147483648.0f);

// Constants of the default (uncalibrated) zero-rate-offset model.
constexpr float kDefaultNominalSigma = 1.2f;
constexpr float kDefaultMinTerm = 0.00421f;
constexpr float kDefaultTempCoef = 0.0123f;
constexpr float kDefaultAgingRate = 3.6669e-5f;
constexpr float kDefaultInitSigma = 1.1f;
constexpr float kMinTempCoef = 0.00024414063f; // 2^-12
constexpr float kDefaultNominalLevel = 0.02f;

constexpr float kDefaultRsStableParam = 0.003f;
constexpr float kDefaultRsNoise = 0.01f;
constexpr float kDefaultAccNoise = 0.098f;

/// Truncation toward zero that is defined for every float: NaN gives 0,
/// values beyond the int32 range give its ends.
std::int32_t truncToInt32(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483648.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

/// A float count as a 16-bit raw sample, saturated (NaN gives 0).
std::int16_t toRawCount(float v)
{
    const std::int32_t t = truncToInt32(v);
    if (t > INT16_MAX)
        return INT16_MAX;
    if (t < INT16_MIN)
        return INT16_MIN;
    return static_cast<std::int16_t>(t);
}

Vector3 vec3(const float (&v)[3])
{
    return {Fp32(v[0]), Fp32(v[1]), Fp32(v[2])};
}

Matrix3 mat3(const float (&m)[9])
{
    Matrix3 out;
    for (int k = 0; k < 9; ++k)
        out[k] = Fp32(m[k]);
    return out;
}

template <int N> bool anyAbove(const Fp32 (&e)[N], float limit)
{
    for (const Fp32& v : e)
        if (std::fabs(v.value()) > limit)
            return true;
    return false;
}

/// Per output axis j: sqrt(sum over i of (m[3i + j] * noise_i)^2).
Vector3 noiseThrough(const Matrix3& m, const float (&noise)[3], float noiseScale)
{
    Vector3 out;
    for (int j = 0; j < 3; ++j) {
        float sum = 0.0f;
        for (int i = 0; i < 3; ++i) {
            const float t = m[3 * i + j].value() * (noise[i] * noiseScale);
            sum += t * t;
        }
        out[j] = std::sqrt(sum);
    }
    return out;
}

float limitedFullScale(const Vector3& v)
{
    const float len = v.norm().value();
    return len < kFullScaleLimit ? len : kFullScaleLimit; // NaN too
}

void setDefaultMagMatrix(Matrix3& m, std::int32_t variant)
{
    const Fp32 c = kMagScale;
    switch (variant) {
    case 2:
        m[0] = -c;
        m[4] = -c;
        m[8] = -c;
        break;
    case 3:
    case 4:
        m[1] = -c;
        m[3] = -c;
        m[8] = -c;
        break;
    case 5:
        m[1] = c;
        m[3] = c;
        m[8] = -c;
        break;
    case 6:
        m[0] = c;
        m[4] = -c;
        m[8] = -c;
        break;
    case 7:
        m[1] = -c;
        m[3] = c;
        m[8] = c;
        break;
    default:
        m[0] = c;
        m[4] = c;
        m[8] = c;
        break;
    }
}

} // namespace

float FixedPointCal::getPeriod(const scdGen4FloatInnards_s& innards)
{
    return scdSamplePeriodS(innards);
}

int FixedPointCal::verifyAndInit(const vnx_scdData_s* scd)
{
    // The block's own size word is all that is known of its length.
    return verifyAndInit(acceptScd(scd, SIZE_MAX));
}

int FixedPointCal::verifyAndInit(const AcceptedScd& scd)
{
    if (!scd.valid())
        return VNX_STATUS_INVALID_SCD;
    out_.scdCrc = scd.crc();
    return init(*scd.innards());
}

int FixedPointCal::init(const scdGen4FloatInnards_s& in)
{
    Output& o = out_;
    const bool hasFormatWord = in.formatWord == VNX_SCD_FORMAT_WORD;

    o.deviceKind = static_cast<std::uint16_t>(truncToInt32(in.deviceKind));
    o.period = getPeriod(in);
    o.rate = 1.0f / o.period;
    const float stable = hasFormatWord && in.rsStableParam != 0.0f ? in.rsStableParam : kDefaultRsStableParam;
    o.rsStableParam = {stable, stable, stable};
    o.isNominalCal = false;
    o.nominalLevel = 0.0f; // not left over from an earlier SCD
    o.rsScaleErrorRatio = 0.015f;
    o.periodScale = 1.0f;

    float accNoiseRaw[3] = {in.accNoise[0], in.accNoise[1], in.accNoise[2]};
    float initSigmaTerm = in.zroInitSigma;
    float agingTerm = in.zroAging;
    if (accNoiseRaw[0] == kFaultyNoise[0] && accNoiseRaw[1] == kFaultyNoise[1] &&
        accNoiseRaw[2] == kFaultyNoise[2] && initSigmaTerm == kFaultyInitSigma && agingTerm == kFaultyAging) {
        for (int i = 0; i < 3; ++i)
            accNoiseRaw[i] = kCorrectedNoise[i];
        initSigmaTerm = kCorrectedInitSigma;
        agingTerm = kCorrectedAging;
    }

    o.variant = truncToInt32(in.variant);
    if (o.variant == 0)
        o.variant = o.period == 0.00875f ? 2 : 3;
    o.magMatrix = Matrix3::zeros();
    o.magOffset = Vector3::zeros();
    if (o.variant == kVariantStoredMag) {
        o.magMatrix = mat3(in.rsAccSensMatrix);
        o.magOffset = vec3(in.accThirdOrder);
        o.rsAccSensMatrix = Matrix3::zeros();
        o.accSecondOrder = Vector3::zeros();
        o.accThirdOrder = Vector3::zeros();
    } else {
        setDefaultMagMatrix(o.magMatrix, o.variant);
        o.accSecondOrder = vec3(in.accSecondOrder);
        o.accThirdOrder = vec3(in.accThirdOrder);
        o.rsAccSensMatrix = mat3(in.rsAccSensMatrix);
    }
    o.accOffset = vec3(in.accOffset);

    o.accMatrix = mat3(in.accMatrix);
    o.rsOffset = vec3(in.rsOffset);
    o.rsMatrix = mat3(in.rsMatrix);
    o.hasRsAccSens = anyAbove(o.rsAccSensMatrix.e, kEpsilon);
    // The third-order terms are only ever present together with second-order ones.
    o.hasAccNonlinear = anyAbove(o.accSecondOrder.e, kEpsilon);

    o.rsNoise = noiseThrough(o.rsMatrix, in.rsNoise, 1.0f);
    if (o.rsNoise[0] == 0.0f && o.rsNoise[1] == 0.0f && o.rsNoise[2] == 0.0f)
        o.rsNoise = {kDefaultRsNoise, kDefaultRsNoise, kDefaultRsNoise};
    o.accNoise = noiseThrough(o.accMatrix, accNoiseRaw, 1.0f / 32768.0f);
    for (int j = 0; j < 3; ++j)
        if (o.accNoise[j] == 0.0f)
            o.accNoise[j] = kDefaultAccNoise;

    o.tempScale = in.tempScale;
    o.tempOffset = in.tempOffset;
    o.tempNoise = in.tempNoise;
    float minTerm = std::fmin(std::fabs(in.zroTermA), std::fabs(in.zroTermB));
    if (o.deviceKind == 1)
        minTerm = std::fmin(minTerm, std::fabs(in.zroTermKind1));
    if (minTerm < kZroTermFloor) {
        o.zroNominalSigma = kDefaultNominalSigma;
        o.zroMinTerm = kDefaultMinTerm;
        o.zroTempCoef = kDefaultTempCoef;
        o.agingRate = kDefaultAgingRate;
        o.zroInitSigma = kDefaultInitSigma;
    } else {
        o.zroTempCoef = std::fmax(std::fmax(std::fabs(in.zroTempCoef[0]), std::fabs(in.zroTempCoef[1])),
                                  std::fmax(std::fabs(in.zroTempCoef[2]), kMinTempCoef));
        o.zroMinTerm = minTerm;
        if (in.nominalMarker < 0.0f) {
            o.isNominalCal = true;
            o.nominalLevel = in.nominalMarker > -1.0f ? -in.nominalMarker : kDefaultNominalLevel;
            const float nominalSigma = std::fabs(in.zroNominalSigma);
            o.zroNominalSigma = nominalSigma > kZroTermFloor ? nominalSigma : 0.0f;
            o.zroInitSigma = std::fabs(initSigmaTerm);
            o.agingRate = std::fabs(agingTerm) * 0.01f;
        } else {
            o.zroNominalSigma = std::fmax(std::fmax(std::fabs(in.zroNominalSigma), std::fabs(initSigmaTerm)),
                                          std::fabs(agingTerm));
            o.agingRate = kDefaultAgingRate;
            o.zroInitSigma = kDefaultInitSigma;
        }
    }

    o.accFullScale = limitedFullScale(accFromRaw(o, {INT16_MAX, 0, 0}));
    o.rsFullScale = limitedFullScale(rsFromRaw(o, {INT16_MAX, 0, 0}, Vector3::zeros()));
    const RawTriple magProbe = {toRawCount(4096.0f - std::floor(o.magOffset[0].value())),
                                toRawCount(-std::floor(o.magOffset[1].value())),
                                toRawCount(-std::floor(o.magOffset[2].value()))};
    o.magFullScale = limitedFullScale(magFromRaw(o, magProbe));
    return 0;
}

bool FixedPointCal::isNominal() const
{
    return out_.isNominalCal && out_.zroNominalSigma != 0.0f;
}

bool FixedPointCal::is9Axis() const
{
    return out_.magMatrix[0] != 0.0f || out_.magMatrix[4] != 0.0f || out_.magMatrix[8] != 0.0f;
}

void FixedPointCal::applyReorientation(const qdVectorFixed::Quaternion& q)
{
    Matrix3 r;
    q.asDcm(r);
    out_.accMatrix = out_.accMatrix * r;
    out_.rsAccSensMatrix = out_.rsAccSensMatrix * r;
    out_.rsMatrix = out_.rsMatrix * r;
    out_.magMatrix = out_.magMatrix * r;
}

} // namespace vnx
