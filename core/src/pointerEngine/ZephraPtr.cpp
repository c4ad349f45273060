#include "pointerEngine/ZephraPtr.h"

#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <new>

#include "common/NodeManager.h"
#include "numerics/saturatingCast.h"

namespace vnx {

namespace {

constexpr float kCountsPerRadian = 1994.1073f;
constexpr float kShakePull = 0.85f; // each shake keeps 85 % of the distance to the centre
constexpr float kHalfPi = 1.5707964f;
constexpr std::size_t kTraceLineBytes = 512;

std::atomic<int> traceLevel{0};
std::atomic<ZephraPtr_TraceCallback> traceCallback{nullptr};

bool tracing(int level)
{
    return traceCallback.load(std::memory_order_relaxed) != nullptr &&
           traceLevel.load(std::memory_order_relaxed) >= level;
}

std::int32_t clampInt(std::int64_t v, std::int64_t lo, std::int64_t hi)
{
    return static_cast<std::int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

bool insideRange(float v, float upper)
{
    return v >= 0.0f && v <= upper;
}

PointerAlignment::Quaternion orientationOf(const ZephraPtr_ProcessDeltaUserframeData& data)
{
    return {data.angularPosition[0], data.angularPosition[1], data.angularPosition[2],
            data.angularPosition[3]};
}

} // namespace

struct ZephraPtr::MotionStep
{
    float p[2];            ///< pointer before the motion, internal-limit coordinates
    std::int32_t moved[2]; ///< p' after the whole-pixel motion
    bool edge[2];          ///< p' at an edge of the internal limits
};

ZephraPtr::ZephraPtr(ZephraPtr_TimeSource timeSource) : timeSource_(timeSource)
{
    if (tracing(5))
        dotraceString("zephraPtr_init: enter");
    const int size[2] = {internalLimits_.width, internalLimits_.height};
    alignment_ = std::make_unique<PointerAlignment>(size);
    if (zephraBms_init(&bms_) != 0)
        throw std::bad_alloc();
    NodeManager::getInstance().addNode(this, alignment_.get(), NodeInterface::NODE_SUBNODE,
                                       "PointerAlignment");
    zephraAlg_initBallisticsState(&ballistics_);
    ZephraPtr_Config defaults;
    getDefaultConfig(defaults);
    setConfig(defaults);
    ZephraPtr_ProcessResult ignored;
    recenter(ignored);
    if (tracing(5))
        dotraceString("zephraPtr_init: exit");
}

ZephraPtr::~ZephraPtr()
{
    if (alignment_)
        NodeManager::getInstance().removeNode(alignment_.get());
    alignment_.reset();
    zephraBms_exit(bms_);
}

void ZephraPtr::getDefaultConfig(ZephraPtr_Config& c)
{
    c.periodUs = 9000;
    c.enableMickeyConversion = 1;
    c.gain = 1.0f;
    c.viewingAngle = 0.5235988f;
    c.ballistics = 1;
    c.alignmentMode = 2;
    c.recenterMode = 0;
    c.cameraMode = 0;
    c.alignmentScale = 1.15f;
    c.alignmentAngle = 0.0349066f;
    c.alignmentMaxError = FLT_MAX;
    const std::uint32_t suppression[8] = {376000, 128000, 296000, 296000, 35, 8, 45, 45};
    for (int i = 0; i < 8; ++i)
        c.suppression[i] = suppression[i];
}

int ZephraPtr::getConfig(ZephraPtr_Config& config) const
{
    if (tracing(5))
        dotraceString("zephraPtr_getConfig()");
    config = config_;
    return 0;
}

void ZephraPtr::traceConfig() const
{
    const ZephraPtr_Config& c = config_;
    dotrace(
        "                    <sample id=\"%u\" periodUs=\"%u\" enableMickeyConversion=\"%d\" gain=\"%0.7f\" "
        "viewingAngle=\"%0.7f\" ballistics=\"%d\" alignmentMode=\"%d\" recenterMode=\"%d\" cameraMode=\"%d\" "
        "alignmentScale=\"%0.7f\" alignmentAngle=\"%0.7f\" alignmentMaxError=\"%0.7f\" "
        "suppression=\"%d,%d,%d,%d,%d,%d,%d,%d\">",
        sampleId_, c.periodUs, static_cast<int>(c.enableMickeyConversion), static_cast<double>(c.gain),
        static_cast<double>(c.viewingAngle), static_cast<int>(c.ballistics),
        static_cast<int>(c.alignmentMode), static_cast<int>(c.recenterMode), static_cast<int>(c.cameraMode),
        static_cast<double>(c.alignmentScale), static_cast<double>(c.alignmentAngle),
        static_cast<double>(c.alignmentMaxError), static_cast<int>(c.suppression[0]),
        static_cast<int>(c.suppression[1]), static_cast<int>(c.suppression[2]),
        static_cast<int>(c.suppression[3]), static_cast<int>(c.suppression[4]),
        static_cast<int>(c.suppression[5]), static_cast<int>(c.suppression[6]),
        static_cast<int>(c.suppression[7]));
}

int ZephraPtr::setConfig(const ZephraPtr_Config& config)
{
    const bool changed = config.alignmentMode != config_.alignmentMode ||
                         config.ballistics != config_.ballistics || config.gain != config_.gain ||
                         config.viewingAngle != config_.viewingAngle;
    if (changed)
        resetAlignment();
    config_ = config;
    if (tracing(2))
        traceConfig();
    updateGain();
    updateInternalLimits();
    zephraBms_reset(bms_);
    zephraBms_setFeatureDrag(bms_, 1);
    zephraBms_setFeatureSelect(bms_, 1);
    return 0;
}

void ZephraPtr::updateGain()
{
    gainX_ = 1.0f;
    gainY_ = 1.0f;
    const float heightRatio = static_cast<float>(osdBounds_.height) / 720.0f;
    const float mickey = config_.enableMickeyConversion ? heightRatio : 1.0f;
    switch (config_.ballistics) {
    case 0:
        gainX_ = gainY_ = config_.gain * mickey;
        break;
    case 1:
        zephraAlg_setBallisticsPostgain(&ballistics_, truncateToInt32(config_.gain * mickey * 128.0f + 0.5f));
        break;
    case 2:
        gainX_ = gainY_ = static_cast<float>(osdBounds_.width) / (config_.viewingAngle * kCountsPerRadian);
        break;
    case 3:
        if (cameraValue_ == 0.0f) {
            gainX_ = gainY_ = config_.gain;
        } else {
            gainX_ = static_cast<float>(osdBounds_.width) / 512.0f *
                     (1.0052361f - 0.07085579f * cameraValue_) * config_.gain;
            gainY_ = static_cast<float>(osdBounds_.height) / 384.0f *
                     (0.63536066f + 0.025297707f * cameraValue_) * config_.gain;
        }
        break;
    default:
        break;
    }
}

void ZephraPtr::pixelsPerRadian(float gains[2]) const
{
    gains[0] = gainX_ * kCountsPerRadian;
    gains[1] = gainY_ * kCountsPerRadian;
}

void ZephraPtr::updateInternalLimits()
{
    const bool offScreenHandling =
        (config_.alignmentMode == 2 || config_.alignmentMode == 3) && config_.cameraMode != 2;
    if (offScreenHandling) {
        const std::int32_t q = osdBounds_.height / 4;
        internalLimits_ = {osdBounds_.x - q, osdBounds_.y - q, osdBounds_.width + 2 * q,
                           osdBounds_.height + 2 * q};
    } else {
        internalLimits_ = pointerLimits_;
    }
}

void ZephraPtr::constrainPointer()
{
    const ZephraPtr_Bounds& l = internalLimits_;
    pointerX_ = clampInt(pointerX_, l.x, static_cast<std::int64_t>(l.x) + l.width - 1);
    pointerY_ = clampInt(pointerY_, l.y, static_cast<std::int64_t>(l.y) + l.height - 1);
}

void ZephraPtr::resetAlignment()
{
    if (alignment_)
        alignment_->resetAlignment();
    resetPending_ = 1;
}

void ZephraPtr::replaceAlignment()
{
    const int size[2] = {internalLimits_.width, internalLimits_.height};
    if (alignment_ && static_cast<int>(alignment_->screenWidth()) == size[0] &&
        static_cast<int>(alignment_->screenHeight()) == size[1])
        return;
    if (alignment_)
        NodeManager::getInstance().removeNode(alignment_.get());
    alignment_ = std::make_unique<PointerAlignment>(size);
    NodeManager::getInstance().addNode(this, alignment_.get(), NodeInterface::NODE_SUBNODE,
                                       "PointerAlignment");
    resetPending_ = 1;
}

void ZephraPtr::updateResult(ZephraPtr_ProcessResult& result)
{
    if (tracing(3))
        dotrace("            <sample id=\"%u\" pointerState=\"%d\" XY=\"%d,%d\">", sampleId_,
                static_cast<int>(pointerStateField_), pointerX_, pointerY_);
    const ZephraPtr_Bounds& l = pointerLimits_;
    const std::int64_t right = static_cast<std::int64_t>(l.x) + l.width;
    const std::int64_t bottom = static_cast<std::int64_t>(l.y) + l.height;
    if (pointerX_ >= l.x && pointerX_ < right && pointerY_ >= l.y && pointerY_ < bottom) {
        result.x = pointerX_;
        result.y = pointerY_;
        result.distance = 0.0f;
        result.pointerState = pointerStateField_;
        return;
    }
    const float cx = static_cast<float>(clampInt(pointerX_, l.x, right - 1));
    const float cy = static_cast<float>(clampInt(pointerY_, l.y, bottom - 1));
    float px, py;
    if (offScreenState_ != 0) {
        px = virtualX_ + static_cast<float>(internalLimits_.x);
        py = virtualY_ + static_cast<float>(internalLimits_.y);
    } else {
        px = static_cast<float>(pointerX_);
        py = static_cast<float>(pointerY_);
    }
    result.x = truncateToInt32(px);
    result.y = truncateToInt32(py);
    result.distance = std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy));
    result.pointerState = ZEPHRA_PTR_HIDDEN;
    result.flag = 0;
}

