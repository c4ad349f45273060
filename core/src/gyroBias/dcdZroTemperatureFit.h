#pragma once

// Stored state of the zero-rate-offset temperature fit: 116 bytes, 29
// little-endian 32-bit words, inside the gyroscope part of a DCD (innards
// bytes 56-171). Part of the DCD byte format.

#include <cstddef>
#include <cstdint>

namespace vnx {

struct dcdZroTemperatureFit_s
{
    float normal[3][3];      // words 0-8: per axis x, y, z: S_TT, S_T, S_w
    float rhs[3][2];         // words 9-14: per axis: S_Tz, S_z
    float sumZZ[3];          // words 15-17: per axis S_zz
    float tempSumWeights;    // word 18: temperature statistics (of the z axis)
    float tempMean;          // word 19: degC
    float tempM2;            // word 20
    std::uint32_t tempCount; // word 21
    float blockMean[3];      // words 22-24: saved block, rad/s
    float blockVariance[3];  // words 25-27: 2^31 = unset
    float blockTemperature;  // word 28: degC, -2^31 = unset
};

static_assert(sizeof(dcdZroTemperatureFit_s) == 116);
static_assert(offsetof(dcdZroTemperatureFit_s, normal) == 0);
static_assert(offsetof(dcdZroTemperatureFit_s, rhs) == 36);
static_assert(offsetof(dcdZroTemperatureFit_s, sumZZ) == 60);
static_assert(offsetof(dcdZroTemperatureFit_s, tempSumWeights) == 72);
static_assert(offsetof(dcdZroTemperatureFit_s, tempMean) == 76);
static_assert(offsetof(dcdZroTemperatureFit_s, tempM2) == 80);
static_assert(offsetof(dcdZroTemperatureFit_s, tempCount) == 84);
static_assert(offsetof(dcdZroTemperatureFit_s, blockMean) == 88);
static_assert(offsetof(dcdZroTemperatureFit_s, blockVariance) == 100);
static_assert(offsetof(dcdZroTemperatureFit_s, blockTemperature) == 112);

} // namespace vnx
