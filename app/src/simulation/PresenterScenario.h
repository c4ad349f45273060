#pragma once

// What a simulated presenter does, as the receiver reports it: status and
// button reports and generated motion sampled at the SCD's period, in the
// order they were scripted:
//
//   PresenterScenario scenario({.deviceNumber = 3, .firstCounter = 0x7F00});
//   scenario.identity().paired().battery(80).still(2.0).turn({0, 0, 1}, 0.5, 1.0).button(9);
//   while (auto timed = scenario.next()) send(timed->timeUs, timed->report);
//
// Sample n of the motion (n from 1, lost samples counted) comes n periods
// after the start; its counter is firstCounter + n - 1, wrapping at 16 bits.
// A status or button report comes at the time of the sample before it (the
// start for those scripted before any motion).

#include "simulation/presenterReports.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "calibration/scdData.h"
#include "support/MotionTrace.h"

class PresenterScenario
{
  public:
    struct Options
    {
        uint8_t deviceNumber = 1;
        uint16_t firstCounter = 0;
        vnx::testsupport::MotionTraceOptions motion{};
    };

    struct TimedReport
    {
        int64_t timeUs; ///< since the start of the scenario
        PresenterReport report;
    };

    /// Motion of a presenter calibrated by `scd` (the application's default
    /// calibration unless given). Throws std::invalid_argument for an SCD
    /// the motion generator cannot invert.
    explicit PresenterScenario(const Options& options);
    PresenterScenario(const Options& options, const scdGen4Float_s& scd);

    // Reports.
    PresenterScenario& identity();
    PresenterScenario& paired();
    PresenterScenario& battery(uint8_t level);
    PresenterScenario& firmware(const std::array<uint8_t, 8>& version);
    PresenterScenario& button(uint8_t code);

    // Motion, durations in seconds (see MotionTrace).
    PresenterScenario& still(double seconds);
    PresenterScenario& turn(const vnx::testsupport::Vec3d& axis, double rateRadPerS, double seconds);
    /// Samples the receiver loses: their counter values are skipped.
    PresenterScenario& gap(int samples);

    uint32_t periodUs() const { return periodUs_; }
    /// Reports the scenario sends, motion samples included.
    int64_t reportCount() const;

    /// Back to the first report.
    void rewind();
    /// The next report, or nothing after the last.
    std::optional<TimedReport> next();

  private:
    struct Marked
    {
        int64_t afterSamples; ///< motion samples sent before this report
        PresenterReport report;
    };

    PresenterScenario& mark(PresenterReport report);

    Options options_;
    vnx::testsupport::MotionTrace trace_;
    uint32_t periodUs_ = 0;
    std::vector<Marked> marked_;

    // Playing.
    size_t nextMarked_ = 0;
    int64_t samplesSent_ = 0;
    int64_t lastSampleTimeUs_ = 0;
    bool traceStarted_ = false;
};
