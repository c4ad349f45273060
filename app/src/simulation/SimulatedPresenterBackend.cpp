#include "simulation/SimulatedPresenterBackend.h"

#include "device/receiverIds.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

SimulatedPresenterBackend::SimulatedPresenterBackend(PresenterScenario scenario, Clock clock)
    : scenario_(std::move(scenario)), clock_(clock)
{
    scenario_.rewind();
}

bool SimulatedPresenterBackend::finished()
{
    std::lock_guard<std::mutex> lock(mutex_);
    takeNextReport();
    return !due_.has_value();
}

void SimulatedPresenterBackend::takeNextReport()
{
    if (!due_.has_value() && !exhausted_) {
        due_ = scenario_.next();
        exhausted_ = !due_.has_value();
    }
}

std::vector<HidDeviceInfo> SimulatedPresenterBackend::enumerate(int vendorId, int productId, int usagePage,
                                                                int usage)
{
    HidDeviceInfo info;
    info.path = kPath;
    info.vendorId = static_cast<uint16_t>(vendorId != 0 ? vendorId : kReceiverVendorId);
    info.productId = static_cast<uint16_t>(productId != 0 ? productId : kReceiverProductId);
    info.usagePage = static_cast<uint16_t>(usagePage);
    info.usage = static_cast<uint16_t>(usage);
    return {info};
}

HidOpenResult SimulatedPresenterBackend::open(const std::string& path, HidDeviceHandle& handle)
{
    if (path != kPath) {
        return HidOpenResult::NotFound;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!startUs_.has_value()) {
        startUs_ = now();
    }
    openHandle_ = nextHandle_++;
    handle = openHandle_;
    return HidOpenResult::Opened;
}

int SimulatedPresenterBackend::read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs)
{
    if (buffer == nullptr) {
        return kHidRefused;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (handle != openHandle_ || handle == kHidNoDevice) {
        return kHidRemoved;
    }
    takeNextReport();
    const int64_t deadlineUs = now() + std::max(timeoutMs, 0) * int64_t{1000};
    if (!due_.has_value() || *startUs_ + due_->timeUs > deadlineUs) {
        waitUntil(deadlineUs, lock);
        return kHidTimedOut;
    }
    waitUntil(*startUs_ + due_->timeUs, lock);
    const size_t copied = std::min(length, due_->report.size());
    std::memcpy(buffer, due_->report.data(), copied);
    due_.reset();
    return static_cast<int>(copied);
}

int SimulatedPresenterBackend::write(HidDeviceHandle handle, const uint8_t* data, size_t length)
{
    if (data == nullptr) {
        return kHidRefused;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return handle == openHandle_ && handle != kHidNoDevice ? static_cast<int>(length) : kHidRemoved;
}

void SimulatedPresenterBackend::close(HidDeviceHandle handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (handle == openHandle_) {
        openHandle_ = kHidNoDevice;
    }
}

int64_t SimulatedPresenterBackend::nowMicroseconds()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return now();
}

void SimulatedPresenterBackend::sleepMicroseconds(int64_t duration)
{
    std::unique_lock<std::mutex> lock(mutex_);
    waitUntil(now() + std::max<int64_t>(duration, 0), lock);
}

int64_t SimulatedPresenterBackend::now()
{
    if (clock_ == Clock::Virtual) {
        return virtualNowUs_;
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SimulatedPresenterBackend::waitUntil(int64_t timeUs, std::unique_lock<std::mutex>& lock)
{
    if (clock_ == Clock::Virtual) {
        virtualNowUs_ = std::max(virtualNowUs_, timeUs);
        return;
    }
    const int64_t waitUs = timeUs - now();
    if (waitUs > 0) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::microseconds(waitUs));
        lock.lock();
    }
}
