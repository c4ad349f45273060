#include "support/MotionTrace.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace vnx::testsupport {

namespace {

FixedPointCal::Output verifiedCalibration(const scdGen4Float_s& scd)
{
    FixedPointCal cal;
    if (cal.verifyAndInit(&scd.head) != 0)
        throw std::invalid_argument("MotionTrace: the SCD is refused");
    return cal.output();
}

bool isZero(const Vec3d& v)
{
    return v[0] == 0.0 && v[1] == 0.0 && v[2] == 0.0;
}

/// Factory-fresh record: zero bytes, then the type's initialiser.
template <typename Record> void initRecord(Record& record, int (*init)(Record*))
{
    std::memset(&record, 0, sizeof record);
    init(&record);
}

void setCounts(vnx_DeviceSupport_Output_s& output, const RawTriple& raw)
{
    output.x = raw[0];
    output.y = raw[1];
    output.z = raw[2];
}

} // namespace

MotionTrace::MotionTrace(const scdGen4Float_s& scd, const MotionTraceOptions& options)
    : cal_(verifiedCalibration(scd)), encoder_(cal_), options_(options), periodS_(cal_.period),
      periodUs_(static_cast<std::uint32_t>(vnx_scdGetPeriod(&scd.head))), noise_(options.seed)
{
    if ((!isZero(options.magneticField) || options.magNoise != 0.0) && !encoder_.hasMagnetometer())
        throw std::invalid_argument("MotionTrace: the SCD's magnetometer matrix is singular");
    options_.initialOrientation = normalized(options.initialOrientation);

    initRecord(sample_.output6AG, vnx_DeviceSupport6AG_initOutput);
    initRecord(sample_.format6AG, vnx_DeviceSupport6AG_initFormat);
    initRecord(sample_.output9AGM, vnx_DeviceSupport9AGM_initOutput);
    initRecord(sample_.format9AGM, vnx_DeviceSupport9AGM_initFormat);
    initRecord(sample_.format, vnx_DeviceSupport_initFormat);
    initRecord(sample_.accelerometer, vnx_DeviceSupport_initOutput);
    initRecord(sample_.gyroscope, vnx_DeviceSupport_initOutput);
    initRecord(sample_.magnetometer, vnx_DeviceSupport_initOutput);
    sample_.accelerometer.sensor = VNX_DEVICE_SUPPORT_ACCELEROMETER;
    sample_.gyroscope.sensor = VNX_DEVICE_SUPPORT_GYROSCOPE;
    sample_.magnetometer.sensor = VNX_DEVICE_SUPPORT_MAGNETOMETER;
    rewind();
}

std::int64_t MotionTrace::periodsOf(double seconds) const
{
    if (!(seconds >= 0.0) || !std::isfinite(seconds))
        throw std::invalid_argument("MotionTrace: a duration must be finite and not negative");
    return std::llround(seconds / periodS_);
}

MotionTrace& MotionTrace::append(const Vec3d& axis, double rateRadPerS, std::int64_t periods,
                                 bool emitsSamples, double endDegC)
{
    const double startDegC = segments_.empty() ? options_.temperature : segments_.back().endDegC;
    segments_.push_back({axis, rateRadPerS, periods, emitsSamples, startDegC, endDegC});
    return *this;
}

MotionTrace& MotionTrace::still(double seconds)
{
    return turn({0.0, 0.0, 1.0}, 0.0, seconds);
}

MotionTrace& MotionTrace::turn(const Vec3d& axis, double rateRadPerS, double seconds)
{
    const double length = norm(axis);
    if (!(length > 0.0) || !std::isfinite(length) || !std::isfinite(rateRadPerS))
        throw std::invalid_argument("MotionTrace: a turn needs a non-zero axis and a finite rate");
    const double degC = segments_.empty() ? options_.temperature : segments_.back().endDegC;
    return append(scaled(axis, 1.0 / length), rateRadPerS, periodsOf(seconds), true, degC);
}

MotionTrace& MotionTrace::gap(int samples)
{
    if (samples < 0)
        throw std::invalid_argument("MotionTrace: a gap cannot be negative");
    if (segments_.empty())
        return append({0.0, 0.0, 1.0}, 0.0, samples, false, options_.temperature);
    const Segment& before = segments_.back();
    return append(before.axis, before.rateRadPerS, samples, false, before.endDegC);
}

