#pragma once

#include <cstdint>

#include "activityClassification/ActivityClassificationRecords.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "numerics/FloatingPoint.h"
#include "statistics/IsStable.h"

namespace vnx {
class ModuleListenerInterface;
}

/// Watches a device's interpreted motion (SensorInterpretation Output) for
/// stillness: a run of samples whose y and z angular rates stay within the
/// motion threshold for the configured time. Marks stillness and the
/// interpretation flag of the motion in its Output on every sample and, as
/// the Config enables, reports them to the listener as a Status, at most once
/// per 250 ms of samples.
class ActivityClassification : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(ActivityClassification);

  public:
    ActivityClassification();
    ~ActivityClassification() override;
    ActivityClassification(const ActivityClassification&) = delete;
    ActivityClassification& operator=(const ActivityClassification&) = delete;

    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// Copies the stored Config into an ActivityClassification Config; -3 for
    /// any other record.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Re-arms the detector for a new still time, takes a new threshold and
    /// stores the record; -3 for any other record.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Codes 0 to 2: 0. Other codes -9; other records -3.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Arms the detector from the SCD's sample rate and the stored Config,
    /// then returns the stored Config to its defaults (the detector keeps the
    /// armed values). -13 for an unusable SCD, with nothing armed.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: SensorInterpretation Output. Out: ActivityClassification Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One interpreted-motion Output and Format in, one ActivityClassification
    /// Output out (its Format is not written). -2 when a record is missing or
    /// of another kind; 0 otherwise.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    /// Sends one activity Status carrying the Output flags.
    void report(uint8_t outputFlags);

    vnx_ActivityClassification_Config_s config_;
    vnx::IsStable isStable_;
    /// Samples left before the next status may be sent.
    int32_t muteCounter_ = 0;
    vnx::ModuleListenerInterface* listener_ = nullptr; ///< not owned
    vnx::Fp32 sampleRateHz_{0.0f};                     ///< from the SCD at init
    float motionThresholdRadPerS_ = 0.0f;              ///< 5 x the Config's base
};
