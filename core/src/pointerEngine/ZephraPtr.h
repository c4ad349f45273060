#pragma once

#include <cstdint>
#include <memory>

#include "log/DefaultLogger.h"
#include "pointerBallistics/classicBallistics.h"
#include "pointerEngine/PointerAlignment.h"
#include "pointerEngine/zephraBms.h"
#include "pointerEngine/zephraPtrRecords.h"

namespace vnx {

/// The pointer engine: keeps the pointer's position in display pixels and
/// moves it by relative motion, by bounded absolute pointing or by aligned
/// pointing that hides the pointer while the device points off the screen.
/// Every operation ends by filling a ZephraPtr_ProcessResult.
class ZephraPtr
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_PointerAlignment");

  public:
    explicit ZephraPtr(ZephraPtr_TimeSource timeSource);
    ~ZephraPtr();
    ZephraPtr(const ZephraPtr&) = delete;
    ZephraPtr& operator=(const ZephraPtr&) = delete;

    static void getDefaultConfig(ZephraPtr_Config& config);

    int getConfig(ZephraPtr_Config& config) const;
    int setConfig(const ZephraPtr_Config& config);

    int processDelta(const ZephraPtr_ProcessDeltaData& data, ZephraPtr_ProcessResult& result);
    int processDeltaHinted(const ZephraPtr_ProcessDeltaHintedData& data, ZephraPtr_ProcessResult& result);
    int processDeltaUserframe(const ZephraPtr_ProcessDeltaUserframeData& data,
                              ZephraPtr_ProcessResult& result);
    int processDeltaUserframeCamera(const ZephraPtr_ProcessDeltaUserframeCameraData& data,
                                    ZephraPtr_ProcessResult& result);
    int processDeltaUserframeCameraDirect(const ZephraPtr_ProcessDeltaUserframeCameraData& data,
                                          ZephraPtr_ProcessResult& result);
    /// Bounded absolute pointing; scale and pointingState feed the bounded map.
    int processDeltaUserframeBoundedOptimized(const ZephraPtr_ProcessDeltaUserframeData& data, float scale,
                                              std::uint8_t pointingState, ZephraPtr_ProcessResult& result);
    /// Not supported: stores the sample id and answers -1008.
    int processDeltaBodyframe(const ZephraPtr_ProcessDeltaBodyframeData& data);

    int forceLocation(const ZephraPtr_ForceLocationData& data, ZephraPtr_ProcessResult& result);
    int forceHide(ZephraPtr_ProcessResult& result);
    int forceShow(ZephraPtr_ProcessResult& result);
    int recenter(ZephraPtr_ProcessResult& result);
    /// Pulls the pointer 15 % of its distance towards the centre.
    int processShakeDetection(ZephraPtr_ProcessResult& result);
    int reportIdle(ZephraPtr_ProcessResult& result);
    int getLocation(ZephraPtr_ProcessResult& result);
    int tick(ZephraPtr_ProcessResult& result);
    int setBounds(const ZephraPtr_SetBoundsData& data, ZephraPtr_ProcessResult& result);
    void setButtonSuppressionClickMode(bool on);
    void setButtonSuppressionDragMode(bool on);

    void constrainPointer();
    void updateInternalLimits();

    /// Process-wide trace: lines up to `level` go to `callback`; a null
    /// callback forces level 0.
    static void trace(int level, ZephraPtr_TraceCallback callback);
    static void dotrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void dotraceString(const char* text);

    // Views for owners and tests.
    const ZephraPtr_Bounds& internalLimits() const { return internalLimits_; }
    const ZephraPtr_Bounds& osdBounds() const { return osdBounds_; }
    const ZephraPtr_Bounds& pointerLimits() const { return pointerLimits_; }
    const PointerAlignment* alignment() const { return alignment_.get(); }
    float gainX() const { return gainX_; }
    float gainY() const { return gainY_; }
    const zephraAlg_ballisticsState_s& ballisticsState() const { return ballistics_; }
    const zephraBms_state_s* buttonMotion() const { return bms_; }
    std::uint32_t offScreenState() const { return offScreenState_; }
    bool alignmentResetPending() const { return resetPending_ != 0; }

