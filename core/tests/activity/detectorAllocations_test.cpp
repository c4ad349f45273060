// Per-sample work of the event detectors allocates nothing: each runs a
// minute of varied motion (still, shaken, turned over) after its setup.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "detectorRig.h"
#include "support/allocationCounter.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activitytest::DetectorRig;
using vnx::testsupport::Acc;

/// Still, then shaken hard along x (+-12 m/s^2, direction changing every
/// 150 ms), then turned face down.
std::vector<vnx_Mobile_Output_s> variedMotion(std::uint32_t periodUs)
{
    const auto count = static_cast<std::size_t>(60000000u / periodUs);
    return vnx::testsupport::accelerometerRecords(count, periodUs, [](std::size_t, double t) {
        if (t < 20.0)
            return Acc{0.0f, 0.0f, 9.81f};
        if (t < 40.0) {
            const bool positive = static_cast<long>(t / 0.15) % 2 == 0;
            return Acc{positive ? 12.0f : -12.0f, 0.0f, 9.81f};
        }
        return Acc{0.0f, 0.0f, -9.81f};
    });
}

/// One and a half turns of a 6 m/s^2 deviation in the x-y plane after a
/// second at rest, three times.
std::vector<vnx_Mobile_Output_s> circles(std::uint32_t periodUs)
{
    const auto count = static_cast<std::size_t>(9000000u / periodUs);
    return vnx::testsupport::accelerometerRecords(count, periodUs, [](std::size_t, double t) {
        const double inCycle = t - 3.0 * static_cast<int>(t / 3.0);
        if (inCycle < 1.0)
            return Acc{0.0f, 0.0f, 9.81f};
        const double r = 2.0 * 3.14159265358979 * (inCycle - 1.0);
        return Acc{static_cast<float>(6.0 * std::cos(r)), static_cast<float>(6.0 * std::sin(r)), 9.81f};
    });
}

template <class Api>
void expectNoAllocationPerSample(std::int32_t periodUs,
                                 std::vector<vnx_Mobile_Output_s> (*motion)(std::uint32_t) = variedMotion)
{
    DetectorRig<Api> rig(periodUs);
    const auto records = motion(static_cast<std::uint32_t>(periodUs));
    long events = 0;
    const long allocations = vnx::test::allocationsDuring([&] {
        for (const vnx_Mobile_Output_s& in : records)
            events += rig.process(in).event != 0;
    });
    EXPECT_EQ(allocations, 0) << Api::kLoggerBlock;
    EXPECT_GT(events, 0) << Api::kLoggerBlock << ": the motion reached the decision rule";
}

TEST(EventDetectors, ProcessAllocatesNothing)
{
    using namespace vnx::activitytest;
    expectNoAllocationPerSample<SleepApi>(200000);
    expectNoAllocationPerSample<ShakeAccApi>(10000);
    expectNoAllocationPerSample<FlipApi>(100000);
    expectNoAllocationPerSample<TiltApi>(100000);
    expectNoAllocationPerSample<PickUpApi>(100000);
    expectNoAllocationPerSample<CircleApi>(40000, circles);
}

} // namespace
