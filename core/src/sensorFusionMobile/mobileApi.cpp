#include "sensorFusionMobile/mobileApi.h"

#include <new>

#include "common/NodeManager.h"
#include "common/coreLock.h"
#include "common/properties.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "log/Logger.h"
#include "moduleFactory/HandleRegistry.h"
#include "moduleFactory/flatApiGuard.h"
#include "sensorFusionMobile/SensorFusionMobile.h"

namespace {

using vnx::SensorFusionMobile;

constexpr const char* kVersionBanner = "Kinemora mobile fusion engine 3.1.4.0";
constexpr const char* kRootNodeProperty = "MOBILE_IS_ROOT_NODE";
constexpr std::uint32_t kProductId = 0x4D4F4249; // "MOBI"

/// The API's own logger: log node "Mobile" under "sys".
class MyLogger_Mobile : public vnx::log::Logger
{
  public:
    MyLogger_Mobile()
        : vnx::log::Logger("vnx_core_SensorFusionMobile", "Mobile", vnx::log::WARN, vnx::log::TYPE_CONSOLE)
    {
        // The node manager must outlive this logger: its destructor removes the node.
        vnx::NodeManager::getInstance();
        place();
    }
    ~MyLogger_Mobile() override
    {
        vnx::NodeManager::getInstance().removeNode(static_cast<const void*>(self()));
    }

    /// Adds the node unless it is there already (the tree may have been reset).
    void place()
    {
        vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
        const vnx::NodeInterface* sys = nodes.getNode("sys");
        if (sys != nullptr)
            nodes.addNode(**sys, self(), vnx::NodeInterface::NODE_LOG, "Mobile");
    }

