#include "buttonActivity/ButtonActivity.h"

#include <cstring>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

namespace {

constexpr uint8_t kRecordTypes[] = {VNX_TYPE_BUTTON_ACTIVITY};

int describe(int index, size_t capacity, uint8_t* typeIds, size_t& count)
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kRecordTypes, capacity, typeIds, count);
}

} // namespace

int ButtonActivity::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int ButtonActivity::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_SUCCESS;
}

int ButtonActivity::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_SUCCESS;
}

int ButtonActivity::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_SUCCESS;
}

uint8_t ButtonActivity::getType() const
{
    return VNX_TYPE_BUTTON_ACTIVITY;
}

int ButtonActivity::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    previousButtons_ = 0;
    return VNX_STATUS_SUCCESS;
}

int ButtonActivity::term()
{
    return VNX_STATUS_SUCCESS;
}

int ButtonActivity::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int ButtonActivity::getInputInterfaceCount() const
{
    return 1;
}

int ButtonActivity::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    return describe(index, capacity, typeIds, count);
}

int ButtonActivity::getOutputInterfaceCount() const
{
    return 1;
}

int ButtonActivity::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    return describe(index, capacity, typeIds, count);
}

int ButtonActivity::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                            const vnx_StructFormat_s**, int, size_t outputCount, vnx_StructOutput_s** outputs,
                            vnx_StructFormat_s**)
{
    const auto* input =
        vnx::processRecord(inputCount, inputs, 0, vnx_ButtonActivity_dynamicDownCastConstOutput);
    auto* output = vnx::processRecord(outputCount, outputs, 0, vnx_ButtonActivity_dynamicDownCastOutput);
    if (input == nullptr || output == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (input != output) {
        std::memcpy(output, input, sizeof(*output));
    }
    if (output->activity == VNX_BUTTON_ACTIVITY_DERIVE) {
        uint32_t flags = 0;
        if ((output->buttons & ~previousButtons_) != 0) {
            flags |= VNX_BUTTON_ACTIVITY_PRESS;
        }
        if ((previousButtons_ & ~output->buttons) != 0) {
            flags |= VNX_BUTTON_ACTIVITY_RELEASE;
        }
        if (output->wheel > 0) {
            flags |= VNX_BUTTON_ACTIVITY_WHEEL_POSITIVE;
        } else if (output->wheel < 0) {
            flags |= VNX_BUTTON_ACTIVITY_WHEEL_NEGATIVE;
        }
        output->activity = flags;
    }
    previousButtons_ = output->buttons;
    return VNX_STATUS_SUCCESS;
}