void ZephraPtr::addStateCode(ZephraPtr_ProcessResult& result, int code)
{
    result.flag = 0;
    if (result.pointerState != ZEPHRA_PTR_SHOWN)
        return;
    switch (code) {
    case ZEPHRA_BMS_PRESS_HELD:
        result.pointerState = ZEPHRA_PTR_PRESS_HELD;
        break;
    case ZEPHRA_BMS_DRAG_STARTED:
        result.pointerState = ZEPHRA_PTR_DRAG_STARTED;
        break;
    case ZEPHRA_BMS_DRAG_ENDED:
        result.pointerState = ZEPHRA_PTR_DRAG_ENDED;
        break;
    case ZEPHRA_BMS_CLICK:
        result.pointerState = ZEPHRA_PTR_CLICK;
        break;
    default:
        break;
    }
}

int ZephraPtr::runButtonMotion(const ZephraPtr_ProcessDeltaData& data)
{
    const std::uint64_t product =
        static_cast<std::uint64_t>(config_.periodUs) * static_cast<std::uint32_t>(data.sampleId);
    const auto timeMs = static_cast<std::uint32_t>(product / 1000u);
    const std::int32_t event = (data.button & 1u)   ? ZEPHRA_BMS_EVENT_PRESS
                               : (data.button & 2u) ? ZEPHRA_BMS_EVENT_RELEASE
                                                    : ZEPHRA_BMS_EVENT_NONE;
    // The state machine zeroes its copy while it suppresses; the engine moves
    // by the full motion and uses only the code.
    std::int32_t motion[2] = {data.x, data.y};
    std::uint8_t suppressed = 0;
    return zephraBms_process(bms_, timeMs, event, motion, &suppressed);
}

