#include <gtest/gtest.h>

#include <cstdint>

#include "activity/ActivityClassifier.h"

namespace {

using vnx::activity::ActivityClassifier;

TEST(ActivityClassifier, OnlyWalkingAndRunningAreOnFoot)
{
    for (int code = 0; code < 256; ++code) {
        const bool onFoot = code == 6 || code == 7;
        EXPECT_EQ(ActivityClassifier::isOnFoot(static_cast<std::uint8_t>(code)), onFoot) << code;
    }
}

} // namespace
