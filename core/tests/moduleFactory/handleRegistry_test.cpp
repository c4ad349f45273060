#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "moduleFactory/HandleRegistry.h"

namespace {

using Registry = vnx::HandleRegistry<int>;

TEST(HandleRegistry, FindsLiveObjectsOnly)
{
    Registry registry;
    int a = 1;
    int b = 2;
    const vnx::HandleValue va = registry.add(&a);
    const vnx::HandleValue vb = registry.add(&b);
    ASSERT_NE(va, 0u);
    ASSERT_NE(vb, 0u);
    EXPECT_NE(va, vb);
    EXPECT_EQ(registry.find(va), &a);
    EXPECT_EQ(registry.find(vb), &b);
    EXPECT_EQ(registry.size(), 2u);

    EXPECT_EQ(registry.remove(va), &a);
    EXPECT_EQ(registry.find(va), nullptr);
    EXPECT_EQ(registry.remove(va), nullptr);
    EXPECT_EQ(registry.find(vb), &b);
    EXPECT_EQ(registry.size(), 1u);
}

TEST(HandleRegistry, ValuesItNeverGaveAreNotHandles)
{
    Registry registry;
    int a = 1;
    const vnx::HandleValue va = registry.add(&a);
    const vnx::HandleValue values[] = {
        0,
        va + 1,                           // the next slot, opened but never used
        va + (vnx::HandleValue{1} << 32), // a later generation of the same slot
        va & 0xFFFFFFFFu,                 // generation 0
        vnx::HandleValue{Registry::kCapacity},
        vnx::handleValueOf(&a),
        ~vnx::HandleValue{0},
    };
    for (const vnx::HandleValue value : values) {
        EXPECT_EQ(registry.find(value), nullptr) << std::hex << value;
        EXPECT_EQ(registry.remove(value), nullptr) << std::hex << value;
    }
    EXPECT_EQ(registry.find(va), &a);
    EXPECT_EQ(registry.size(), 1u);
}

TEST(HandleRegistry, ReusedSlotsGetNewValues)
{
    Registry registry;
    int objects[3] = {};
    std::set<vnx::HandleValue> given;
    // The same object added and removed again and again: every value is new,
    // and only the current one finds it.
    vnx::HandleValue previous = 0;
    for (int round = 0; round < 1000; ++round) {
        const vnx::HandleValue value = registry.add(&objects[0]);
        EXPECT_TRUE(given.insert(value).second) << "value handed out twice: " << value;
        EXPECT_EQ(registry.find(previous), nullptr);
        EXPECT_EQ(registry.find(value), &objects[0]);
        EXPECT_EQ(registry.remove(value), &objects[0]);
        previous = value;
    }
    EXPECT_EQ(registry.size(), 0u);
}

TEST(HandleRegistry, ManyHandlesAcrossBlocks)
{
    Registry registry;
    const int count = 3 * static_cast<int>(Registry::kBlockSlots) + 7;
    std::vector<int> objects(count);
    std::vector<vnx::HandleValue> values;
    for (int& object : objects) {
        values.push_back(registry.add(&object));
    }
    for (int i = 0; i < count; i += 2) {
        EXPECT_EQ(registry.remove(values[i]), &objects[i]);
    }
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(registry.find(values[i]), i % 2 == 0 ? nullptr : &objects[i]) << i;
    }
    EXPECT_EQ(registry.size(), static_cast<std::size_t>(count / 2));
}

} // namespace
