#include "testModule/TestModule.h"

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "testModule/TestModuleRecords.h"

namespace {

constexpr uint8_t kRecordTypes[] = {VNX_TYPE_TEST_MODULE};

} // namespace

int TestModule::sendStatus(uint32_t code) const
{
    if (listener_ == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    vnx_TestModule_Status_s status;
    vnx_TestModule_initStatus(&status);
    status.status.result = 0;
    status.status.extra = 0;
    status.code = code;
    listener_->statusCallback(nullptr, vnx_TestModule_upCastStatus(&status));
    return static_cast<int>(status.status.result);
}

int TestModule::describe(int index, size_t capacity, uint8_t* typeIds, size_t& count, uint32_t code) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const int described = vnx::describeInterface(kRecordTypes, capacity, typeIds, count);
    if (described != VNX_STATUS_SUCCESS) {
        return described;
    }
    return sendStatus(code);
}

int TestModule::setModuleListener(vnx::ModuleListenerInterface* listener)
{
    listener_ = listener;
    return sendStatus(VNX_TEST_MODULE_SET_MODULE_LISTENER);
}

int TestModule::getConfig(vnx_StructConfig_s*) const
{
    return sendStatus(VNX_TEST_MODULE_GET_CONFIG);
}

int TestModule::setConfig(const vnx_StructConfig_s*)
{
    return sendStatus(VNX_TEST_MODULE_SET_CONFIG);
}

int TestModule::sendCommand(const vnx_StructCommand_s*)
{
    return sendStatus(VNX_TEST_MODULE_SEND_COMMAND);
}

uint8_t TestModule::getType() const
{
    sendStatus(VNX_TEST_MODULE_GET_TYPE);
    return VNX_TYPE_TEST_MODULE;
}

int TestModule::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    return sendStatus(VNX_TEST_MODULE_INIT);
}

int TestModule::term()
{
    return sendStatus(VNX_TEST_MODULE_TERM);
}

int TestModule::getDcd(vnx_dcdData_s*, int, int&) const
{
    return sendStatus(VNX_TEST_MODULE_GET_DCD);
}

int TestModule::getInputInterfaceCount() const
{
    sendStatus(VNX_TEST_MODULE_GET_INPUT_INTERFACE_COUNT);
    return 1;
}

int TestModule::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    return describe(index, capacity, typeIds, count, VNX_TEST_MODULE_GET_INPUT_INTERFACE);
}

int TestModule::getOutputInterfaceCount() const
{
    sendStatus(VNX_TEST_MODULE_GET_OUTPUT_INTERFACE_COUNT);
    return 1;
}

int TestModule::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    return describe(index, capacity, typeIds, count, VNX_TEST_MODULE_GET_OUTPUT_INTERFACE);
}

int TestModule::process(int, size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**, int, size_t,
                        vnx_StructOutput_s**, vnx_StructFormat_s**)
{
    return sendStatus(VNX_TEST_MODULE_PROCESS);
}
