#pragma once

#include "tlinkRecords/TlinkDeviceRecords.h"

namespace vnx {

/// What the state machine of a link device asks of its device: statuses for
/// the client and requests to the hardware. The machine does not look at the
/// requests' results. The order of the operations is part of the binary
/// interface.
class TlinkDeviceFsmHostInterface
{
  public:
    virtual ~TlinkDeviceFsmHostInterface() = default;
    virtual void sendStatus(int code, vnx_TlinkDevice_StatusType_e type) = 0;
    virtual int requestProductId() = 0;
    virtual int requestScd() = 0;
    virtual int requestDataOn() = 0;
    virtual int requestDataOff() = 0;
    virtual int requestDataMode() = 0;
    /// Takes the SCD just read: false when it is not acceptable.
    virtual bool saveScd() = 0;
};

} // namespace vnx
