#pragma once

// Drives one SensorInterpretation module made by the factory, as a device
// layer would: DeviceSupport6AG samples in, the module's Output and Format
// out. The core library must be started (and is finalised by the fixture).

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "common/moduleType.h"
#include "coreEntry/coreEntry.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "support/ScdBuilder.h"

namespace vnx::sitest {

using testsupport::I;
using testsupport::ScdBuilder;

/// Raw counts of one sensor.
using Raw3 = std::array<std::int16_t, 3>;

/// One raw sample as the device reports it.
struct RawSample
{
    std::uint32_t sampleNumber = 0;
    Raw3 acc{};
    Raw3 gyro{};
    std::int16_t temperature = 0;
    bool glitch = false;
};

// The device of these tests: 125 samples per second, accelerometer of +-2 g
// (16384 counts per g along each axis), gyroscope of 0.0005 rad/s per count,
// temperature in 1/16 degC counts.
inline constexpr float kGyroScale = 0.0005f; // rad/s per count
inline constexpr float kAccScale = 19.6133f; // m/s^2 at full scale (32768 counts)
inline constexpr std::int16_t kOneG = 16384; // counts, about 9.80665 m/s^2
inline constexpr float kTempScale = 0.0625f; // degC per count

inline ScdBuilder deviceScd()
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(kAccScale * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(kGyroScale * I)
        .gyroNoise(2, 2, 2)
        .tempScale(kTempScale)
        .tempNoise(0.1f);
}

/// A 260-byte version-27 DCD of the SCD with CRC-32 `scdCrc`, sealed.
dcdAlg49AxisFixed_s sealedFullDcd(const dcdAlg4MinFixedInnards_s& innards, const dcdAccOffsetCal_s& acc,
                                  std::uint32_t scdCrc);
/// A 184-byte version-13 DCD, sealed.
dcdAlg4MinFixed_s sealedShortDcd(const dcdAlg4MinFixedInnards_s& innards, std::uint32_t scdCrc);
/// Learned gyroscope state with offset `zro` on every axis, the way a fully
/// converged estimator stores it (state 28 at `temperature`).
dcdAlg4MinFixedInnards_s learnedInnards(float zro, float temperature);
std::uint32_t scdCrcOf(const scdGen4Float_s& scd);

/// Starts the core library for each test and finalises it afterwards; every
/// module of a test is destroyed before the library stops.
class CoreLibraryTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(vnx_core_initialize(), 1); }
    void TearDown() override { vnx_core_finalize(); }
};

class SensorInterpretationRig
{
  public:
    SensorInterpretationRig();
    ~SensorInterpretationRig();
    SensorInterpretationRig(const SensorInterpretationRig&) = delete;
    SensorInterpretationRig& operator=(const SensorInterpretationRig&) = delete;

    vnx::ModuleInterface& module() { return *module_; }
    int init(const scdGen4Float_s& scd, const void* dcd = nullptr);
    /// One sample through input interface 2 (DeviceSupport6AG).
    int feed(const RawSample& sample);
    /// One sample through interface `index` (0 to 3), records built from `sample`.
    int feedThrough(int index, const RawSample& sample);
    int getDcd(dcdAlg49AxisFixed_s& dcd);

    vnx_SensorInterpretation_Output_s output{};
    vnx_SensorInterpretation_Format_s format{};

  private:
    int run(int index, std::size_t count, const vnx_StructOutput_s** inputs,
            const vnx_StructFormat_s** formats);

    vnx::ModuleInterface* module_ = nullptr;
};

} // namespace vnx::sitest
