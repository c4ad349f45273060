#pragma once

#include <cstdint>

#include "cursorBlocks/ButtonSuppression.h"
#include "cursorBlocks/MapMin.h"
#include "cursorBlocks/OutputConditioningMin.h"
#include "cursorFilters/TremorCancel.h"
#include "cursorFilters/circularBacklash.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "pointerBallistics/PointerBallisticsTable.h"
#include "pointerEngine/ZephraPtr.h"
#include "sensorInterpretation/StateManagement.h"

namespace vnx {

/// The cursor engine of the main road: per motion sample it turns the
/// orientation and angular velocity of SensorFusion, the button activity and
/// the ShakeDetector's verdict into an absolute pointer position, a relative
/// motion in counts and a pointer state.
class ExtendedCursor : public ModuleInterface
{
    VNX_LOG_DEFAULT(ExtendedCursor);

  public:
    ExtendedCursor();
    ~ExtendedCursor() override;

    int setModuleListener(ModuleListenerInterface* listener) override;
    /// Copies the stored Config; -3 for a record that is not an ExtendedCursor Config.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// -3 for another record, -4 for a wrong selector or format words.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// -3 for another record; unknown codes are accepted.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Inputs: SensorFusion Output and Format, ButtonActivity Output,
    /// ShakeDetector Output (their Formats may be null). Output:
    /// ExtendedCursor Output (and Format).
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    // Views for owners and tests.
    const ZephraPtr& engine() const { return engine_; }
    const PointerBallisticsTable& ballistics() const { return ballistics_; }
    const ButtonSuppression& buttonSuppression() const { return suppression_; }
    std::uint32_t modeFlags() const { return modeFlags_; }
    float period() const { return period_; }

  private:
    void configurationUpdate();
    void periodUpdate(float periodS);
    void lockAxes(std::uint32_t mode);

    float period_ = 0.0f; ///< seconds; 0 until the first sample
    ZephraPtr engine_;
    vnx_ExtendedCursor_Bounds_s osdBounds_{0, 0, 1280, 720};
    vnx_ExtendedCursor_Bounds_s pointerLimits_{0, 0, 1280, 720};
    StateManagement stateManagement_;
    TremorCancel tremor_;
    circularBacklash_state_s backlash_{};
    std::uint8_t hiddenLatch_ = 0;
    MapMin mapMin_;
    OutputConditioningMin conditioning_;
    ButtonSuppression suppression_;
    PointerBallisticsTable ballistics_;
    std::uint32_t preFilter_ = 1;
    std::uint32_t lockMode_ = 0;
    vnx_ExtendedCursor_Config_s config_{};
    std::uint32_t modeFlags_ = 0;
    std::int32_t heldX_ = 0;
    std::int32_t heldY_ = 0;
};

} // namespace vnx
