#include "simulation/PresenterScenario.h"

#include "device/presenterCodes.h"
#include "sensor/defaultScd.h"

PresenterScenario::PresenterScenario(const Options& options) : PresenterScenario(options, kDefaultScdBlock) {}

PresenterScenario::PresenterScenario(const Options& options, const scdGen4Float_s& scd)
    : options_(options), trace_(scd, options.motion), periodUs_(static_cast<uint32_t>(vnx_scdGetPeriod(&scd.head)))
{
}

PresenterScenario& PresenterScenario::mark(PresenterReport report)
{
    marked_.push_back({trace_.sampleCount(), report});
    return *this;
}

PresenterScenario& PresenterScenario::identity()
{
    return mark(statusReport(options_.deviceNumber, receiverStatusIdentity));
}

PresenterScenario& PresenterScenario::paired()
{
    return mark(statusReport(options_.deviceNumber, receiverStatusPaired));
}

PresenterScenario& PresenterScenario::battery(uint8_t level)
{
    const uint8_t data[] = {level};
    return mark(statusReport(options_.deviceNumber, receiverStatusBattery, data));
}

PresenterScenario& PresenterScenario::firmware(const std::array<uint8_t, 8>& version)
{
    return mark(statusReport(options_.deviceNumber, receiverStatusFirmware, version));
}

PresenterScenario& PresenterScenario::button(uint8_t code)
{
    return mark(buttonReport(options_.deviceNumber, code));
}

PresenterScenario& PresenterScenario::still(double seconds)
{
    trace_.still(seconds);
    return *this;
}

PresenterScenario& PresenterScenario::turn(const vnx::testsupport::Vec3d& axis, double rateRadPerS, double seconds)
{
    trace_.turn(axis, rateRadPerS, seconds);
    return *this;
}

PresenterScenario& PresenterScenario::gap(int samples)
{
    trace_.gap(samples);
    return *this;
}

int64_t PresenterScenario::reportCount() const
{
    return trace_.sampleCount() + static_cast<int64_t>(marked_.size());
}

void PresenterScenario::rewind()
{
    nextMarked_ = 0;
    samplesSent_ = 0;
    lastSampleTimeUs_ = 0;
    traceStarted_ = false;
}

std::optional<PresenterScenario::TimedReport> PresenterScenario::next()
{
    if (nextMarked_ < marked_.size() && marked_[nextMarked_].afterSamples <= samplesSent_) {
        return TimedReport{lastSampleTimeUs_, marked_[nextMarked_++].report};
    }
    if (!traceStarted_) {
        trace_.rewind();
        traceStarted_ = true;
    }
    const vnx::testsupport::MotionSample* sample = trace_.next();
    if (sample == nullptr) {
        return std::nullopt;
    }
    ++samplesSent_;
    lastSampleTimeUs_ = static_cast<int64_t>(sample->sampleNumber) * periodUs_;
    const auto counter = static_cast<uint16_t>(options_.firstCounter + static_cast<uint32_t>(sample->sampleNumber - 1));
    return TimedReport{lastSampleTimeUs_, motionReport(options_.deviceNumber, counter, sample->output6AG)};
}
