#include "sensorFusionPerDevice/SensorFusionPerDevice.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <span>

#include "calibration/scdAcceptance.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/properties.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"

using vnx::SensorFusionMobile;

namespace {

constexpr const char* kCounterNames[] = {"StateManagementAccel", "StateManagementGyro", "StateManagementMag",
                                         "StateManagementTemp"};

// Engine configuration of a device: a stability detector that needs 15 s
// below 0.02 rad/s, and a 5 degree carried threshold.
constexpr std::int16_t kStabilityTimeS = 15;
constexpr float kStabilityThreshold = 0.02f;
constexpr float kClientThresholdRad = 0.08726646f;

// Period modes of the SensorInterpretation Config (its low byte).
constexpr std::uint8_t kPeriodFromScd = 0;
constexpr std::uint8_t kPeriodGiven = 1;
constexpr std::uint8_t kPeriodUnsupported = 2;

constexpr std::size_t kDcdSize = VNX_DCD_ALG49AXISFIXED_SIZE;

constexpr uint8_t kInputTypes0[] = {VNX_TYPE_SENSOR_INTERPRETATION_9AXIS};
constexpr uint8_t kInputTypes1[] = {VNX_TYPE_DEVICE_SUPPORT, VNX_TYPE_DEVICE_SUPPORT,
                                    VNX_TYPE_DEVICE_SUPPORT};
constexpr uint8_t kInputTypes2[] = {VNX_TYPE_DEVICE_SUPPORT};
constexpr uint8_t kInputTypes3[] = {VNX_TYPE_DEVICE_SUPPORT_6AG};
constexpr uint8_t kInputTypes4[] = {VNX_TYPE_DEVICE_SUPPORT_9AGM};
constexpr std::span<const uint8_t> kInputInterfaces[] = {kInputTypes0, kInputTypes1, kInputTypes2,
                                                         kInputTypes3, kInputTypes4};

constexpr uint8_t kOutputTypes0[] = {VNX_TYPE_SENSOR_FUSION};
constexpr uint8_t kOutputTypes1[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_SENSOR_INTERPRETATION};
constexpr std::span<const uint8_t> kOutputInterfaces[] = {kOutputTypes0, kOutputTypes1};

/// Every engine of the module type lives in this pool.
SensorFusionMobile::Pool& enginePool()
{
    static SensorFusionMobile::Pool pool;
    return pool;
}

/// Every active virtual sensor at one output period: accelerometer,
/// calibrated rate and magnetometer, gravity, linear acceleration, rotation
/// vector and stability; the uncalibrated and game and geomagnetic outputs off.
vnx_Mobile_VirtualSensorPeriods_s outputPeriods(std::int32_t periodUs)
{
    vnx_Mobile_VirtualSensorPeriods_s periods{};
    for (int slot : {VNX_MOBILE_ACCELEROMETER, VNX_MOBILE_CALIBRATED_ROTATION_RATE,
                     VNX_MOBILE_CALIBRATED_MAGNETOMETER, VNX_MOBILE_GRAVITY, VNX_MOBILE_LINEAR_ACCELERATION,
                     VNX_MOBILE_ROTATION_VECTOR, VNX_MOBILE_STABILITY}) {
        periods.periodUs[slot] = periodUs;
    }
    return periods;
}

/// Whether a record of type `type` addressed by its header is this module's
/// business: a non-zero instance id names one module instance.
bool addressedTo(const vnx_Struct_s& header, const void* module)
{
    return header.instanceId == 0 || static_cast<std::int64_t>(header.instanceId) ==
                                         static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(module));
}

} // namespace

SensorFusionPerDevice::SensorFusionPerDevice() : config_{}, interpretationConfig_{}
{
    vnx_SensorFusionPerDevice_initConfig(&config_);
    vnx_SensorInterpretation_initConfig(&interpretationConfig_);
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    for (int i = 0; i < 4; ++i) {
        nodes.addNode(this, &counters_[i], vnx::NodeInterface::NODE_SUBNODE, kCounterNames[i]);
    }
}

SensorFusionPerDevice::~SensorFusionPerDevice()
{
    destroyEngine();
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    for (vnx::StateManagement& counter : counters_) {
        nodes.removeNode(&counter);
    }
}

void SensorFusionPerDevice::destroyEngine()
{
    if (engine_ == nullptr) {
        return;
    }
    vnx::NodeManager::getInstance().removeNode(engine_);
    enginePool().destroy(engine_);
    engine_ = nullptr;
}

int SensorFusionPerDevice::setModuleListener(vnx::ModuleListenerInterface* listener)
{
    listener_ = listener;
    return VNX_STATUS_SUCCESS;
}

