#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/crc32.h"

namespace {

uint32_t crcByteByByte(const unsigned char* data, size_t length)
{
    uint32_t state = crc32_init();
    for (size_t i = 0; i < length; ++i) {
        crc32_step(&state, data[i]);
    }
    return crc32_read(state);
}

TEST(Crc32, KnownCheckValues)
{
    const struct
    {
        const char* text;
        uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& c : cases) {
        const auto length = static_cast<uint32_t>(std::strlen(c.text));
        EXPECT_EQ(crc32_process(c.text, length), c.crc) << c.text;
        EXPECT_EQ(crcByteByByte(reinterpret_cast<const unsigned char*>(c.text), length), c.crc) << c.text;
    }
}

TEST(Crc32, StepUsesOnlyTheLowByte)
{
    uint32_t plain = crc32_init();
    uint32_t withHighBits = crc32_init();
    crc32_step(&plain, 0x31);
    crc32_step(&withHighBits, 0xABCDEF31u);
    EXPECT_EQ(plain, withHighBits);
}

TEST(Crc32, CoversEveryByteValue)
{
    // All 256 byte values, so that every branch of the bit loop runs.
    std::vector<unsigned char> block(256);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<unsigned char>(i);
    }
    EXPECT_EQ(crc32_process(block.data(), 256), 0x29058C73u);
    EXPECT_EQ(crcByteByByte(block.data(), block.size()), 0x29058C73u);
}

TEST(Crc32, InitAndReadAreComplements)
{
    EXPECT_EQ(crc32_init(), 0xFFFFFFFFu);
    EXPECT_EQ(crc32_read(0xFFFFFFFFu), 0u);
    EXPECT_EQ(crc32_read(0x12345678u), 0xEDCBA987u);
}

TEST(Crc32, NullDataGivesZero)
{
    EXPECT_EQ(crc32_process(nullptr, 0), 0u);
    EXPECT_EQ(crc32_process(nullptr, 16), 0u);
    crc32_step(nullptr, 0x31); // a null state is left alone, not written through
}

} // namespace
