#pragma once

// A module host that records what its device hands it and, on `process()`,
// reports the last stored batch back to the device unchanged.

#include <cstdint>
#include <vector>

#include "buttonActivity/ButtonActivityRecords.h"
#include "deviceDomain/ModuleManagerInterface.h"

namespace vnx::testsupport {

class FakeModuleManager : public ModuleManagerInterface
{
  public:
    int setModuleListener(ModuleListenerInterface*) override { return 0; }
    int getConfig(vnx_StructConfig_s*) const override { return answer; }
    int setConfig(const vnx_StructConfig_s* config) override
    {
        configTypes.push_back(config->header.type);
        return answer;
    }
    int sendCommand(const vnx_StructCommand_s*) override { return answer; }
    uint8_t getType() const override { return 255; }
    void setDevice(ModuleManagerListenerInterface* device) override { device_ = device; }
    void setScd(const vnx_scdData_s* scd) override { scdSize = scd->size; }
    int term() override
    {
        ++terms;
        return 0;
    }
    int saveDcd() override { return 0; }
    int clearDcd() override { return 0; }
    int setDcd(const vnx_dcdData_s* dcd) override
    {
        dcdSizes.push_back(dcd->size);
        return dcdAnswer;
    }
    int setDcdIsExternal(bool external) override
    {
        externalDcd = external;
        return 0;
    }
    int process(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats) override
    {
        stored.assign(outputs, outputs + n);
        storedFormats.assign(formats, formats + n);
        buttonsSeen.clear();
        for (const vnx_StructOutput_s* output : stored) {
            if (output->header.type == 5) {
                buttonsSeen.push_back(*reinterpret_cast<const vnx_ButtonActivity_Output_s*>(output));
            }
        }
        return 0;
    }
    int process() override
    {
        if (!stored.empty() && device_ != nullptr) {
            device_->motionOutput(device_, stored.size(), stored.data(), storedFormats.data(), 0);
        }
        return 0;
    }
    ModuleInterface* getModule() override { return nullptr; }
    void statusCallback(ModuleConfigInterface*, const vnx_StructStatus_s*) override {}
    void logMotionOutput(size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**, int) override {}

    /// The host made last.
    static inline FakeModuleManager* last = nullptr;

    int answer = 0;
    int dcdAnswer = 0;
    int terms = 0;
    uint16_t scdSize = 0;
    bool externalDcd = false;
    std::vector<uint16_t> dcdSizes;
    std::vector<uint8_t> configTypes;
    std::vector<const vnx_StructOutput_s*> stored;
    std::vector<const vnx_StructFormat_s*> storedFormats;
    std::vector<vnx_ButtonActivity_Output_s> buttonsSeen;

  private:
    ModuleManagerListenerInterface* device_ = nullptr;
};

} // namespace vnx::testsupport
