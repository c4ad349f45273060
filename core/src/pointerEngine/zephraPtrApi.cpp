#include "moduleFactory/flatApiGuard.h"
#include "pointerEngine/ZephraPtr.h"

using vnx::ZephraPtr;

extern "C" int zephraPtr_init(ZephraPtr_TimeSource timeSource, ZephraPtr** handle)
{
    if (handle == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    *handle = nullptr;
    if (timeSource == nullptr)
        return ZEPHRA_PTR_ERROR_NULL_TIME_SOURCE;
    return vnx::guardStatus([&] {
        *handle = new ZephraPtr(timeSource);
        return 0;
    });
}

extern "C" int zephraPtr_exit(ZephraPtr* handle)
{
    if (handle == nullptr)
        return ZEPHRA_PTR_ERROR_NULL_HANDLE;
    return vnx::guardStatus([&] {
        delete handle;
        return 0;
    });
}

extern "C" int zephraPtr_getConfig(ZephraPtr* handle, ZephraPtr_Config* config)
{
    if (handle == nullptr)
        return ZEPHRA_PTR_ERROR_NULL_HANDLE;
    if (config == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return vnx::guardStatus([&] { return handle->getConfig(*config); });
}

extern "C" int zephraPtr_setConfig(ZephraPtr* handle, const ZephraPtr_Config* config)
{
    if (handle == nullptr)
        return ZEPHRA_PTR_ERROR_NULL_HANDLE;
    if (config == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return vnx::guardStatus([&] { return handle->setConfig(*config); });
}

extern "C" int zephraPtr_run(ZephraPtr* handle, const ZephraPtr_Command* command,
                             ZephraPtr_ProcessResult* result)
{
    if (handle == nullptr)
        return ZEPHRA_PTR_ERROR_NULL_HANDLE;
    if (command == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    if (command->code > ZEPHRA_PTR_TICK)
        return ZEPHRA_PTR_ERROR_UNKNOWN_COMMAND;
    if (result == nullptr && command->code != ZEPHRA_PTR_PROCESS_DELTA_BODYFRAME)
        return VNX_STATUS_INVALID_PARAMETER;
    return vnx::guardStatus([&] {
        const auto& d = command->data;
        switch (command->code) {
        case ZEPHRA_PTR_PROCESS_DELTA:
            return handle->processDelta(d.delta, *result);
        case ZEPHRA_PTR_PROCESS_DELTA_HINTED:
            return handle->processDeltaHinted(d.hinted, *result);
        case ZEPHRA_PTR_PROCESS_DELTA_USERFRAME:
            return handle->processDeltaUserframe(d.userframe, *result);
        case ZEPHRA_PTR_PROCESS_DELTA_BODYFRAME:
            return handle->processDeltaBodyframe(d.bodyframe);
        case ZEPHRA_PTR_PROCESS_DELTA_USERFRAME_CAMERA:
            return handle->processDeltaUserframeCamera(d.camera, *result);
        case ZEPHRA_PTR_FORCE_LOCATION:
            return handle->forceLocation(d.forceLocation, *result);
        case ZEPHRA_PTR_FORCE_HIDE:
            return handle->forceHide(*result);
        case ZEPHRA_PTR_FORCE_SHOW:
            return handle->forceShow(*result);
        case ZEPHRA_PTR_RECENTER:
            return handle->recenter(*result);
        case ZEPHRA_PTR_REPORT_IDLE:
            return handle->reportIdle(*result);
        case ZEPHRA_PTR_GET_LOCATION:
            return handle->getLocation(*result);
        case ZEPHRA_PTR_SET_BOUNDS:
            return handle->setBounds(d.setBounds, *result);
        default:
            return handle->tick(*result);
        }
    });
}

extern "C" void zephraPtr_trace(int level, ZephraPtr_TraceCallback callback)
{
    ZephraPtr::trace(level, callback);
}
