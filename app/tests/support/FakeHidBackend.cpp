#include "support/FakeHidBackend.h"

#include <algorithm>

void FakeHidBackend::schedule(Event event)
{
    std::lock_guard<std::mutex> lock(mutex_);
    // After every event of the same time, so a script runs in the order written.
    const auto at = std::upper_bound(script_.begin(), script_.end(), event.timeUs,
                                     [](int64_t time, const Event& e) { return time < e.timeUs; });
    script_.insert(at, std::move(event));
    applyDueEvents();
}

void FakeHidBackend::plugAt(int64_t timeUs, HidDeviceInfo device)
{
    schedule(Event{timeUs, EventKind::Plug, std::move(device), {}});
}

void FakeHidBackend::unplugAt(int64_t timeUs, std::string path)
{
    HidDeviceInfo device;
    device.path = std::move(path);
    schedule(Event{timeUs, EventKind::Unplug, std::move(device), {}});
}

void FakeHidBackend::reportAt(int64_t timeUs, std::string path, std::vector<uint8_t> report)
{
    HidDeviceInfo device;
    device.path = std::move(path);
    schedule(Event{timeUs, EventKind::Report, std::move(device), std::move(report)});
}

void FakeHidBackend::refuseOpen(const std::string& path, HidOpenResult result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    refusedOpens_[path] = result;
}

void FakeHidBackend::refuseWrites(const std::string& path, bool refused)
{
    std::lock_guard<std::mutex> lock(mutex_);
    refusedWrites_[path] = refused;
}

std::vector<FakeHidBackend::Write> FakeHidBackend::writes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

int FakeHidBackend::openCount(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = openCounts_.find(path);
    return found == openCounts_.end() ? 0 : found->second;
}

int FakeHidBackend::openHandleCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(open_.size());
}

void FakeHidBackend::applyDueEvents()
{
    while (!script_.empty() && script_.front().timeUs <= nowUs_) {
        const Event event = std::move(script_.front());
        script_.erase(script_.begin());
        apply(event);
    }
}

void FakeHidBackend::apply(const Event& event)
{
    const std::string& path = event.device.path;
    switch (event.kind) {
    case EventKind::Plug:
        present_[path] = event.device;
        break;
    case EventKind::Unplug:
        present_.erase(path);
        for (auto& [handle, device] : open_) {
            if (device.path == path) {
                device.removed = true;
            }
        }
        break;
    case EventKind::Report:
        // As with hidraw, a report reaches only the handles open at the time.
        for (auto& [handle, device] : open_) {
            if (device.path == path && !device.removed) {
                device.reports.push_back(event.report);
            }
        }
        break;
    }
}

std::vector<HidDeviceInfo> FakeHidBackend::enumerate(int vendorId, int productId, int usagePage, int usage)
{
    std::lock_guard<std::mutex> lock(mutex_);
    applyDueEvents();
    std::vector<HidDeviceInfo> found;
    for (const auto& [path, device] : present_) {
        if (hidDeviceMatches(device, vendorId, productId, usagePage, usage)) {
            found.push_back(device);
        }
    }
    return found;
}

HidOpenResult FakeHidBackend::open(const std::string& path, HidDeviceHandle& handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    applyDueEvents();
    handle = kHidNoDevice;
    if (present_.count(path) == 0) {
        return HidOpenResult::NotFound;
    }
    const auto refused = refusedOpens_.find(path);
    if (refused != refusedOpens_.end() && refused->second != HidOpenResult::Opened) {
        return refused->second;
    }
    handle = nextHandle_++;
    open_[handle] = OpenDevice{path, false, {}};
    ++openCounts_[path];
    return HidOpenResult::Opened;
}

int FakeHidBackend::read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs)
{
    if (buffer == nullptr) {
        return kHidRefused;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    applyDueEvents();
    const int64_t deadline = nowUs_ + std::max(timeoutMs, 0) * int64_t{1000};
    for (;;) {
        const auto found = open_.find(handle);
        if (found == open_.end() || found->second.removed) {
            return kHidRemoved;
        }
        auto& reports = found->second.reports;
        if (!reports.empty()) {
            const std::vector<uint8_t> report = std::move(reports.front());
            reports.pop_front();
            const size_t count = std::min({report.size(), length, kHidReportSize});
            std::copy_n(report.begin(), count, buffer);
            return static_cast<int>(count);
        }
        if (script_.empty() || script_.front().timeUs > deadline) {
            nowUs_ = std::max(nowUs_, deadline);
            return kHidTimedOut;
        }
        nowUs_ = std::max(nowUs_, script_.front().timeUs);
        applyDueEvents();
    }
}

int FakeHidBackend::write(HidDeviceHandle handle, const uint8_t* data, size_t length)
{
    if (data == nullptr || length == 0 || length > kHidReportSize) {
        return kHidRefused;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    applyDueEvents();
    const auto found = open_.find(handle);
    if (found == open_.end() || found->second.removed) {
        return kHidRemoved;
    }
    const auto refused = refusedWrites_.find(found->second.path);
    if (refused != refusedWrites_.end() && refused->second) {
        return kHidRemoved;
    }
    writes_.push_back(Write{nowUs_, found->second.path, std::vector<uint8_t>(data, data + length)});
    return static_cast<int>(length);
}

void FakeHidBackend::close(HidDeviceHandle handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    open_.erase(handle);
}

int64_t FakeHidBackend::nowMicroseconds()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return nowUs_;
}

void FakeHidBackend::sleepMicroseconds(int64_t duration)
{
    std::lock_guard<std::mutex> lock(mutex_);
    nowUs_ += std::max<int64_t>(duration, 0);
    applyDueEvents();
}
