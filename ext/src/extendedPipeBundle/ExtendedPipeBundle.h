#pragma once

// The module a desktop client hosts on its device: the ExtendedBundle
// (fusion, cursor engine, shake detection) with, around it, the ButtonMapper
// (buttons to mouse-button masks and key codes), the CursorMover (the
// platform cursor, once enabled and given its bounds), the gesture
// recognisers added at run time and the MotionPipe (records for an outside
// reader, when enabled).

#include <array>
#include <cstdint>

#include "extendedCursor/ExtendedCursorRecords.h"
#include "extendedPipeBundle/ExtendedPipeBundleRecords.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

class ExtendedPipeBundle : public ModuleInterface
{
    VNX_EXT_LOG_DEFAULT(ExtendedPipeBundle);

  public:
    /// Output slots before the gesture outputs.
    static constexpr size_t kFixedOutputs = 6;
    /// Gesture recognisers a GestureBundle holds at most.
    static constexpr size_t kMaxGestures = 4;

    /// Creates the five children under this module's node (an absent one
    /// answers -14 where it is called) and hands the CursorMover its own
    /// Config back, so its platform has it.
    ExtendedPipeBundle();
    ~ExtendedPipeBundle() override;
    ExtendedPipeBundle(const ExtendedPipeBundle&) = delete;
    ExtendedPipeBundle& operator=(const ExtendedPipeBundle&) = delete;

    /// Every child: the first negative result, else the last warning.
    int setModuleListener(ModuleListenerInterface* listener) override;
    /// Its own Config (40 bytes, header included); other Configs go to the
    /// children in order while they answer -3.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Its own Config is kept; a CursorMover Config also switches the
    /// CursorMover step on (mode not 0) or off; other Configs are routed as
    /// in getConfig.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Its own Commands are ignored (0). A cursor set-bounds also gives the
    /// CursorMover the pointer limits (and initialises it the first time);
    /// every Command other than its own is routed to the children.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Every child but a CursorMover not initialised yet.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    /// The fusion's learned calibration, from the ExtendedBundle.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// The ExtendedBundle's input interfaces.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    /// One output interface: ActivityClassification, SensorFusion,
    /// ExtendedCursor, ButtonActivity, DeviceMotionFloat, ButtonMapper, then
    /// one type per gesture recogniser.
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample into 6 + (number of gesture recognisers) output slots;
    /// -24, nothing written, for another output count. A child's negative
    /// result ends the sample (earlier slots stay written).
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    bool cursorMoverEnabled() const { return cursorMoverEnabled_; }
    bool cursorMoverInitialized() const { return cursorMoverInitialized_; }

  private:
    /// The children in the order of every chained operation.
    enum Child_e
    {
        kExtendedBundle,
        kCursorMover,
        kButtonMapper,
        kMotionPipe,
        kGestureBundle,
        kChildCount
    };

    /// The gesture recognisers' output types into `types` (room for
    /// kMaxGestures): 0, or the GestureBundle's error.
    int gestureOutputs(uint8_t* types, size_t& count) const;
    /// Hands the cursor engine's pointer limits to the CursorMover and
    /// initialises it at the first call.
    void setCursorMoverBounds(const vnx_ExtendedCursor_Bounds_s& pointerLimits);

    std::array<ModuleInterface*, kChildCount> modules_{};
    vnx_ExtendedPipeBundle_Config_s config_;
    bool cursorMoverEnabled_ = false;
    bool cursorMoverInitialized_ = false;
};

} // namespace vnx
