// Sample-to-pointer latency of the presenter runtime: every report of a
// simulated presenter is handed to a receiver backend in real time at 125 Hz
// (a minute by default), read by the reader thread, queued, run through the
// engine on the motion thread, reported to the application delegate, carried
// to the main thread, filtered and handed to the device event handler, which
// moves the pointer through the cursor manager in cursor mode. Measured per
// pointer move: the time from the hand-over of the report to the cursor
// manager's call of the input layer (XTest when a display is there). Each
// move is counted against the last report handed over: at 8 ms between
// reports, a move later than that would be counted short.
//
// Before the motion the presenter pairs and then sends nothing for a while:
// the process's CPU time over that quiet stretch, as a share of one core, is
// the idle figure; over the turns at 125 Hz, the moving figure. The resident
// memory is read at the end.
//
//   pelvaro_latency [--seconds N] [--idle-seconds N]
//
// Prints one "name: value" line per figure.

#include "application/PVAppDelegate.h"
#include "device/presenterCodes.h"
#include "overlays/PVExtraWindowManager.h"
#include "platform/HidBackend.h"
#include "platform/PVInputLayer.h"
#include "platform/PVNotificationCenter.h"
#include "platform/X11InputLayer.h"
#include "runtime/PVCursorManager.h"
#include "runtime/PVEventHandler.h"
#include "runtime/PVHIDEventHandler.h"
#include "settings/PVGlobalObjectManager.h"
#include "settings/PVModelManager.h"
#include "simulation/PresenterScenario.h"

#include <QApplication>
#include <QMetaObject>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

/// One receiver, always present, whose input reports are the ones handed
/// over; reads wait for them on the real clock.
class HandedReports final : public HidBackend
{
  public:
    static constexpr const char* kPath = "handed-reports";

    void hand(const PresenterReport& report)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            reports_.push_back(report);
        }
        arrived_.notify_one();
    }

    std::vector<HidDeviceInfo> enumerate(int vendorId, int productId, int, int) override
    {
        return {{kPath, static_cast<uint16_t>(vendorId), static_cast<uint16_t>(productId), 0xFF00, 1}};
    }
    HidOpenResult open(const std::string& path, HidDeviceHandle& handle) override
    {
        if (path != kPath) {
            return HidOpenResult::NotFound;
        }
        handle = 1;
        return HidOpenResult::Opened;
    }
    int read(HidDeviceHandle, uint8_t* buffer, size_t length, int timeoutMs) override
    {
        if (buffer == nullptr) {
            return kHidRefused;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !reports_.empty(); })) {
            return kHidTimedOut;
        }
        const size_t count = std::min(length, reports_.front().size());
        std::memcpy(buffer, reports_.front().data(), count);
        reports_.pop_front();
        return static_cast<int>(count);
    }
    int write(HidDeviceHandle, const uint8_t* data, size_t length) override
    {
        return data == nullptr ? kHidRefused : static_cast<int>(length);
    }
    void close(HidDeviceHandle) override {}
    int64_t nowMicroseconds() override { return nowNs() / 1000; }
    void sleepMicroseconds(int64_t duration) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(duration));
    }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<PresenterReport> reports_;
};

/// The input layer the cursor manager calls: notes the time of every pointer
/// motion, then passes the call on.
class StampingInputLayer final : public PVInputLayer
{
  public:
    explicit StampingInputLayer(PVInputLayer& inner) : inner_(inner) {}

    bool available() const override { return true; }
    void warp(QPointF point) override { inner_.warp(point); }
    void motion(QPointF point, bool leftHeld) override
    {
        const int64_t at = nowNs();
        uint64_t report = 0;
        int64_t handedAt = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            report = handedCount_;
            handedAt = handedAtNs_;
        }
        if (report != 0 && report != lastMeasured_) {
            lastMeasured_ = report;
            latenciesNs.push_back(at - handedAt);
        }
        inner_.motion(point, leftHeld);
    }
    void leftButton(QPointF point, bool down, uint64_t clickState) override
    {
        inner_.leftButton(point, down, clickState);
    }
    std::optional<QPointF> pointerPosition() override { return inner_.pointerPosition(); }

    /// Called by the feeding thread as it hands a report over.
    void handing()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++handedCount_;
        handedAtNs_ = nowNs();
    }

    /// One per pointer move (main thread).
    std::vector<int64_t> latenciesNs;

  private:
    PVInputLayer& inner_;
    std::mutex mutex_;
    uint64_t handedCount_ = 0;
    int64_t handedAtNs_ = 0;
    uint64_t lastMeasured_ = 0;
};

/// Settles, takes control with a click, then `seconds` of hand-held motion:
/// slowly changing turns about all three axes.
PresenterScenario presenter(double seconds)
{
    PresenterScenario scenario(
        {.deviceNumber = 0x57,
         .motion = {.seed = 11, .gyroOffset = {0.004, -0.003, 0.002}, .accNoise = 0.02, .gyroNoise = 0.002}});
    scenario.identity().paired().battery(90).still(2.0).button(presenterButtonHotClick);
    for (double t = 0.0; t < seconds; t += 0.1) {
        const vnx::testsupport::Vec3d rate{0.3 * std::sin(0.7 * t), 0.35 * std::sin(0.45 * t + 1.0),
                                           0.5 * std::cos(0.3 * t)};
        scenario.turn(rate, std::hypot(rate[0], rate[1], rate[2]), std::min(0.1, seconds - t));
    }
    return scenario;
}

