#pragma once

// A device feeding one SensorInterpretation9Axis module: raw samples in as
// DeviceSupport records, the module's Output and Format out.
//
//   NineAxisRig rig;
//   rig.init(testDevice().build());
//   rig.still(kGravityUp, kGyroBias, 250);  // 2 s on a table
//   rig.output().interpretation.angularVelocity[2] ...

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "common/crc32.h"
#include "deviceSupport/DeviceSupport.h"
#include "sensorInterpretation9Axis/SensorInterpretation9Axis.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"
#include "support/ScdBuilder.h"
#include "support/dcdBlocks.h"

namespace nineAxisTest {

using vnx::RawTriple;
using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

inline constexpr double kPeriodS = 0.008;
inline constexpr std::uint32_t kPeriodUs = 8000;
inline constexpr int kSamplesPerSecond = 125;
/// Accelerometer counts per m/s^2 (2 g full scale).
inline constexpr double kAccCountsPerMps2 = 32768.0 / 19.6133;
/// Gyroscope rad/s per count.
inline constexpr double kGyroRadPerCount = 0.001;
/// Magnetometer gauss per count.
inline constexpr double kMagGaussPerCount = 1.0 / 4096.0;

/// 1 g on +z, in counts.
inline constexpr RawTriple kGravityUp{0, 0, 16384};
/// A constant gyroscope offset of (0.01, -0.02, 0.03) rad/s, in counts.
inline constexpr RawTriple kGyroBias{10, -20, 30};
/// A field of about 0.49 gauss, in counts.
inline constexpr RawTriple kField{1000, -1500, 1200};

/// A nine-axis device at 125 Hz with simple scales: the accelerometer reads
/// 2 g at full scale, the gyroscope 1 mrad/s per count and the magnetometer
/// 1/4096 gauss per count (the stored-magnetometer variant).
inline ScdBuilder testDevice()
{
    return ScdBuilder()
        .period(kPeriodS)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.001f) * I)
        .gyroNoise(2, 2, 2)
        .variant(24601)
        .magMatrix(vnx::Fp32(1.0f / 4096.0f) * I);
}

inline vnx_DeviceSupport_Output_s sensorRecord(std::uint8_t sensor, const RawTriple& counts)
{
    vnx_DeviceSupport_Output_s record;
    std::memset(&record, 0, sizeof record);
    vnx_DeviceSupport_initOutput(&record);
    record.sensor = sensor;
    record.x = counts[0];
    record.y = counts[1];
    record.z = counts[2];
    return record;
}

inline std::uint32_t scdCrcOf(const scdGen4Float_s& scd)
{
    return crc32_process(&scd, sizeof scd);
}

/// A magnetometer calibration worth restoring: accuracy well below pi/2.
inline dcdMagAmpCal_s storedMagCalibration()
{
    dcdMagAmpCal_s mag{};
    mag.offset[0] = 0.05f;
    mag.offset[2] = -0.05f;
    mag.iPlusD[0] = 1.1f;
    mag.iPlusD[4] = 1.1f;
    mag.iPlusD[8] = 1.1f;
    mag.fieldStrength = 0.8f;
    mag.dipAngle = 1.0f;
    mag.accuracy = 0.05f;
    return mag;
}

/// Gyroscope innards with a stored zero-rate offset (rad/s).
inline dcdAlg4MinFixedInnards_s storedGyroState(float x, float y, float z)
{
    dcdAlg4MinFixedInnards_s innards;
    dcdAlg4MinFixedInnardsSetEmpty(&innards);
    innards.zro[0] = x;
    innards.zro[1] = y;
    innards.zro[2] = z;
    innards.temperature = 0.0f;
    return innards;
}

using vnx::testsupport::gyroOnlyDcd;
using vnx::testsupport::nineAxisDcd;

class NineAxisRig
{
  public:
    NineAxisRig()
    {
        std::memset(&format_, 0, sizeof format_);
        vnx_DeviceSupport_initFormat(&format_);
        std::memset(&output_, 0, sizeof output_);
        vnx_SensorInterpretation9Axis_initOutput(&output_);
        std::memset(&outputFormat_, 0, sizeof outputFormat_);
        vnx_SensorInterpretation9Axis_initFormat(&outputFormat_);
    }

    int init(const scdGen4Float_s& scd, const vnx_dcdData_s* dcd = nullptr)
    {
        int scdOffset = 0;
        int dcdOffset = 0;
        return module_.init(&scd.head, scdOffset, dcd, dcdOffset);
    }

    /// One sample `advance` sample numbers after the previous one: through
    /// interface 0 without a field, interface 1 with one.
    int step(const RawTriple& acc, const RawTriple& gyro,
             const std::optional<RawTriple>& field = std::nullopt, std::uint32_t advance = 1)
    {
        sampleNumber_ += advance;
        format_.sampleNumber = sampleNumber_;
        vnx_DeviceSupport_Output_s records[3] = {
            sensorRecord(VNX_DEVICE_SUPPORT_ACCELEROMETER, acc),
            sensorRecord(VNX_DEVICE_SUPPORT_GYROSCOPE, gyro),
            sensorRecord(VNX_DEVICE_SUPPORT_MAGNETOMETER, field.value_or(RawTriple{}))};
        const vnx_StructOutput_s* inputs[] = {&records[0].output, &records[1].output, &records[2].output};
        const vnx_StructFormat_s* formats[] = {&format_.format, &format_.format, &format_.format};
        vnx_StructOutput_s* outputs[] = {&output_.output};
        vnx_StructFormat_s* outputFormats[] = {&outputFormat_.format};
        const int interface = field.has_value() ? 1 : 0;
        return module_.process(interface, field.has_value() ? 3 : 2, inputs, formats, 0, 1, outputs,
                               outputFormats);
    }

    /// `count` samples of the same reading; the result of the last.
    int hold(const RawTriple& acc, const RawTriple& gyro, int count,
             const std::optional<RawTriple>& field = std::nullopt)
    {
        int result = 0;
        for (int k = 0; k < count; ++k)
            result = step(acc, gyro, field);
        return result;
    }

    vnx_dcdData_s* dcd() { return &dcd_.head; }
    /// The learned state as a fresh 260-byte DCD.
    const dcdAlg49AxisFixed_s& readDcd()
    {
        int offset = 0;
        lastDcdResult_ = module_.getDcd(&dcd_.head, sizeof dcd_, offset);
        return dcd_;
    }
    int lastDcdResult() const { return lastDcdResult_; }

    SensorInterpretation9Axis& module() { return module_; }
    const vnx_SensorInterpretation9Axis_Output_s& output() const { return output_; }
    const vnx_SensorInterpretation_Output_s& motion() const { return output_.interpretation; }
    const vnx_SensorInterpretation9Axis_Format_s& outputFormat() const { return outputFormat_; }
    vnx_SensorInterpretation9Axis_Output_s& outputRecord() { return output_; }
    vnx_SensorInterpretation9Axis_Format_s& outputFormatRecord() { return outputFormat_; }
    vnx_DeviceSupport_Format_s& inputFormat() { return format_; }

  private:
    SensorInterpretation9Axis module_;
    vnx_DeviceSupport_Format_s format_;
    vnx_SensorInterpretation9Axis_Output_s output_;
    vnx_SensorInterpretation9Axis_Format_s outputFormat_;
    std::uint32_t sampleNumber_ = 100;
    dcdAlg49AxisFixed_s dcd_{};
    int lastDcdResult_ = 0;
};

} // namespace nineAxisTest
