// The shared acceptance step of an SCD: what it copies, what it refuses, and
// that it reads nothing beyond what the caller and the block's own size word
// allow.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "calibration/scdAcceptance.h"
#include "common/crc32.h"
#include "support/ScdBuilder.h"

namespace {

using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

scdGen4Float_s device()
{
    return ScdBuilder()
        .period(0.004)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.001f) * I)
        .gyroNoise(2, 2, 2)
        .zroTerms(0.005f, 0.005f)
        .build();
}

/// Exactly the given bytes on the heap, so that ASan sees any read past them.
std::vector<std::uint8_t> exactly(const void* bytes, std::size_t size)
{
    std::vector<std::uint8_t> copy(size);
    std::memcpy(copy.data(), bytes, size);
    return copy;
}

TEST(ScdAcceptance, CopiesTheBlockFromAnyOffset)
{
    const scdGen4Float_s scd = device();
    const std::uint32_t crc = crc32_process(&scd, sizeof scd);
    for (std::size_t shift = 0; shift < 4; ++shift) {
        SCOPED_TRACE(shift);
        std::vector<std::uint8_t> buffer(shift + sizeof scd, 0);
        std::memcpy(buffer.data() + shift, &scd, sizeof scd);
        const vnx::AcceptedScd accepted = vnx::acceptScd(buffer.data() + shift, sizeof scd);
        ASSERT_TRUE(accepted.valid());
        ASSERT_NE(accepted.block(), nullptr);
        EXPECT_EQ(std::memcmp(accepted.block(), &scd, sizeof scd), 0);
        EXPECT_EQ(accepted.innards(), &accepted.block()->innards);
        EXPECT_EQ(accepted.crc(), crc);
        EXPECT_EQ(accepted.periodUs(), 4000);
        EXPECT_FLOAT_EQ(accepted.periodS(), 0.004f);
        // A copy of its own: the offered bytes may go away.
        std::memset(buffer.data(), 0, buffer.size());
        EXPECT_EQ(accepted.block()->innards.period, 0.004f);
    }
}

TEST(ScdAcceptance, RefusesWhatIsNotASealedBlockInReach)
{
    const scdGen4Float_s good = device();
    scdGen4Float_s unsealed = good;
    unsealed.innards.accMatrix[4] += 0.5f;
    scdGen4Float_s version4 = good;
    version4.head.version = 4;
    scdGen4Float_s size0 = good;
    size0.head.size = 0;
    // A head that promises only itself, alone in its allocation.
    const vnx_scdData_s shortHead{4, VNX_SCD_GEN4FLOAT_VERSION};
    const std::vector<std::uint8_t> headOnly = exactly(&shortHead, sizeof shortHead);
    const std::vector<std::uint8_t> goodBytes = exactly(&good, sizeof good);

    const struct
    {
        const char* name;
        const void* scd;
        std::size_t available;
    } cases[] = {
        {"none", nullptr, SIZE_MAX},
        {"less than a head in reach", goodBytes.data(), 3},
        {"one byte short of the block", goodBytes.data(), sizeof good - 1},
        {"size word 0", &size0, sizeof size0},
        {"size word 4", headOnly.data(), SIZE_MAX},
        {"version 4", &version4, sizeof version4},
        {"check word wrong", &unsealed, sizeof unsealed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const vnx::AcceptedScd refused = vnx::acceptScd(c.scd, c.available);
        EXPECT_FALSE(refused.valid());
        EXPECT_EQ(refused.block(), nullptr);
        EXPECT_EQ(refused.innards(), nullptr);
        EXPECT_EQ(refused.crc(), 0u);
        EXPECT_EQ(refused.periodUs(), 8000);
    }
    EXPECT_TRUE(vnx::acceptScd(goodBytes.data(), sizeof good).valid());
}

} // namespace
