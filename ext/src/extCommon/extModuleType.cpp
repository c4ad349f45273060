#include "extCommon/extModuleType.h"

namespace {

constexpr int kFirstId = VNX_TYPE_LOGGER;
constexpr int kLastId = VNX_TYPE_TLINK_HID1_DEVICE;

// Indexed by id - kFirstId.
const char* const kTypeNames[] = {
    "Logger",
    "Vnxd",
    "ButtonMapper",
    "CursorMover",
    "MotionPipe",
    "MotionFloatPipe",
    "ExtendedPipeBundle",
    "DeviceForwarding",
    "SerializationModule",
    "StandardMoverBundle",
    "TwoWaySplitter",
    nullptr, // 107
    nullptr, // 108
    nullptr, // 109
    nullptr, // 110
    nullptr, // 111
    "Domain",
    "Device",
    "QdHid1Domain",
    "QdHid1Device",
    "ManualDomain",
    "ManualDevice",
    "XmlFileDomain",
    "XmlFileDevice",
    "TlinkDomain",
    "TlinkDevice",
    "TlinkPipeDomain",
    "TlinkPipeDevice",
    "TlinkHid1Domain",
    "TlinkHid1Device",
};
static_assert(sizeof(kTypeNames) / sizeof(kTypeNames[0]) == kLastId - kFirstId + 1);

} // namespace

extern "C" const char* vnx_ext_typeToString(int type)
{
    if (type < kFirstId || type > kLastId) {
        return nullptr;
    }
    return kTypeNames[type - kFirstId];
}