  private:
    const vnx::log::Logger* self() const { return this; }
};

/// Engines of the API, the handle values that name them, and how many are
/// live.
struct MobileLibrary
{
    SensorFusionMobile::Pool instances;
    vnx::HandleRegistry<SensorFusionMobile> handles;
    int live = 0;
};

MobileLibrary& library()
{
    static MobileLibrary lib;
    return lib;
}

MyLogger_Mobile& apiLogger()
{
    static MyLogger_Mobile logger;
    return logger;
}

bool isRootNode()
{
    return vnx_properties_getAsBoolean(kRootNodeProperty, false);
}

/// The engine of a live handle, else null.
SensorFusionMobile* engineOf(vnx_Mobile_Handle handle)
{
    return library().handles.find(vnx::handleValueOf(handle));
}

template <class Call> int withEngine(vnx_Mobile_Handle handle, Call&& call)
{
    SensorFusionMobile* engine = engineOf(handle);
    if (engine == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return vnx::guardStatus([&] { return call(*engine); });
}

/// One engine less; the last one stops the core library when this API
/// started it.
void releaseOne(MobileLibrary& lib, bool root)
{
    --lib.live;
    if (root && lib.live == 0)
        vnx_core_finalize();
}

/// Creates and initialises an engine; a negative result leaves none.
int createEngine(MobileLibrary& lib, const vnx_Mobile_Configuration_s* config, SensorFusionMobile** out)
{
    MyLogger_Mobile& logger = apiLogger();
    logger.place();
    if (logger.isEnabled(vnx::log::NOTICE))
        logger.logf(__FILE__, __LINE__, vnx::log::NOTICE, "%s", kVersionBanner);

    SensorFusionMobile* engine = nullptr;
    try {
        engine = lib.instances.create();
    } catch (const std::bad_alloc&) {
        engine = nullptr;
    }
    if (engine == nullptr)
        return VNX_STATUS_OUT_OF_MEMORY;
    int result = VNX_STATUS_INVALID_SCD;
    try {
        if (config != nullptr)
            result = engine->init(*config);
    } catch (...) {
        lib.instances.destroy(engine);
        throw;
    }
    if (result < 0) {
        lib.instances.destroy(engine);
        return result;
    }
    *out = engine;
    return result;
}

} // namespace

extern "C" {

int vnx_Mobile_getVersion(vnx_Mobile_Version_s* version)
{
    if (version == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    version->productId = kProductId;
    version->major = 3;
    version->minor = 1;
    version->patch = 4;
    version->build = 0;
    for (uint8_t& flag : version->flags)
        flag = 1;
    return VNX_STATUS_SUCCESS;
}

const char* vnx_Mobile_getVersionString(void)
{
    return kVersionBanner;
}

int vnx_Mobile_getDefaults(vnx_Mobile_Configuration_s* config)
{
    return SensorFusionMobile::getDefaults(config);
}

int vnx_Mobile_initialize(vnx_Mobile_Handle* handle, const vnx_Mobile_Configuration_s* config)
{
    if (handle == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    *handle = nullptr;
    return vnx::guardStatus([&] {
        // Engines are made and counted under the core lock: several threads
        // may start and stop engines at once.
        vnx::CoreLock lock;
        MobileLibrary& lib = library();
        const bool root = isRootNode();
        if (root && lib.live == 0)
            vnx_core_initialize();
        ++lib.live;
        SensorFusionMobile* engine = nullptr;
        int result = VNX_STATUS_INTERNAL_ERROR;
        try {
            result = createEngine(lib, config, &engine);
        } catch (const std::bad_alloc&) {
            result = VNX_STATUS_OUT_OF_MEMORY;
        } catch (...) {
            result = VNX_STATUS_INTERNAL_ERROR;
        }
        vnx::HandleValue value = 0;
        if (result >= 0) {
            try {
                value = lib.handles.add(engine);
            } catch (const std::bad_alloc&) {
                value = 0;
            }
            if (value == 0) {
                lib.instances.destroy(engine);
                result = VNX_STATUS_OUT_OF_MEMORY;
            }
        }
        if (result < 0) {
            releaseOne(lib, root);
            return result;
        }
        *handle = vnx::opaqueHandle<vnx_Mobile_Engine_s>(value);
        return result;
    });
}

void vnx_Mobile_finalize(vnx_Mobile_Handle handle)
{
    vnx::guardStatus([&] {
        vnx::CoreLock lock;
        MobileLibrary& lib = library();
        SensorFusionMobile* engine = lib.handles.remove(vnx::handleValueOf(handle));
        // Only an engine really destroyed counts: a null or stale handle
        // must not stop the core library under live engines.
        if (engine == nullptr || !lib.instances.destroy(engine))
            return VNX_STATUS_INVALID_PARAMETER;
        releaseOne(lib, isRootNode());
        return VNX_STATUS_SUCCESS;
    });
}

int vnx_Mobile_enableOutputPeriodsAndDeriveInputPeriods(vnx_Mobile_Handle handle,
                                                        const vnx_Mobile_VirtualSensorPeriods_s* requested,
                                                        vnx_Mobile_PhysicalSensorPeriods_s* derived)
{
    if (requested == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return withEngine(handle, [&](SensorFusionMobile& e) {
        return e.enableOutputPeriodsAndDeriveInputPeriods(*requested, derived);
    });
}

int vnx_Mobile_setInputPeriods(vnx_Mobile_Handle handle, const vnx_Mobile_PhysicalSensorPeriods_s* periods)
{
    if (periods == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.setInputPeriods(*periods); });
}

int vnx_Mobile_getEffectiveOutputPeriods(vnx_Mobile_Handle handle,
                                         const vnx_Mobile_PhysicalSensorPeriods_s* periods,
                                         vnx_Mobile_VirtualSensorPeriods_s* effective)
{
    if (periods == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return withEngine(
        handle, [&](SensorFusionMobile& e) { return e.getEffectiveOutputPeriods(*periods, effective); });
}

int vnx_Mobile_reportAcc(vnx_Mobile_Handle handle, uint32_t timeUs, int16_t x, int16_t y, int16_t z)
{
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.reportAcc(timeUs, x, y, z); });
}

int vnx_Mobile_reportMag(vnx_Mobile_Handle handle, uint32_t timeUs, int16_t x, int16_t y, int16_t z)
{
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.reportMag(timeUs, x, y, z); });
}

int vnx_Mobile_reportGyro(vnx_Mobile_Handle handle, uint32_t timeUs, int16_t x, int16_t y, int16_t z,
                          int16_t temperature)
{
    return withEngine(handle,
                      [&](SensorFusionMobile& e) { return e.reportGyro(timeUs, x, y, z, temperature); });
}

int vnx_Mobile_reportFusionTick(vnx_Mobile_Handle handle, uint32_t timeUs)
{
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.reportFusionTick(timeUs); });
}

int vnx_Mobile_process(vnx_Mobile_Handle handle, vnx_Mobile_Output_s* out, uint8_t* flag)
{
    if (flag != nullptr)
        *flag = 0;
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.process(out, flag); });
}

int vnx_Mobile_tareNow(vnx_Mobile_Handle handle, uint8_t mode, uint8_t sensor)
{
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.tareNow(mode, sensor); });
}

int vnx_Mobile_getReorientation(vnx_Mobile_Handle handle, vnx_Mobile_Quaternion_s* q)
{
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.getReorientation(q); });
}

int vnx_Mobile_setReorientation(vnx_Mobile_Handle handle, const vnx_Mobile_Quaternion_s* q)
{
    if (q == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.setReorientation(*q); });
}

int vnx_Mobile_setDynamicCalibrationEnable(vnx_Mobile_Handle handle, uint8_t bits)
{
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.setDynamicCalibrationEnable(bits); });
}

int vnx_Mobile_getDynamicCalibrationEnable(vnx_Mobile_Handle handle, uint8_t* bits)
{
    return withEngine(handle, [&](SensorFusionMobile& e) { return e.getDynamicCalibrationEnable(bits); });
}

int vnx_Mobile_getDynamicCalibration(vnx_Mobile_Handle handle, uint8_t* buffer, size_t size, size_t* written)
{
    return withEngine(handle,
                      [&](SensorFusionMobile& e) { return e.getDynamicCalibration(buffer, size, written); });
}

} // extern "C"
