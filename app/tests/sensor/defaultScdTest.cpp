#include "sensor/defaultScd.h"
#include "sensor/motionBridge.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

#include "calibration/FixedPointCal.h"

namespace {

uint32_t wordAt(size_t index)
{
    uint32_t word = 0;
    std::memcpy(&word, kDefaultScd.data() + 4 * index, sizeof word);
    return word;
}

TEST(DefaultScd, IsASealedVersionFiveBlockFollowedByTwelveZeroBytes)
{
    EXPECT_EQ(kDefaultScd[0] | (kDefaultScd[1] << 8), 260);
    EXPECT_EQ(kDefaultScd[2], 5);
    EXPECT_EQ(kDefaultScd[3], 0);
    uint32_t sum = 0;
    for (size_t i = 0; i < 65; ++i) {
        sum += wordAt(i);
    }
    EXPECT_EQ(sum, 0u);
    EXPECT_TRUE(std::all_of(kDefaultScd.begin() + 260, kDefaultScd.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::memcmp(kDefaultScd.data(), &kDefaultScdBlock, sizeof kDefaultScdBlock), 0);
}

TEST(DefaultScd, CarriesTheNamedCalibrationValues)
{
    const float named[] = {0.01f, 0.02f, -78.4f, 78.4f, 15.3813f, 0.0010653f, 0.69f, 0.349066f, 5.18092f};
    for (float value : named) {
        bool found = false;
        for (size_t i = 1; i < 64 && !found; ++i) {
            float word = 0;
            std::memcpy(&word, kDefaultScd.data() + 4 * i, sizeof word);
            found = word == value;
        }
        EXPECT_TRUE(found) << value;
    }
}

TEST(DefaultScd, TheEngineAcceptsItAsAPresenterAt125Hz)
{
    vnx::FixedPointCal cal;
    ASSERT_EQ(cal.verifyAndInit(reinterpret_cast<const vnx_scdData_s*>(kDefaultScd.data())), 0);
    EXPECT_FLOAT_EQ(cal.output().period, 0.008f);
    EXPECT_NEAR(cal.output().accFullScale, 78.4f, 0.01f);
    EXPECT_NEAR(cal.output().rsFullScale, 0.0010653f * 32767, 0.01f);
    EXPECT_EQ(vnx_scdGetPeriod(reinterpret_cast<const vnx_scdData_s*>(kDefaultScd.data())), 8000);
}

TEST(DefaultScd, MakeDeviceIdentityFillsTheIdentityAndCopiesTheBlock)
{
    uint8_t identity[8] = {0x2A, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    uint8_t buffer[300];
    std::memset(buffer, 0xCD, sizeof buffer);
    makeDeviceIdentity(identity, sizeof buffer, buffer);
    const uint8_t expected[8] = {0x2A, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(std::memcmp(identity, expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(buffer, kDefaultScd.data(), kDefaultScd.size()), 0);
    EXPECT_TRUE(std::all_of(buffer + kDefaultScd.size(), buffer + sizeof buffer, [](uint8_t b) { return b == 0; }))
        << "beyond the block the buffer is zeroed, never read past the constant";
}

} // namespace
