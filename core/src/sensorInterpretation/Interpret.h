#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/rawConversion.h"
#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// First step of every sensor interpretation chain: turns one raw sample of
/// each sensor (three signed 16-bit counts, one 16-bit temperature count) into
/// physical values with the constants of FixedPointCal, and flags samples that
/// sit at the end of the 16-bit range. Holds no calibration of its own.
class Interpret
{
    VNX_LOG_DEFAULT(Interpret);

  public:
    /// Bits of Output::flags; each conversion clears and sets only its own.
    static constexpr std::uint8_t kFlagAccSaturated = 1; ///< accelerometer count at a range end
    static constexpr std::uint8_t kFlagRsSaturated = 2;  ///< rotation-sensor count at a range end
    static constexpr std::uint8_t kFlagMagUnusable = 4;  ///< magnetometer count at a range end

    /// Bit of the sample flags word that marks a sample the device reported
    /// as a glitch.
    static constexpr std::uint32_t kSampleFlagGlitch = 32;

    /// One interpreted sample.
    struct Output
    {
        qdVectorFixed::Vector3 acc; ///< m/s^2
        qdVectorFixed::Vector3 rs;  ///< angular velocity, rad/s
        Fp32 temperature;           ///< degC
        qdVectorFixed::Vector3 mag; ///< calibrated units
        /// Calibrated, unclamped acceleration; not written by the conversions
        /// (kept by the mobile fusion engine).
        qdVectorFixed::Vector3 accCalibrated;
        std::uint8_t flags = 0;
    };

    Interpret() = default;

    /// Nothing to reset; part of the init sequence of the owning module.
    void init() {}

    void accInterpret(const FixedPointCal::Output& cal, const RawTriple& raw, qdVectorFixed::Vector3& acc,
                      std::uint8_t& flags) const;
    /// `accMps2`: the acceleration of the same sample, for the acceleration
    /// sensitivity of the rotation sensor.
    void rsInterpret(const FixedPointCal::Output& cal, const RawTriple& raw,
                     const qdVectorFixed::Vector3& accMps2, qdVectorFixed::Vector3& rs,
                     std::uint8_t& flags) const;
    void tempInterpret(const FixedPointCal::Output& cal, std::int16_t raw, Fp32& temperature) const;
    /// A sample with a count at a range end gives -2^31 ("unknown") on all axes.
    void magInterpret(const FixedPointCal::Output& cal, const RawTriple& raw, qdVectorFixed::Vector3& mag,
                      std::uint8_t& flags) const;
    /// Zeroes the angular velocity of a sample marked as a glitch.
    void rsGlitchSuppress(std::uint32_t sampleFlags, qdVectorFixed::Vector3& rs) const;
};

} // namespace vnx