MotionTrace& MotionTrace::temperatureDrift(double toDegC, double seconds)
{
    if (!std::isfinite(toDegC))
        throw std::invalid_argument("MotionTrace: the temperature must be finite");
    return append({0.0, 0.0, 1.0}, 0.0, periodsOf(seconds), true, toDegC);
}

std::int64_t MotionTrace::sampleCount() const
{
    std::int64_t count = 0;
    for (const Segment& segment : segments_)
        if (segment.emitsSamples)
            count += segment.periods;
    return count;
}

void MotionTrace::rewind()
{
    noise_.reseed(options_.seed);
    segmentIndex_ = 0;
    periodsInSegment_ = 0;
    periodIndex_ = 0;
    segmentStart_ = options_.initialOrientation;
    orientation_ = options_.initialOrientation;
}

const MotionSample* MotionTrace::next()
{
    while (segmentIndex_ < segments_.size()) {
        const Segment& segment = segments_[segmentIndex_];
        if (periodsInSegment_ == segment.periods) {
            segmentStart_ = orientation_;
            ++segmentIndex_;
            periodsInSegment_ = 0;
            continue;
        }
        // Lost samples are skipped whole: only the orientation at the end of
        // the gap matters.
        const std::int64_t step = segment.emitsSamples ? 1 : segment.periods;
        periodsInSegment_ += step;
        periodIndex_ += step;
        // Closed form from the segment's start: exact for a constant rate and
        // free of the rounding a per-sample product would pile up.
        const double angle = segment.rateRadPerS * periodS_ * static_cast<double>(periodsInSegment_);
        orientation_ = normalized(multiply(segmentStart_, axisAngle(segment.axis, angle)));
        if (!segment.emitsSamples)
            continue;

        const double progress = static_cast<double>(periodsInSegment_) / static_cast<double>(segment.periods);
        fillSample(segment, segment.startDegC + (segment.endDegC - segment.startDegC) * progress);
        return &sample_;
    }
    return nullptr;
}

void MotionTrace::fillSample(const Segment& segment, double degC)
{
    MotionTruth& truth = sample_.truth;
    truth.orientation = orientation_;
    truth.angularRate = scaled(segment.axis, segment.rateRadPerS);
    truth.specificForce = worldToBody(orientation_, {0.0, 0.0, -kGravity});
    truth.magneticField = worldToBody(orientation_, options_.magneticField);
    truth.gyroOffset =
        added(options_.gyroOffset, scaled(options_.gyroOffsetPerDegC, degC - options_.temperature));
    truth.temperature = degC;

    // Always nine draws in a fixed order, so the noise of one sensor does not
    // depend on the levels chosen for the others.
    Vec3d acc = truth.specificForce;
    Vec3d rate = added(truth.angularRate, truth.gyroOffset);
    Vec3d field = truth.magneticField;
    for (double& v : acc)
        v += options_.accNoise * noise_.next();
    for (double& v : rate)
        v += options_.gyroNoise * noise_.next();
    for (double& v : field)
        v += options_.magNoise * noise_.next();

    const RawTriple accRaw = encoder_.accelerometer(acc);
    const RawTriple gyroRaw = encoder_.gyroscope(rate, accRaw);
    const RawTriple magRaw = encoder_.magnetometer(field);
    const std::int16_t tempRaw = encoder_.temperature(degC);

    // The device's counter is 32 bits and wraps; so does the engine's clock.
    const auto number = static_cast<std::uint32_t>(periodIndex_);
    sample_.sampleNumber = static_cast<std::int32_t>(number);
    sample_.timeUs = number * periodUs_;

    vnx_DeviceSupport6AG_Output_s& ag = sample_.output6AG;
    vnx_DeviceSupport9AGM_Output_s& agm = sample_.output9AGM;
    ag.sampleNumber = agm.sampleNumber = sample_.sampleNumber;
    ag.temperature = agm.temperature = tempRaw;
    for (int i = 0; i < 3; ++i) {
        ag.accelerometer[i] = agm.accelerometer[i] = accRaw[i];
        ag.gyroscope[i] = agm.gyroscope[i] = gyroRaw[i];
        agm.magnetometer[i] = magRaw[i];
    }
    sample_.format.sampleNumber = number;
    sample_.format.temperature = tempRaw;
    setCounts(sample_.accelerometer, accRaw);
    setCounts(sample_.gyroscope, gyroRaw);
    setCounts(sample_.magnetometer, magRaw);
}

} // namespace vnx::testsupport
