#include "serialization/SerializationModule.h"

#include "common/statusCode.h"
#include "extCommon/extModuleType.h"

int SerializationModule::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

uint8_t SerializationModule::getType() const
{
    return VNX_TYPE_SERIALIZATION_MODULE;
}

int SerializationModule::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::term()
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::getInputInterfaceCount() const
{
    return 0;
}

int SerializationModule::getInputInterface(int, size_t, uint8_t*, size_t& count) const
{
    count = 0;
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::getOutputInterfaceCount() const
{
    return 1;
}

int SerializationModule::getOutputInterface(int, size_t, uint8_t*, size_t& count) const
{
    count = 0;
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int SerializationModule::process(int, size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**, int,
                                 size_t, vnx_StructOutput_s**, vnx_StructFormat_s**)
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}
