#pragma once

// A client of the SensorFusion module: starts the core library, creates the
// module by type id, listens to its status reports and feeds it one
// DeviceSupport6AG sample and one ButtonActivity record per call on input
// interface 5.
//
//   FusionRig rig;                        // core started, module created
//   rig.init(testDevice().build());
//   rig.step6AG({0, 0, -16384}, {0, 0, 0});
//   rig.motion().quaternion[0].real ...

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/ScdBuilder.h"

namespace sensorFusionTest {

using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;
using Counts = std::array<std::int16_t, 3>;

inline constexpr double kPeriodS = 0.008;
inline constexpr int kSamplesPerSecond = 125;
inline constexpr float kGravity = 9.80665f;
/// One g on the accelerometer, in counts (matrix 19.6133: full scale 2 g).
inline constexpr std::int16_t kOneG = 16384;
/// Gyroscope rad/s per count.
inline constexpr float kRadPerCount = 0.001f;
/// A device lying flat: the accelerometer reads gravity on -z.
inline constexpr Counts kFlat{0, 0, static_cast<std::int16_t>(-kOneG)};
inline constexpr Counts kNoRotation{0, 0, 0};

/// A six-axis device at 125 Hz: accelerometer 2 g full scale, gyroscope
/// 1 mrad/s per count, zero offsets.
inline ScdBuilder testDevice()
{
    return ScdBuilder()
        .period(kPeriodS)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(kRadPerCount) * I)
        .gyroNoise(2, 2, 2)
        .zroTerms(0.005f, 0.005f)
        .zroInitSigma(0.02f);
}

/// Keeps every status the module reports, as bytes.
class StatusLog : public vnx::ModuleListenerInterface
{
  public:
    void statusCallback(vnx::ModuleConfigInterface*, const vnx_StructStatus_s* status) override
    {
        const auto* activity = vnx_ActivityClassification_dynamicDownCastConstStatus(status);
        if (activity != nullptr) {
            activityStatuses.push_back(*activity);
            sampleIndices.push_back(currentSample);
        } else {
            ++otherStatuses;
        }
    }

    std::vector<vnx_ActivityClassification_Status_s> activityStatuses;
    std::vector<long> sampleIndices; ///< the rig's sample count at each status
    long currentSample = 0;
    int otherStatuses = 0;
};

/// Starts the core library for one test and stops it again.
class CoreLibrary
{
  public:
    CoreLibrary() { vnx_core_initialize(); }
    ~CoreLibrary() { vnx_core_finalize(); }
    CoreLibrary(const CoreLibrary&) = delete;
    CoreLibrary& operator=(const CoreLibrary&) = delete;
};

inline vnx_ButtonActivity_Output_s buttonRecord(std::uint32_t buttons, std::int32_t wheel)
{
    vnx_ButtonActivity_Output_s record;
    std::memset(&record, 0, sizeof record);
    vnx_ButtonActivity_initOutput(&record);
    record.activity = VNX_BUTTON_ACTIVITY_PRESS;
    record.buttons = buttons;
    record.wheel = wheel;
    record.padding[0] = 0x5A; // a marker: the record is passed on whole
    return record;
}

/// A record zero-filled and then initialised, as a record factory makes it.
template <class Record> void fresh(Record& record, int (*init)(Record*))
{
    std::memset(&record, 0, sizeof record);
    init(&record);
}

