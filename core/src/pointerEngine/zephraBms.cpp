#include "pointerEngine/zephraBms.h"

#include <cmath>
#include <cstdlib>
#include <new>

#include "common/statusCode.h"
#include "moduleFactory/flatApiGuard.h"

namespace {

constexpr int32_t kTickMsInt = 25;
constexpr float kBacklashMagnitude = 20.0f; // counts
constexpr float kFlickCountsPerMs = 20.0f;  // faster than this is a deliberate move
constexpr float kJumpCounts = 25.0f;        // radial jump in one tick that ends at once
constexpr float kTickOneJumpCounts = 50.0f;

enum BmsEvent
{
    kPressEvent = 0,
    kReleaseEvent = 1,
    kTickEvent = 2,
    kResetEvent = 3,
};

// Counts of radial motion allowed per tick; tick 7 and later allow 1.
float tickThreshold(int32_t tick)
{
    switch (tick) {
    case 1:
        return 25.0f;
    case 2:
        return 20.0f;
    case 3:
        return 10.0f;
    case 4:
        return 5.0f;
    case 5:
        return 4.0f;
    case 6:
        return 2.0f;
    default:
        return 1.0f;
    }
}

float floatabs(float x)
{
    return x < 0.0f ? -x : x;
}

float length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

void restart(zephraBms_state_s* s)
{
    s->elapsedMs = 0;
    s->accumulatedX = 0;
    s->accumulatedY = 0;
    circularBacklash_setMagnitude(&s->backlash, kBacklashMagnitude);
    circularBacklash_reset(&s->backlash);
    UpdateFlag_init(&s->updateFlag);
}

bool updateFlagEnds(zephraBms_state_s* s)
{
    const int32_t tick = static_cast<int32_t>(s->elapsedMs) / kTickMsInt;
    UpdateFlag_process(&s->updateFlag, tick, static_cast<float>(s->accumulatedX),
                       static_cast<float>(s->accumulatedY), static_cast<float>(s->dtMs));
    return s->updateFlag.end != 0.0f;
}

// One transition of the state machine; returns the code.
int bmsHandle(zephraBms_state_s* s, int event)
{
    if (event == kResetEvent) {
        restart(s);
        s->state = 0;
        return ZEPHRA_BMS_NOTHING;
    }
    auto moveTo = [s](uint32_t state, int code) {
        restart(s);
        s->state = state;
        return code;
    };
    switch (s->state) {
    case 0:
        if (event != kPressEvent)
            return ZEPHRA_BMS_NOTHING;
        if (!s->dragFeature)
            return s->selectFeature ? moveTo(2, ZEPHRA_BMS_CLICK) : moveTo(1, ZEPHRA_BMS_CLICK);
        return s->selectFeature ? moveTo(4, ZEPHRA_BMS_PRESS_HELD) : moveTo(5, ZEPHRA_BMS_DRAG_STARTED);
    case 1:
        return event == kReleaseEvent ? moveTo(0, ZEPHRA_BMS_NOTHING) : ZEPHRA_BMS_NOTHING;
    case 2:
        if (event == kReleaseEvent)
            return moveTo(3, ZEPHRA_BMS_NOTHING);
        if (event == kTickEvent && updateFlagEnds(s))
            return moveTo(1, ZEPHRA_BMS_NOTHING);
        return ZEPHRA_BMS_NOTHING;
    case 3:
        if (event == kPressEvent)
            return moveTo(2, ZEPHRA_BMS_CLICK);
        if (event == kTickEvent && updateFlagEnds(s))
            return moveTo(0, ZEPHRA_BMS_NOTHING);
        return ZEPHRA_BMS_NOTHING;
    case 4:
        if (event == kReleaseEvent)
            return moveTo(3, ZEPHRA_BMS_CLICK);
        if (event == kTickEvent && updateFlagEnds(s))
            return moveTo(5, ZEPHRA_BMS_DRAG_STARTED);
        return ZEPHRA_BMS_NOTHING;
    case 5:
        return event == kReleaseEvent ? moveTo(0, ZEPHRA_BMS_DRAG_ENDED) : ZEPHRA_BMS_NOTHING;
    default:
        return ZEPHRA_BMS_NOTHING;
    }
}

} // namespace

