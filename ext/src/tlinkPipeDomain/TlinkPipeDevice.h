#pragma once

// A link-protocol device whose transport is three named pipes (type 123):
// reports from the device side arrive framed on the in-pipe, the device's own
// reports leave framed on the out-pipe, and every incoming report the device
// could not decode is passed on, framed and unchanged, to the pass-through
// pipe. Another process plays, watches or bridges the hardware at the other
// ends. Bring-up, SCD and motion decoding are TlinkDevice's.

#include "log/DefaultLogger.h"
#include "tlinkDevice/TlinkDevice.h"
#include "tlinkPipe/TlinkPipe.h"
#include "tlinkPipeRecords/TlinkPipeDeviceRecords.h"

namespace vnx {

class TlinkPipeCoordinator;

class TlinkPipeDevice : public TlinkDevice, public DeviceIOReceiver
{
    VNX_EXT_LOG_DEFAULT(TlinkPipeDevice);

  public:
    explicit TlinkPipeDevice(TlinkPipeCoordinator* coordinator);
    ~TlinkPipeDevice() override;

    uint8_t getType() const override;
    DomainInterface* getDomain() const override;
    /// Its own Config: -15 while open, else stored (0). Others: TlinkDevice's.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Its own Config: a copy of the stored one. Others: TlinkDevice's.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Its own Command: 1 removes the device from its domain (the domain's
    /// answer; nothing of the device may be used afterwards), others -2.
    /// Others: TlinkDevice's.
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// Opens the three pipes, then the device: -2 when a name is empty or a
    /// pipe does not open (all three closed again).
    int open() override;
    /// The device closes; the pipes stay open until it is destroyed.
    int close() override;
    /// Reads every waiting frame into the device, passes what it could not
    /// decode on, then runs the device's timers. A broken in-pipe closes the
    /// device and reports (-1011, 0).
    int process() override;

    /// A report of the device: one frame on the out-pipe (its writer's answer).
    int deviceIoReceive(DeviceIOInterface* from, const void* bytes, size_t length) override;

  protected:
    int removeFromDomain() override;

  private:
    int readReports();

    vnx_TlinkPipeDevice_Config_s pipeConfig_;
    TlinkPipeCoordinator* pipeCoordinator_;
    TlinkPipe tlinkInPipe_;
    TlinkPipe tlinkOutPipe_;
    TlinkPipe tlinkPassThroughPipe_;
};

} // namespace vnx
