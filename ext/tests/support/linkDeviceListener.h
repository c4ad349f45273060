#pragma once

// Test helper: a device listener that records what a link device reports
// (its own statuses with their type and product information, Device
// statuses by kind, output batches), a TlinkDevice command with a request
// id, and an SCD as a unit keeps it in flash.

#include <cstring>
#include <vector>

#include "deviceDomain/DeviceInterface.h"
#include "deviceDomain/DeviceRecords.h"
#include "extCommon/extModuleType.h"
#include "support/ScdBuilder.h"
#include "tlinkRecords/TlinkDeviceRecords.h"

namespace vnx::testsupport {

/// What a device told its listener.
struct SeenStatus
{
    uint8_t type = 0;
    int32_t result = 0;
    int64_t tag = 0;
    uint32_t kind = 0; ///< TlinkDevice status type, or Device status kind
    vnx_TlinkDevice_Info_s info = {};
};

class RecordingListener : public DeviceListenerInterface
{
  public:
    void statusCallback(ModuleConfigInterface*, const vnx_StructStatus_s* status) override
    {
        SeenStatus seen;
        seen.type = status->header.type;
        seen.result = static_cast<int32_t>(status->result);
        seen.tag = status->extra;
        if (seen.type == VNX_TYPE_TLINK_DEVICE) {
            const auto* own = reinterpret_cast<const vnx_TlinkDevice_Status_s*>(status);
            seen.kind = own->type;
            seen.info = own->info;
        } else if (seen.type == VNX_TYPE_DEVICE) {
            seen.kind = reinterpret_cast<const vnx_Device_Status_s*>(status)->statusKind;
        }
        statuses.push_back(seen);
    }
    void moduleReady(DeviceInterface*) override {}
    void motionInput(DeviceInterface*, size_t, const vnx_StructOutput_s**,
                     const vnx_StructFormat_s**) override
    {
    }
    void motionOutput(DeviceInterface*, size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**,
                      int) override
    {
        ++outputs;
    }

    /// The statuses of the device's own type.
    std::vector<SeenStatus> deviceStatuses() const
    {
        std::vector<SeenStatus> found;
        for (const SeenStatus& status : statuses) {
            if (status.type == VNX_TYPE_TLINK_DEVICE) {
                found.push_back(status);
            }
        }
        return found;
    }

    std::vector<SeenStatus> statuses;
    int outputs = 0;
};

/// An SCD as the unit keeps it in flash: 65 words.
inline std::vector<uint32_t> scdWords(bool withPeriod = true)
{
    ScdBuilder builder;
    if (withPeriod) {
        builder.period(0.008);
    }
    const scdGen4Float_s scd = builder.accelNoise(6, 6, 8).gyroNoise(2.5f, 2.5f, 3).build();
    std::vector<uint32_t> words(sizeof scd / 4);
    std::memcpy(words.data(), &scd, words.size() * 4);
    return words;
}

inline vnx_TlinkDevice_Command_s command(uint32_t code, uint32_t parameter = 0, uint32_t responseMode = 0)
{
    vnx_TlinkDevice_Command_s made;
    vnx_TlinkDevice_initCommand(&made);
    made.code = code;
    made.argument.parameter = parameter;
    made.command.result = responseMode;
    made.command.extra = 77;
    return made;
}

} // namespace vnx::testsupport
