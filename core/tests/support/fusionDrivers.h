#pragma once

// Two clients of the fusion main road that take generated samples
// (MotionTrace) and give back what an accuracy check needs: the estimated
// orientation (body to world, as the trace's truth) and the gyroscope offset
// the engine removed from the sample. Shared by the accuracy tests and the
// fusion_accuracy report program. The core library must be started
// (vnx_core_initialize) while a SensorFusionDriver lives.

#include <cstddef>
#include <cstdint>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorFusionMobile/mobileApi.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/MotionTrace.h"
#include "support/motionMath.h"

namespace vnx::testsupport {

/// The SensorFusion module fed on its DeviceSupport6AG interface.
class SensorFusionDriver
{
  public:
    /// Creates the module; throws std::runtime_error when the factory has none.
    SensorFusionDriver();
    ~SensorFusionDriver();
    SensorFusionDriver(const SensorFusionDriver&) = delete;
    SensorFusionDriver& operator=(const SensorFusionDriver&) = delete;

    /// The module's init result.
    int init(const scdGen4Float_s& scd, const vnx_dcdData_s* dcd = nullptr);
    /// The module's process result for the sample.
    int process(const MotionSample& sample);
    /// The module's getDcd result; the learned calibration in `out`.
    int dcd(dcdAlg49AxisFixed_s& out) const;

    Quatd orientation() const;
    /// The offset the module's fusion engine removed from the last sample, rad/s.
    Vec3d removedOffset() const { return removedOffset_; }

  private:
    ModuleInterface* module_ = nullptr;
    scdGen4Float_s scd_{};
    Vec3d removedOffset_{};
    vnx_ButtonActivity_Output_s button_{};
    vnx_DeviceSupport6AG_Format_s sampleFormat_{};
    vnx_ButtonActivity_Format_s buttonFormat_{};
    vnx_SensorFusion_Output_s motion_{};
    vnx_SensorFusion_Format_s motionFormat_{};
    vnx_ActivityClassification_Output_s activity_{};
    vnx_ActivityClassification_Format_s activityFormat_{};
    vnx_ButtonActivity_Output_s buttons_{};
    vnx_ButtonActivity_Format_s buttonsFormat_{};
};

/// The mobile fusion engine through vnx_Mobile_* in six-axis mode: the game
/// rotation vector at the gyroscope period, no magnetometer.
class MobileDriver
{
  public:
    MobileDriver(const scdGen4Float_s& scd, const std::uint8_t* dcd = nullptr, std::size_t dcdSize = 0);
    ~MobileDriver();
    MobileDriver(const MobileDriver&) = delete;
    MobileDriver& operator=(const MobileDriver&) = delete;

    int initStatus() const { return initStatus_; }
    /// Reports accelerometer and gyroscope, then processes until the engine
    /// waits; the number of calls that returned neither 0 nor 4.
    int process(const MotionSample& sample);
    /// vnx_Mobile_getDynamicCalibration into `buffer`; its result.
    int dcd(std::uint8_t* buffer, std::size_t size) const;

    Quatd orientation() const { return orientation_; }
    /// The rotation rate bias of the last gyroscope output, rad/s.
    Vec3d removedOffset() const { return removedOffset_; }

  private:
    scdGen4Float_s scd_{};
    vnx_Mobile_Handle handle_ = nullptr;
    int initStatus_ = -1;
    bool fusionTicks_ = false;
    Quatd orientation_ = kIdentityQuat;
    Vec3d removedOffset_{};
};

} // namespace vnx::testsupport
