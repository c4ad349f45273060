#pragma once

// An in-process receiver for tests: devices are plugged and pulled out by a
// script on a virtual clock, input reports are queued, output reports are
// recorded with their virtual time, and opens and writes can be made to fail.
// Read time-outs and sleeps advance the virtual clock instead of waiting, and
// scripted events happen as the clock passes their time.

#include "platform/HidBackend.h"

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class FakeHidBackend final : public HidBackend
{
  public:
    struct Write
    {
        int64_t timeUs;
        std::string path;
        std::vector<uint8_t> data;
    };

    // The script: each event happens once the virtual clock reaches its time.
    void plugAt(int64_t timeUs, HidDeviceInfo device);
    void unplugAt(int64_t timeUs, std::string path);
    void reportAt(int64_t timeUs, std::string path, std::vector<uint8_t> report);

    // The same events now.
    void plug(HidDeviceInfo device) { plugAt(nowMicroseconds(), std::move(device)); }
    void unplug(std::string path) { unplugAt(nowMicroseconds(), std::move(path)); }
    void queueReport(std::string path, std::vector<uint8_t> report)
    {
        reportAt(nowMicroseconds(), std::move(path), std::move(report));
    }

    /// Opens of `path` answer `result` until allowOpen (Opened allows).
    void refuseOpen(const std::string& path, HidOpenResult result);
    void allowOpen(const std::string& path) { refuseOpen(path, HidOpenResult::Opened); }
    /// Writes to `path` fail while refused.
    void refuseWrites(const std::string& path, bool refused);

    std::vector<Write> writes() const;
    int openCount(const std::string& path) const;
    /// Handles opened and not yet closed, removed devices' included.
    int openHandleCount() const;

    std::vector<HidDeviceInfo> enumerate(int vendorId, int productId, int usagePage, int usage) override;
    HidOpenResult open(const std::string& path, HidDeviceHandle& handle) override;
    int read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs) override;
    int write(HidDeviceHandle handle, const uint8_t* data, size_t length) override;
    void close(HidDeviceHandle handle) override;
    int64_t nowMicroseconds() override;
    void sleepMicroseconds(int64_t duration) override;

  private:
    enum class EventKind
    {
        Plug,
        Unplug,
        Report
    };
    struct Event
    {
        int64_t timeUs;
        EventKind kind;
        HidDeviceInfo device; ///< path only, for unplug and report
        std::vector<uint8_t> report;
    };
    struct OpenDevice
    {
        std::string path;
        bool removed = false;
        std::deque<std::vector<uint8_t>> reports;
    };

    void schedule(Event event);
    void applyDueEvents();
    void apply(const Event& event);

    mutable std::mutex mutex_;
    int64_t nowUs_ = 0;
    std::vector<Event> script_; ///< pending, ordered by time, then by order of scripting
    std::map<std::string, HidDeviceInfo> present_;
    std::map<HidDeviceHandle, OpenDevice> open_;
    std::map<std::string, HidOpenResult> refusedOpens_;
    std::map<std::string, bool> refusedWrites_;
    std::map<std::string, int> openCounts_;
    std::vector<Write> writes_;
    HidDeviceHandle nextHandle_ = 1;
};