bool ZephraPtr::timing() const
{
    return tracing(4);
}

void ZephraPtr::traceTiming(std::int32_t sampleId, std::uint64_t t0, std::uint64_t t1) const
{
    float v[13] = {};
    if (alignment_) {
        const PointerAlignment::MapState* s = alignment_->getState();
        for (int i = 0; i < 9; ++i)
            v[i] = s->map[i];
        v[9] = s->headingOffset;
        v[10] = s->drift[0];
        v[11] = s->drift[1];
        v[12] = static_cast<float>(s->sampleCounter);
    }
    dotrace("            <sample id=\"%u\" eventTime=\"%lld\" mouseMoveTime=\"%lld\" mapUpdateTime=\"%lld\" "
            "state=\"%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f,%0.7f\"/>",
            static_cast<std::uint32_t>(sampleId), static_cast<long long>(t0), static_cast<long long>(t1),
            static_cast<long long>(t1), double(v[0]), double(v[1]), double(v[2]), double(v[3]), double(v[4]),
            double(v[5]), double(v[6]), double(v[7]), double(v[8]), double(v[9]), double(v[10]),
            double(v[11]), double(v[12]));
}

void ZephraPtr::relativePath(const ZephraPtr_ProcessDeltaData& data, ZephraPtr_ProcessResult& result)
{
    const bool timed = timing();
    const std::uint64_t t0 = timed ? timeSource_() : 0;
    sampleId_ = static_cast<std::uint32_t>(data.sampleId);
    const int code = runButtonMotion(data);
    pointerX_ = clampInt(static_cast<std::int64_t>(pointerX_) + data.x, INT32_MIN, INT32_MAX);
    pointerY_ = clampInt(static_cast<std::int64_t>(pointerY_) + data.y, INT32_MIN, INT32_MAX);
    constrainPointer();
    if (timed)
        traceTiming(data.sampleId, t0, timeSource_());
    updateResult(result);
    addStateCode(result, code);
}

int ZephraPtr::processDelta(const ZephraPtr_ProcessDeltaData& data, ZephraPtr_ProcessResult& result)
{
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"ProcessDelta\" XY=\"%d,%d\"  button=\"%d\">",
                static_cast<std::uint32_t>(data.sampleId), data.x, data.y, static_cast<int>(data.button));
    relativePath(data, result);
    return 0;
}

