#include "tlinkPipeDomain/TlinkPipeDevice.h"

#include <cstring>

#include "common/statusCode.h"
#include "common/stringTable.h"
#include "extCommon/extStatusCode.h"
#include "tlinkPipeDomain/TlinkPipeCoordinator.h"

namespace vnx {

namespace {

/// A pipe name of a Config as a string: at most its 32 characters, also
/// when the field has no terminating zero.
struct PipeName
{
    explicit PipeName(const char (&field)[VNX_TLINK_PIPE_NAME_SIZE])
    {
        const size_t length = strnlen(field, sizeof field);
        std::memcpy(text, field, length);
        text[length] = '\0';
    }
    bool empty() const { return text[0] == '\0'; }
    char text[VNX_TLINK_PIPE_NAME_SIZE + 1];
};

bool isOwnRecord(const vnx_Struct_s& header, uint8_t kind)
{
    return header.type == VNX_TYPE_TLINK_PIPE_DEVICE && header.kind == kind;
}

} // namespace

TlinkPipeDevice::TlinkPipeDevice(TlinkPipeCoordinator* coordinator)
    : TlinkDevice(nullptr), pipeCoordinator_(coordinator)
{
    vnx_TlinkPipeDevice_initConfig(&pipeConfig_);
}

TlinkPipeDevice::~TlinkPipeDevice()
{
    // The data-off request of the close still goes out through the pipes.
    if (isOpen()) {
        close();
    }
    deviceIoRegisterReceiver(nullptr);
}

uint8_t TlinkPipeDevice::getType() const
{
    return VNX_TYPE_TLINK_PIPE_DEVICE;
}

DomainInterface* TlinkPipeDevice::getDomain() const
{
    return pipeCoordinator_;
}

int TlinkPipeDevice::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr || !isOwnRecord(config->header, VNX_KIND_CONFIG)) {
        return TlinkDevice::setConfig(config);
    }
    const vnx_TlinkPipeDevice_Config_s* own = vnx_TlinkPipeDevice_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (isOpen()) {
        return VNX_STATUS_UNSUPPORTED_CONFIG;
    }
    std::memcpy(&pipeConfig_, own, sizeof pipeConfig_);
    return VNX_STATUS_SUCCESS;
}

int TlinkPipeDevice::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr || !isOwnRecord(config->header, VNX_KIND_CONFIG)) {
        return TlinkDevice::getConfig(config);
    }
    vnx_TlinkPipeDevice_Config_s* own = vnx_TlinkPipeDevice_dynamicDownCastConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memcpy(own, &pipeConfig_, sizeof pipeConfig_);
    return VNX_STATUS_SUCCESS;
}

int TlinkPipeDevice::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr || !isOwnRecord(command->header, VNX_KIND_COMMAND)) {
        return TlinkDevice::sendCommand(command);
    }
    const vnx_TlinkPipeDevice_Command_s* own = vnx_TlinkPipeDevice_dynamicDownCastConstCommand(command);
    if (own == nullptr || own->code != VNX_TLINK_PIPE_DEVICE_COMMAND_DESTROY) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    VNX_LOGF(dftLog_, log::INFO, "sendCommand: Destroy device");
    return guarded([&] { return removeFromDomain(); });
}

int TlinkPipeDevice::removeFromDomain()
{
    return pipeCoordinator_ != nullptr ? pipeCoordinator_->deviceRemove(this) : VNX_STATUS_DEVICE_NOT_FOUND;
}

int TlinkPipeDevice::open()
{
    const PipeName in(pipeConfig_.inPipe);
    const PipeName out(pipeConfig_.outPipe);
    const PipeName passThrough(pipeConfig_.passThroughPipe);
    VNX_LOGF(dftLog_, log::INFO, "Open Device\n    In:       %s\n    Out       %s\n    Passthru: %s", in.text,
             out.text, passThrough.text);
    if (in.empty() || out.empty() || passThrough.empty()) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    int status = tlinkInPipe_.open(in.text, NamedPipe::ACCESS_READ, NamedPipe::CREATE_BY_PROPERTY);
    if (status == VNX_STATUS_SUCCESS) {
        status = tlinkInPipe_.readFlush();
    }
    if (status != VNX_STATUS_SUCCESS) {
        VNX_LOGF(dftLog_, log::WARN, "Open tlinkInPipe Failed: %s", vnx_statusToString(status));
    }
    status = tlinkOutPipe_.open(out.text, NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY);
    if (status != VNX_STATUS_SUCCESS) {
        VNX_LOGF(dftLog_, log::WARN, "Open tlinkOutPipe Failed: %s", vnx_statusToString(status));
    }
    status =
        tlinkPassThroughPipe_.open(passThrough.text, NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY);
    if (status != VNX_STATUS_SUCCESS) {
        VNX_LOGF(dftLog_, log::WARN, "Open tlinkPassThroughPipe Failed: %s", vnx_statusToString(status));
    }
    if (!tlinkInPipe_.isOpen() || !tlinkOutPipe_.isOpen() || !tlinkPassThroughPipe_.isOpen()) {
        tlinkInPipe_.close();
        tlinkOutPipe_.close();
        tlinkPassThroughPipe_.close();
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const int opened = TlinkDevice::open();
    if (opened != VNX_STATUS_SUCCESS) {
        VNX_LOGF(dftLog_, log::WARN, "%s = %d:%s", "TlinkDevice::open()", opened, vnx_statusToString(opened));
    }
    return deviceIoRegisterReceiver(this);
}

int TlinkPipeDevice::close()
{
    return TlinkDevice::close();
}

int TlinkPipeDevice::process()
{
    if (!isOpen()) {
        return VNX_STATUS_SUCCESS;
    }
    if (!tlinkInPipe_.isOpen()) {
        VNX_LOGF(dftLog_, log::INFO, "process() but input pipe is not open.");
        return VNX_STATUS_SUCCESS;
    }
    // A listener may remove the device while a report is handled: it goes
    // once this pass is over.
    return guarded([&] {
        const int ended = readReports();
        if (ended != VNX_STATUS_IO_NOT_READY) {
            VNX_LOGF(dftLog_, log::WARN, "process() Unexpected error from tlinkInPipe_.read");
            close();
            sendStatus(VNX_STATUS_IO_ERROR, VNX_TLINK_DEVICE_STATUS_DEVICE);
        }
        return TlinkDevice::process();
    });
}

int TlinkPipeDevice::readReports()
{
    uint8_t report[TlinkPipe::kMaxPayload];
    for (;;) {
        size_t length = 0;
        const int status = tlinkInPipe_.read(report, sizeof report, &length);
        if (status != VNX_STATUS_SUCCESS) {
            return status;
        }
        if (deviceIoSend(report, length) == VNX_STATUS_WARNING_IO_UNRECOGNIZED_MSG) {
            tlinkPassThroughPipe_.write(report, length);
        }
    }
}

int TlinkPipeDevice::deviceIoReceive(DeviceIOInterface*, const void* bytes, size_t length)
{
    return tlinkOutPipe_.write(bytes, length);
}

} // namespace vnx
