#include "log/TestPoint.h"

#include <limits>

namespace vnx::log {

namespace {

// One range of signed fixed-point kinds: test points [first, last] hold
// elements of `size` bytes, scaled by 2^(tp - base).
struct FixedPointRange
{
    uint32_t first;
    uint32_t last;
    uint32_t size;
    int base;
};

constexpr FixedPointRange kFixedPointRanges[] = {
    {43, 106, 8, 106},
    {107, 201, 4, 170},
    {202, 296, 2, 265},
    {297, 391, 1, 360},
};

const FixedPointRange* findFixedPointRange(uint32_t testPoint)
{
    for (const FixedPointRange& range : kFixedPointRanges) {
        if (testPoint >= range.first && testPoint <= range.last) {
            return &range;
        }
    }
    return nullptr;
}

} // namespace

uint32_t testPoint_elementSize(uint32_t testPoint)
{
    static constexpr uint32_t kIntegerSizes[] = {1, 2, 4, 8};
    if (testPoint >= 1 && testPoint <= 8) {
        return kIntegerSizes[(testPoint - 1) % 4];
    }
    if (testPoint == TP_FLOAT) {
        return 4;
    }
    if (testPoint == TP_DOUBLE) {
        return 8;
    }
    const FixedPointRange* range = findFixedPointRange(testPoint);
    return range != nullptr ? range->size : 0;
}

bool testPoint_fixedPointExponent(uint32_t testPoint, int& exponent)
{
    const FixedPointRange* range = findFixedPointRange(testPoint);
    if (range == nullptr) {
        return false;
    }
    exponent = static_cast<int>(testPoint) - range->base;
    return true;
}

bool testPoint_arrayBytes(size_t countA, size_t countB, size_t elementSize, size_t& bytes)
{
    // The length field counts the 12-byte record header too.
    constexpr size_t kMaxBytes = std::numeric_limits<uint32_t>::max() - 12;
    if (elementSize != 0 && countA != 0 && countB != 0 &&
        (countA > kMaxBytes / elementSize || countB > kMaxBytes / (countA * elementSize))) {
        return false;
    }
    bytes = countA * countB * elementSize;
    return true;
}

} // namespace vnx::log