int ZephraPtr::processDeltaHinted(const ZephraPtr_ProcessDeltaHintedData& data,
                                  ZephraPtr_ProcessResult& result)
{
    return processDelta(data.delta, result);
}

// Steps shared by the bounded and the aligned path: the aligned motion, the
// sub-pixel carry and the new position p' with its edge flags.
void ZephraPtr::alignedMotion(const ZephraPtr_ProcessDeltaUserframeData& data, const bool flags[2],
                              MotionStep& step)
{
    const PointerAlignment::Quaternion q = orientationOf(data);
    const float d[2] = {static_cast<float>(data.delta.x), static_cast<float>(data.delta.y)};
    float a[2] = {d[0], d[1]};
    alignment_->alignPointer(q, step.p, d, config_.alignmentScale, config_.alignmentAngle,
                             config_.alignmentMaxError, flags, a);
    if (!std::isfinite(a[0]) || !std::isfinite(a[1])) {
        resetAlignment();
        a[0] = d[0];
        a[1] = d[1];
    }
    float* residual[2] = {&residualX_, &residualY_};
    const float size[2] = {static_cast<float>(internalLimits_.width),
                           static_cast<float>(internalLimits_.height)};
    for (int i = 0; i < 2; ++i) {
        const float v = a[i] + *residual[i];
        const std::int32_t whole = truncateToInt32(v);
        float rest = v - static_cast<float>(whole);
        if (!(rest <= 1.0f && rest >= -1.0f))
            rest = 0.0f;
        *residual[i] = rest;
        step.moved[i] = clampInt(static_cast<std::int64_t>(step.p[i]) + whole, INT32_MIN, INT32_MAX);
        step.edge[i] = static_cast<float>(step.moved[i]) >= size[i] - 1.0f || step.moved[i] < 1;
    }
}

int ZephraPtr::processDeltaUserframeBoundedOptimized(const ZephraPtr_ProcessDeltaUserframeData& data,
                                                     float scale, std::uint8_t pointingState,
                                                     ZephraPtr_ProcessResult& result)
{
    if (!alignment_)
        return ZEPHRA_PTR_ERROR_NO_ALIGNMENT;
    const bool timed = timing();
    const std::uint64_t t0 = timed ? timeSource_() : 0;
    sampleId_ = static_cast<std::uint32_t>(data.delta.sampleId);
    const PointerAlignment::Quaternion q = orientationOf(data);
    MotionStep step{};
    step.p[0] = static_cast<float>(pointerX_ - internalLimits_.x);
    step.p[1] = static_cast<float>(pointerY_ - internalLimits_.y);
    const float w = static_cast<float>(internalLimits_.width), h = static_cast<float>(internalLimits_.height);
    const bool flags[2] = {(step.p[0] > 0.0f && step.p[0] < w - 1.0f) ? resetPending_ != 0 : true,
                           (step.p[1] > 0.0f && step.p[1] < h - 1.0f) ? resetPending_ != 0 : true};
    alignedMotion(data, flags, step);
    pointerX_ = clampInt(static_cast<std::int64_t>(internalLimits_.x) + step.moved[0], INT32_MIN, INT32_MAX);
    pointerY_ = clampInt(static_cast<std::int64_t>(internalLimits_.y) + step.moved[1], INT32_MIN, INT32_MAX);
    pointerStateField_ = ZEPHRA_PTR_SHOWN;
    const int code = runButtonMotion(data.delta);
    constrainPointer();
    if (timed)
        traceTiming(data.delta.sampleId, t0, timeSource_());
    updateResult(result);
    addStateCode(result, code);

    const float d[2] = {static_cast<float>(data.delta.x), static_cast<float>(data.delta.y)};
    float gains[2];
    pixelsPerRadian(gains);
    alignment_->updateMap(q, step.p, d, step.edge, gains, false, scale, pointingState != 0);
    lastOrientation_ = q;
    resetPending_ = 0;
    return 0;
}

void ZephraPtr::placePointer(float x, float y)
{
    pointerX_ =
        clampInt(static_cast<std::int64_t>(internalLimits_.x) + truncateToInt32(x), INT32_MIN, INT32_MAX);
    pointerY_ =
        clampInt(static_cast<std::int64_t>(internalLimits_.y) + truncateToInt32(y), INT32_MIN, INT32_MAX);
    pointerStateField_ = ZEPHRA_PTR_SHOWN;
}