class FusionRig
{
  public:
    FusionRig()
    {
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_FUSION);
        clearOutputs();
    }
    ~FusionRig()
    {
        if (module_ != nullptr) {
            module_->term();
            vnx::ModuleFactory::destroyModule(module_);
        }
    }
    FusionRig(const FusionRig&) = delete;
    FusionRig& operator=(const FusionRig&) = delete;

    /// Listener set, then init with the SCD and an optional DCD.
    int init(const scdGen4Float_s& scd, const vnx_dcdData_s* dcd = nullptr)
    {
        scd_ = scd;
        module_->setModuleListener(&statuses);
        int scdOffset = 0;
        int dcdOffset = 0;
        return module_->init(&scd_.head, scdOffset, dcd, dcdOffset);
    }

    /// One sample on interface 5 with the next sample number.
    int step6AG(const Counts& acc, const Counts& gyro, std::int16_t temperature = 0)
    {
        vnx_DeviceSupport6AG_Output_s sample;
        std::memset(&sample, 0, sizeof sample);
        vnx_DeviceSupport6AG_initOutput(&sample);
        sample.sampleNumber = ++sampleNumber_;
        sample.temperature = temperature;
        for (int i = 0; i < 3; ++i) {
            sample.accelerometer[i] = acc[i];
            sample.gyroscope[i] = gyro[i];
        }
        return process6AG(sample);
    }

    /// A prepared sample on interface 5 with a fresh button record.
    int process6AG(const vnx_DeviceSupport6AG_Output_s& sample)
    {
        button =
            buttonRecord(static_cast<std::uint32_t>(sample.sampleNumber) & 0x7u, sample.sampleNumber % 3 - 1);
        vnx_DeviceSupport6AG_Format_s format;
        vnx_DeviceSupport6AG_initFormat(&format);
        vnx_ButtonActivity_Format_s buttonFormat;
        vnx_ButtonActivity_initFormat(&buttonFormat);
        const vnx_StructOutput_s* inputs[] = {&sample.output, &button.output};
        const vnx_StructFormat_s* formats[] = {&format, &buttonFormat};
        ++statuses.currentSample;
        return module_->process(5, 2, inputs, formats, 0, 3, outputs(), outputFormats());
    }

    /// `count` samples of the same reading; the number of calls that did not return 0.
    int hold(const Counts& acc, const Counts& gyro, long count)
    {
        int failures = 0;
        for (long k = 0; k < count; ++k) {
            failures += step6AG(acc, gyro) != VNX_STATUS_SUCCESS;
        }
        return failures;
    }

    void clearOutputs()
    {
        fresh(motion_, vnx_SensorFusion_initOutput);
        fresh(motionFormat_, vnx_SensorFusion_initFormat);
        fresh(activity_, vnx_ActivityClassification_initOutput);
        fresh(activityFormat_, vnx_ActivityClassification_initFormat);
        fresh(buttons_, vnx_ButtonActivity_initOutput);
        fresh(buttonsFormat_, vnx_ButtonActivity_initFormat);
    }

    vnx_StructOutput_s** outputs()
    {
        outputs_ = {&motion_.output, &activity_.output, &buttons_.output};
        return outputs_.data();
    }
    vnx_StructFormat_s** outputFormats()
    {
        outputFormats_ = {&motionFormat_.format, &activityFormat_, &buttonsFormat_};
        return outputFormats_.data();
    }

    /// The learned calibration as a fresh DCD; the module's result in `result`.
    dcdAlg49AxisFixed_s readDcd(int& result)
    {
        dcdAlg49AxisFixed_s dcd;
        std::memset(&dcd, 0, sizeof dcd);
        int offset = 0;
        result = module_->getDcd(&dcd.head, sizeof dcd, offset);
        return dcd;
    }

    vnx::ModuleInterface* module() { return module_; }
    const vnx_SensorFusion_Output_s& motion() const { return motion_; }
    const vnx_SensorFusion_Format_s& motionFormat() const { return motionFormat_; }
    const vnx_ActivityClassification_Output_s& activity() const { return activity_; }
    const vnx_ButtonActivity_Output_s& buttons() const { return buttons_; }
    std::int32_t sampleNumber() const { return sampleNumber_; }

    StatusLog statuses;
    vnx_ButtonActivity_Output_s button{}; ///< the button record of the last sample

  private:
    vnx::ModuleInterface* module_ = nullptr;
    scdGen4Float_s scd_{};
    std::int32_t sampleNumber_ = 0;
    vnx_SensorFusion_Output_s motion_;
    vnx_SensorFusion_Format_s motionFormat_;
    vnx_ActivityClassification_Output_s activity_;
    vnx_ActivityClassification_Format_s activityFormat_;
    vnx_ButtonActivity_Output_s buttons_;
    vnx_ButtonActivity_Format_s buttonsFormat_;
    std::array<vnx_StructOutput_s*, 3> outputs_{};
    std::array<vnx_StructFormat_s*, 3> outputFormats_{};
};

} // namespace sensorFusionTest
