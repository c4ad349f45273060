#pragma once

// A simulated device driving the mobile fusion engine through its flat API
// the way a client does: every period a set of raw samples, then process
// until it returns non-zero, each output handed to the test.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>

#include "common/statusCode.h"
#include "numerics/qdVectorFixed.h"
#include "sensorFusion/frameRotation.h"
#include "sensorFusionMobile/mobileApi.h"
#include "support/ScdBuilder.h"

namespace vnx::mobiletest {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;
using testsupport::I;
using testsupport::ScdBuilder;

/// Gyroscope scale of the simulated device: one count is 0.001 rad/s.
inline constexpr float kRadPerCount = 0.001f;
/// One g on the accelerometer (matrix 19.6133: full scale +-2 g).
inline constexpr float kCountsPerG = 16384.0f;
inline constexpr float kGravity = 9.80665f;

/// A device at 125 Hz with zero offsets.
inline ScdBuilder deviceScd()
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(19.6133f * I)
        .gyroMatrix(kRadPerCount * I)
        .gyroNoise(2, 2, 2)
        .accelNoise(4, 4, 4)
        .zroTerms(0.005f, 0.005f)
        .zroInitSigma(0.02f);
}

inline vnx_Mobile_VirtualSensorPeriods_s periods(std::initializer_list<std::pair<int, std::int32_t>> slots)
{
    vnx_Mobile_VirtualSensorPeriods_s v{};
    for (const auto& [slot, period] : slots)
        v.periodUs[slot] = period;
    return v;
}

/// The internal quaternion (w, x, y, z) of an output written as x, y, z, w
/// with the identity reorientation.
inline Quaternion internalOf(const float* xyzw)
{
    return {Fp32(xyzw[3]), Fp32(xyzw[1]), Fp32(xyzw[0]), Fp32(-xyzw[2])};
}

/// Angle (rad) between the gravity directions that two orientations see in
/// the device frame: the inclination error.
inline float tiltError(const Quaternion& a, const Quaternion& b)
{
    const Vector3 down{Fp32(0.0f), Fp32(0.0f), Fp32(-1.0f)};
    const Vector3 ga = sensorFusion::rotateByConjugate(a, down);
    const Vector3 gb = sensorFusion::rotateByConjugate(b, down);
    const float c = dot(ga, gb).value() / (ga.norm() * gb.norm()).value();
    return std::acos(std::fmin(1.0f, std::fmax(-1.0f, c)));
}

class MobileRig
{
  public:
    using RawTriple = std::array<std::int16_t, 3>;
    using OnOutput = std::function<void(const vnx_Mobile_Output_s&)>;

    explicit MobileRig(const scdGen4Float_s& scd, const std::uint8_t* dcd = nullptr, std::size_t dcdSize = 0)
        : scd_(scd)
    {
        vnx_Mobile_getDefaults(&config);
        config.scd = &scd_.head;
        config.scdSize = sizeof scd_;
        config.dcd = reinterpret_cast<const vnx_dcdData_s*>(dcd);
        config.dcdSize = dcdSize;
        initStatus = vnx_Mobile_initialize(&handle, &config);
    }
    ~MobileRig() { vnx_Mobile_finalize(handle); }
    MobileRig(const MobileRig&) = delete;
    MobileRig& operator=(const MobileRig&) = delete;

    /// Enables the outputs and runs the sensors at the derived periods.
    vnx_Mobile_PhysicalSensorPeriods_s enable(const vnx_Mobile_VirtualSensorPeriods_s& wanted)
    {
        vnx_Mobile_PhysicalSensorPeriods_s sensors{};
        EXPECT_EQ(vnx_Mobile_enableOutputPeriodsAndDeriveInputPeriods(handle, &wanted, &sensors),
                  VNX_STATUS_SUCCESS);
        EXPECT_EQ(vnx_Mobile_setInputPeriods(handle, &sensors), VNX_STATUS_SUCCESS);
        sensors_ = sensors;
        return sensors;
    }

    /// One sample of every running sensor at timeUs, then the drain.
    void sample(std::uint32_t timeUs, const RawTriple& acc, const RawTriple& gyro, const RawTriple& mag,
                const OnOutput& onOutput, std::int16_t temperature = 0)
    {
        if (sensors_.accelerometerUs > 0)
            vnx_Mobile_reportAcc(handle, timeUs, acc[0], acc[1], acc[2]);
        if (sensors_.magnetometerUs > 0)
            vnx_Mobile_reportMag(handle, timeUs, mag[0], mag[1], mag[2]);
        if (sensors_.gyroscopeUs > 0)
            vnx_Mobile_reportGyro(handle, timeUs, gyro[0], gyro[1], gyro[2], temperature);
        if (sensors_.fusionUs > 0)
            vnx_Mobile_reportFusionTick(handle, timeUs);
        drain(onOutput);
    }

    /// process until it returns non-zero; fails the test on a runaway loop.
    void drain(const OnOutput& onOutput)
    {
        for (int calls = 0; calls < 64; ++calls) {
            // Zeroed: process writes only the outputs it marks valid, and
            // tests compare whole records.
            vnx_Mobile_Output_s out{};
            std::uint8_t flag = 0xAA;
            const int status = vnx_Mobile_process(handle, &out, &flag);
            EXPECT_EQ(flag, 0);
            if (status != VNX_STATUS_SUCCESS) {
                EXPECT_EQ(status, VNX_STATUS_WARNING_WAITING_FOR_FUSION);
                return;
            }
            if (onOutput)
                onOutput(out);
        }
        ADD_FAILURE() << "process did not finish";
    }

    vnx_Mobile_Configuration_s config{};
    vnx_Mobile_Handle handle = nullptr;
    int initStatus = VNX_STATUS_INTERNAL_ERROR;

  private:
    scdGen4Float_s scd_;
    vnx_Mobile_PhysicalSensorPeriods_s sensors_{};
};

/// Raw counts of a physical value, rounded and clamped to 16 bits.
inline std::int16_t counts(float value)
{
    const float r = std::round(value);
    return static_cast<std::int16_t>(std::fmax(-32768.0f, std::fmin(32767.0f, r)));
}

} // namespace vnx::mobiletest
