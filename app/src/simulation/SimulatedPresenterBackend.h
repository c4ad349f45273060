#pragma once

// A receiver with a simulated presenter behind it, for running the whole
// road without hardware: one receiver is always present, and once opened it
// plays a PresenterScenario as input reports at their times. Mode reports
// are accepted and ignored. On the real clock reads wait for the next
// report; on the virtual clock (tests) time-outs and sleeps advance the
// clock instead of waiting.

#include "platform/HidBackend.h"
#include "simulation/PresenterScenario.h"

#include <mutex>
#include <optional>

class SimulatedPresenterBackend final : public HidBackend
{
  public:
    enum class Clock
    {
        Real,
        Virtual,
    };

    /// The path of the simulated receiver.
    static constexpr const char* kPath = "simulated-presenter";

    explicit SimulatedPresenterBackend(PresenterScenario scenario, Clock clock = Clock::Real);

    /// True once every report of the scenario has been read.
    bool finished();

    /// The simulated receiver, under the ids the filter asks for (the
    /// receiver's constants for a filter value of 0).
    std::vector<HidDeviceInfo> enumerate(int vendorId, int productId, int usagePage, int usage) override;
    /// The first open starts the scenario; a later one goes on where it was.
    HidOpenResult open(const std::string& path, HidDeviceHandle& handle) override;
    int read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs) override;
    int write(HidDeviceHandle handle, const uint8_t* data, size_t length) override;
    void close(HidDeviceHandle handle) override;
    int64_t nowMicroseconds() override;
    void sleepMicroseconds(int64_t duration) override;

  private:
    int64_t now();
    /// The scenario's next report becomes the one due, unless one is.
    void takeNextReport();
    void waitUntil(int64_t timeUs, std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    PresenterScenario scenario_;
    Clock clock_;
    int64_t virtualNowUs_ = 0;
    std::optional<int64_t> startUs_; ///< the clock at the first open
    std::optional<PresenterScenario::TimedReport> due_;
    bool exhausted_ = false;
    HidDeviceHandle openHandle_ = kHidNoDevice;
    HidDeviceHandle nextHandle_ = 1;
};
