#include "sensorFusion/GyroStabilizedFilter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/NodeManager.h"
#include "fusionTestSupport.h"
#include "log/Logger.h"

namespace vnx {
namespace {

using namespace fusionTest;

constexpr std::uint32_t kPeriodUs = 8000;

struct Result
{
    Vector3 filtered;
    Fp32 noise;
    Fp32 residual;
};

Result step(GyroStabilizedFilter& f, const Vector3& v, float alpha = -0.9f,
            std::uint32_t intervalUs = kPeriodUs, const Quaternion& q = Quaternion::identity())
{
    Result r{};
    f.process(intervalUs, kPeriodUs, Fp32(alpha), v, q, r.filtered, r.noise, r.residual);
    return r;
}

TEST(GyroStabilizedFilter, GapOfMoreThanThirtyPeriodsRestartsAtTheInput)
{
    struct Case
    {
        std::uint32_t intervalUs;
        bool restarts;
    };
    for (const Case& c : {Case{240000, false}, Case{240001, true}}) {
        SCOPED_TRACE(c.intervalUs);
        GyroStabilizedFilter f;
        f.init();
        for (int i = 0; i < 10; ++i)
            step(f, vec(0, 0, -9.8f));
        const Result r = step(f, vec(9.8f, 0, 0), -0.9f, c.intervalUs);
        if (c.restarts) {
            EXPECT_EQ(r.filtered, vec(9.8f, 0, 0));
        } else {
            EXPECT_LT(r.filtered[0].value(), 1.0f); // the heavy filter has barely moved
            EXPECT_LT(r.filtered[2].value(), -8.0f);
        }
    }
}

TEST(GyroStabilizedFilter, FirstSampleAfterInitEqualsInput)
{
    GyroStabilizedFilter f;
    f.init();
    EXPECT_EQ(step(f, vec(1, 2, 3)).filtered, vec(1, 2, 3));
    step(f, vec(5, 5, 5));
    f.init();
    EXPECT_EQ(step(f, vec(-4, 0.5f, 7)).filtered, vec(-4, 0.5f, 7));
}

TEST(GyroStabilizedFilter, ZeroAlphaPassesInputThroughInAnyFrame)
{
    GyroStabilizedFilter f;
    f.init();
    const Quaternion frames[] = {Quaternion::identity(), axisAngle(1, 0, 0, 0.7f),
                                 axisAngle(0.3f, -1, 2, 2.5f)};
    const Vector3 inputs[] = {vec(0, 0, -9.8f), vec(3, -1, 0.25f), vec(-20, 40, 5)};
    for (const Quaternion& q : frames) {
        for (const Vector3& v : inputs) {
            const Result r = step(f, v, 0.0f, kPeriodUs, q);
            expectVectorNear(r.filtered, v, 2e-5f * v.infNorm().value());
        }
    }
}

TEST(GyroStabilizedFilter, FiltersInTheIntegrationFrame)
{
    // A vector fixed in the world, seen by a device that turns: the filtered
    // vector follows the device frame at once, without lag.
    GyroStabilizedFilter f;
    f.init();
    const Vector3 world = vec(0, 0, -9.8f);
    Result r{};
    for (int i = 0; i < 50; ++i) {
        const Quaternion q = axisAngle(1, 1, 0, 0.05f * i);
        r = step(f, deviceVector(q, world), -0.95f, kPeriodUs, q);
        expectVectorNear(r.filtered, deviceVector(q, world), 1e-4f);
    }
}

TEST(GyroStabilizedFilter, ConstantInputReportsUnknownNoiseForThirtyOneSamples)
{
    GyroStabilizedFilter f;
    f.init();
    for (int i = 1; i <= 40; ++i) {
        const Result r = step(f, vec(0, 0, -9.8f));
        EXPECT_EQ(r.noise.value(), i <= 31 ? 10.0f : 0.0f) << "sample " << i;
    }
}

TEST(GyroStabilizedFilter, NoiseWindowsRunOffsetBySixtyFourSamples)
{
    // With alpha 0 a ramp x = n makes each window's spread its count - 1.
    GyroStabilizedFilter f;
    f.init();
    struct Expect
    {
        int sample;
        float noise;
        float lastWindow;
    };
    const Expect expected[] = {
        {31, 10.0f, 0.0f},    {32, 31.0f, 0.0f},    {63, 62.0f, 0.0f},     {64, 63.0f, 63.0f},
        {65, 64.0f, 63.0f},   {127, 126.0f, 63.0f}, {128, 127.0f, 127.0f}, {129, 64.0f, 127.0f},
        {192, 63.0f, 127.0f}, {193, 64.0f, 127.0f},
    };
    int next = 0;
    for (int n = 1; n <= 193; ++n) {
        const Result r = step(f, vec(float(n), 0, 0), 0.0f);
        if (n == expected[next].sample) {
            EXPECT_EQ(r.noise.value(), expected[next].noise) << "sample " << n;
            EXPECT_EQ(f.getLastWindowNoise().value(), expected[next].lastWindow) << "sample " << n;
            ++next;
        }
    }
    EXPECT_EQ(next, int(std::size(expected)));
}

TEST(GyroStabilizedFilter, RestartByGapKeepsTheNoiseWindows)
{
    GyroStabilizedFilter f;
    f.init();
    for (int n = 1; n <= 40; ++n)
        step(f, vec(float(n), 0, 0), 0.0f);
    // The gap restarts the stages, not the windows: the spread keeps growing.
    EXPECT_EQ(step(f, vec(41, 0, 0), 0.0f, 1000000).noise.value(), 40.0f);
}

TEST(GyroStabilizedFilter, ResidualRisesAtOnceAndFallsSlowly)
{
    GyroStabilizedFilter f;
    f.init();
    Result r = step(f, vec(0, 0, -9.8f));
    EXPECT_NEAR(r.residual.value(), 0.9615f * 0.06f, 1e-6f); // restart level, decaying
    for (int i = 0; i < 20; ++i)
        r = step(f, vec(0, 0, -9.8f));
    const float settled = r.residual.value();
    EXPECT_LT(settled, 0.03f);

    // A step of 10 along x: the fast and slow averages part by (0.074 - 0.004) * 10.
    r = step(f, vec(10, 0, -9.8f));
    EXPECT_NEAR(r.residual.value(), 0.7f, 1e-5f);

    // Back to the old value: the averages close in again and the level
    // follows at most 3.85 % of the way per sample.
    float previous = r.residual.value();
    for (int i = 0; i < 5; ++i) {
        r = step(f, vec(0, 0, -9.8f));
        EXPECT_LT(r.residual.value(), previous);
        EXPECT_GT(r.residual.value(), 0.9615f * previous);
        previous = r.residual.value();
    }
}

TEST(GyroStabilizedFilter, ReferenceDirectionFromRestartOrReset)
{
    GyroStabilizedFilter f;
    f.init();
    step(f, vec(0, 0, 0)); // no direction: the reference falls back to down
    EXPECT_NEAR(f.getAccGyroFrameDeviation(vec(0, 0, -2), Quaternion::identity()).value(), 0.0f, 1e-6f);
    EXPECT_NEAR(f.getAccGyroFrameDeviation(vec(3, 0, 0), Quaternion::identity()).value(), M_PI / 2, 1e-6f);
    EXPECT_NEAR(f.getAccGyroFrameDeviation(vec(0, 0, 5), Quaternion::identity()).value(), M_PI, 1e-3f);

    // The reference lives in the integration frame: a device turned by q sees
    // the same world direction as the same deviation.
    const Quaternion q = axisAngle(0, 1, 0, 0.6f);
    f.resetAccGyroFrameRef(vec(0, 9.8f, 0), Quaternion::identity());
    EXPECT_NEAR(f.getAccGyroFrameDeviation(deviceVector(q, vec(0, 1, 0)), q).value(), 0.0f, 1e-3f);
    EXPECT_NEAR(f.getAccGyroFrameDeviation(deviceVector(q, vec(1, 0, 0)), q).value(), M_PI / 2, 1e-5f);
}

TEST(GyroStabilizedFilter, NamesItsWindowsAndLoggerUnderItsNode)
{
    NodeManager& nodes = NodeManager::getInstance();
    char engine = 0;
    ASSERT_NE(nodes.addNode(nullptr, &engine, NodeInterface::NODE_MODULE, "engine"), nullptr);
    {
        GyroStabilizedFilter f;
        ASSERT_NE(nodes.addNode(&engine, &f, NodeInterface::NODE_SUBNODE, "accFilt"), nullptr);
        for (const char* name : {"engine.accFilt.stats1", "engine.accFilt.stats2"}) {
            NodeInterface* node = nodes.getNode(name);
            ASSERT_NE(node, nullptr) << name;
            EXPECT_EQ(node->getNodeType(), NodeInterface::NODE_SUBNODE);
        }
        NodeInterface* log = nodes.getNode("engine.accFilt.dftLog");
        ASSERT_NE(log, nullptr);
        ASSERT_EQ(log->getNodeType(), NodeInterface::NODE_LOG);
        EXPECT_STREQ(static_cast<const log::Logger*>(**log)->getBlockName(), "vnx_core_GyroStabilizedFilter");
    }
    // The destroyed filter takes its window nodes and its logger along.
    EXPECT_EQ(nodes.getNode("engine.accFilt.stats1"), nullptr);
    EXPECT_EQ(nodes.getNode("engine.accFilt.dftLog"), nullptr);
    nodes.removeNode(static_cast<const void*>(&engine));
}

} // namespace
} // namespace vnx