void ZephraPtr::alignedPath(const ZephraPtr_ProcessDeltaUserframeData& data, ZephraPtr_ProcessResult& result)
{
    const bool timed = timing();
    const std::uint64_t t0 = timed ? timeSource_() : 0;
    sampleId_ = static_cast<std::uint32_t>(data.delta.sampleId);
    const PointerAlignment::Quaternion q = orientationOf(data);
    MotionStep step{};
    step.p[0] = static_cast<float>(pointerX_ - internalLimits_.x);
    step.p[1] = static_cast<float>(pointerY_ - internalLimits_.y);
    const float w = static_cast<float>(internalLimits_.width), h = static_cast<float>(internalLimits_.height);
    const bool flags[2] = {(step.p[0] > 0.0f && step.p[0] < w - 1.0f) ? resetPending_ != 0 : true,
                           (step.p[1] > 0.0f && step.p[1] < h - 1.0f) ? resetPending_ != 0 : true};
    alignedMotion(data, flags, step);
    const float moved[2] = {static_cast<float>(step.moved[0]), static_cast<float>(step.moved[1])};

    bool mapUpdate = true;
    const std::uint32_t mode = config_.alignmentMode;
    if ((mode & ~1u) != 2u) {
        placePointer(moved[0], moved[1]);
    } else {
        // Where the device points now; an orientation the map cannot place
        // yet counts as pointing at the new position.
        float s[2] = {moved[0], moved[1]};
        alignment_->mapOrientationToScreen(data.angularPosition, s);
        const float screenMotion[2] = {s[0] - lastMappedX_, s[1] - lastMappedY_};
        lastMappedX_ = s[0];
        lastMappedY_ = s[1];
        const bool outside = !(insideRange(s[0], w - 1.0f) && insideRange(s[1], h - 1.0f));
        bool placed = false;
        switch (offScreenState_) {
        case 0:
            if (step.edge[0] || step.edge[1]) {
                offScreenState_ = outside ? 2 : 1;
                virtualX_ = moved[0];
                virtualY_ = moved[1];
            } else {
                placePointer(moved[0], moved[1]);
                placed = true;
            }
            break;
        case 1:
            if (outside) {
                offScreenState_ = 2;
            } else {
                const float virtualPos[2] = {virtualX_, virtualY_};
                const bool noFlags[2] = {false, false};
                float out[2];
                alignment_->alignPointer(q, virtualPos, screenMotion, 4.0f * config_.alignmentScale,
                                         4.0f * config_.alignmentAngle, config_.alignmentMaxError, noFlags,
                                         out);
                virtualX_ += out[0];
                virtualY_ += out[1];
                if (insideRange(virtualX_, w - 1.0f) && insideRange(virtualY_, h - 1.0f)) {
                    offScreenState_ = 0;
                    placePointer(virtualX_, virtualY_);
                    placed = true;
                }
            }
            mapUpdate = false;
            break;
        default:
            if (outside) {
                virtualX_ = s[0];
                virtualY_ = s[1];
            } else {
                offScreenState_ = 0;
                placePointer(s[0], s[1]);
                placed = true;
            }
            mapUpdate = false;
            break;
        }
        if (!placed) {
            if (mode == 3) {
                const float followX = std::fmin(virtualX_, w - 1.0f);
                const float followY = std::fmin(virtualY_, h - 1.0f);
                pointerX_ = clampInt(static_cast<std::int64_t>(internalLimits_.x) + truncateToInt32(followX),
                                     INT32_MIN, INT32_MAX);
                pointerY_ = clampInt(static_cast<std::int64_t>(internalLimits_.y) + truncateToInt32(followY),
                                     INT32_MIN, INT32_MAX);
            }
            pointerStateField_ = ZEPHRA_PTR_HIDDEN;
        }
    }

    const int code = runButtonMotion(data.delta);
    constrainPointer();
    if (timed)
        traceTiming(data.delta.sampleId, t0, timeSource_());
    updateResult(result);
    addStateCode(result, code);

    if (mapUpdate) {
        float gains[2];
        pixelsPerRadian(gains);
        if ((mode & ~1u) != 2u) {
            const float d[2] = {static_cast<float>(data.delta.x), static_cast<float>(data.delta.y)};
            alignment_->updateMap(q, step.p, d, step.edge, gains, false);
        } else if (resetPending_) {
            const float zero[2] = {0.0f, 0.0f};
            const bool none[2] = {false, false};
            alignment_->updateMap(q, step.p, zero, none, gains, false);
        }
        lastOrientation_ = q;
        resetPending_ = 0;
    }
}

