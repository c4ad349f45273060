#pragma once

#include <cstdint>

#include "moduleFactory/moduleInterface.h"
#include "shakeDetector/ShakeDetectorRecords.h"

namespace vnx {

/// Recognises a quick back-and-forth shake of the device: counts direction
/// reversals of strong rotations within a time window and, once enough have
/// come, flags a shake and reports the shake value.
class ShakeDetector : public ModuleInterface
{
  public:
    ShakeDetector();

    int setModuleListener(ModuleListenerInterface* listener) override;
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    /// No commands: NOT_FOR_ME.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Back to the defaults (preset 3); calibration records are not used.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One SensorFusion Output and Format in, one ShakeDetector Output out;
    /// anything else -2.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    std::int32_t reversalCount() const { return count_; }

  private:
    void apply();

    vnx_ShakeDetector_Config_s config_{};
    std::int32_t count_ = 0;        ///< reversals counted
    std::int32_t samplesSince_ = 0; ///< samples since the last reversal
    float lastAngle_ = 0.0f;        ///< direction of the last reversal, radians
    float thresholdSquared_ = 0.0f; ///< (rad/s)^2
};

} // namespace vnx
