#include "log/lowByteConversion.h"

#include <cmath>
#include <cstring>

#include "log/TestPoint.h"

namespace vnx::log {

namespace {

template <class T> T load(const void* element)
{
    T value;
    std::memcpy(&value, element, sizeof(value));
    return value;
}

uint8_t truncatedLowByte(double value)
{
    // Outside the int32 range (and NaN) the conversion gives the int32
    // "indefinite" value instead of undefined behaviour.
    const bool inRange = value > -2147483649.0 && value < 2147483648.0;
    const int32_t integer = inRange ? static_cast<int32_t>(value) : INT32_MIN;
    return static_cast<uint8_t>(static_cast<uint32_t>(integer));
}

// A signed fixed-point element of 1, 2, 4 or 8 bytes, as a double.
double fixedPointRaw(const void* element, uint32_t size)
{
    switch (size) {
    case 1:
        return load<int8_t>(element);
    case 2:
        return load<int16_t>(element);
    case 4:
        return load<int32_t>(element);
    default:
        return static_cast<double>(load<int64_t>(element));
    }
}

} // namespace

bool convertToLowByte(const void* element, uint32_t testPoint, uint8_t& out)
{
    if (testPoint >= 1 && testPoint <= 8) {
        // Little-endian: the low 8 bits are the first byte.
        out = load<uint8_t>(element);
        return true;
    }
    if (testPoint == TP_FLOAT) {
        out = truncatedLowByte(load<float>(element));
        return true;
    }
    if (testPoint == TP_DOUBLE) {
        out = truncatedLowByte(load<double>(element));
        return true;
    }
    int exponent = 0;
    if (testPoint_fixedPointExponent(testPoint, exponent)) {
        out =
            truncatedLowByte(std::ldexp(fixedPointRaw(element, testPoint_elementSize(testPoint)), exponent));
        return true;
    }
    return false;
}

} // namespace vnx::log
