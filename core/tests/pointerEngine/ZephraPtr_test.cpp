#include "pointerEngine/ZephraPtr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace vnx {
namespace {

std::uint64_t clockNs = 0;
int clockReads = 0;
std::uint64_t steppedClock()
{
    ++clockReads;
    return clockNs += 1000;
}

std::vector<std::string> lines;
void collect(const char* line)
{
    lines.emplace_back(line);
}

class Engine : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ZephraPtr::trace(0, nullptr);
        lines.clear();
        clockReads = 0;
        ASSERT_EQ(zephraPtr_init(steppedClock, &engine_), 0);
        ASSERT_NE(engine_, nullptr);
    }
    void TearDown() override
    {
        ZephraPtr::trace(0, nullptr); // the trace is process-wide
        EXPECT_EQ(zephraPtr_exit(engine_), 0);
    }

    ZephraPtr_ProcessResult run(ZephraPtr_Command command, int expected = 0)
    {
        ZephraPtr_ProcessResult result;
        std::memset(&result, 0x5A, sizeof result);
        EXPECT_EQ(zephraPtr_run(engine_, &command, &result), expected) << command.code;
        return result;
    }
    ZephraPtr_ProcessResult location() { return run(command(ZEPHRA_PTR_GET_LOCATION)); }
    static ZephraPtr_Command command(std::uint32_t code)
    {
        ZephraPtr_Command c;
        std::memset(&c, 0, sizeof c);
        c.code = code;
        return c;
    }
    static ZephraPtr_Command delta(std::int32_t x, std::int32_t y, std::int32_t sampleId = 1,
                                   std::uint32_t button = 0)
    {
        ZephraPtr_Command c = command(ZEPHRA_PTR_PROCESS_DELTA);
        c.data.delta = {x, y, button, sampleId};
        return c;
    }
    ZephraPtr_Config config()
    {
        ZephraPtr_Config c;
        EXPECT_EQ(zephraPtr_getConfig(engine_, &c), 0);
        return c;
    }

    ZephraPtr* engine_ = nullptr;
};

TEST_F(Engine, StartsShownAtTheCentreOfItsInternalLimits)
{
    const ZephraPtr_ProcessResult r = location();
    EXPECT_EQ(r.x, 320);
    EXPECT_EQ(r.y, 240);
    EXPECT_EQ(r.pointerState, 0u);
    EXPECT_EQ(r.distance, 0.0f);
    const ZephraPtr_Bounds& l = engine_->internalLimits();
    EXPECT_EQ(l.x, -120);
    EXPECT_EQ(l.y, -120);
    EXPECT_EQ(l.width, 880);
    EXPECT_EQ(l.height, 720);
    const ZephraPtr_Config c = config();
    EXPECT_EQ(c.periodUs, 9000u);
    EXPECT_EQ(c.ballistics, 1u);
    EXPECT_EQ(c.alignmentMode, 2u);
    EXPECT_EQ(c.alignmentScale, 1.15f);
    EXPECT_EQ(c.suppression[0], 376000u);
    EXPECT_EQ(c.suppression[7], 45u);
    // Ballistics 1: the classic post-gain carries the gain, 1.0 x 480 / 720.
    EXPECT_EQ(engine_->ballisticsState().postGain, 85);
}

TEST_F(Engine, FlatApiRefusesBadHandlesAndCodes)
{
    ZephraPtr* none = nullptr;
    EXPECT_EQ(zephraPtr_init(nullptr, &none), -1002);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(zephraPtr_init(steppedClock, nullptr), -2);
    EXPECT_EQ(zephraPtr_exit(nullptr), -1001);
    ZephraPtr_Config c{};
    EXPECT_EQ(zephraPtr_getConfig(nullptr, &c), -1001);
    EXPECT_EQ(zephraPtr_setConfig(nullptr, &c), -1001);
    EXPECT_EQ(zephraPtr_getConfig(engine_, nullptr), -2);
    ZephraPtr_ProcessResult r{};
    const ZephraPtr_Command tick = command(ZEPHRA_PTR_TICK);
    EXPECT_EQ(zephraPtr_run(nullptr, &tick, &r), -1001);
    EXPECT_EQ(zephraPtr_run(engine_, nullptr, &r), -2);
    EXPECT_EQ(zephraPtr_run(engine_, &tick, nullptr), -2);
    run(command(13), -1007);
    run(command(0xFFFFFFFFu), -1007);
    run(command(ZEPHRA_PTR_PROCESS_DELTA_BODYFRAME), -1008);
}

