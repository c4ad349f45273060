#include "device/closure.h"

#include <gtest/gtest.h>

namespace {

struct Call
{
    void* context;
    void* a;
    void* b;
};

void* record(void* context, void* a, void* b)
{
    auto* call = static_cast<Call*>(context);
    call->context = context;
    call->a = a;
    call->b = b;
    return b;
}

TEST(Closure, InvokeCallsTheTargetWithItsContext)
{
    Call call{};
    int a = 1;
    int b = 2;
    closure* c = closureCreate(&call, record);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->free, closureFree);
    EXPECT_EQ(c->invoke, closureInvoke);
    EXPECT_EQ(c->context, &call);
    EXPECT_EQ(closureInvoke(c, &a, &b), &b);
    EXPECT_EQ(call.context, &call);
    EXPECT_EQ(call.a, &a);
    EXPECT_EQ(call.b, &b);
    EXPECT_EQ(c->invoke(c, &b, nullptr), nullptr);
    EXPECT_EQ(call.a, &b);
    c->free(c);
}

TEST(Closure, NullIsHarmless)
{
    closureFree(nullptr);
    EXPECT_EQ(closureInvoke(nullptr, nullptr, nullptr), nullptr);
}

} // namespace
