#include "pointerEngine/zephraBms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ButtonMotion : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(zephraBms_init(&state_), 0); }
    void TearDown() override { EXPECT_EQ(zephraBms_exit(state_), 0); }

    void features(bool drag, bool select)
    {
        zephraBms_setFeatureDrag(state_, drag ? 1 : 0);
        zephraBms_setFeatureSelect(state_, select ? 1 : 0);
    }

    // One call 8 ms after the previous one.
    int call(int32_t event, int32_t dx = 0, int32_t dy = 0)
    {
        timeMs_ += 8;
        int32_t motion[2] = {dx, dy};
        const int code = zephraBms_process(state_, timeMs_, event, motion, &suppressed_);
        if (suppressed_) {
            EXPECT_EQ(motion[0], 0);
            EXPECT_EQ(motion[1], 0);
        } else {
            EXPECT_EQ(motion[0], dx);
        }
        return code;
    }

    zephraBms_state_s* state_ = nullptr;
    uint32_t timeMs_ = 1000;
    uint8_t suppressed_ = 0;
};

TEST_F(ButtonMotion, StartsWithSelectOnlyAndIdle)
{
    EXPECT_EQ(state_->state, 0u);
    EXPECT_EQ(state_->dragFeature, 0);
    EXPECT_EQ(state_->selectFeature, 1);
    EXPECT_EQ(state_->updateFlag.steady, 1.0f);
}

TEST_F(ButtonMotion, BothFeaturesHoldStillPressReleaseIsAClick)
{
    features(true, true);
    EXPECT_EQ(call(ZEPHRA_BMS_EVENT_PRESS), ZEPHRA_BMS_PRESS_HELD);
    EXPECT_EQ(suppressed_, 1);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(call(ZEPHRA_BMS_EVENT_NONE), ZEPHRA_BMS_NOTHING);
    EXPECT_EQ(call(ZEPHRA_BMS_EVENT_RELEASE), ZEPHRA_BMS_CLICK);
    EXPECT_EQ(state_->state, 3u);
    EXPECT_EQ(suppressed_, 1);
    // A perfectly still hand keeps the click pending (nothing moves anyway);
    // the first slow motion ends it within a few ticks.
    for (int i = 0; i < 200; ++i)
        call(ZEPHRA_BMS_EVENT_NONE);
    EXPECT_EQ(state_->state, 3u);
    int calls = 0;
    while (state_->state == 3u && calls < 200) {
        call(ZEPHRA_BMS_EVENT_NONE, 1, 0);
        ++calls;
    }
    EXPECT_EQ(state_->state, 0u);
    EXPECT_EQ(suppressed_, 0);
    EXPECT_LT(calls, 20);
}

TEST_F(ButtonMotion, HoldingAndMovingBecomesADrag)
{
    features(true, true);
    EXPECT_EQ(call(ZEPHRA_BMS_EVENT_PRESS), ZEPHRA_BMS_PRESS_HELD);
    int code = ZEPHRA_BMS_NOTHING;
    for (int i = 0; i < 40 && code == ZEPHRA_BMS_NOTHING; ++i)
        code = call(ZEPHRA_BMS_EVENT_NONE, 6, 0); // 6 counts every 8 ms
    EXPECT_EQ(code, ZEPHRA_BMS_DRAG_STARTED);
    EXPECT_EQ(state_->state, 5u);
    EXPECT_EQ(suppressed_, 0);
    EXPECT_EQ(call(ZEPHRA_BMS_EVENT_RELEASE, 6, 0), ZEPHRA_BMS_DRAG_ENDED);
    EXPECT_EQ(state_->state, 0u);
}

TEST_F(ButtonMotion, FeatureCombinationsOnPressAndRelease)
{
    struct Case
    {
        bool drag, select;
        int pressCode, releaseCode;
        bool suppressedAfterPress;
    };
    const Case cases[] = {
        {true, false, ZEPHRA_BMS_DRAG_STARTED, ZEPHRA_BMS_DRAG_ENDED, false},
        {false, false, ZEPHRA_BMS_CLICK, ZEPHRA_BMS_NOTHING, false},
        {false, true, ZEPHRA_BMS_CLICK, ZEPHRA_BMS_NOTHING, true},
    };
    for (const Case& c : cases) {
        zephraBms_reset(state_);
        features(c.drag, c.select);
        EXPECT_EQ(call(ZEPHRA_BMS_EVENT_PRESS, 3, 0), c.pressCode);
        EXPECT_EQ(suppressed_, c.suppressedAfterPress ? 1 : 0);
        EXPECT_EQ(call(ZEPHRA_BMS_EVENT_RELEASE), c.releaseCode);
        if (!c.drag && !c.select) {
            EXPECT_EQ(suppressed_, 0);
        }
    }
}

