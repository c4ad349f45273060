#include <gtest/gtest.h>

#include <cstring>

#include "common/version.h"

TEST(CoreVersion, BannerIsOneConstantString)
{
    const char* banner = vnx_core_get_version();
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner, vnx_core_get_version());
    EXPECT_NE(std::strstr(banner, "Kinemora core"), nullptr);
}