int ZephraPtr::processDeltaUserframe(const ZephraPtr_ProcessDeltaUserframeData& data,
                                     ZephraPtr_ProcessResult& result)
{
    if (!alignment_)
        return ZEPHRA_PTR_ERROR_NO_ALIGNMENT;
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"ProcessDeltaUserFrame\" XY=\"%d,%d\"  button=\"%d\" "
                "angPos=\"%0.0f,%0.0f,%0.0f,%0.0f\">",
                static_cast<std::uint32_t>(data.delta.sampleId), data.delta.x, data.delta.y,
                static_cast<int>(data.delta.button), double(data.angularPosition[0]),
                double(data.angularPosition[1]), double(data.angularPosition[2]),
                double(data.angularPosition[3]));
    if (config_.alignmentMode == 0)
        relativePath(data.delta, result);
    else
        alignedPath(data, result);
    return 0;
}

int ZephraPtr::processDeltaUserframeCameraDirect(const ZephraPtr_ProcessDeltaUserframeCameraData& data,
                                                 ZephraPtr_ProcessResult& result)
{
    sampleId_ = static_cast<std::uint32_t>(data.userframe.delta.sampleId);
    if (data.cameraFlag) {
        const ZephraPtr_Bounds& l = internalLimits_;
        pointerX_ =
            truncateToInt32(static_cast<float>(l.width) * data.camera[0] + static_cast<float>(l.x) + 0.5f);
        pointerY_ =
            truncateToInt32(static_cast<float>(l.height) * data.camera[1] + static_cast<float>(l.y) + 0.5f);
        pointerStateField_ = ZEPHRA_PTR_SHOWN;
    } else {
        pointerStateField_ = ZEPHRA_PTR_HIDDEN;
    }
    updateResult(result);
    return 0;
}

void ZephraPtr::cameraHybridPath(const ZephraPtr_ProcessDeltaUserframeCameraData& data,
                                 ZephraPtr_ProcessResult& result)
{
    const ZephraPtr_ProcessDeltaUserframeData& frame = data.userframe;
    sampleId_ = static_cast<std::uint32_t>(frame.delta.sampleId);
    const bool seen = data.cameraFlag != 0;
    const float a1 = (data.camera[0] - 0.5f) * kHalfPi * 0.25f;
    const float a2 = (data.camera[1] - 0.5f) * (-kHalfPi) * 0.25f;
    const PointerAlignment::Quaternion qc = {std::cos(a2) * std::cos(a1), -std::sin(a2) * std::sin(a1),
                                             std::sin(a2) * std::cos(a1), std::cos(a2) * std::sin(a1)};
    ZephraPtr_ProcessDeltaUserframeData cameraFrame = frame;
    for (int i = 0; i < 4; ++i)
        cameraFrame.angularPosition[i] = qc.e[i];

    MotionStep step{};
    step.p[0] = static_cast<float>(pointerX_ - internalLimits_.x);
    step.p[1] = static_cast<float>(pointerY_ - internalLimits_.y);
    const float w = static_cast<float>(internalLimits_.width), h = static_cast<float>(internalLimits_.height);
    const bool flags[2] = {step.p[0] <= 0.0f || step.p[0] >= w - 1.0f || !seen,
                           step.p[1] <= 0.0f || step.p[1] >= h - 1.0f || !seen};
    alignedMotion(cameraFrame, flags, step);
    const float moved[2] = {static_cast<float>(step.moved[0]), static_cast<float>(step.moved[1])};
    bool mapUpdate = true;
    bool edges[2] = {step.edge[0], step.edge[1]};
    const std::uint32_t mode = config_.alignmentMode;
    if (mode == 1) {
        placePointer(moved[0], moved[1]);
    } else if (mode == 2 || mode == 3) {
        edges[0] = edges[1] = false;
        float target[2];
        float targetMotion[2];
        if (seen) {
            target[0] = std::floor(w * data.camera[0] + 0.5f);
            target[1] = std::floor(h * data.camera[1] + 0.5f);
            targetMotion[0] = target[0] - lastMappedX_;
            targetMotion[1] = target[1] - lastMappedY_;
        } else {
            targetMotion[0] = static_cast<float>(frame.delta.x);
            targetMotion[1] = static_cast<float>(frame.delta.y);
            target[0] = lastMappedX_ + targetMotion[0];
            target[1] = lastMappedY_ + targetMotion[1];
        }
        lastMappedX_ = target[0];
        lastMappedY_ = target[1];
        bool placed = false;
        switch (offScreenState_) {
        case 2:
            if (seen) {
                offScreenState_ = 0;
                placePointer(target[0], target[1]);
                placed = true;
            } else {
                virtualX_ = target[0];
                virtualY_ = target[1];
            }
            mapUpdate = false;
            break;
        case 1:
            if (!seen) {
                offScreenState_ = 2;
            } else {
                const float virtualPos[2] = {virtualX_, virtualY_};
                const bool noFlags[2] = {false, false};
                float out[2];
                alignment_->alignPointer(qc, virtualPos, targetMotion, config_.alignmentScale,
                                         config_.alignmentAngle, config_.alignmentMaxError, noFlags, out);
                virtualX_ += out[0];
                virtualY_ += out[1];
                if (insideRange(virtualX_, w - 1.0f) && insideRange(virtualY_, h - 1.0f)) {
                    offScreenState_ = 0;
                    placePointer(virtualX_, virtualY_);
                    placed = true;
                }
            }
            mapUpdate = false;
            break;
        case 0:
            if (step.edge[0] || step.edge[1]) {
                offScreenState_ = seen ? 1 : 2;
                virtualX_ = moved[0];
                virtualY_ = moved[1];
            } else {
                placePointer(moved[0], moved[1]);
                placed = true;
            }
            break;
        default:
            placePointer(moved[0], moved[1]);
            placed = true;
            break;
        }
        if (!placed) {
            if (mode == 3) {
                pointerX_ = clampInt(static_cast<std::int64_t>(internalLimits_.x) +
                                         truncateToInt32(std::fmin(virtualX_, w - 1.0f)),
                                     INT32_MIN, INT32_MAX);
                pointerY_ = clampInt(static_cast<std::int64_t>(internalLimits_.y) +
                                         truncateToInt32(std::fmin(virtualY_, h - 1.0f)),
                                     INT32_MIN, INT32_MAX);
            } else {
                pointerStateField_ = ZEPHRA_PTR_HIDDEN;
            }
        }
    }
    constrainPointer();
    updateResult(result);
    if (mapUpdate) {
        lastOrientation_ = qc;
        float gains[2];
        pixelsPerRadian(gains);
        const float d[2] = {static_cast<float>(frame.delta.x), static_cast<float>(frame.delta.y)};
        alignment_->updateMap(qc, step.p, d, edges, gains, false);
    }
}

