#pragma once

// The byte path between a link-protocol device object and its transport: the
// transport hands the device every report it receives (DeviceIOInterface),
// and the device hands every report it sends to the receiver it was given
// (DeviceIOReceiver). The order of the operations is part of the binary
// interface.

#include <cstddef>

namespace vnx {

class DeviceIOReceiver;

class DeviceIOInterface
{
  public:
    virtual ~DeviceIOInterface() = default;
    /// One report from the hardware.
    virtual int deviceIoSend(const void* bytes, size_t length) = 0;
    /// Where outgoing reports go (not owned); null: nowhere.
    virtual int deviceIoRegisterReceiver(DeviceIOReceiver* receiver) = 0;
};

class DeviceIOReceiver
{
  public:
    virtual ~DeviceIOReceiver() = default;
    /// One report for the hardware: 0 when it was written.
    virtual int deviceIoReceive(DeviceIOInterface* from, const void* bytes, size_t length) = 0;
};

} // namespace vnx
