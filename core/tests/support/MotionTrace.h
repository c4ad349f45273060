#pragma once

// Generated motion with known truth, for scenario tests and benchmarks of the
// sensor algorithms. A scenario is a list of segments of ground-truth angular
// rate; the trace turns it, sample by sample at the SCD's period, into the
// raw device records a presenter would send, through the inverse of the SCD's
// conversions, with reproducible noise and a gyroscope bias:
//
//   MotionTrace trace(scd, {.seed = 1, .gyroOffset = {0.01, 0, 0}, .accNoise = 0.02, .gyroNoise = 0.002});
//   trace.still(10.0).turn({0, 0, 1}, 1.5 /*rad/s*/, 2.0 /*s*/).gap(5 /*samples*/).still(3.0);
//   for (const MotionSample& s : trace) feed(s.output6AG), check(estimate, s.truth);
//
// Timing: the trace starts at time 0 in the initial orientation. Sample n
// closes the n-th sample period, so the first sample is number 1; it carries
// the angular rate of that period and the orientation at its end, the order
// in which the engine integrates (the rate of a sample over the period before
// it). Segment durations are rounded to whole periods.
//
// Generation allocates nothing: the scenario is built first, then every
// sample is computed into one record set that next() overwrites.

#include <cstdint>
#include <iterator>
#include <vector>

#include "calibration/FixedPointCal.h"
#include "calibration/scdData.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "support/GaussianNoise.h"
#include "support/RawEncoder.h"
#include "support/motionMath.h"

namespace vnx::testsupport {

/// Sensor imperfections and surroundings of a trace.
struct MotionTraceOptions
{
    std::uint64_t seed = 0;                   ///< noise seed; the same seed gives the same trace
    Vec3d gyroOffset{};                       ///< rad/s, body axes: bias added to every gyroscope reading
    double accNoise = 0.0;                    ///< m/s^2, standard deviation per accelerometer axis
    double gyroNoise = 0.0;                   ///< rad/s, standard deviation per gyroscope axis
    double temperature = 25.0;                ///< degC at the start of the trace
    Vec3d gyroOffsetPerDegC{};                ///< rad/s per degC: bias change away from the start temperature
    Vec3d magneticField{};                    ///< world axes, calibrated magnetometer units; zero: no field
    double magNoise = 0.0;                    ///< calibrated units, standard deviation per magnetometer axis
    Quatd initialOrientation = kIdentityQuat; ///< body to world at time 0
};

/// What the device really did at one sample.
struct MotionTruth
{
    Quatd orientation{}; ///< body to world (w, x, y, z)
    Vec3d angularRate{}; ///< rad/s, body axes
    /// m/s^2, body axes, as the accelerometer reads it: gravity pointing down,
    /// so a device lying flat reads (0, 0, -9.80665).
    Vec3d specificForce{};
    Vec3d magneticField{};  ///< body axes, calibrated units
    Vec3d gyroOffset{};     ///< rad/s, bias contained in this sample's gyroscope reading
    double temperature = 0; ///< degC
};

/// One generated sample: the device records in every form the engine takes,
/// all carrying the same counts, and the truth behind them.
struct MotionSample
{
    std::int32_t sampleNumber = 0;
    std::uint32_t timeUs = 0; ///< SCD period (whole us) x sample number, wrapping like the engine's
    vnx_DeviceSupport6AG_Output_s output6AG{};
    vnx_DeviceSupport6AG_Format_s format6AG{};
    vnx_DeviceSupport9AGM_Output_s output9AGM{};
    vnx_DeviceSupport9AGM_Format_s format9AGM{};
    /// DeviceSupport form: one Format for the sample, paired with each Output.
    vnx_DeviceSupport_Format_s format{};
    vnx_DeviceSupport_Output_s accelerometer{};
    vnx_DeviceSupport_Output_s gyroscope{};
    vnx_DeviceSupport_Output_s magnetometer{};
    MotionTruth truth;
};

class MotionTrace
{
  public:
    static constexpr double kGravity = 9.80665; ///< m/s^2

