#pragma once

#include <array>
#include <cstdint>

#include "extendedBundle/ExtendedBundleRecords.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "shakeDetector/ShakeDetectorRecords.h"

namespace vnx {

/// The one module that turns a presenter's raw motion and button records into
/// cursor output: per sample it runs SensorFusion, a ShakeDetector, the
/// floating-point motion, optionally the wake-on-shake detector, then the
/// ExtendedCursor, and hands back activity, fusion, cursor, button and float
/// motion records. While wake-on-shake is on, the cursor hides itself when
/// the device rests and comes back when the user shakes it.
class ExtendedBundle : public ModuleInterface
{
    VNX_EXT_LOG_DEFAULT(ExtendedBundle);

  public:
    /// Creates the five children under this module's node; a child whose
    /// factory is missing stays absent and answers -14 where it is called.
    ExtendedBundle();
    ~ExtendedBundle() override;
    ExtendedBundle(const ExtendedBundle&) = delete;
    ExtendedBundle& operator=(const ExtendedBundle&) = delete;

    /// Passes the listener to every child: the first negative result, else
    /// the last non-zero one.
    int setModuleListener(ModuleListenerInterface* listener) override;
    /// Its own Config: the wake-on-shake detector's settings into the embedded
    /// record. Any other Config: offered to the children in order while they
    /// answer -3.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Its own Config is kept and configures the wake-on-shake detector;
    /// others are routed as in getConfig.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Its own Commands are ignored (0); the cursor's force show and force
    /// hide also change the bundle's hidden state; every other Command is
    /// routed to the children while they answer -3.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Initialises every child (an unusable SCD for the fusion is no failure
    /// of the bundle), then switches wake-on-shake off.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    /// The fusion's learned calibration.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// Inputs 0 to 6 as SensorFusion takes them; output 0: ActivityClassification,
    /// SensorFusion, ExtendedCursor, ButtonActivity, DeviceMotionFloat.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample into the five output slots. -2, nothing written, for an
    /// input interface outside 0 to 6, an input count outside 1 to 4, an
    /// output interface other than 0 or an output count other than 5. A
    /// child's negative result ends the sample; otherwise the last warning.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    bool cursorHidden() const { return cursorHidden_; }

  private:
    /// The children in the order of every chained operation.
    enum Child_e
    {
        kFusion,
        kCursor,
        kShake,
        kMotionFloat,
        kWakeShake,
        kChildCount
    };

    bool wakeOnShakeOn() const { return config_.cursorWakeOnShakeConfig.mode != 0; }
    /// Keeps the Config and configures the wake-on-shake detector with it.
    int applyConfig(const vnx_ExtendedBundle_Config_s& config);
    /// The cursor state after this sample's activity and wake-on-shake
    /// verdict.
    void updateCursorHidden(uint8_t activityFlags, const vnx_ShakeDetector_Output_s& wake);

    std::array<ModuleInterface*, kChildCount> children_{};
    vnx_ExtendedBundle_Config_s config_;
    bool cursorHidden_ = false;

    // Per-sample records of the two shake detectors, kept here so that a
    // sample allocates nothing.
    vnx_ShakeDetector_Output_s shake_;
    vnx_ShakeDetector_Format_s shakeFormat_;
    vnx_ShakeDetector_Output_s wakeShake_;
    vnx_ShakeDetector_Format_s wakeShakeFormat_;
};

} // namespace vnx
