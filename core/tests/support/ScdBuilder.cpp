#include "support/ScdBuilder.h"

#include <cstring>

namespace vnx::testsupport {

ScdBuilder::ScdBuilder()
{
    std::memset(&innards_, 0, sizeof innards_);
}
ScdBuilder& ScdBuilder::set(float& field, float value)
{
    field = value;
    return *this;
}

ScdBuilder& ScdBuilder::set(float (&field)[3], float x, float y, float z)
{
    field[0] = x;
    field[1] = y;
    field[2] = z;
    return *this;
}

ScdBuilder& ScdBuilder::set(float (&field)[9], const Matrix3& m)
{
    for (int k = 0; k < 9; ++k)
        field[k] = m[k].value();
    return *this;
}

ScdBuilder& ScdBuilder::period(double seconds)
{
    innards_.formatWord = VNX_SCD_FORMAT_WORD;
    innards_.period = static_cast<float>(seconds);
    return *this;
}

ScdBuilder& ScdBuilder::formatWord(std::uint32_t word)
{
    innards_.formatWord = word;
    return *this;
}

ScdBuilder& ScdBuilder::rsStableParam(float value)
{
    return set(innards_.rsStableParam, value);
}
ScdBuilder& ScdBuilder::accelMatrix(const Matrix3& m)
{
    return set(innards_.accMatrix, m);
}
ScdBuilder& ScdBuilder::accelOffset(float x, float y, float z)
{
    return set(innards_.accOffset, x, y, z);
}
ScdBuilder& ScdBuilder::accelSecondOrder(float x, float y, float z)
{
    return set(innards_.accSecondOrder, x, y, z);
}
ScdBuilder& ScdBuilder::accelThirdOrder(float x, float y, float z)
{
    return set(innards_.accThirdOrder, x, y, z);
}
ScdBuilder& ScdBuilder::accelNoise(float x, float y, float z)
{
    return set(innards_.accNoise, x, y, z);
}
ScdBuilder& ScdBuilder::nominalMarker(float value)
{
    return set(innards_.nominalMarker, value);
}
ScdBuilder& ScdBuilder::gyroMatrix(const Matrix3& m)
{
    return set(innards_.rsMatrix, m);
}
ScdBuilder& ScdBuilder::gyroOffset(float x, float y, float z)
{
    return set(innards_.rsOffset, x, y, z);
}
ScdBuilder& ScdBuilder::gyroAccelSensitivity(const Matrix3& m)
{
    return set(innards_.rsAccSensMatrix, m);
}
ScdBuilder& ScdBuilder::gyroNoise(float x, float y, float z)
{
    return set(innards_.rsNoise, x, y, z);
}
ScdBuilder& ScdBuilder::magMatrix(const Matrix3& m)
{
    return set(innards_.rsAccSensMatrix, m);
}
ScdBuilder& ScdBuilder::magOffset(float x, float y, float z)
{
    return set(innards_.accThirdOrder, x, y, z);
}
ScdBuilder& ScdBuilder::variant(float value)
{
    return set(innards_.variant, value);
}
ScdBuilder& ScdBuilder::deviceKind(float value)
{
    return set(innards_.deviceKind, value);
}
ScdBuilder& ScdBuilder::tempScale(float degCPerCount)
{
    return set(innards_.tempScale, degCPerCount);
}
ScdBuilder& ScdBuilder::tempOffset(float counts)
{
    return set(innards_.tempOffset, counts);
}
ScdBuilder& ScdBuilder::tempNoise(float degC)
{
    return set(innards_.tempNoise, degC);
}
ScdBuilder& ScdBuilder::zroTempCoef(float x, float y, float z)
{
    return set(innards_.zroTempCoef, x, y, z);
}
ScdBuilder& ScdBuilder::zroTerms(float a, float b)
{
    innards_.zroTermB = b;
    return set(innards_.zroTermA, a);
}

ScdBuilder& ScdBuilder::zroTermKind1(float value)
{
    return set(innards_.zroTermKind1, value);
}
ScdBuilder& ScdBuilder::zroNominalSigma(float value)
{
    return set(innards_.zroNominalSigma, value);
}
ScdBuilder& ScdBuilder::zroInitSigma(float value)
{
    return set(innards_.zroInitSigma, value);
}
ScdBuilder& ScdBuilder::zroAging(float value)
{
    return set(innards_.zroAging, value);
}

scdGen4Float_s ScdBuilder::build() const
{
    scdGen4Float_s scd{};
    scd.head.size = VNX_SCD_GEN4FLOAT_SIZE;
    scd.head.version = VNX_SCD_GEN4FLOAT_VERSION;
    scd.innards = innards_;
    scd.checkWord = scdGen4FloatCheckWord(&scd);
    return scd;
}

FixedPointCal::Output ScdBuilder::calibration() const
{
    FixedPointCal cal;
    cal.init(innards_);
    return cal.output();
}

} // namespace vnx::testsupport
