#include "motionPipe/MotionPipe.h"

#include <cstring>
#include <limits>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"

namespace vnx {

namespace {

bool isPipeConfig(const vnx_StructConfig_s* config)
{
    return config != nullptr && config->header.kind == VNX_KIND_CONFIG &&
           (config->header.type == VNX_TYPE_MOTION_PIPE || config->header.type == VNX_TYPE_MOTION_FLOAT_PIPE);
}

bool hasBody(const vnx_Struct_s* record)
{
    return record != nullptr && record->size > sizeof(vnx_Struct_s);
}

} // namespace

MotionPipe::MotionPipe()
{
    vnx_MotionPipe_initConfig(&config_);
    NodeManager::getInstance().addNode(this, &pipe_, NodeInterface::NODE_SUBNODE, "MotionOutputPipe");
}

MotionPipe::~MotionPipe()
{
    term();
    NodeManager::getInstance().removeNode(&pipe_);
}

int MotionPipe::setModuleListener(ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int MotionPipe::getConfig(vnx_StructConfig_s* config) const
{
    if (!isPipeConfig(config)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    if (config->header.size < sizeof config_) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memcpy(config, &config_, sizeof config_);
    return VNX_STATUS_SUCCESS;
}

int MotionPipe::setConfig(const vnx_StructConfig_s* config)
{
    if (!isPipeConfig(config)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    if (config->header.size < sizeof config_) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto* pipeConfig = reinterpret_cast<const vnx_MotionPipe_Config_s*>(config);
    const bool renamed = std::strncmp(pipeConfig->pipeName, config_.pipeName, VNX_MOTION_PIPE_NAME_SIZE) != 0;
    std::memcpy(&config_, pipeConfig, sizeof config_);
    if (renamed) {
        term();
        // A pipe that cannot be opened leaves the module writing nothing.
        openPipe();
    }
    return VNX_STATUS_SUCCESS;
}

int MotionPipe::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

uint8_t MotionPipe::getType() const
{
    return VNX_TYPE_MOTION_PIPE;
}

int MotionPipe::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    if (pipe_.isOpen()) {
        term();
    }
    return openPipe();
}

int MotionPipe::term()
{
    return pipe_.close();
}

int MotionPipe::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int MotionPipe::getInputInterfaceCount() const
{
    return 1;
}

int MotionPipe::getInputInterface(int index, size_t, uint8_t*, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    // Any number of records of any type.
    count = std::numeric_limits<size_t>::max();
    return VNX_STATUS_SUCCESS;
}

int MotionPipe::getOutputInterfaceCount() const
{
    return 0;
}

int MotionPipe::getOutputInterface(int, size_t, uint8_t*, size_t& count) const
{
    count = 0;
    return VNX_STATUS_SUCCESS;
}

int MotionPipe::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                        const vnx_StructFormat_s** inputFormats, int, size_t, vnx_StructOutput_s**,
                        vnx_StructFormat_s**)
{
    if (!pipe_.isOpen() || inputCount == 0 || inputs == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    for (size_t i = 0; i < inputCount; ++i) {
        const vnx_Struct_s* format =
            inputFormats != nullptr && inputFormats[i] != nullptr ? &inputFormats[i]->header : nullptr;
        if (hasBody(format)) {
            pipe_.write(format);
        }
        const vnx_Struct_s* output = inputs[i] != nullptr ? &inputs[i]->header : nullptr;
        if (hasBody(output) && pipe_.write(output) == VNX_STATUS_IO_ERROR) {
            // A broken pipe is reopened once; a reader that is merely absent
            // is waited for by the named pipe itself.
            pipe_.close();
            openPipe();
        }
    }
    return VNX_STATUS_SUCCESS;
}

void MotionPipe::pipeName(char (&name)[VNX_MOTION_PIPE_NAME_SIZE + 1]) const
{
    // A name of all 32 characters has no NUL of its own.
    std::memcpy(name, config_.pipeName, VNX_MOTION_PIPE_NAME_SIZE);
    name[VNX_MOTION_PIPE_NAME_SIZE] = '\0';
}

int MotionPipe::openPipe()
{
    char name[VNX_MOTION_PIPE_NAME_SIZE + 1];
    pipeName(name);
    if (name[0] == '\0') {
        VNX_LOGF(dftLog_, log::NOTICE, "No pipe specified");
        return VNX_STATUS_SUCCESS;
    }
    VNX_LOGF(dftLog_, log::INFO, "Opening: %s", name);
    return pipe_.open(name, NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY);
}

} // namespace vnx