TEST_F(Engine, ShakeDetectionPullsFifteenPercentTowardsTheCentre)
{
    ZephraPtr_Command force = command(ZEPHRA_PTR_FORCE_LOCATION);
    force.data.forceLocation = {420, 240};
    run(force);
    EXPECT_EQ(location().x, 420);
    ZephraPtr_ProcessResult r;
    engine_->processShakeDetection(r);
    EXPECT_EQ(r.x, 405); // 320 + trunc(85.5)
    EXPECT_EQ(r.y, 240);
    EXPECT_TRUE(engine_->alignmentResetPending());
}

TEST_F(Engine, HideShowAndLimits)
{
    EXPECT_EQ(run(command(ZEPHRA_PTR_FORCE_HIDE)).pointerState, 1u);
    EXPECT_EQ(location().pointerState, 1u);
    EXPECT_EQ(run(command(ZEPHRA_PTR_FORCE_SHOW)).pointerState, 0u);

    // Relative mode: past the right edge of the visible area, inside the
    // internal limits: reported hidden, unclamped, with the distance out.
    ZephraPtr_Config c = config();
    c.alignmentMode = 0;
    c.alignmentMode = 2; // internal limits grow around the display
    ASSERT_EQ(zephraPtr_setConfig(engine_, &c), 0);
    ZephraPtr_ProcessResult r = run(delta(330, 0));
    EXPECT_EQ(r.x, 650);
    EXPECT_EQ(r.pointerState, 1u);
    EXPECT_FLOAT_EQ(r.distance, 11.0f); // 650 - 639
    EXPECT_EQ(r.flag, 0u);
    // Far past the internal limits: clamped to their right edge (759).
    r = run(delta(500, 0));
    EXPECT_EQ(r.x, 759);
    r = run(delta(-10000, -10000));
    EXPECT_EQ(r.x, -120);
    EXPECT_EQ(r.y, -120);
    EXPECT_NEAR(r.distance, std::sqrt(2.0f) * 120.0f, 1e-3f);
}

TEST_F(Engine, SetBoundsRecentresAndKeepsAnAlignmentOfTheSameSize)
{
    ZephraPtr_Command bounds = command(ZEPHRA_PTR_SET_BOUNDS);
    bounds.data.setBounds = {{0, 0, 640, 480}, {0, 0, 640, 480}};
    const PointerAlignment* before = engine_->alignment();
    run(delta(50, 50));
    ZephraPtr_ProcessResult r = run(bounds);
    EXPECT_EQ(engine_->alignment(), before);
    EXPECT_EQ(r.x, 320);
    EXPECT_EQ(r.y, 240);

    bounds.data.setBounds = {{0, 0, 5120, 3200}, {0, 0, 5120, 3200}};
    r = run(bounds);
    EXPECT_EQ(engine_->alignment()->screenWidth(), 5120.0f + 1600.0f);
    EXPECT_EQ(engine_->alignment()->screenHeight(), 3200.0f + 1600.0f);
    EXPECT_EQ(r.x, 2560);
    EXPECT_EQ(r.y, 1600);
    EXPECT_EQ(engine_->internalLimits().x, -800);
}

