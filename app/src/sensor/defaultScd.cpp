#include "sensor/defaultScd.h"

#include <bit>

namespace {

constexpr float kAccFullScale = 78.4f;      // m/s^2 for a full-scale reading: 8 g
constexpr float kRatePerCount = 0.0010653f; // rad/s per count: 2000 degrees/s over 32768 counts

constexpr scdGen4FloatInnards_s innards()
{
    scdGen4FloatInnards_s in{};
    in.formatWord = VNX_SCD_FORMAT_WORD;
    in.period = 0.008f; // s: 125 samples a second
    in.rsStableParam = 0.69f;
    // Sensor x reads along the body's y and sensor y along the body's -x:
    // the board sits a quarter turn about z in the housing. Both sensors
    // share the mounting.
    const float acc[9] = {0, kAccFullScale, 0, -kAccFullScale, 0, 0, 0, 0, kAccFullScale};
    const float rate[9] = {0, kRatePerCount, 0, -kRatePerCount, 0, 0, 0, 0, kRatePerCount};
    for (int i = 0; i < 9; ++i) {
        in.accMatrix[i] = acc[i];
        in.rsMatrix[i] = rate[i];
    }
    for (int i = 0; i < 3; ++i) {
        in.accNoise[i] = 15.3813f; // counts
        in.rsNoise[i] = 5.18092f;  // counts
        in.zroTempCoef[i] = 0.0002f;
    }
    in.zroTermKind1 = 0.01f;
    in.zroTermA = 0.01f;
    in.zroTermB = 0.02f;
    in.deviceKind = 1.0f;
    in.tempScale = 0.0625f; // degC per count
    in.tempNoise = 0.349066f;
    in.zroNominalSigma = 0.01f;
    in.zroInitSigma = 0.02f;
    return in;
}

// The check word: the two's complement of the sum of the first 64 words, so
// that all 65 sum to zero modulo 2^32.
constexpr scdGen4Float_s sealed(scdGen4Float_s block)
{
    block.checkWord = 0;
    const auto words = std::bit_cast<std::array<uint32_t, VNX_SCD_GEN4FLOAT_SIZE / 4>>(block);
    uint32_t sum = 0;
    for (uint32_t word : words) {
        sum += word;
    }
    block.checkWord = 0u - sum;
    return block;
}

constexpr scdGen4Float_s kBlock =
    sealed(scdGen4Float_s{{VNX_SCD_GEN4FLOAT_SIZE, VNX_SCD_GEN4FLOAT_VERSION}, innards(), 0});

constexpr std::array<uint8_t, kDefaultScdSize> bytesOf(const scdGen4Float_s& block)
{
    const auto head = std::bit_cast<std::array<uint8_t, sizeof block>>(block);
    std::array<uint8_t, kDefaultScdSize> bytes{};
    for (size_t i = 0; i < head.size(); ++i) {
        bytes[i] = head[i];
    }
    return bytes;
}

static_assert(sizeof(scdGen4Float_s) == VNX_SCD_GEN4FLOAT_SIZE);
static_assert(kDefaultScdSize == VNX_SCD_GEN4FLOAT_SIZE + 12);

} // namespace

const scdGen4Float_s kDefaultScdBlock = kBlock;
const std::array<uint8_t, kDefaultScdSize> kDefaultScd = bytesOf(kBlock);
