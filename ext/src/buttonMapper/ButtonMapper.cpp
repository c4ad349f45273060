#include "buttonMapper/ButtonMapper.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "extCommon/extModuleType.h"

ButtonMapper::ButtonMapper()
{
    vnx_ButtonMapper_initConfig(&config_);
}

int ButtonMapper::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::getConfig(vnx_StructConfig_s* config) const
{
    vnx_ButtonMapper_Config_s* own = vnx_ButtonMapper_dynamicDownCastConfig(config);
    if (own == nullptr) {
        return config != nullptr && config->header.type == VNX_TYPE_BUTTON_MAPPER
                   ? VNX_STATUS_INVALID_PARAMETER
                   : VNX_STATUS_NOT_FOR_ME;
    }
    std::memcpy(own, &config_, sizeof config_);
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::setConfig(const vnx_StructConfig_s* config)
{
    const vnx_ButtonMapper_Config_s* own = vnx_ButtonMapper_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return config != nullptr && config->header.type == VNX_TYPE_BUTTON_MAPPER
                   ? VNX_STATUS_INVALID_PARAMETER
                   : VNX_STATUS_NOT_FOR_ME;
    }
    std::memcpy(&config_, own, sizeof config_);
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

uint8_t ButtonMapper::getType() const
{
    return VNX_TYPE_BUTTON_MAPPER;
}

int ButtonMapper::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    previousButtons_ = 0;
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::term()
{
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::getInputInterfaceCount() const
{
    return 1;
}

int ButtonMapper::getInputInterface(int index, size_t, uint8_t*, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    // Any number of records of any type.
    count = std::numeric_limits<size_t>::max();
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::getOutputInterfaceCount() const
{
    return 0;
}

int ButtonMapper::getOutputInterface(int, size_t, uint8_t*, size_t& count) const
{
    count = 0;
    return VNX_STATUS_SUCCESS;
}

int ButtonMapper::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                          const vnx_StructFormat_s**, int outputInterface, size_t outputCount,
                          vnx_StructOutput_s** outputs, vnx_StructFormat_s**)
{
    if (outputInterface != 0 || outputCount != 1 || outputs == nullptr || outputs[0] == nullptr ||
        outputs[0]->header.type != VNX_TYPE_BUTTON_MAPPER ||
        outputs[0]->header.size < sizeof(vnx_ButtonMapper_Output_s)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    int index = -1;
    if (inputs == nullptr ||
        !vnx_Struct_find(inputCount, reinterpret_cast<const vnx_Struct_s* const*>(inputs),
                         VNX_TYPE_BUTTON_ACTIVITY, &index)) {
        return VNX_STATUS_SUCCESS;
    }
    if (inputs[index]->header.size < sizeof(vnx_ButtonActivity_Output_s)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto* activity = reinterpret_cast<const vnx_ButtonActivity_Output_s*>(inputs[index]);
    auto* output = reinterpret_cast<vnx_ButtonMapper_Output_s*>(outputs[0]);

    const uint32_t current = activity->buttons;
    const uint32_t previous = previousButtons_;
    previousButtons_ = current;
    output->held = 0;
    output->pressed = 0;
    output->released = 0;
    output->wheel = static_cast<uint16_t>(static_cast<uint32_t>(activity->wheel) & 0xFFFFu);
    output->pressedKeys = 0;
    output->releasedKeys = 0;
    // Key-list entries past the last one written keep what they held: the
    // key masks say which entries belong to this sample.
    uint32_t key = 0;
    // Only buttons down now or before can add to a mask or the key list;
    // their bits are visited in ascending order.
    for (uint32_t pending = current | previous; pending != 0; pending &= pending - 1) {
        const int i = std::countr_zero(pending);
        const uint32_t bit = 1u << i;
        const uint8_t mouse = config_.mouseButtonMap[i];
        const bool down = (current & bit) != 0;
        const bool wasDown = (previous & bit) != 0;
        if (down) {
            output->held |= mouse;
        }
        if (down && !wasDown) {
            output->pressed |= mouse;
        }
        if (!down && wasDown) {
            output->released |= mouse;
        }
        if (down != wasDown && config_.keyCodes[i] != 0) {
            output->keys[key] = config_.keyCodes[i];
            (down ? output->pressedKeys : output->releasedKeys) |= 1u << key;
            ++key;
        }
    }
    return VNX_STATUS_SUCCESS;
}
