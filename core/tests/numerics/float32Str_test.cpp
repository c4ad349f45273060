#include "numerics/float32Str.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace vnx {
namespace {

TEST(Float32Str, DropsTrailingZerosButKeepsOneDigit)
{
    const struct
    {
        float value;
        const char* text;
    } cases[] = {{2.0f, "2.0"}, {0.125f, "0.125"}, {-3.5f, "-3.5"},
                 {1.5f, "1.5"}, {100.0f, "100.0"}, {0.0f, "0.0"}};
    for (const auto& c : cases) {
        char buf[32];
        const int n = float32_str(buf, sizeof buf, c.value);
        EXPECT_STREQ(buf, c.text);
        EXPECT_EQ(n, static_cast<int>(std::strlen(c.text)));
    }
}

TEST(Float32Str, StaysWithinASmallBuffer)
{
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    // "1234567.000000" does not fit into 4 bytes.
    EXPECT_EQ(float32_str(buf, 4, 1234567.0f), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(buf[4], 'x');
    // Exactly fitting text: "2.000000" needs 9 bytes with the terminator.
    char exact[9];
    EXPECT_EQ(float32_str(exact, sizeof exact, 2.0f), 3);
    EXPECT_STREQ(exact, "2.0");
    EXPECT_EQ(float32_str(buf, 0, 1.0f), 0);
}

TEST(Float32Str, NonFiniteValuesAreWrittenAsIs)
{
    char buf[16];
    EXPECT_EQ(float32_str(buf, sizeof buf, INFINITY), 3);
    EXPECT_STREQ(buf, "inf");
}

} // namespace
} // namespace vnx
