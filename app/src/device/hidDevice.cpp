#include "device/hidDevice.h"

#include "device/hidPacket.h"
#include "device/receiverIds.h"
#include "log/DXLog.h"

#include <algorithm>
#include <memory>
#include <vector>

std::atomic<int32_t> hidDeviceRemovedFlag{0};

namespace {

// hidraw keeps up to 64 reports for a reader; one catch-up read takes no more.
constexpr int kMaxReportsPerCatchUp = 64;

struct Layer
{
    HidBackend* backend = nullptr;
    packetQueue* queue = nullptr;
    std::vector<std::unique_ptr<hidDeviceRecord>> records;
    std::atomic<bool> accessDenied{false};
};

// Never destroyed: the reader thread is not stopped at exit.
Layer& layer()
{
    static Layer* const instance = [] {
        auto* created = new Layer;
        created->queue = sharedPacketQueue();
        return created;
    }();
    return *instance;
}

void forgetRecords(Layer& l)
{
    for (auto& record : l.records) {
        hidDeviceRecordClose(record.get());
    }
    l.records.clear();
}

// A report the queue cannot take is dropped: the reader must not stall.
void queueReport(Layer& l, const uint8_t* report, size_t length)
{
    hidPacket* packet = hidPacketAllocate();
    if (packet == nullptr) {
        packet = hidPacketAllocate();
    }
    if (packet == nullptr) {
        return;
    }
    hidPacketFill(*packet, report, length);
    if (packetQueuePushBack(l.queue, packet) != 0) {
        hidPacketFree(packet);
    }
}

void markRemoved(hidDeviceRecord& record)
{
    hidDeviceRemovedFlag.store(1, std::memory_order_relaxed);
    record.open = 0;
}

void noteAccess(Layer& l, const HidDeviceInfo* refused)
{
    if (refused == nullptr) {
        l.accessDenied.store(false, std::memory_order_relaxed);
        return;
    }
    if (!l.accessDenied.exchange(true, std::memory_order_relaxed)) {
        DXLogAlert("The receiver %04x:%04x at %s may not be opened (permission denied); the udev rule %s "
                   "gives the logged-in user access to it",
                   refused->vendorId, refused->productId, refused->path.c_str(), kReceiverUdevRule);
    }
}

} // namespace

void hidDeviceAttach(HidBackend* backend, packetQueue* queue)
{
    Layer& l = layer();
    forgetRecords(l);
    l.backend = backend;
    l.queue = queue;
    l.accessDenied.store(false, std::memory_order_relaxed);
    hidDeviceRemovedFlag.store(0, std::memory_order_relaxed);
}

int hidDeviceOpen(int maximumDevices, int vendorId, int productId, int usagePage, int usage)
{
    Layer& l = layer();
    forgetRecords(l);
    if (maximumDevices < 1 || l.backend == nullptr) {
        return 0;
    }
    const std::vector<HidDeviceInfo> found = l.backend->enumerate(vendorId, productId, usagePage, usage);
    const HidDeviceInfo* refused = nullptr;
    for (const HidDeviceInfo& info : found) {
        if (static_cast<int>(l.records.size()) >= maximumDevices) {
            break;
        }
        HidDeviceHandle handle = kHidNoDevice;
        const HidOpenResult result = l.backend->open(info.path, handle);
        if (result == HidOpenResult::Opened) {
            auto record = std::make_unique<hidDeviceRecord>();
            record->device = handle;
            record->open = 1;
            l.records.push_back(std::move(record));
        } else if (result == HidOpenResult::PermissionDenied && refused == nullptr) {
            refused = &info;
        }
    }
    noteAccess(l, l.records.empty() ? refused : nullptr);
    return static_cast<int>(l.records.size());
}

int hidDeviceRecv(int slot, uint8_t* buffer, unsigned length, int timeoutMs)
{
    if (length < 1 || buffer == nullptr) {
        return 0;
    }
    Layer& l = layer();
    hidDeviceRecord* record = hidDeviceRecordAt(slot);
    if (record == nullptr || record->open == 0 || record->device == kHidNoDevice) {
        return -1;
    }
    uint8_t report[kHidReportSize];
    const int received = l.backend->read(record->device, report, sizeof report, timeoutMs);
    if (received < 0) {
        markRemoved(*record);
        return -1;
    }
    if (received == 0) {
        return 0;
    }
    queueReport(l, report, static_cast<size_t>(received));
    const int copied = std::min(received, static_cast<int>(std::min<unsigned>(length, kHidReportSize)));
    std::copy_n(report, copied, buffer);

    // Catch up with a fast receiver: what came in meanwhile is queued now
    // rather than one report per pass of the reader.
    for (int i = 0; i < kMaxReportsPerCatchUp; ++i) {
        const int waiting = l.backend->read(record->device, report, sizeof report, 0);
        if (waiting < 0) {
            markRemoved(*record);
            break;
        }
        if (waiting == 0) {
            break;
        }
        queueReport(l, report, static_cast<size_t>(waiting));
    }
    return copied;
}

int hidDeviceSend(int slot, const uint8_t* buffer, unsigned length)
{
    hidDeviceRecord* record = hidDeviceRecordAt(slot);
    if (record == nullptr || record->open == 0 || record->device == kHidNoDevice) {
        return -1;
    }
    const int sent = layer().backend->write(record->device, buffer, length);
    return sent < 0 ? -1 : sent;
}

void hidDeviceClose(int slot)
{
    if (hidDeviceRecord* record = hidDeviceRecordAt(slot)) {
        hidDeviceRecordClose(record);
        record->open = 0;
    }
}

void hidDeviceRecordClose(hidDeviceRecord* record)
{
    // A removed device is closed too: its handle would otherwise stay open
    // for every unplug.
    if (record != nullptr && record->device != kHidNoDevice) {
        if (HidBackend* backend = layer().backend) {
            backend->close(record->device);
        }
        record->device = kHidNoDevice;
    }
}

hidDeviceRecord* hidDeviceRecordAt(int slot)
{
    Layer& l = layer();
    if (slot < 0 || slot >= static_cast<int>(l.records.size())) {
        return nullptr;
    }
    return l.records[static_cast<size_t>(slot)].get();
}

bool hidDeviceAccessDenied()
{
    return layer().accessDenied.load(std::memory_order_relaxed);
}
