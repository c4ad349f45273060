#include "calibration/dcdData.h"

#include <bit>
#include <cstring>

#include "calibration/blockWords.h"
#include "common/crc32.h"

namespace {

struct DcdForm
{
    uint16_t size;
    uint16_t version;
    uint32_t crcOffset; ///< the CRC-32 covers the bytes before it
};

constexpr DcdForm kAlg4MinFixed{VNX_DCD_ALG4MINFIXED_SIZE, VNX_DCD_ALG4MINFIXED_VERSION,
                                offsetof(dcdAlg4MinFixed_s, crc)};
constexpr DcdForm kAlg49AxisFixed{VNX_DCD_ALG49AXISFIXED_SIZE, VNX_DCD_ALG49AXISFIXED_VERSION,
                                  offsetof(dcdAlg49AxisFixed_s, crc)};
constexpr DcdForm kGen4Fixed{VNX_DCD_GEN4FIXED_SIZE, VNX_DCD_GEN4FIXED_VERSION,
                             offsetof(dcdGen4Fixed_s, crc)};
constexpr DcdForm kSensorFusionFixed{VNX_DCD_SENSORFUSIONFIXED_SIZE, VNX_DCD_SENSORFUSIONFIXED_VERSION,
                                     offsetof(dcdSensorFusionFixed_s, crc)};

bool isForm(const vnx_dcdData_s* dcd, const DcdForm& form)
{
    if (dcd == nullptr)
        return false;
    vnx_dcdData_s head;
    std::memcpy(&head, dcd, sizeof head);
    if (head.size != form.size || head.version != form.version)
        return false;
    return crc32_process(dcd, form.crcOffset) == vnx::readBlockWord(dcd, form.crcOffset / 4);
}

template <typename Form> const Form* castIf(const vnx_dcdData_s* dcd, const DcdForm& form)
{
    return isForm(dcd, form) ? reinterpret_cast<const Form*>(dcd) : nullptr;
}

} // namespace

extern "C" {

bool vnx_dcdIsSizeAndVersionValid(uint32_t size, uint32_t version)
{
    return size == VNX_DCD_ALG4MINFIXED_SIZE && version == VNX_DCD_ALG4MINFIXED_VERSION;
}

const dcdAlg4MinFixed_s* dcdAlg4MinFixedValidateAndCast(const vnx_dcdData_s* dcd)
{
    return castIf<dcdAlg4MinFixed_s>(dcd, kAlg4MinFixed);
}

const dcdAlg49AxisFixed_s* dcdAlg49AxisFixedValidateAndCast(const vnx_dcdData_s* dcd)
{
    return castIf<dcdAlg49AxisFixed_s>(dcd, kAlg49AxisFixed);
}

const dcdGen4Fixed_s* dcdGen4FixedValidateAndCast(const vnx_dcdData_s* dcd)
{
    return castIf<dcdGen4Fixed_s>(dcd, kGen4Fixed);
}

const dcdSensorFusionFixed_s* dcdSensorFusionFixedValidateAndCast(const vnx_dcdData_s* dcd)
{
    return castIf<dcdSensorFusionFixed_s>(dcd, kSensorFusionFixed);
}

void dcdAlg4MinFixedInnardsSetEmpty(dcdAlg4MinFixedInnards_s* innards)
{
    if (innards == nullptr)
        return;
    std::memset(innards, 0, sizeof *innards);
    innards->state = VNX_DCD_STATE_EMPTY;
    // The temperature fit marks its saved block as unknown: variances 2^31,
    // temperature -2^31.
    constexpr uint32_t kUnsetVariance = std::bit_cast<uint32_t>(2147483648.0f);
    constexpr uint32_t kUnsetTemperature = std::bit_cast<uint32_t>(-2147483648.0f);
    innards->zroTemperatureFit[25] = kUnsetVariance;
    innards->zroTemperatureFit[26] = kUnsetVariance;
    innards->zroTemperatureFit[27] = kUnsetVariance;
    innards->zroTemperatureFit[28] = kUnsetTemperature;
}

void dcdAlg49AxisFixedStart(dcdAlg49AxisFixed_s* block)
{
    if (block == nullptr)
        return;
    std::memset(block, 0, sizeof *block);
    block->head.size = VNX_DCD_ALG49AXISFIXED_SIZE;
    block->head.version = VNX_DCD_ALG49AXISFIXED_VERSION;
}

void dcdAlg49AxisFixedSeal(dcdAlg49AxisFixed_s* block, uint32_t scdCrc)
{
    if (block == nullptr)
        return;
    block->scdCrc = scdCrc;
    block->crc = crc32_process(block, offsetof(dcdAlg49AxisFixed_s, crc));
}

} // extern "C"
