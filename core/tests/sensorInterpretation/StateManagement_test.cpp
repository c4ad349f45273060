#include "sensorInterpretation/StateManagement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using vnx::StateManagement;

constexpr uint32_t kUnknown = 0xFFFFFFFFu;

std::vector<uint32_t> deltasOf(StateManagement& counter, const std::vector<uint32_t>& sampleNumbers)
{
    std::vector<uint32_t> deltas;
    for (uint32_t n : sampleNumbers) {
        uint32_t delta = 12345;
        counter.calcDSample(n, delta);
        deltas.push_back(delta);
    }
    return deltas;
}

TEST(StateManagement, DeltaIsTheWrappingStepBetweenSampleNumbers)
{
    struct Case
    {
        const char* what;
        std::vector<uint32_t> sampleNumbers;
        std::vector<uint32_t> deltas;
    };
    const Case cases[] = {
        {"consecutive", {500, 501, 502}, {kUnknown, 1, 1}},
        {"gap of lost samples", {7, 8, 12}, {kUnknown, 1, 4}},
        {"repeated number", {10, 10}, {kUnknown, 0}},
        {"step back reads as a huge gap", {10, 9}, {kUnknown, kUnknown}},
        {"counter wrap", {0xFFFFFFFEu, 0xFFFFFFFFu, 0, 1}, {kUnknown, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StateManagement counter;
        counter.init();
        EXPECT_EQ(deltasOf(counter, c.sampleNumbers), c.deltas);
    }
}

TEST(StateManagement, InitMakesTheNextGapUnknownAgain)
{
    StateManagement counter;
    counter.init();
    EXPECT_EQ(deltasOf(counter, {3, 4}), (std::vector<uint32_t>{kUnknown, 1}));
    counter.init();
    EXPECT_EQ(deltasOf(counter, {5, 6}), (std::vector<uint32_t>{kUnknown, 1}));
}

TEST(StateManagement, FirstSampleBeforeAnyInitIsAnUnknownGap)
{
    StateManagement counter;
    EXPECT_EQ(deltasOf(counter, {42, 43}), (std::vector<uint32_t>{kUnknown, 1}));
}

} // namespace