    /// Throws std::invalid_argument when the SCD is refused, its accelerometer
    /// or gyroscope matrix cannot be inverted, or a magnetic field is asked for
    /// through an SCD whose magnetometer matrix cannot be inverted.
    explicit MotionTrace(const scdGen4Float_s& scd, const MotionTraceOptions& options = {});

    // Scenario, appended in order. Durations in seconds; a negative or
    // non-finite one throws std::invalid_argument.

    /// Device held still.
    MotionTrace& still(double seconds);
    /// Constant rate about a body axis (any length but zero), right-handed.
    /// A rate beyond the gyroscope's range drives its counts to the range end;
    /// as on a real device, 32767 on all three axes then also reads as "no
    /// gyroscope reading" to the readers that give that value this meaning.
    MotionTrace& turn(const Vec3d& axis, double rateRadPerS, double seconds);
    /// `samples` periods whose samples are lost; the device keeps the angular
    /// rate of the segment before (still at the start of a trace).
    MotionTrace& gap(int samples);
    /// Device held still while its temperature moves linearly to `toDegC`,
    /// reached at the last sample.
    MotionTrace& temperatureDrift(double toDegC, double seconds);

    /// Sample period in seconds, as the SCD gives it.
    double periodS() const { return periodS_; }
    /// Samples the scenario produces (lost ones not counted).
    std::int64_t sampleCount() const;
    const FixedPointCal::Output& calibration() const { return cal_; }

    /// Back to the start: same orientation, same noise sequence.
    void rewind();
    /// The next sample, or null after the last; the pointee is overwritten
    /// by the following call.
    const MotionSample* next();

    class Iterator
    {
      public:
        using value_type = MotionSample;
        using difference_type = std::ptrdiff_t;

        Iterator() = default;
        const MotionSample& operator*() const { return *current_; }
        const MotionSample* operator->() const { return current_; }
        Iterator& operator++()
        {
            current_ = trace_->next();
            return *this;
        }
        void operator++(int) { ++*this; }
        friend bool operator==(const Iterator& it, std::default_sentinel_t) { return it.current_ == nullptr; }

      private:
        friend class MotionTrace;
        explicit Iterator(MotionTrace* trace) : trace_(trace), current_(trace->next()) {}
        MotionTrace* trace_ = nullptr;
        const MotionSample* current_ = nullptr;
    };

    /// Rewinds, then walks the samples in order.
    Iterator begin()
    {
        rewind();
        return Iterator(this);
    }
    std::default_sentinel_t end() const { return {}; }

  private:
    struct Segment
    {
        Vec3d axis{}; ///< unit body axis of the rotation
        double rateRadPerS = 0.0;
        std::int64_t periods = 0;
        bool emitsSamples = true;
        double startDegC = 0.0;
        double endDegC = 0.0;
    };

    MotionTrace& append(const Vec3d& axis, double rateRadPerS, std::int64_t periods, bool emitsSamples,
                        double endDegC);
    std::int64_t periodsOf(double seconds) const;
    void fillSample(const Segment& segment, double degC);

    FixedPointCal::Output cal_;
    RawEncoder encoder_;
    MotionTraceOptions options_;
    double periodS_ = 0.0;
    std::uint32_t periodUs_ = 0;
    std::vector<Segment> segments_;

    // Generation state.
    GaussianNoise noise_;
    std::size_t segmentIndex_ = 0;
    std::int64_t periodsInSegment_ = 0; ///< periods of the current segment already passed
    std::int64_t periodIndex_ = 0;      ///< periods since the start of the trace
    Quatd segmentStart_ = kIdentityQuat;
    Quatd orientation_ = kIdentityQuat;
    MotionSample sample_;
};

} // namespace vnx::testsupport
