#pragma once

#include <cstdint>

#include "cursorBlocks/ButtonSuppression.h"
#include "cursorBlocks/MapMin.h"
#include "cursorBlocks/OutputConditioningMin.h"
#include "cursorFilters/TremorCancel.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorInterpretation/StateManagement.h"
#include "standardCursor/StandardCursorRecords.h"

namespace vnx {

/// The simple cursor: turns the angular velocity and orientation that
/// SensorFusion reports into relative pointer counts per sample, with
/// optional tremor cancellation, roll compensation, pitch scaling and a
/// nonlinear low-speed gain, and freezes the pointer around button events.
class StandardCursor : public ModuleInterface
{
  public:
    StandardCursor();
    ~StandardCursor() override;

    int setModuleListener(ModuleListenerInterface* listener) override;
    /// Not offered: -1.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Takes the pointer scale and the option bits (the type is not checked,
    /// the record is not stored); -15 for wrong format words or selector.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Every command is accepted and ignored.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Inputs: SensorFusion Output and Format, ButtonActivity Output (its
    /// Format may be null). Output: StandardCursor Output (and Format).
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    std::uint32_t modeFlags() const { return modeFlags_; }
    const ButtonSuppression& buttonSuppression() const { return suppression_; }

  private:
    void periodChanged();

    vnx_StandardCursor_Config_s config_{};
    StateManagement stateManagement_;
    TremorCancel tremor_;
    ButtonSuppression suppression_;
    MapMin mapMin_;
    OutputConditioningMin conditioning_;
    std::uint32_t periodUs_ = 0;  ///< 0 until a sample has told it
    std::uint32_t modeFlags_ = 0; ///< MapMin and OutputConditioningMin flags
};

/// Button-suppression pairs for a sample period: hold samples = hold time /
/// period and radius, each limited to 255 (a longer hold or a larger radius
/// does not wrap to a small one); a period of 0 counts as 1 microsecond.
ButtonSuppression::Config suppressionConfigFor(const uint32_t holdTimeUs[4], const uint32_t radius[4],
                                               uint32_t periodUs);

} // namespace vnx
