#include "platform/HidapiBackend.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

HidapiFunctions HidapiFunctions::library()
{
    return HidapiFunctions{hid_init,      hid_exit,  hid_enumerate,    hid_free_enumeration,
                           hid_open_path, hid_write, hid_read_timeout, hid_close};
}

// hidapi's state is process-wide: only the last backend to go may end it.
static std::atomic<int> liveBackends{0};

HidapiBackend::HidapiBackend(HidapiFunctions functions) : functions_(functions)
{
    initialised_ = functions_.init() == 0;
    if (initialised_) {
        liveBackends.fetch_add(1);
    }
}

HidapiBackend::~HidapiBackend()
{
    for (auto& [handle, device] : devices_) {
        functions_.close(device);
    }
    if (initialised_ && liveBackends.fetch_sub(1) == 1) {
        functions_.exit();
    }
}

std::vector<HidDeviceInfo> HidapiBackend::enumerate(int vendorId, int productId, int usagePage, int usage)
{
    std::vector<HidDeviceInfo> found;
    if (!initialised_) {
        return found;
    }
    hid_device_info* devices = functions_.enumerate(static_cast<unsigned short>(std::max(vendorId, 0)),
                                                    static_cast<unsigned short>(std::max(productId, 0)));
    for (hid_device_info* d = devices; d != nullptr; d = d->next) {
        HidDeviceInfo info;
        info.path = d->path != nullptr ? d->path : "";
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.usagePage = d->usage_page;
        info.usage = d->usage;
        if (hidDeviceMatches(info, vendorId, productId, usagePage, usage)) {
            found.push_back(std::move(info));
        }
    }
    functions_.freeEnumeration(devices);
    return found;
}

// hidapi answers a failed open with null alone; opening the node ourselves
// first tells a missing device from one the user may not open.
static HidOpenResult probeNode(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return HidOpenResult::Opened;
    }
    switch (errno) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return HidOpenResult::NotFound;
    case EACCES:
    case EPERM:
        return HidOpenResult::PermissionDenied;
    default:
        return HidOpenResult::Failed;
    }
}

HidOpenResult HidapiBackend::open(const std::string& path, HidDeviceHandle& handle)
{
    handle = kHidNoDevice;
    if (!initialised_ || path.empty()) {
        return path.empty() ? HidOpenResult::NotFound : HidOpenResult::Failed;
    }
    const HidOpenResult probe = probeNode(path);
    if (probe != HidOpenResult::Opened) {
        return probe;
    }
    hid_device* device = functions_.openPath(path.c_str());
    if (device == nullptr) {
        return HidOpenResult::Failed;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    handle = nextHandle_++;
    devices_[handle] = device;
    return HidOpenResult::Opened;
}

hid_device* HidapiBackend::deviceOf(HidDeviceHandle handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = devices_.find(handle);
    return found == devices_.end() ? nullptr : found->second;
}

int HidapiBackend::read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs)
{
    if (buffer == nullptr) {
        return kHidRefused;
    }
    hid_device* device = deviceOf(handle);
    if (device == nullptr) {
        return kHidRemoved;
    }
    unsigned char report[kHidReportSize];
    const int received = functions_.readTimeout(device, report, sizeof report, std::max(timeoutMs, 0));
    if (received < 0) {
        return kHidRemoved;
    }
    const size_t count = std::min({static_cast<size_t>(received), length, kHidReportSize});
    std::copy_n(report, count, buffer);
    return static_cast<int>(count);
}

int HidapiBackend::write(HidDeviceHandle handle, const uint8_t* data, size_t length)
{
    if (data == nullptr || length == 0 || length > kHidReportSize) {
        return kHidRefused;
    }
    hid_device* device = deviceOf(handle);
    if (device == nullptr) {
        return kHidRemoved;
    }
    // The receiver numbers no reports: hidraw wants a leading report id 0.
    unsigned char report[kHidReportSize + 1] = {0};
    std::copy_n(data, length, report + 1);
    const int written = functions_.write(device, report, length + 1);
    return written >= static_cast<int>(length) ? static_cast<int>(length) : kHidRemoved;
}

void HidapiBackend::close(HidDeviceHandle handle)
{
    hid_device* device = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = devices_.find(handle);
        if (found == devices_.end()) {
            return;
        }
        device = found->second;
        devices_.erase(found);
    }
    functions_.close(device);
}

int64_t HidapiBackend::nowMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void HidapiBackend::sleepMicroseconds(int64_t duration)
{
    if (duration > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(duration));
    }
}