/// The presenter pairs and reports its battery, without motion.
PresenterScenario pairedOnly()
{
    PresenterScenario scenario({.deviceNumber = 0x57});
    scenario.identity().paired().battery(90);
    return scenario;
}

/// CPU time of every thread of the process.
double processCpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

double wallSeconds()
{
    return static_cast<double>(nowNs()) * 1e-9;
}

/// CPU time over wall time between two readings, in percent of one core.
struct CpuShare
{
    double cpuStart = 0.0;
    double wallStart = 0.0;
    double percent = 0.0;

    void start()
    {
        cpuStart = processCpuSeconds();
        wallStart = wallSeconds();
    }
    void stop()
    {
        const double wall = wallSeconds() - wallStart;
        percent = wall > 0.0 ? 100.0 * (processCpuSeconds() - cpuStart) / wall : 0.0;
    }
};

/// VmRSS of /proc/self/status in MiB; 0 when it cannot be read.
double residentMegabytes()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return 0.0;
    }
    char line[256];
    long kilobytes = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmRSS: %ld kB", &kilobytes) == 1) {
            break;
        }
    }
    std::fclose(status);
    return static_cast<double>(kilobytes) / 1024.0;
}

double percentileUs(std::vector<int64_t> values, double fraction)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size()))) - 1;
    return static_cast<double>(values[std::min(at, values.size() - 1)]) / 1000.0;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 60.0;
    double idleSeconds = 10.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--idle-seconds") == 0 && i + 1 < argc) {
            idleSeconds = std::atof(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: pelvaro_latency [--seconds N] [--idle-seconds N]\n");
            return 2;
        }
    }
    if (!(seconds > 0.0) || !(idleSeconds > 0.0)) {
        std::fprintf(stderr, "pelvaro_latency: the run needs a positive number of seconds\n");
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
    QTemporaryDir home; // settings and calibration of this run only
    setenv("XDG_DATA_HOME", home.path().toUtf8().constData(), 1);
    QApplication application(argc, argv);

    PVModelManager& models = PVModelManager::sharedInstance();
    models.settingDevice().buttonSetting.set(2); // cursor mode
    PVGlobalObjectManager& globals = PVGlobalObjectManager::sharedInstance();
    PVExtraWindowManager& overlays = PVExtraWindowManager::sharedInstance();
    X11InputLayer x11;
    StampingInputLayer input(x11);
    PVCursorManager cursor(input, PVCursorManager::environmentOf(globals));
    PVHIDEventHandler handler({globals, models, overlays, cursor, PVNotificationCenter::defaultCenter()});
    PVEventHandler actions({handler, models, overlays, cursor});

    HandedReports receiver;
    PVLaunchParts parts = PVLaunchParts::application(&receiver);
    parts.eventHandler = [&]() -> PVHIDEventHandler& { return handler; };
    parts.startObserving = [&] { actions.startObserving(); };
    parts.getPPTVersion = [] { return std::optional<QString>(); }; // no presentation program is asked
    PVAppDelegate delegate(std::move(parts));
    delegate.launchPresenterRuntime(); // no windows: only the road to the pointer is measured

    PresenterScenario scenario = presenter(seconds);
    const int64_t reportCount = scenario.reportCount();
    // The turns start after the rest and the click of the scenario.
    constexpr int64_t kTurnsStartUs = 2'100'000;
    CpuShare idle;
    CpuShare moving;
    std::thread feeder([&] {
        // Paired, then quiet: the receiver open and nothing to read. The
        // first half second lets the launch and the pairing settle.
        PresenterScenario paired = pairedOnly();
        while (auto timed = paired.next()) {
            receiver.hand(timed->report);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        idle.start();
        std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
        idle.stop();

        const Clock::time_point start = Clock::now() + std::chrono::milliseconds(200);
        bool turning = false;
        while (auto timed = scenario.next()) {
            std::this_thread::sleep_until(start + std::chrono::microseconds(timed->timeUs));
            if (!turning && timed->timeUs >= kTurnsStartUs) {
                turning = true;
                moving.start();
            }
            input.handing();
            receiver.hand(timed->report);
        }
        moving.stop();
        // The last report's road, then the end.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QMetaObject::invokeMethod(&application, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    QApplication::exec();
    feeder.join();

    std::printf("reports: %lld\n", static_cast<long long>(reportCount));
    std::printf("pointer_moves: %zu\n", input.latenciesNs.size());
    std::printf("p50_us: %.1f\n", percentileUs(input.latenciesNs, 0.50));
    std::printf("p99_us: %.1f\n", percentileUs(input.latenciesNs, 0.99));
    std::printf("max_us: %.1f\n", percentileUs(input.latenciesNs, 1.0));
    std::printf("cpu_percent_idle: %.2f\n", idle.percent);
    std::printf("cpu_percent_moving: %.2f\n", moving.percent);
    std::printf("rss_mb: %.1f\n", residentMegabytes());
    std::fflush(stdout);
    // The worker threads are never stopped: leave without running the
    // destructors of what they may still use.
    std::_Exit(input.latenciesNs.empty() ? 1 : 0);
}