TEST_F(Engine, GainModes)
{
    ZephraPtr_Command bounds = command(ZEPHRA_PTR_SET_BOUNDS);
    bounds.data.setBounds = {{0, 0, 1280, 720}, {0, 0, 1280, 720}};
    run(bounds);
    struct Case
    {
        std::uint32_t ballistics, mickey;
        float gain, gainX, gainY;
    };
    const Case cases[] = {
        {0, 1, 2.0f, 2.0f, 2.0f},
        {0, 0, 1.5f, 1.5f, 1.5f},
        {2, 1, 1.0f, 1280.0f / (0.5235988f * 1994.1073f), 1280.0f / (0.5235988f * 1994.1073f)},
        {3, 1, 1.5f, 1.5f, 1.5f}, // no camera value yet
        {4, 1, 3.0f, 1.0f, 1.0f},
    };
    for (const Case& k : cases) {
        ZephraPtr_Config c = config();
        c.ballistics = k.ballistics;
        c.enableMickeyConversion = k.mickey;
        c.gain = k.gain;
        ASSERT_EQ(zephraPtr_setConfig(engine_, &c), 0);
        EXPECT_NEAR(engine_->gainX(), k.gainX, 1e-5f) << k.ballistics;
        EXPECT_NEAR(engine_->gainY(), k.gainY, 1e-5f) << k.ballistics;
    }
    ZephraPtr_Config c = config();
    c.ballistics = 1;
    c.gain = 1.3f;
    zephraPtr_setConfig(engine_, &c);
    EXPECT_EQ(engine_->ballisticsState().postGain, 166); // 1.3 x 128 + 0.5
    EXPECT_EQ(engine_->gainX(), 1.0f);
}

TEST_F(Engine, BoundedPathMovesByWholeCountsAndShowsThePointer)
{
    ZephraPtr_Config c = config();
    c.alignmentMode = 1;
    ASSERT_EQ(zephraPtr_setConfig(engine_, &c), 0);
    ZephraPtr_ProcessResult start;
    engine_->getLocation(start);
    // While an alignment reset is pending the motion passes unaligned.
    ZephraPtr_ProcessDeltaUserframeData data{};
    data.angularPosition[0] = 1.0f;
    ZephraPtr_ProcessResult r;
    data.delta = {2, 0, 0, 1};
    engine_->processDeltaUserframeBoundedOptimized(data, 0.0f, 1, r);
    EXPECT_EQ(r.x, start.x + 2);
    EXPECT_EQ(r.pointerState, 0u);
    EXPECT_FALSE(engine_->alignmentResetPending());
}

TEST_F(Engine, ForceHideLastsUntilTheBoundedPathShowsThePointer)
{
    run(command(ZEPHRA_PTR_FORCE_HIDE));
    ZephraPtr_ProcessDeltaUserframeData data{};
    data.angularPosition[0] = 1.0f;
    data.delta = {0, 0, 0, 1};
    ZephraPtr_ProcessResult r;
    engine_->processDeltaUserframeBoundedOptimized(data, 0.0f, 1, r);
    EXPECT_EQ(r.pointerState, 0u);
}

TEST_F(Engine, ButtonCodesBecomePointerStates)
{
    ZephraPtr_Config c = config();
    c.alignmentMode = 0;
    ASSERT_EQ(zephraPtr_setConfig(engine_, &c), 0);
    EXPECT_EQ(run(delta(0, 0, 10, 1)).pointerState, 5u); // press held, both features on
    EXPECT_EQ(run(delta(0, 0, 11, 2)).pointerState, 4u); // release passed as a click
    ASSERT_EQ(zephraPtr_setConfig(engine_, &c), 0);      // idle again, both features on
    engine_->setButtonSuppressionClickMode(false);
    EXPECT_EQ(run(delta(0, 0, 12, 1)).pointerState, 2u); // drag starts at once
    EXPECT_EQ(run(delta(0, 0, 13, 2)).pointerState, 3u);
}

