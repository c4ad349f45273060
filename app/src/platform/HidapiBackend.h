#pragma once

// The receiver through hidapi's hidraw backend (/dev/hidraw*).

#include "platform/HidBackend.h"

#include <hidapi/hidapi.h>
#include <map>
#include <mutex>

/// The hidapi calls the backend makes, replaceable so a test can record what
/// reaches the library.
struct HidapiFunctions
{
    int (*init)();
    int (*exit)();
    hid_device_info* (*enumerate)(unsigned short vendorId, unsigned short productId);
    void (*freeEnumeration)(hid_device_info* devices);
    hid_device* (*openPath)(const char* path);
    int (*write)(hid_device* device, const unsigned char* data, size_t length);
    int (*readTimeout)(hid_device* device, unsigned char* data, size_t length, int milliseconds);
    void (*close)(hid_device* device);

    /// The library's own functions.
    static HidapiFunctions library();
};

class HidapiBackend final : public HidBackend
{
  public:
    explicit HidapiBackend(HidapiFunctions functions = HidapiFunctions::library());
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidDeviceInfo> enumerate(int vendorId, int productId, int usagePage, int usage) override;
    HidOpenResult open(const std::string& path, HidDeviceHandle& handle) override;
    int read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs) override;
    int write(HidDeviceHandle handle, const uint8_t* data, size_t length) override;
    void close(HidDeviceHandle handle) override;
    int64_t nowMicroseconds() override;
    void sleepMicroseconds(int64_t duration) override;

  private:
    hid_device* deviceOf(HidDeviceHandle handle);

    HidapiFunctions functions_;
    bool initialised_ = false;
    std::mutex mutex_;
    std::map<HidDeviceHandle, hid_device*> devices_;
    HidDeviceHandle nextHandle_ = 1;
};