int ZephraPtr::processDeltaUserframeCamera(const ZephraPtr_ProcessDeltaUserframeCameraData& data,
                                           ZephraPtr_ProcessResult& result)
{
    const ZephraPtr_ProcessDeltaUserframeData& f = data.userframe;
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"ProcessDeltaUserFrameCamera\" XY=\"%d,%d\"  "
                "button=\"%d\" "
                "angPos=\"%0.0f,%0.0f,%0.0f,%0.0f\"camera=\"%d,%0.4f,%0.4f,%0.4f\">",
                static_cast<std::uint32_t>(f.delta.sampleId), f.delta.x, f.delta.y,
                static_cast<int>(f.delta.button), double(f.angularPosition[0]), double(f.angularPosition[1]),
                double(f.angularPosition[2]), double(f.angularPosition[3]), static_cast<int>(data.cameraFlag),
                double(data.camera[0]), double(data.camera[1]), double(data.camera[2]));
    if (config_.ballistics == 3 && data.cameraFlag) {
        cameraValue_ = data.camera[2];
        updateGain();
    }
    if (config_.cameraMode == 1)
        return processDeltaUserframeCameraDirect(data, result);
    if (config_.alignmentMode == 0) {
        relativePath(f.delta, result);
        return 0;
    }
    if (!alignment_)
        return ZEPHRA_PTR_ERROR_NO_ALIGNMENT;
    if (config_.cameraMode == 2)
        cameraHybridPath(data, result);
    else if (config_.cameraMode == 0)
        alignedPath(f, result);
    else
        updateResult(result);
    return 0;
}

int ZephraPtr::processDeltaBodyframe(const ZephraPtr_ProcessDeltaBodyframeData& data)
{
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"ProcessDeltaBodyFrame\" XY=\"%d,%d\"  button=\"%d\" "
                "linAcc=\"%0.0f,%0.0f,%0.0f\" angVel=\"%0.0f,%0.0f,%0.0f\">",
                static_cast<std::uint32_t>(data.delta.sampleId), data.delta.x, data.delta.y,
                static_cast<int>(data.delta.button), double(data.linearAcceleration[0]),
                double(data.linearAcceleration[1]), double(data.linearAcceleration[2]),
                double(data.angularVelocity[0]), double(data.angularVelocity[1]),
                double(data.angularVelocity[2]));
    sampleId_ = static_cast<std::uint32_t>(data.delta.sampleId);
    return ZEPHRA_PTR_ERROR_NOT_SUPPORTED;
}

int ZephraPtr::forceLocation(const ZephraPtr_ForceLocationData& data, ZephraPtr_ProcessResult& result)
{
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"ForceLocation\" XY=\"%d,%d\">", sampleId_, data.x,
                data.y);
    pointerX_ = data.x;
    pointerY_ = data.y;
    if (alignment_)
        resetAlignment();
    constrainPointer();
    updateResult(result);
    return 0;
}

