#pragma once

// Test helper: a device as its module host sees it, recording everything the
// host tells it (status events with their payload copied, ready calls, input
// and output batches) and answering its name, GUID, open and close as the
// test sets them. It has a node in the node tree, so the host's module goes
// under it.

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceDomain/ModuleManagerInterface.h"

namespace vnx::testsupport {

/// One status record the device received: its header fields, and for Device
/// status records their kind and payload (the record a kind 5 or 6 names,
/// copied by its size field, at most 272 bytes).
struct StubStatus
{
    uint8_t type = 0;
    int32_t result = 0;
    int64_t tag = 0;
    uint64_t instance = 0;
    uint32_t kind = 0;
    uint64_t count = 0;
    const void* record = nullptr;
    std::vector<uint8_t> recordBytes;
};

/// One batch reported to the device: the records' type ids, and the value.
struct StubBatch
{
    std::vector<uint8_t> types;
    std::vector<const vnx_StructOutput_s*> outputs;
    std::vector<const vnx_StructFormat_s*> formats;
    int value = 0;
};

class StubDevice : public ModuleManagerListenerInterface
{
  public:
    explicit StubDevice(uint8_t idByte = 1, const char* nodeName = "StubDevice")
    {
        std::memset(&guid_, 0, sizeof guid_);
        guid_.deviceType = 119;
        guid_.domainType = 118;
        guid_.id[0] = idByte;
        NodeManager::getInstance().addNode(nullptr, nodeObject(), NodeInterface::NODE_DEVICE, nodeName);
    }
    ~StubDevice() override { NodeManager::getInstance().removeNode(nodeObject()); }
    StubDevice(const StubDevice&) = delete;
    StubDevice& operator=(const StubDevice&) = delete;

    const void* nodeObject() const
    {
        return static_cast<const void*>(static_cast<const ModuleConfigInterface*>(this));
    }

    // DeviceInterface
    int setModuleListener(ModuleListenerInterface*) override { return VNX_STATUS_SUCCESS; }
    int getConfig(vnx_StructConfig_s*) const override { return VNX_STATUS_SUCCESS; }
    int setConfig(const vnx_StructConfig_s*) override { return VNX_STATUS_SUCCESS; }
    int sendCommand(const vnx_StructCommand_s*) override { return VNX_STATUS_SUCCESS; }
    uint8_t getType() const override { return 119; }
    DomainInterface* getDomain() const override { return nullptr; }
    int registerDeviceListener(DeviceListenerInterface*) override { return VNX_STATUS_SUCCESS; }
    int unregisterDeviceListener(DeviceListenerInterface*) override { return VNX_STATUS_SUCCESS; }
    int getGuid(vnx_DomainGuid_s* guid) const override
    {
        if (guidAnswer == VNX_STATUS_SUCCESS) {
            *guid = guid_;
        }
        return guidAnswer;
    }
    bool isOpen() const override { return open_; }
    int open() override
    {
        ++opens;
        open_ = true;
        return VNX_STATUS_SUCCESS;
    }
    int close() override
    {
        ++closes;
        open_ = false;
        return VNX_STATUS_SUCCESS;
    }
    int process() override { return VNX_STATUS_SUCCESS; }
    int getName(int size, char* buffer) const override
    {
        std::snprintf(buffer, static_cast<size_t>(size), "StubDevice-%02X", guid_.id[0]);
        return VNX_STATUS_SUCCESS;
    }
    int sendInput(size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**) override
    {
        return VNX_STATUS_SUCCESS;
    }

    // DeviceListenerInterface
    void statusCallback(ModuleConfigInterface*, const vnx_StructStatus_s* status) override
    {
        StubStatus seen;
        seen.type = status->header.type;
        seen.result = static_cast<int32_t>(status->result);
        seen.tag = status->extra;
        seen.instance = status->header.instanceId;
        if (status->header.type == 113 && status->header.size >= sizeof(vnx_Device_Status_s)) {
            const auto* device = reinterpret_cast<const vnx_Device_Status_s*>(status);
            seen.kind = device->statusKind;
            seen.count = device->payload.count;
            if (seen.kind == VNX_DEVICE_STATUS_SCD_SET || seen.kind == VNX_DEVICE_STATUS_DCD_UPDATED) {
                seen.record = device->payload.record;
                if (seen.record != nullptr) {
                    uint16_t size = 0;
                    std::memcpy(&size, seen.record, sizeof size);
                    const auto* bytes = static_cast<const uint8_t*>(seen.record);
                    seen.recordBytes.assign(bytes, bytes + std::min<uint16_t>(size, 272));
                }
            }
        }
        statuses.push_back(seen);
    }
    void moduleReady(DeviceInterface*) override { ++readyCalls; }
    void motionInput(DeviceInterface*, size_t n, const vnx_StructOutput_s** outputs,
                     const vnx_StructFormat_s** formats) override
    {
        this->inputs.push_back(batch(n, outputs, formats, 0));
    }
    void motionOutput(DeviceInterface*, size_t n, const vnx_StructOutput_s** outputs,
                      const vnx_StructFormat_s** formats, int value) override
    {
        ++outputCalls;
        if (keepBatches) {
            this->outputs.push_back(batch(n, outputs, formats, value));
        }
        if (onOutput) {
            onOutput();
        }
    }

    /// The Device status events of `kind`.
    std::vector<StubStatus> deviceStatuses(uint32_t kind) const
    {
        std::vector<StubStatus> found;
        for (const StubStatus& status : statuses) {
            if (status.type == 113 && status.kind == kind) {
                found.push_back(status);
            }
        }
        return found;
    }

    int guidAnswer = VNX_STATUS_SUCCESS;
    int opens = 0;
    int closes = 0;
    int readyCalls = 0;
    int outputCalls = 0;
    /// False: output batches are counted, not kept (keeping allocates).
    bool keepBatches = true;
    std::vector<StubStatus> statuses;
    std::vector<StubBatch> inputs;
    std::vector<StubBatch> outputs;
    /// Run after each output batch is recorded.
    std::function<void()> onOutput;

  private:
    static StubBatch batch(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats,
                           int value)
    {
        StubBatch seen;
        seen.value = value;
        for (size_t i = 0; i < n; ++i) {
            seen.types.push_back(outputs[i] != nullptr ? outputs[i]->header.type : 0);
            seen.outputs.push_back(outputs[i]);
            seen.formats.push_back(formats != nullptr ? formats[i] : nullptr);
        }
        return seen;
    }

    vnx_DomainGuid_s guid_;
    bool open_ = false;
};

} // namespace vnx::testsupport
