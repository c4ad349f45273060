#pragma once

// The bridge between the receiver's packets and the engine, run by the
// motion thread, the only thread that calls the engine libraries. Motion
// packets go into the presenter's ManualDevice as DeviceSupport6AG and
// ButtonActivity records; the engine's cursor output comes back through the
// device's output callback as a relative movement (dx, dy) reported as a
// presenter event; button and receiver-status packets update the shared
// presenter state and are reported the same way. Every engine callback runs
// on the motion thread, inside vnx_Device_sendInput, vnx_Domain_process or a
// device or command call of this bridge.

#include "device/hidPacket.h"
#include "sensor/sampleNumbers.h"

#include <cstddef>
#include <cstdint>

#include "calibration/scdData.h"
#include "common/record.h"
#include "deviceApi/deviceApi.h"
#include "deviceSupport/DeviceSupport6AG.h"

/// The display area the engine maps the pointer onto, in its own pixels: the
/// cursor output is only ever read as a change, so the size is a scale.
constexpr float kCursorExtentX = 5120.0f;
constexpr float kCursorExtentY = 3200.0f;

/// The bridge's state. Only the motion thread touches it (tests: the thread
/// that drives the bridge).
struct MotionBridgeState
{
    uint8_t deviceIdentitySeen = 0;    ///< an identity has been taken from a packet
    uint8_t deviceIdentity[8] = {};    ///< byte 0 the device number, 1-7 filled when the device is made
    uint8_t deviceIdentityPending = 0; ///< the motion thread must (re)create the device
    uint8_t cursorResetPending = 0;    ///< a pointer press came before any device existed
    vnx_DeviceHandle_s* currentDevice = nullptr;
    int32_t lastCursorX = 0;
    int32_t lastCursorY = 0;
    int32_t cursorLeft = 0;
    int32_t cursorTop = 0;
    int32_t cursorRight = static_cast<int32_t>(kCursorExtentX);
    int32_t cursorBottom = static_cast<int32_t>(kCursorExtentY);
    /// The running sample number of `sampleNumberDevice`, the device that
    /// got the last sample.
    RunningSampleNumber sampleNumbers;
    const vnx_DeviceHandle_s* sampleNumberDevice = nullptr;
};

/// The process-wide bridge state.
MotionBridgeState& motionBridge();
/// Back to the state of a fresh process (the engine is not touched).
void resetMotionBridge();

/// Handles one packet: 0 when handled, 1 when its kind or code is unknown or
/// when no event callback is set to report it to. `device` is the current
/// device (null while none exists).
int dispatchPacket(const hidPacket& packet, vnx_DomainHandle_s* domain, vnx_DeviceHandle_s* device);

/// Bytes 1-7 of the identity := 2, 3, ..., 8; the buffer := the first `size`
/// bytes of the default calibration (zeros beyond its 272 bytes).
void makeDeviceIdentity(uint8_t* identity, size_t size, uint8_t* scd);

/// A ManualDevice of the domain with the 8-byte identity and the SCD (its
/// first n bytes, n its leading size field), or null: also when the SCD is
/// null or does not fit the Config's SCD field.
vnx_DeviceHandle_s* createManualDevice(vnx_DomainHandle_s* domain, const uint8_t* identity,
                                       const vnx_scdData_s* scd);

/// Makes the device of the identity the packets named and makes it current
/// (null when the domain makes none); clears the pending flag.
vnx_DeviceHandle_s* makePendingDevice(vnx_DomainHandle_s* domain);

// Domain listener.
void onDomainStatus(vnx_DomainHandle_s* domain, const vnx_StructStatus_s* status, void* user);
/// Hosts the ExtendedPipeBundle with an 8-bit sample counter and no capture
/// logs, opens the device and registers the device listener.
void onDeviceAdded(vnx_DeviceHandle_s* device, void* user);
void onDeviceRemoved(vnx_DeviceHandle_s* device, void* user);

// Device listener.
void isActivityStatus(vnx_DeviceHandle_s* device, const vnx_StructStatus_s* status, void* user);
/// Cursor settings, pointer scale 1.0, bounds, activity status enable 3.
void onModuleReady(vnx_DeviceHandle_s* device, void* user);
/// Reports each ExtendedCursor position change as (dx, dy): dx = x - last x,
/// dy = last y - y (wrapping, never overflowing).
void onDeviceOutput(vnx_DeviceHandle_s* device, size_t count, const vnx_StructOutput_s** outputs,
                    const vnx_StructFormat_s** formats, int value, void* user);

/// The packet's sample and a ButtonActivity record that leaves the flags to
/// the engine, into the device: vnx_Device_sendInput's answer.
int sendSample(vnx_DeviceHandle_s* device, const hidPacket& packet);

/// ExtendedCursor settings: viewing angle, curve 3, pointing mode 3, set
/// after the bounds were sent. The first negative answer, else 0.
int configureCursor(vnx_DeviceHandle_s* device);
/// The ExtendedCursor pointer scale := `value` (16 fraction bits).
int setCursorConfigFloat(vnx_DeviceHandle_s* device, float value);
/// ExtendedCursor SetBounds with the rectangle as both the display area and
/// the pointer limits.
int sendCursorBounds(vnx_DeviceHandle_s* device, int32_t left, int32_t top, int32_t right, int32_t bottom);
/// ExtendedCursor Recenter.
int sendCursorReset(vnx_DeviceHandle_s* device);
/// Bounds back to the whole extent, then sent.
int resetCursorBounds(vnx_DeviceHandle_s* device);
/// Bounds back to the whole extent, not sent.
void resetCursorOrigin();

// Present for the application's settings; nothing calls them yet.
/// configureCursor on the current device; 0.
int reconfigureCursor(int value);
/// configureCursor when `value` is 2.
void onDeviceEvent(vnx_DeviceHandle_s* device, int value);
/// The device's name in a static 40-byte buffer (overwritten by the next call).
const char* getDeviceName(vnx_DeviceHandle_s* device);
/// ExtendedBundle Config: wake-on-shake mode (byte 64) := value.
int setBundleConfigField(vnx_DeviceHandle_s* device, uint32_t value);
/// ExtendedPipeBundle Config: motion pipe flag (byte 32) := value.
int setPipeBundleConfigField(vnx_DeviceHandle_s* device, uint8_t value);
/// The packet's sample into `record` as sendSample maps it, the sample
/// number being the counter sign-extended (no history here).
void unpackSample(vnx_DeviceSupport6AG_Output_s* record, const hidPacket& packet);
/// The two bytes swapped, sign-extended.
int32_t swapBytes16(uint16_t value);
/// Result field (byte 16) := 0x80000000, extra field (byte 24) := 0; 1
/// (0 for null).
int initSampleTime(vnx_StructConfig_s* record);
