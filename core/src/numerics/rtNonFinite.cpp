#include "numerics/rtNonFinite.h"

#include <cstring>

namespace vnx {

double rtInf = 0.0;
double rtMinusInf = 0.0;
double rtNaN = 0.0;
float rtInfF = 0.0f;
float rtMinusInfF = 0.0f;
float rtNaNF = 0.0f;

namespace {

double doubleFromBits(std::uint64_t bits)
{
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

float floatFromBits(std::uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

void rt_InitInfAndNaN(std::uint64_t realSizeBytes)
{
    rtInf = doubleFromBits(0x7FF0000000000000ull);
    rtMinusInf = doubleFromBits(0xFFF0000000000000ull);
    rtNaN = doubleFromBits(realSizeBytes == 4 ? 0x7FFFFFFFE0000000ull : 0x7FFFFFFFFFFFFFFFull);
    rtInfF = floatFromBits(0x7F800000u);
    rtMinusInfF = floatFromBits(0xFF800000u);
    rtNaNF = floatFromBits(0x7FFFFFFFu);
}

bool rtIsInf(double value)
{
    return value == rtInf || value == rtMinusInf;
}

bool rtIsInfF(float value)
{
    return value == rtInfF || value == rtMinusInfF;
}

bool rtIsNaN(double value)
{
    return value != value;
}

bool rtIsNaNF(float value)
{
    return value != value;
}

} // namespace vnx