TEST_F(ButtonMotion, AFlickEndsTheClickPendingAtOnce)
{
    features(false, true);
    EXPECT_EQ(call(ZEPHRA_BMS_EVENT_PRESS), ZEPHRA_BMS_CLICK);
    EXPECT_EQ(state_->state, 2u);
    call(ZEPHRA_BMS_EVENT_NONE, 0, 0);
    // 200 counts in 8 ms, within one tick: 25 counts per millisecond.
    call(ZEPHRA_BMS_EVENT_NONE, 200, 0);
    EXPECT_EQ(state_->state, 1u);
    EXPECT_EQ(suppressed_, 0);
}

TEST_F(ButtonMotion, AReleaseAndATickInOneCallReportTheRelease)
{
    features(true, true);
    call(ZEPHRA_BMS_EVENT_PRESS);
    EXPECT_EQ(call(ZEPHRA_BMS_EVENT_RELEASE), ZEPHRA_BMS_CLICK);
}

TEST_F(ButtonMotion, ResetKeepsTheFeatures)
{
    features(true, false);
    call(ZEPHRA_BMS_EVENT_PRESS);
    EXPECT_EQ(state_->state, 5u);
    zephraBms_reset(state_);
    EXPECT_EQ(state_->state, 0u);
    EXPECT_EQ(state_->dragFeature, 1);
    EXPECT_EQ(state_->selectFeature, 0);
    EXPECT_EQ(state_->backlash.magnitude, 20.0f);
}

TEST(ButtonMotionApi, NullArguments)
{
    EXPECT_EQ(zephraBms_exit(nullptr), -1);
    EXPECT_EQ(zephraBms_init(nullptr), -2);
    int32_t motion[2] = {0, 0};
    uint8_t suppressed = 0;
    EXPECT_EQ(zephraBms_process(nullptr, 0, 0, motion, &suppressed), -2);
}

// Feeds the flag: tick 1 at (0, 0), tick 2 first at (0, 0) then at `at`,
// and the first call of `tick` at `at` again.
UpdateFlag_s radialChangeFoundAt(int32_t tick, float radial)
{
    UpdateFlag_s f;
    UpdateFlag_init(&f);
    for (int32_t t = 1; t < tick; ++t) {
        UpdateFlag_process(&f, t, 0.0f, 0.0f, 8.0f);
        EXPECT_EQ(f.end, 0.0f) << t;
    }
    UpdateFlag_process(&f, tick - 1, radial, 0.0f, 8.0f);
    UpdateFlag_process(&f, tick, radial, 0.0f, 8.0f);
    return f;
}

TEST(UpdateFlag, RadialChangeAgainstTheTickSchedule)
{
    // 30 counts at tick 3 (more than 25): ends at once.
    EXPECT_EQ(radialChangeFoundAt(3, 30.0f).end, 1.0f);
    // 8 counts at tick 3 (threshold 10): keeps the suppression.
    UpdateFlag_s keep = radialChangeFoundAt(3, 8.0f);
    EXPECT_EQ(keep.end, 0.0f);
    EXPECT_EQ(keep.steady, 1.0f);
    // 8 counts at tick 5 (threshold 4): no longer steady, ends one tick later.
    UpdateFlag_s late = radialChangeFoundAt(5, 8.0f);
    EXPECT_EQ(late.end, 0.0f);
    EXPECT_EQ(late.steady, 0.0f);
    UpdateFlag_process(&late, 6, 8.0f, 0.0f, 8.0f);
    EXPECT_EQ(late.end, 1.0f);
}

TEST(UpdateFlag, CirclingThePressPointIsNoRadialMotion)
{
    UpdateFlag_s f;
    UpdateFlag_init(&f);
    for (int32_t t = 1; t < 20; ++t) {
        const float angle = 0.3f * t;
        // Two calls per tick, 3 counts from the press point.
        UpdateFlag_process(&f, t, 3.0f * std::cos(angle), 3.0f * std::sin(angle), 12.0f);
        UpdateFlag_process(&f, t, 3.0f * std::cos(angle + 0.1f), 3.0f * std::sin(angle + 0.1f), 12.0f);
        EXPECT_EQ(f.end, 0.0f) << t;
    }
}

TEST(UpdateFlag, RoundsHalfUp)
{
    struct Case
    {
        float x, rounded;
    };
    for (const Case c :
         {Case{2.5f, 3.0f}, Case{2.49f, 2.0f}, Case{-2.5f, -2.0f}, Case{0.0f, 0.0f}, Case{7.0f, 7.0f}})
        EXPECT_EQ(bmsRound(c.x), c.rounded) << c.x;
}

} // namespace
