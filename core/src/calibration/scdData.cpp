#include "calibration/scdData.h"

#include <bit>
#include <cstring>

#include "calibration/blockWords.h"

static_assert(std::endian::native == std::endian::little,
              "SCD words are read in place; the format is little-endian");

namespace {

constexpr std::size_t kScdWords = VNX_SCD_GEN4FLOAT_SIZE / 4; // 65

uint16_t readHalf(const vnx_scdData_s* scd, std::size_t byteOffset)
{
    if (scd == nullptr)
        return 0;
    uint16_t v;
    std::memcpy(&v, reinterpret_cast<const unsigned char*>(scd) + byteOffset, sizeof v);
    return v;
}

/// Sum modulo 2^32 of the first `count` words of the block.
uint32_t wordSum(const void* block, std::size_t count)
{
    uint32_t sum = 0;
    for (std::size_t n = 0; n < count; ++n)
        sum += vnx::readBlockWord(block, n);
    return sum;
}

} // namespace

extern "C" {

uint32_t vnx_scdGetSize(const vnx_scdData_s* scd)
{
    return readHalf(scd, 0);
}
uint32_t vnx_scdGetVersion(const vnx_scdData_s* scd)
{
    return readHalf(scd, 2);
}
uint32_t vnx_scdAccGetSize(const vnx_scdData_s* scd)
{
    return vnx_scdGetSize(scd);
}
uint32_t vnx_scdAccGetVersion(const vnx_scdData_s* scd)
{
    return vnx_scdGetVersion(scd);
}
uint32_t vnx_scdRsGetSize(const vnx_scdData_s* scd)
{
    return vnx_scdGetSize(scd);
}
uint32_t vnx_scdRsGetVersion(const vnx_scdData_s* scd)
{
    return vnx_scdGetVersion(scd);
}
uint32_t vnx_scdRsZro9GetSize(const vnx_scdData_s* scd)
{
    return vnx_scdGetSize(scd);
}
uint32_t vnx_scdRsZro9GetVersion(const vnx_scdData_s* scd)
{
    return vnx_scdGetVersion(scd);
}
uint32_t vnx_scdMagGetSize(const vnx_scdData_s* scd)
{
    return vnx_scdGetSize(scd);
}
uint32_t vnx_scdMagGetVersion(const vnx_scdData_s* scd)
{
    return vnx_scdGetVersion(scd);
}

bool vnx_scdIsSizeAndVersionValid(uint32_t size, uint32_t version)
{
    return size == VNX_SCD_GEN4FLOAT_SIZE && version == VNX_SCD_GEN4FLOAT_VERSION;
}

bool vnx_scdIsDataValid(const vnx_scdData_s* scd)
{
    // The size field must promise the 260 bytes that are summed: a shorter
    // block would be read past its end.
    if (vnx_scdGetSize(scd) != VNX_SCD_GEN4FLOAT_SIZE)
        return false;
    return wordSum(scd, kScdWords) == 0;
}

const scdGen4Float_s* scdGen4FloatValidateAndCast(const vnx_scdData_s* scd)
{
    if (scd == nullptr)
        return nullptr;
    if (!vnx_scdIsSizeAndVersionValid(vnx_scdGetSize(scd), vnx_scdGetVersion(scd)))
        return nullptr;
    if (!vnx_scdIsDataValid(scd))
        return nullptr;
    return reinterpret_cast<const scdGen4Float_s*>(scd);
}

uint32_t scdGen4FloatCheckWord(const scdGen4Float_s* scd)
{
    if (scd == nullptr)
        return 0;
    return 0u - wordSum(scd, kScdWords - 1);
}

uint32_t scdGetDeviceSerialNumber(const vnx_scdData_s*)
{
    return 0;
}

int vnx_scdMergeFields(int size, const vnx_scdData_s* source, vnx_scdData_s* destination)
{
    if (size != VNX_SCD_GEN4FLOAT_SIZE)
        return -1;
    if (source == nullptr || destination == nullptr)
        return -2;
    if (vnx_scdGetVersion(source) != VNX_SCD_GEN4FLOAT_VERSION ||
        vnx_scdGetVersion(destination) != VNX_SCD_GEN4FLOAT_VERSION ||
        vnx_scdGetSize(source) != VNX_SCD_GEN4FLOAT_SIZE ||
        vnx_scdGetSize(destination) != VNX_SCD_GEN4FLOAT_SIZE)
        return -2;

    // Innards words taken over from the source: the accelerometer matrix,
    // offsets and non-linear terms (3-20), the rotation-sensor matrix, offset
    // and acceleration sensitivity (25-45) and zero-rate-offset term A (52).
    // Innards word n is block word n + 1.
    struct WordRange
    {
        std::size_t first, last;
    };
    constexpr WordRange kMerged[] = {{3, 20}, {25, 45}, {52, 52}};
    for (const WordRange& range : kMerged)
        for (std::size_t n = range.first; n <= range.last; ++n)
            vnx::writeBlockWord(destination, n + 1, vnx::readBlockWord(source, n + 1));

    const auto* merged = reinterpret_cast<const scdGen4Float_s*>(destination);
    vnx::writeBlockWord(destination, kScdWords - 1, scdGen4FloatCheckWord(merged));
    return 0;
}

} // extern "C"
