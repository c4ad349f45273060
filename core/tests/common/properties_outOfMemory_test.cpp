#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/properties.h"
#include "scopedEnv.h"
#include "support/allocationCounter.h"

namespace {

using vnx::test::FailingAllocations;

TEST(PropertiesOutOfMemory, SetAnswersFalseAndSetsNothing)
{
    ScopedEnv env("VNX_REVIEW_OOM", nullptr);
    bool result = true;
    {
        FailingAllocations failing;
        EXPECT_NO_THROW(result = vnx_properties_set("REVIEW_OOM", "1"));
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(vnx_properties_get("REVIEW_OOM"), nullptr);
    // With memory again the same call succeeds.
    EXPECT_TRUE(vnx_properties_set("REVIEW_OOM", "1"));
    ASSERT_NE(vnx_properties_get("REVIEW_OOM"), nullptr);
    EXPECT_STREQ(vnx_properties_get("REVIEW_OOM"), "1");
}

// In a child process of its own, where the Properties logger does not exist
// yet: creating it is what allocates.
TEST(PropertiesOutOfMemoryDeathTest, InitializeStaysInsideTheLibrary)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            {
                FailingAllocations failing;
                vnx_properties_initialize();
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