TEST_F(Engine, AlignedPathHidesThePointerWhileTheDeviceAimsOffScreen)
{
    ZephraPtr_Command bounds = command(ZEPHRA_PTR_SET_BOUNDS);
    bounds.data.setBounds = {{0, 0, 1280, 720}, {0, 0, 1280, 720}};
    run(bounds);
    ZephraPtr_Config c = config();
    c.ballistics = 2; // pixels follow the viewing angle
    ASSERT_EQ(zephraPtr_setConfig(engine_, &c), 0);
    const float ppr = engine_->gainX() * 1994.1073f;

    // The device aims at yaw 0 while the pointer is at the centre; turning
    // right moves the pointer right by the gain.
    ZephraPtr_Command step = command(ZEPHRA_PTR_PROCESS_DELTA_USERFRAME);
    auto aim = [&](float yaw, std::int32_t dx, std::int32_t sampleId) {
        const float h = -yaw / 2.0f; // the map measures ref x conj(q)
        step.data.userframe.delta = {dx, 0, 0, sampleId};
        step.data.userframe.angularPosition[0] = std::cos(h);
        step.data.userframe.angularPosition[3] = std::sin(h);
        return run(step);
    };
    ZephraPtr_ProcessResult r = aim(0.0f, 0, 1);
    EXPECT_EQ(r.x, 640);
    EXPECT_EQ(r.pointerState, 0u);
    int sample = 2;
    float yaw = 0.0f;
    const std::int32_t stepCounts = static_cast<std::int32_t>(ppr * 0.01f);
    for (int i = 0; i < 20; ++i) {
        yaw += 0.01f;
        r = aim(yaw, stepCounts, sample++);
        EXPECT_EQ(r.pointerState, 0u) << i;
    }
    EXPECT_NEAR(r.x, 640 + 20 * stepCounts, 20);
    // Keep turning right: past the right edge the pointer hides and stays.
    for (int i = 0; i < 60; ++i) {
        yaw += 0.01f;
        r = aim(yaw, stepCounts, sample++);
    }
    EXPECT_EQ(r.pointerState, 1u);
    EXPECT_NE(engine_->offScreenState(), 0u);
    // Aiming back at the middle brings it back on screen.
    for (int i = 0; i < 80; ++i) {
        yaw -= 0.01f;
        r = aim(yaw, -stepCounts, sample++);
    }
    EXPECT_EQ(engine_->offScreenState(), 0u);
    EXPECT_EQ(r.pointerState, 0u);
    EXPECT_NEAR(r.x, 640, 80);
}

TEST_F(Engine, TraceLinesAndLevels)
{
    ZephraPtr::trace(9, collect);
    ZephraPtr_Config c = config();
    ASSERT_EQ(zephraPtr_setConfig(engine_, &c), 0);
    ASSERT_FALSE(lines.empty());
    const std::string& configLine = lines.back();
    EXPECT_EQ(configLine.rfind(std::string(20, ' ') + "<sample id=\"", 0), 0u) << configLine;
    EXPECT_NE(configLine.find("periodUs=\"9000\" enableMickeyConversion=\"1\" gain=\"1.0000000\""),
              std::string::npos)
        << configLine;
    EXPECT_NE(configLine.find("suppression=\"376000,128000,296000,296000,35,8,45,45\">"), std::string::npos);

    lines.clear();
    run(delta(3, -4, 77, 0));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              std::string(12, ' ') + "<sample id=\"77\" cmdType=\"ProcessDelta\" XY=\"3,-4\"  button=\"0\">");
    EXPECT_EQ(lines[1].rfind(std::string(12, ' ') + "<sample id=\"77\" eventTime=\"", 0), 0u) << lines[1];
    EXPECT_EQ(lines[1].substr(lines[1].size() - 3), "\"/>");
    EXPECT_EQ(lines[2], std::string(12, ' ') + "<sample id=\"77\" pointerState=\"0\" XY=\"323,236\">");

    // Level 2: command lines only.
    ZephraPtr::trace(2, collect);
    lines.clear();
    run(command(ZEPHRA_PTR_RECENTER));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(12, ' ') + "<sample id=\"77\" cmdType=\"Recenter\">");

    // A null callback forces level 0: nothing, and no time stamps.
    ZephraPtr::trace(9, nullptr);
    lines.clear();
    clockReads = 0;
    run(delta(1, 1, 78));
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(clockReads, 0);
}

} // namespace
} // namespace vnx