  private:
    struct MotionStep;

    void updateResult(ZephraPtr_ProcessResult& result);
    /// Traces the command line of cmdType and fills the result.
    int reportCommand(const char* cmdType, ZephraPtr_ProcessResult& result);
    void updateGain();
    void resetAlignment();
    void replaceAlignment();
    int runButtonMotion(const ZephraPtr_ProcessDeltaData& data);
    static void addStateCode(ZephraPtr_ProcessResult& result, int code);
    void placePointer(float x, float y);
    void alignedMotion(const ZephraPtr_ProcessDeltaUserframeData& data, const bool flags[2],
                       MotionStep& step);
    void relativePath(const ZephraPtr_ProcessDeltaData& data, ZephraPtr_ProcessResult& result);
    void alignedPath(const ZephraPtr_ProcessDeltaUserframeData& data, ZephraPtr_ProcessResult& result);
    void cameraHybridPath(const ZephraPtr_ProcessDeltaUserframeCameraData& data,
                          ZephraPtr_ProcessResult& result);
    void pixelsPerRadian(float gains[2]) const;
    bool timing() const;
    void traceTiming(std::int32_t sampleId, std::uint64_t t0, std::uint64_t t1) const;
    void traceConfig() const;

    ZephraPtr_TimeSource timeSource_;
    std::uint32_t sampleId_ = 0;
    ZephraPtr_Config config_{};
    float gainX_ = 1.0f;
    float gainY_ = 1.0f;
    float cameraValue_ = 0.0f;
    std::int32_t pointerX_ = 0;
    std::int32_t pointerY_ = 0;
    std::uint32_t pointerStateField_ = ZEPHRA_PTR_SHOWN;
    ZephraPtr_Bounds osdBounds_{0, 0, 640, 480};
    ZephraPtr_Bounds pointerLimits_{0, 0, 640, 480};
    ZephraPtr_Bounds internalLimits_{-120, -120, 880, 720};
    std::unique_ptr<PointerAlignment> alignment_;
    float residualX_ = 0.0f;
    float residualY_ = 0.0f;
    float virtualX_ = 0.0f; ///< off-screen position, internal-limit coordinates
    float virtualY_ = 0.0f;
    float lastMappedX_ = 0.0f;
    float lastMappedY_ = 0.0f;
    std::uint32_t offScreenState_ = 0;
    std::uint8_t resetPending_ = 1;
    PointerAlignment::Quaternion lastOrientation_{1.0f, 0.0f, 0.0f, 0.0f};
    zephraAlg_ballisticsState_s ballistics_{};
    zephraBms_state_s* bms_ = nullptr;
};

} // namespace vnx

#ifdef __cplusplus
extern "C" {
#endif

/// A new engine in *handle: 0; -1002 for a null time source; -21 with a null
/// handle when it cannot be allocated; -2 for a null place.
int zephraPtr_init(ZephraPtr_TimeSource timeSource, vnx::ZephraPtr** handle);
/// Destroys the engine: 0, -1001 for null.
int zephraPtr_exit(vnx::ZephraPtr* handle);
int zephraPtr_getConfig(vnx::ZephraPtr* handle, ZephraPtr_Config* config);
int zephraPtr_setConfig(vnx::ZephraPtr* handle, const ZephraPtr_Config* config);
/// Runs one command: -1001 null handle, -1007 a code above 12, else the
/// command's result.
int zephraPtr_run(vnx::ZephraPtr* handle, const ZephraPtr_Command* command, ZephraPtr_ProcessResult* result);
void zephraPtr_trace(int level, ZephraPtr_TraceCallback callback);

#ifdef __cplusplus
}
#endif
