#pragma once

// The reader thread's HID layer: plain functions over one HID backend that
// keep a list of the opened devices, named by slot (slot 0 is the first
// device opened). Reading a slot turns every input report into a hidPacket on
// the packet queue. Every function runs on the reader thread only.

#include "device/packetQueue.h"
#include "platform/HidBackend.h"

#include <atomic>
#include <cstdint>

struct hidDeviceRecord
{
    HidDeviceHandle device = kHidNoDevice; ///< kHidNoDevice once closed
    int32_t open = 0;                      ///< 1 while open, 0 once closed or removed
};

/// Set to 1 when a device of the list is found removed; cleared by the reader.
extern std::atomic<int32_t> hidDeviceRemovedFlag;

/// Chooses the backend the layer talks to and the queue its packets go to.
/// Closes and forgets the devices opened on the previous backend and clears
/// the removal flag.
void hidDeviceAttach(HidBackend* backend, packetQueue* queue);

/// Forgets every device of the list (closing those still held), then opens up
/// to `maximumDevices` devices that pass the filter (0 = any value). Answers
/// the number of devices now in the list; 0 when none, when the maximum is
/// below 1 or when no backend is attached. A device present but refused for
/// lack of permission counts as absent; the first such refusal logs one Alert
/// line and sets hidDeviceAccessDenied until an open finds no such device.
int hidDeviceOpen(int maximumDevices, int vendorId, int productId, int usagePage, int usage);

/// Waits up to `timeoutMs` for an input report of the slot's device. A report
/// goes on the packet queue as a hidPacket and min(report length, length) of
/// its bytes into `buffer`, which is the answer; reports already waiting
/// behind it are then queued too, without waiting. Answers 0 on time-out or
/// when `length` is 0 or `buffer` null, -1 when the slot is missing or closed
/// or its device is gone (a gone device also sets hidDeviceRemovedFlag and
/// marks the slot closed).
int hidDeviceRecv(int slot, uint8_t* buffer, unsigned length, int timeoutMs);

/// Sends `buffer` as an output report: the length, or -1 when the slot is
/// missing or closed or the device refuses the report.
int hidDeviceSend(int slot, const uint8_t* buffer, unsigned length);

/// Closes the slot's device and marks the slot closed; nothing for a missing slot.
void hidDeviceClose(int slot);

/// Closes one record's device, if it still holds one.
void hidDeviceRecordClose(hidDeviceRecord* record);

/// The record at `slot`, or null.
hidDeviceRecord* hidDeviceRecordAt(int slot);

/// True while the device last looked for is present but may not be opened.
/// Any thread may ask.
bool hidDeviceAccessDenied();
