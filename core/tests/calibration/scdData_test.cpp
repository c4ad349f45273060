#include "calibration/scdData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "support/ScdBuilder.h"

namespace {

using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

uint32_t sumOfWords(const scdGen4Float_s& scd)
{
    uint32_t words[65];
    std::memcpy(words, &scd, sizeof words);
    uint32_t sum = 0;
    for (uint32_t w : words)
        sum += w;
    return sum;
}

uint32_t innardsWord(const scdGen4Float_s& scd, int n)
{
    uint32_t w;
    std::memcpy(&w, reinterpret_cast<const unsigned char*>(&scd.innards) + 4 * n, sizeof w);
    return w;
}

/// An SCD whose innards word n holds base + n, sealed.
scdGen4Float_s patternedScd(uint32_t base)
{
    scdGen4Float_s scd = ScdBuilder().build();
    for (int n = 0; n < 63; ++n) {
        const uint32_t w = base + static_cast<uint32_t>(n);
        std::memcpy(reinterpret_cast<unsigned char*>(&scd.innards) + 4 * n, &w, sizeof w);
    }
    scd.checkWord = scdGen4FloatCheckWord(&scd);
    return scd;
}

TEST(ScdRecord, BuiltScdIsSealedAndAccepted)
{
    const scdGen4Float_s scd =
        ScdBuilder().period(0.008).accelMatrix(19.6133f * I).gyroNoise(3, 4, 5).build();
    EXPECT_EQ(sumOfWords(scd), 0u);
    EXPECT_EQ(vnx_scdGetSize(&scd.head), 260u);
    EXPECT_EQ(vnx_scdGetVersion(&scd.head), 5u);
    EXPECT_TRUE(vnx_scdIsDataValid(&scd.head));
    EXPECT_EQ(scdGen4FloatValidateAndCast(&scd.head), &scd);
}

TEST(ScdRecord, RefusesBlocksThatAreNotSealedVersion5Of260Bytes)
{
    struct Case
    {
        const char* what;
        uint16_t size;
        uint16_t version;
        uint32_t checkWordDelta;
    };
    const Case cases[] = {
        {"words sum to 1", 260, 5, 1},
        {"words sum to -1", 260, 5, 0xFFFFFFFFu},
        {"size 259", 259, 5, 0},
        {"version 4", 260, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scdGen4Float_s scd = ScdBuilder().period(0.008).build();
        scd.head.size = c.size;
        scd.head.version = c.version;
        // Reseal after changing the head so that only the named fault remains.
        scd.checkWord = scdGen4FloatCheckWord(&scd) + c.checkWordDelta;
        EXPECT_EQ(scdGen4FloatValidateAndCast(&scd.head), nullptr);
    }
    EXPECT_EQ(scdGen4FloatValidateAndCast(nullptr), nullptr);
}

TEST(ScdRecord, DataValidityIsTheWordSumOfA260ByteBlock)
{
    scdGen4Float_s scd = ScdBuilder().build();
    scd.checkWord += 1;
    EXPECT_FALSE(vnx_scdIsDataValid(&scd.head));

    // A block that claims fewer bytes is never summed past its end.
    scdGen4Float_s shortBlock = ScdBuilder().build();
    shortBlock.head.size = 4;
    shortBlock.checkWord = scdGen4FloatCheckWord(&shortBlock);
    EXPECT_FALSE(vnx_scdIsDataValid(&shortBlock.head));
    EXPECT_FALSE(vnx_scdIsDataValid(nullptr));
    EXPECT_EQ(scdGen4FloatCheckWord(nullptr), 0u);
}

TEST(ScdRecord, SizeAndVersionAcceptOnlyTheFloatForm)
{
    EXPECT_TRUE(vnx_scdIsSizeAndVersionValid(260, 5));
    EXPECT_FALSE(vnx_scdIsSizeAndVersionValid(260, 6));
    EXPECT_FALSE(vnx_scdIsSizeAndVersionValid(184, 5));
    EXPECT_FALSE(vnx_scdIsSizeAndVersionValid(260 + 65536, 5));
}

TEST(ScdRecord, HeadFieldsAreReadUnsignedUnderEverySensorName)
{
    vnx_scdData_s head{0xFFFF, 0x8001};
    using Read = uint32_t (*)(const vnx_scdData_s*);
    const Read sizeReads[] = {vnx_scdGetSize, vnx_scdAccGetSize, vnx_scdRsGetSize, vnx_scdRsZro9GetSize,
                              vnx_scdMagGetSize};
    const Read versionReads[] = {vnx_scdGetVersion, vnx_scdAccGetVersion, vnx_scdRsGetVersion,
                                 vnx_scdRsZro9GetVersion, vnx_scdMagGetVersion};
    for (Read read : sizeReads)
        EXPECT_EQ(read(&head), 0xFFFFu);
    for (Read read : versionReads)
        EXPECT_EQ(read(&head), 0x8001u);
    EXPECT_EQ(scdGetDeviceSerialNumber(&head), 0u);
}

TEST(ScdPeriod, WholeMicrosecondsOfTheMarkedPeriod)
{
    struct Case
    {
        const char* what;
        ScdBuilder builder;
        int32_t expectedUs;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"no format word", ScdBuilder(), 8000},
        {"no format word, period set", ScdBuilder().period(0.004).formatWord(0), 8000},
        {"other format word", ScdBuilder().period(0.004).formatWord(0xE7E1FAFA), 8000},
        {"0.008 s", ScdBuilder().period(0.008), 8000},
        {"0.00875 s", ScdBuilder().period(0.00875), 8750},
        {"0.0025 s", ScdBuilder().period(0.0025), 2500},
        // A period that cannot be a rate counts as absent.
        {"zero period", ScdBuilder().period(0.0), 8000},
        {"negative period", ScdBuilder().period(-0.004), 8000},
        {"infinite period", ScdBuilder().period(inf), 8000},
        {"NaN period", ScdBuilder().period(std::nan("")), 8000},
        // Outside 50 us ... 1 s no output of the fusion is valid: absent too.
        {"period of 3000 s", ScdBuilder().period(3000.0), 8000},
        {"period of 1 s", ScdBuilder().period(1.0), 8000},
        {"period of 49 us", ScdBuilder().period(49e-6), 8000},
        {"period of 50 us", ScdBuilder().period(50e-6), 50},
        {"period of 0.999 s", ScdBuilder().period(0.999), 999000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const scdGen4Float_s scd = c.builder.build();
        EXPECT_EQ(vnx_scdGetPeriod(&scd.head), c.expectedUs);
    }
}

TEST(ScdPeriod, RefusedScdGivesTheDefault)
{
    scdGen4Float_s scd = ScdBuilder().period(0.004).build();
    ASSERT_EQ(vnx_scdGetPeriod(&scd.head), 4000);
    scd.checkWord += 1;
    EXPECT_EQ(vnx_scdGetPeriod(&scd.head), 8000);
    EXPECT_EQ(vnx_scdGetPeriod(nullptr), 8000);
}

TEST(ScdMerge, TakesOverTheListedSensorWordsAndReseals)
{
    const scdGen4Float_s source = patternedScd(0x10000);
    const scdGen4Float_s sourceBefore = source;
    scdGen4Float_s destination = patternedScd(0x20000);

    ASSERT_EQ(vnx_scdMergeFields(260, &source.head, &destination.head), 0);

    EXPECT_EQ(std::memcmp(&source, &sourceBefore, sizeof source), 0);
    for (int n = 0; n < 63; ++n) {
        const bool merged = (n >= 3 && n <= 20) || (n >= 25 && n <= 45) || n == 52;
        const uint32_t expected = (merged ? 0x10000u : 0x20000u) + static_cast<uint32_t>(n);
        EXPECT_EQ(innardsWord(destination, n), expected) << "innards word " << n;
    }
    EXPECT_TRUE(vnx_scdIsDataValid(&destination.head));
    EXPECT_NE(scdGen4FloatValidateAndCast(&destination.head), nullptr);
}

TEST(ScdMerge, KeepsTheDestinationsVariantAndPeriod)
{
    const scdGen4Float_s source =
        ScdBuilder().period(0.004).variant(7).accelMatrix(2.0f * I).zroTerms(1e-3f, 2e-3f).build();
    scdGen4Float_s destination = ScdBuilder().period(0.008).variant(24601).build();

    ASSERT_EQ(vnx_scdMergeFields(260, &source.head, &destination.head), 0);
    EXPECT_EQ(destination.innards.variant, 24601.0f);
    EXPECT_EQ(destination.innards.period, 0.008f);
    EXPECT_EQ(destination.innards.accMatrix[4], 2.0f);
    EXPECT_EQ(destination.innards.zroTermA, 1e-3f);
    EXPECT_EQ(destination.innards.zroTermB, 0.0f);
}

TEST(ScdMerge, RefusalLeavesBothBlocksUntouched)
{
    struct Case
    {
        const char* what;
        int size;
        uint16_t sourceVersion;
        uint16_t destinationSize;
        int expected;
    };
    const Case cases[] = {
        {"size argument 259", 259, 5, 260, -1},
        {"source version 4", 260, 4, 260, -2},
        {"destination size field 184", 260, 5, 184, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scdGen4Float_s source = patternedScd(0x10000);
        source.head.version = c.sourceVersion;
        scdGen4Float_s destination = patternedScd(0x20000);
        destination.head.size = c.destinationSize;
        const scdGen4Float_s sourceBefore = source;
        const scdGen4Float_s destinationBefore = destination;

        EXPECT_EQ(vnx_scdMergeFields(c.size, &source.head, &destination.head), c.expected);
        EXPECT_EQ(std::memcmp(&source, &sourceBefore, sizeof source), 0);
        EXPECT_EQ(std::memcmp(&destination, &destinationBefore, sizeof destination), 0);
    }
    scdGen4Float_s scd = patternedScd(0);
    EXPECT_EQ(vnx_scdMergeFields(260, nullptr, &scd.head), -2);
    EXPECT_EQ(vnx_scdMergeFields(260, &scd.head, nullptr), -2);
}

} // namespace