int ZephraPtr::reportCommand(const char* cmdType, ZephraPtr_ProcessResult& result)
{
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"%s\">", sampleId_, cmdType);
    updateResult(result);
    return 0;
}

int ZephraPtr::forceHide(ZephraPtr_ProcessResult& result)
{
    pointerStateField_ = ZEPHRA_PTR_HIDDEN;
    return reportCommand("ForceHide", result);
}

int ZephraPtr::forceShow(ZephraPtr_ProcessResult& result)
{
    pointerStateField_ = ZEPHRA_PTR_SHOWN;
    return reportCommand("ForceShow", result);
}

int ZephraPtr::recenter(ZephraPtr_ProcessResult& result)
{
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"Recenter\">", sampleId_);
    offScreenState_ = 0;
    const ZephraPtr_Bounds& l = internalLimits_;
    pointerX_ = l.x + (l.width >> 1);
    pointerY_ = l.y + (l.height >> 1);
    if (alignment_) {
        if (config_.alignmentMode == 2 || config_.alignmentMode == 3) {
            resetAlignment();
        } else {
            const float centre[2] = {static_cast<float>(l.width >> 1), static_cast<float>(l.height >> 1)};
            const float zero[2] = {0.0f, 0.0f};
            const bool both[2] = {true, true};
            float gains[2];
            pixelsPerRadian(gains);
            alignment_->updateMap(lastOrientation_, centre, zero, both, gains, false);
        }
    }
    updateResult(result);
    return 0;
}

int ZephraPtr::processShakeDetection(ZephraPtr_ProcessResult& result)
{
    if (tracing(2))
        dotrace("            <sample id=\"%u\" cmdType=\"Recenter\">", sampleId_);
    resetAlignment();
    offScreenState_ = 0;
    const ZephraPtr_Bounds& l = internalLimits_;
    const std::int32_t cx = l.x + (l.width >> 1);
    const std::int32_t cy = l.y + (l.height >> 1);
    const float dx = static_cast<float>(static_cast<std::int64_t>(pointerX_) - cx);
    const float dy = static_cast<float>(static_cast<std::int64_t>(pointerY_) - cy);
    pointerX_ = clampInt(static_cast<std::int64_t>(cx) + truncateToInt32(dx * kShakePull + 0.5f), INT32_MIN,
                         INT32_MAX);
    pointerY_ = clampInt(static_cast<std::int64_t>(cy) + truncateToInt32(dy * kShakePull + 0.5f), INT32_MIN,
                         INT32_MAX);
    updateResult(result);
    return 0;
}

int ZephraPtr::reportIdle(ZephraPtr_ProcessResult& result)
{
    return reportCommand("ReportIdle", result);
}

int ZephraPtr::getLocation(ZephraPtr_ProcessResult& result)
{
    return reportCommand("GetLocation", result);
}

int ZephraPtr::tick(ZephraPtr_ProcessResult& result)
{
    return reportCommand("Tick", result);
}

int ZephraPtr::setBounds(const ZephraPtr_SetBoundsData& data, ZephraPtr_ProcessResult& result)
{
    if (tracing(2))
        dotrace(
            "            <sample id=\"%u\" cmdType=\"SetBounds\" osd=\"%d,%d,%d,%d\" limit=\"%d,%d,%d,%d\">",
            sampleId_, data.osdBounds.x, data.osdBounds.y, data.osdBounds.width, data.osdBounds.height,
            data.pointerLimits.x, data.pointerLimits.y, data.pointerLimits.width, data.pointerLimits.height);
    osdBounds_ = data.osdBounds;
    pointerLimits_ = data.pointerLimits;
    ZephraPtr_Config config;
    getConfig(config);
    setConfig(config);
    updateInternalLimits();
    replaceAlignment();
    return recenter(result);
}

void ZephraPtr::setButtonSuppressionClickMode(bool on)
{
    zephraBms_setFeatureSelect(bms_, on ? 1 : 0);
}

void ZephraPtr::setButtonSuppressionDragMode(bool on)
{
    zephraBms_setFeatureDrag(bms_, on ? 1 : 0);
}

void ZephraPtr::trace(int level, ZephraPtr_TraceCallback callback)
{
    traceCallback.store(callback);
    traceLevel.store(callback != nullptr ? level : 0);
}

void ZephraPtr::dotrace(const char* format, ...)
{
    const ZephraPtr_TraceCallback callback = traceCallback.load();
    if (callback == nullptr)
        return;
    char line[kTraceLineBytes];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (written < 0)
        return; // cannot be formatted: dropped
    callback(line);
}

void ZephraPtr::dotraceString(const char* text)
{
    const ZephraPtr_TraceCallback callback = traceCallback.load();
    if (callback != nullptr && text != nullptr)
        callback(text);
}

} // namespace vnx
