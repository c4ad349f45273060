#pragma once

// The application's only way to the receiver: find HID devices, open one by
// path, read its input reports, write output reports, close it. The program
// uses the hidraw backend; tests use an in-process fake with a virtual clock,
// which is why the time source and sleeping go through the backend too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct HidDeviceInfo
{
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

/// True when `info` passes the filter; a filter value of 0 matches anything.
bool hidDeviceMatches(const HidDeviceInfo& info, int vendorId, int productId, int usagePage, int usage);

enum class HidOpenResult
{
    Opened,
    NotFound,
    PermissionDenied,
    Failed,
};

const char* hidOpenResultName(HidOpenResult result);

/// An open device; kHidNoDevice when none.
using HidDeviceHandle = int;
constexpr HidDeviceHandle kHidNoDevice = -1;

/// Longest input report the receiver sends; longer reports are cut to this.
constexpr size_t kHidReportSize = 64;

/// Results of read and write besides a byte count.
constexpr int kHidTimedOut = 0;
constexpr int kHidRemoved = -1; ///< the device is gone (or the handle is not open)
constexpr int kHidRefused = -2; ///< bad arguments: nothing was read or written

class HidBackend
{
  public:
    virtual ~HidBackend() = default;

    /// Devices present now that pass the filter (0 = any).
    virtual std::vector<HidDeviceInfo> enumerate(int vendorId, int productId, int usagePage, int usage) = 0;

    /// Opens the device at `path`; on success `handle` names it.
    virtual HidOpenResult open(const std::string& path, HidDeviceHandle& handle) = 0;

    /// Waits up to `timeoutMs` for one input report and copies at most
    /// min(length, 64) bytes of it: the count, kHidTimedOut, kHidRemoved, or
    /// kHidRefused for a null buffer.
    virtual int read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs) = 0;

    /// Sends `data` as an output report without report id: `length` on
    /// success, kHidRemoved when the device refuses it or is gone,
    /// kHidRefused for a null buffer.
    virtual int write(HidDeviceHandle handle, const uint8_t* data, size_t length) = 0;

    virtual void close(HidDeviceHandle handle) = 0;

    /// Monotonic time in microseconds and a pause, on the backend's clock.
    virtual int64_t nowMicroseconds() = 0;
    virtual void sleepMicroseconds(int64_t duration) = 0;
};
