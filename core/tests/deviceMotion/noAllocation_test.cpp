// Converting motion allocates nothing: counted through the global allocation
// functions of this test program.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "common/statusCode.h"
#include "deviceMotion/DeviceMotionFloat.h"
#include "motionRecordBuilders.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(DeviceMotionFloatAllocation, SamplesAllocateNothing)
{
    DeviceMotionFloat module;
    motiontest::FusedMotion in;
    auto out = motiontest::floatMotion();
    const vnx_StructOutput_s* inputs[] = {&in.output.output};
    const vnx_StructFormat_s* formats[] = {&in.format.format};
    vnx_StructOutput_s* outputs[] = {&out.output};
    const long before = allocations;
    for (uint32_t n = 0; n < 1000; ++n) {
        in.output.sampleNumber = n;
        ASSERT_EQ(module.process(0, 1, inputs, formats, 0, 1, outputs, nullptr), VNX_STATUS_SUCCESS);
    }
    EXPECT_EQ(out.sampleNumber, 999u);
    EXPECT_EQ(allocations - before, 0);
}

} // namespace
