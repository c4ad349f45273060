#include "sensor/motionThread.h"

#include "device/packetQueue.h"
#include "sensor/motionBridge.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "bundleEntry/bundleEntry.h"
#include "coreEntry/coreEntry.h"
#include "extCommon/extModuleType.h"
#include "extEntry/extEntry.h"

namespace {

constexpr char kDcdPathPrefix[] = "VNX_DCD_PATH=";

struct DcdFolder
{
    std::mutex mutex;
    std::string path;
};

DcdFolder& dcdFolder()
{
    static DcdFolder* const folder = new DcdFolder; // read by threads never stopped
    return *folder;
}

} // namespace

void setDcdFolderPath(std::string path)
{
    DcdFolder& folder = dcdFolder();
    std::lock_guard<std::mutex> lock(folder.mutex);
    folder.path = std::move(path);
}

std::string dcdFolderPath()
{
    DcdFolder& folder = dcdFolder();
    std::lock_guard<std::mutex> lock(folder.mutex);
    return folder.path;
}

void putDcdPathIntoEnvironment()
{
    // putenv keeps the text itself: it lives as long as the process.
    static char text[4096];
    const std::string folder = dcdFolderPath();
    if (folder.empty()) {
        return;
    }
    std::memset(text, 0, sizeof text);
    const size_t prefix = sizeof kDcdPathPrefix - 1;
    std::memcpy(text, kDcdPathPrefix, prefix);
    std::memcpy(text + prefix, folder.data(), std::min(folder.size(), sizeof text - 1 - prefix));
    putenv(text);
}

vnx_DomainHandle_s* startMotionEngine()
{
    vnx_core_initialize();
    vnx_bundle_initialize();
    vnx_ext_initialize();
    vnx_DomainHandle_s* domain = vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN);
    vnx_Domain_registerDomainListener(domain, onDomainStatus, onDeviceAdded, onDeviceRemoved, nullptr, nullptr,
                                      nullptr);
    if (motionBridge().deviceIdentityPending != 0) {
        makePendingDevice(domain);
    }
    return domain;
}

void serveMotionPacket(vnx_DomainHandle_s* domain, hidPacket* packet)
{
    if (packet == nullptr) {
        return;
    }
    dispatchPacket(*packet, domain, motionBridge().currentDevice);
    hidPacketFree(packet);
    if (motionBridge().deviceIdentityPending != 0) {
        makePendingDevice(domain);
    }
}

void runMotionLoop(vnx_DomainHandle_s* domain, packetQueue* queue)
{
    for (;;) {
        auto* packet = static_cast<hidPacket*>(packetQueuePopFront(queue));
        if (packet == nullptr) {
            // Only a closed queue answers null: nothing more will come.
            return;
        }
        serveMotionPacket(domain, packet);
    }
}

void motionThread()
{
    vnx_DomainHandle_s* domain = startMotionEngine();
    runMotionLoop(domain, sharedPacketQueue());
}