int SensorFusionPerDevice::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (config->header.type) {
    case VNX_TYPE_SENSOR_INTERPRETATION: {
        auto* own = vnx_SensorInterpretation_dynamicDownCastConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        *own = interpretationConfig_;
        return VNX_STATUS_SUCCESS;
    }
    case VNX_TYPE_SENSOR_FUSION: {
        auto* own = vnx_SensorFusion_dynamicDownCastConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        *own = config_.sensorFusion;
        return VNX_STATUS_SUCCESS;
    }
    case VNX_TYPE_SENSOR_FUSION_PER_DEVICE: {
        auto* own = vnx_SensorFusionPerDevice_dynamicDownCastConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        *own = config_;
        return VNX_STATUS_SUCCESS;
    }
    default:
        return VNX_STATUS_NOT_FOR_ME;
    }
}

int SensorFusionPerDevice::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (!addressedTo(config->header, this)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    switch (config->header.type) {
    case VNX_TYPE_SENSOR_FUSION_PER_DEVICE: {
        const auto* own = vnx_SensorFusionPerDevice_dynamicDownCastConstConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        config_ = *own;
        return VNX_STATUS_SUCCESS;
    }
    case VNX_TYPE_SENSOR_FUSION: {
        const auto* fusion = vnx_SensorFusion_dynamicDownCastConstConfig(config);
        if (fusion == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        config_.sensorFusion = *fusion;
        return applyReorientation();
    }
    case VNX_TYPE_SENSOR_INTERPRETATION: {
        const auto* interpretation = vnx_SensorInterpretation_dynamicDownCastConstConfig(config);
        if (interpretation == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        interpretationConfig_ = *interpretation;
        return applyInterpretationConfig(interpretationConfig_);
    }
    default:
        return VNX_STATUS_NOT_FOR_ME;
    }
}

int SensorFusionPerDevice::applyReorientation()
{
    if (engine_ == nullptr) {
        return VNX_STATUS_SUCCESS; // applied at init
    }
    // The Q14 values go over unscaled: the engine normalises the quaternion,
    // and an identity (x = y = z = 0) restores the unreoriented output.
    const int16_t* q = config_.sensorFusion.reorientation;
    const vnx_Mobile_Quaternion_s reorientation{static_cast<float>(q[1]), static_cast<float>(q[2]),
                                                static_cast<float>(q[3]), static_cast<float>(q[0])};
    engine_->setReorientation(reorientation);
    return VNX_STATUS_SUCCESS;
}

int SensorFusionPerDevice::applyInterpretationConfig(const vnx_SensorInterpretation_Config_s& config)
{
    const auto mode = static_cast<std::uint8_t>(config.periodSelector & 0xFFu);
    if (mode == kPeriodUnsupported) {
        return VNX_STATUS_UNSUPPORTED_CONFIG;
    }
    if (mode == kPeriodGiven && config.periodUs == 0) {
        return VNX_STATUS_INVALID_CONFIG;
    }
    if (engine_ == nullptr) {
        return VNX_STATUS_SUCCESS; // init starts from the SCD period
    }
    if (mode == kPeriodFromScd) {
        effectivePeriodUs_ = scdPeriodUs_;
    } else if (mode == kPeriodGiven) {
        effectivePeriodUs_ = config.periodUs;
    }
    const vnx_Mobile_VirtualSensorPeriods_s wanted =
        outputPeriods(static_cast<std::int32_t>(effectivePeriodUs_));
    engine_->enableOutputPeriodsAndDeriveInputPeriods(wanted, &periods_);
    engine_->setInputPeriods(periods_);
    vnx_Mobile_VirtualSensorPeriods_s effective{};
    engine_->getEffectiveOutputPeriods(periods_, &effective);
    return VNX_STATUS_SUCCESS;
}

int SensorFusionPerDevice::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (command->header.type) {
    case VNX_TYPE_SENSOR_FUSION_PER_DEVICE: {
        const auto* own = vnx_SensorFusionPerDevice_dynamicDownCastConstCommand(command);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        if (own->code != VNX_SENSOR_FUSION_PER_DEVICE_SET_DYNAMIC_CALIBRATION) {
            return VNX_STATUS_SUCCESS;
        }
        return engine_ == nullptr ? VNX_STATUS_NOT_ACTIVE : engine_->setDynamicCalibrationEnable(own->value);
    }
    case VNX_TYPE_SENSOR_FUSION: {
        const auto* fusion = vnx_SensorFusion_dynamicDownCastConstCommand(command);
        if (fusion == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        if (fusion->code != VNX_SENSOR_FUSION_TARE_HEADING) {
            return VNX_STATUS_SUCCESS;
        }
        return engine_ == nullptr ? VNX_STATUS_NOT_ACTIVE : engine_->tareAngPosZ();
    }
    default:
        return VNX_STATUS_NOT_FOR_ME;
    }
}

uint8_t SensorFusionPerDevice::getType() const
{
    return VNX_TYPE_SENSOR_FUSION_PER_DEVICE;
}

int SensorFusionPerDevice::init(const vnx_scdData_s* scd, int&, const vnx_dcdData_s* dcd, int&)
{
    // The SCD is copied and checked before anything changes: a refused SCD
    // (none, a size word of 0 or any other invalid block) leaves the module
    // as it was, with its engine when it had one. The engine gets the copy.
    const vnx::AcceptedScd accepted = vnx::acceptScd(scd, SIZE_MAX);
    if (!accepted.valid()) {
        return VNX_STATUS_INVALID_SCD;
    }

    vnx_Mobile_Configuration_s config{};
    config.scd = &accepted.block()->head;
    config.scdSize = sizeof(scdGen4Float_s);
    if (dcd != nullptr) {
        // Blocks lie at any address: the head is read as bytes.
        vnx_dcdData_s dcdHead;
        std::memcpy(&dcdHead, dcd, sizeof dcdHead);
        if (dcdHead.size != 0) {
            config.dcd = dcd;
            config.dcdSize = dcdHead.size;
        }
    }
    config.reorientation = {0.0f, 0.0f, 0.0f, 1.0f};
    config.stabilityTimeS = kStabilityTimeS;
    config.stabilityThreshold = kStabilityThreshold;
    config.clientThreshold = kClientThresholdRad;

    // No memory for a new engine also leaves the module as it was.
    SensorFusionMobile* fresh = nullptr;
    try {
        fresh = enginePool().create();
    } catch (...) {
        fresh = nullptr;
    }
    if (fresh == nullptr) {
        return VNX_STATUS_OUT_OF_MEMORY;
    }
    // A second init without term starts over rather than leak the engine.
    destroyEngine();
    engine_ = fresh;
    scdPeriodUs_ = static_cast<std::uint32_t>(accepted.periodUs());
    effectivePeriodUs_ = scdPeriodUs_;
    periods_ = {};
    vnx::NodeManager::getInstance().addNode(this, engine_, vnx::NodeInterface::NODE_SUBNODE, "mobile");
    // The engine accepts what was accepted here; should it still refuse, the
    // module is left without engine.
    const int result = engine_->init(config);
    if (result < 0) {
        term();
        return result;
    }
    for (vnx::StateManagement& counter : counters_) {
        counter.init();
    }
    std::memset(&engineOutput_, 0, sizeof engineOutput_);
    vnx_SensorInterpretation_Config_s periodsFromScd;
    vnx_SensorInterpretation_initConfig(&periodsFromScd);
    setConfig(&periodsFromScd.config);
    applyReorientation();
    return result;
}

int SensorFusionPerDevice::term()
{
    destroyEngine();
    return VNX_STATUS_SUCCESS;
}

int SensorFusionPerDevice::getDcd(vnx_dcdData_s* dcd, int capacity, int&) const
{
    if (engine_ == nullptr) {
        return VNX_STATUS_WARNING_INVALID_DCD;
    }
    if (capacity < static_cast<int>(kDcdSize)) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    if (dcd == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::size_t written = 0;
    return engine_->getDynamicCalibration(reinterpret_cast<std::uint8_t*>(dcd),
                                          static_cast<std::size_t>(capacity), &written);
}

int SensorFusionPerDevice::getInputInterfaceCount() const
{
    return static_cast<int>(std::size(kInputInterfaces));
}

int SensorFusionPerDevice::getInputInterface(int index, size_t capacity, uint8_t* typeIds,
                                             size_t& count) const
{
    if (index < 0 || index >= getInputInterfaceCount()) {
        VNX_LOGF(dftLog_, vnx::log::WARN, "Invalid interface id: %d", index);
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kInputInterfaces[index], capacity, typeIds, count);
}

int SensorFusionPerDevice::getOutputInterfaceCount() const
{
    return static_cast<int>(std::size(kOutputInterfaces));
}

int SensorFusionPerDevice::getOutputInterface(int index, size_t capacity, uint8_t* typeIds,
                                              size_t& count) const
{
    if (index < 0 || index >= getOutputInterfaceCount()) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputInterfaces[index], capacity, typeIds, count);
}

int SensorFusionPerDevice::getLogPath(char* buffer, size_t size) const
{
    const char* directory = vnx_properties_getAsString("LOGGING_DIR", ".");
    char timeText[32] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(timeText, sizeof timeText, "%Y-%m-%d-%H%M%S", &local);
    }
    return std::snprintf(buffer, size, "%s/%s-SensorFusion-%p.dsf", directory, timeText,
                         static_cast<const void*>(this));
}
