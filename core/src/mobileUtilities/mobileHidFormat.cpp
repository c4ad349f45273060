#include "mobileUtilities/mobileHidFormat.h"

#include "common/statusCode.h"
#include "mobileUtilities/int16Conversion.h"
#include "mobileUtilities/internalFrame.h"
#include "mobileUtilities/mobileCompassHeading.h"
#include "mobileUtilities/mobileOrientationAngles.h"

namespace {

using vnx::mobile::truncateToInt16;

constexpr float kCentiGPerMs2 = 10.197162f; // 0.01 g per m/s^2
constexpr float kDeciDegPerRad = 572.9578f; // 0.1 deg per rad
constexpr float kDeciMicroTeslaPerUt = 10.0f;
constexpr float kDeciDegPerDeg = 10.0f;
constexpr float kQuaternionScale = 10000.0f;
constexpr int kDeciDegPerTurn = 3600;

void writeScaled(const float* v, float scale, int count, std::int16_t* words)
{
    for (int i = 0; i < count; ++i)
        words[i] = truncateToInt16(v[i] * scale);
}

/// The report's acceleration axes point the opposite way to the engine's.
void writeNegatedAcceleration(const float* v, std::int16_t* words)
{
    for (int i = 0; i < 3; ++i)
        words[i] = truncateToInt16(-(v[i] * kCentiGPerMs2));
}

/// Heading in 0.1 deg within [0, 3599].
std::int16_t headingWord(const float* q, std::int8_t& mode)
{
    float headingRad = 0.0f;
    vnx::mobile::CompassHeadingProcessRange0To2Pi(vnx::mobile::toInternalFrame(q[0], q[1], q[2], q[3]),
                                                  headingRad, mode);
    int deciDeg = truncateToInt16(vnx::mobile::roundHalfAwayFromZero(headingRad * kDeciDegPerRad));
    if (deciDeg > kDeciDegPerTurn - 1)
        deciDeg -= kDeciDegPerTurn;
    if (deciDeg < 0)
        deciDeg += kDeciDegPerTurn;
    return static_cast<std::int16_t>(deciDeg);
}

void writeRotationVector(const float* q, std::int8_t& mode, std::int16_t* words)
{
    const vnx_Mobile_Quaternion_s quaternion{q[0], q[1], q[2], q[3]};
    float euler[3];
    vnx_Mobile_computeEulerZYX(&quaternion, euler);
    writeScaled(euler, kDeciDegPerDeg, 3, words + 12);
    words[15] = headingWord(q, mode);
    writeScaled(q, kQuaternionScale, 4, words + 16);
}

} // namespace

extern "C" {

int vnx_Mobile_ConversionHidFormatA(const vnx_Mobile_Output_s* output, int16_t* words, int8_t* compassMode,
                                    uint32_t all)
{
    if (output == nullptr || words == nullptr || compassMode == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    const auto included = [&](uint32_t bit) { return all != 0 || (output->validBits & bit) != 0; };

    if (included(VNX_MOBILE_BIT_ACCELEROMETER))
        writeNegatedAcceleration(output->accelerometer, words);
    if (included(VNX_MOBILE_BIT_LINEAR_ACCELERATION))
        writeNegatedAcceleration(output->linearAcceleration, words + 3);
    if (included(VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE))
        writeScaled(output->rotationRate, kDeciDegPerRad, 3, words + 6);
    if (included(VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER))
        writeScaled(output->magnetometer, kDeciMicroTeslaPerUt, 3, words + 9);
    if (included(VNX_MOBILE_BIT_ROTATION_VECTOR))
        writeRotationVector(output->rotationVector, *compassMode, words);
    return VNX_STATUS_SUCCESS;
}

} // extern "C"