extern "C" {

float bmsRound(float x)
{
    const float f = std::floor(x);
    return (x + 0.5f >= f + 1.0f) ? f + 1.0f : f;
}

void UpdateFlag_init(UpdateFlag_s* flag)
{
    if (flag == nullptr)
        return;
    *flag = UpdateFlag_s{};
    flag->previousSteady = 1.0f;
    flag->steady = 1.0f;
}

void UpdateFlag_process(UpdateFlag_s* f, int32_t tick, float x, float y, float dtMs)
{
    if (f == nullptr)
        return;
    f->previousTick = f->tick;
    f->tick = tick;
    f->previousX = f->currentX;
    f->previousY = f->currentY;
    f->currentX = x;
    f->currentY = y;

    if (f->tick == f->previousTick) {
        // A flick within one tick: faster than the hand's jitter can be.
        const float step = length(f->currentX - f->previousX, f->currentY - f->previousY);
        if (step / dtMs > kFlickCountsPerMs)
            f->end = 1.0f;
        return;
    }

    // Change of distance from the press point over the tick before.
    const float r = length(f->previousX, f->previousY) - length(f->tickStartX, f->tickStartY);
    f->tickStartXBefore = f->tickStartX;
    f->tickStartYBefore = f->tickStartY;
    f->tickStartX = x;
    f->tickStartY = y;

    bool checkThreshold = true;
    if (tick < 5) {
        f->drift = 0.0f;
        if (tick == 1) {
            f->previousSteady = f->steady;
            f->previousEnd = f->end;
            f->end = 0.0f;
            f->steady = floatabs(r) < kJumpCounts ? 1.0f : 0.0f;
            checkThreshold = false;
        }
    } else if (tick == 5) {
        f->drift = r;
    } else {
        f->drift += r;
    }

    if (checkThreshold) {
        if (f->steady == 0.0f && f->end == 0.0f)
            f->end = 1.0f;
        if (f->end != 0.0f) {
            f->steady = 0.0f;
            f->end = 1.0f;
        } else {
            const float n = bmsRound(floatabs(r));
            if (n > tickThreshold(tick) || floatabs(f->drift) > 1.0f)
                f->steady = 0.0f;
            if (floatabs(r) > kJumpCounts) {
                f->steady = 0.0f;
                f->end = 1.0f;
            }
        }
    }
    if (floatabs(r) > kTickOneJumpCounts) {
        f->steady = 0.0f;
        f->end = 1.0f;
    }
}

int zephraBms_init(zephraBms_state_s** state)
{
    if (state == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    auto* s = static_cast<zephraBms_state_s*>(std::calloc(1, sizeof(zephraBms_state_s)));
    *state = s;
    if (s == nullptr)
        return -3;
    circularBacklash_init(&s->backlash, 0.0f, 1.0f);
    UpdateFlag_init(&s->updateFlag);
    s->dragFeature = 0;
    s->selectFeature = 1;
    return VNX_STATUS_SUCCESS;
}

int zephraBms_exit(zephraBms_state_s* state)
{
    if (state == nullptr)
        return -1;
    std::free(state);
    return VNX_STATUS_SUCCESS;
}

void zephraBms_reset(zephraBms_state_s* state)
{
    if (state != nullptr)
        bmsHandle(state, kResetEvent);
}

void zephraBms_setFeatureDrag(zephraBms_state_s* state, uint8_t on)
{
    if (state != nullptr)
        state->dragFeature = on;
}

void zephraBms_setFeatureSelect(zephraBms_state_s* state, uint8_t on)
{
    if (state != nullptr)
        state->selectFeature = on;
}

int zephraBms_process(zephraBms_state_s* s, uint32_t timeMs, int32_t event, int32_t motion[2],
                      uint8_t* suppressed)
{
    if (s == nullptr || motion == nullptr || suppressed == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    s->dtMs = timeMs - s->lastTimeMs;
    s->elapsedMs += s->dtMs;
    s->accumulatedX =
        static_cast<int32_t>(static_cast<uint32_t>(s->accumulatedX) + static_cast<uint32_t>(motion[0]));
    s->accumulatedY =
        static_cast<int32_t>(static_cast<uint32_t>(s->accumulatedY) + static_cast<uint32_t>(motion[1]));
    s->lastX = motion[0];
    s->lastY = motion[1];
    s->lastTimeMs = timeMs;

    int buttonCode = ZEPHRA_BMS_NOTHING;
    if (event == ZEPHRA_BMS_EVENT_PRESS)
        buttonCode = bmsHandle(s, kPressEvent);
    else if (event == ZEPHRA_BMS_EVENT_RELEASE)
        buttonCode = bmsHandle(s, kReleaseEvent);
    const int tickCode = bmsHandle(s, kTickEvent);

    const bool suppress = s->state == 2 || s->state == 3 || s->state == 4;
    if (suppress) {
        motion[0] = 0;
        motion[1] = 0;
    }
    *suppressed = suppress ? 1 : 0;
    return tickCode != ZEPHRA_BMS_NOTHING ? tickCode : buttonCode;
}

} // extern "C"
