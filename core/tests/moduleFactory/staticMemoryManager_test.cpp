#include <gtest/gtest.h>

#include <memory>

#include <algorithm>
#include <vector>

#include "moduleFactory/StaticMemoryManager.h"

namespace {

struct Counted
{
    static inline int live = 0;
    Counted() { ++live; }
    ~Counted() { --live; }
    int value = 5;
};

TEST(StaticMemoryManager, CreatesDefaultObjectsAndFreesThemOnce)
{
    vnx::StaticMemoryManager<Counted> pool;
    Counted* a = pool.create();
    Counted* b = pool.create();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->value, 5);
    EXPECT_EQ(Counted::live, 2);
    EXPECT_TRUE(pool.contains(a));

    EXPECT_TRUE(pool.destroy(a));
    EXPECT_EQ(Counted::live, 1);
    EXPECT_FALSE(pool.contains(a));
    // A second destroy of the same pointer is refused instead of freeing twice.
    EXPECT_FALSE(pool.destroy(a));
    EXPECT_EQ(Counted::live, 1);

    EXPECT_TRUE(pool.destroy(b));
    EXPECT_EQ(Counted::live, 0);
}

TEST(StaticMemoryManager, NullIsAcceptedAndForeignObjectsAreNotFreed)
{
    vnx::StaticMemoryManager<Counted> pool;
    EXPECT_TRUE(pool.destroy(nullptr));

    // Heap-allocated, so a wrongful free would be caught by the sanitizer.
    auto foreign = std::make_unique<Counted>();
    EXPECT_FALSE(pool.contains(foreign.get()));
    EXPECT_FALSE(pool.destroy(foreign.get()));
    EXPECT_EQ(Counted::live, 1);
    EXPECT_EQ(foreign->value, 5);
}

TEST(StaticMemoryManager, PoolsDoNotShareObjects)
{
    vnx::StaticMemoryManager<Counted> first;
    vnx::StaticMemoryManager<Counted> second;
    Counted* object = first.create();
    EXPECT_FALSE(second.destroy(object));
    EXPECT_TRUE(first.destroy(object));
    EXPECT_EQ(Counted::live, 0);
}

TEST(StaticMemoryManager, LiveObjectsAreListedInAddressOrder)
{
    vnx::StaticMemoryManager<Counted> pool;
    std::vector<Counted*> made;
    for (int i = 0; i < 5; ++i) {
        made.push_back(pool.create());
    }
    std::vector<Counted*> listed(pool.begin(), pool.end());
    ASSERT_EQ(listed.size(), 5u);
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
    for (Counted* object : made) {
        EXPECT_TRUE(pool.destroy(object));
    }
    EXPECT_EQ(pool.size(), 0u);
}

TEST(StaticMemoryManager, FixedCapacityRefusesOnceFull)
{
    vnx::StaticMemoryManager<Counted, 2> pool;
    Counted* a = pool.create();
    Counted* b = pool.create();
    EXPECT_EQ(pool.create(), nullptr);
    EXPECT_EQ(Counted::live, 2);
    EXPECT_TRUE(pool.destroy(a));
    Counted* c = pool.create();
    EXPECT_NE(c, nullptr);
    EXPECT_TRUE(pool.destroy(b));
    EXPECT_TRUE(pool.destroy(c));
}

} // namespace
