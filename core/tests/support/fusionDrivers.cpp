#include "support/fusionDrivers.h"

#include <cstring>
#include <stdexcept>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "sensorFusionModule/SensorFusion.h"
#include "sensorFusionPerDevice/SensorFusionPerDevice.h"
#include "support/fusionScenarios.h"

namespace vnx::testsupport {

namespace {

// Input interface of the DeviceSupport6AG samples and their button record.
constexpr int kSixAxisInterface = 5;
// Sensor periods of the mobile engine: the SCD's 125 Hz.
constexpr std::int32_t kPeriodUs = 8000;

/// An engine quaternion (x, y, z, w) in the client's axes as the body-to-world
/// rotation of the device's own axes.
Quatd bodyToWorldOfClient(const float* xyzw)
{
    return {xyzw[3], xyzw[1], xyzw[0], -xyzw[2]};
}

/// A client-axes vector in the device's own axes.
Vec3d deviceAxesOfClient(const float* v)
{
    return {v[1], v[0], -v[2]};
}

} // namespace

SensorFusionDriver::SensorFusionDriver()
{
    module_ = ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_FUSION);
    if (module_ == nullptr)
        throw std::runtime_error("no SensorFusion factory: is the core library started?");
    vnx_ButtonActivity_initOutput(&button_);
    vnx_DeviceSupport6AG_initFormat(&sampleFormat_);
    vnx_ButtonActivity_initFormat(&buttonFormat_);
    vnx_SensorFusion_initOutput(&motion_);
    vnx_SensorFusion_initFormat(&motionFormat_);
    vnx_ActivityClassification_initOutput(&activity_);
    vnx_ActivityClassification_initFormat(&activityFormat_);
    vnx_ButtonActivity_initOutput(&buttons_);
    vnx_ButtonActivity_initFormat(&buttonsFormat_);
}

SensorFusionDriver::~SensorFusionDriver()
{
    module_->term();
    ModuleFactory::destroyModule(module_);
}

int SensorFusionDriver::init(const scdGen4Float_s& scd, const vnx_dcdData_s* dcd)
{
    scd_ = scd;
    int scdOffset = 0;
    int dcdOffset = 0;
    return module_->init(&scd_.head, scdOffset, dcd, dcdOffset);
}

int SensorFusionDriver::process(const MotionSample& sample)
{
    const vnx_StructOutput_s* inputs[] = {&sample.output6AG.output, &button_.output};
    const vnx_StructFormat_s* formats[] = {&sampleFormat_, &buttonFormat_};
    vnx_StructOutput_s* outputs[] = {&motion_.output, &activity_.output, &buttons_.output};
    vnx_StructFormat_s* outputFormats[] = {&motionFormat_.format, &activityFormat_, &buttonsFormat_};
    const int result = module_->process(kSixAxisInterface, 2, inputs, formats, 0, 3, outputs, outputFormats);
    // The engine works in the device's own axes.
    const auto* fusion = dynamic_cast<const SensorFusion*>(module_);
    const auto* perDevice =
        fusion != nullptr ? dynamic_cast<const SensorFusionPerDevice*>(fusion->fusionChild()) : nullptr;
    if (perDevice != nullptr && perDevice->engine() != nullptr) {
        const auto& zro = perDevice->engine()->zroOutput().zro;
        removedOffset_ = {zro[0].value(), zro[1].value(), zro[2].value()};
    }
    return result;
}

int SensorFusionDriver::dcd(dcdAlg49AxisFixed_s& out) const
{
    std::memset(&out, 0, sizeof out);
    int offset = 0;
    return module_->getDcd(&out.head, sizeof out, offset);
}

Quatd SensorFusionDriver::orientation() const
{
    // The motion output carries the world seen from the device.
    const vnx_Number32_u* q = motion_.quaternion;
    return {q[0].real, -q[1].real, -q[2].real, -q[3].real};
}

MobileDriver::MobileDriver(const scdGen4Float_s& scd, const std::uint8_t* dcd, std::size_t dcdSize)
    : scd_(scd)
{
    vnx_Mobile_Configuration_s config;
    vnx_Mobile_getDefaults(&config);
    config.scd = &scd_.head;
    config.scdSize = sizeof scd_;
    config.dcd = reinterpret_cast<const vnx_dcdData_s*>(dcd);
    config.dcdSize = dcdSize;
    initStatus_ = vnx_Mobile_initialize(&handle_, &config);
    if (handle_ == nullptr)
        return;
    vnx_Mobile_VirtualSensorPeriods_s wanted{};
    wanted.periodUs[VNX_MOBILE_GAME_ROTATION_VECTOR] = kPeriodUs;
    wanted.periodUs[VNX_MOBILE_UNCALIBRATED_ROTATION_RATE] = kPeriodUs;
    vnx_Mobile_PhysicalSensorPeriods_s sensors{};
    vnx_Mobile_enableOutputPeriodsAndDeriveInputPeriods(handle_, &wanted, &sensors);
    sensors.magnetometerUs = 0;
    vnx_Mobile_setInputPeriods(handle_, &sensors);
    fusionTicks_ = sensors.fusionUs > 0;
}

MobileDriver::~MobileDriver()
{
    vnx_Mobile_finalize(handle_);
}

int MobileDriver::process(const MotionSample& sample)
{
    const auto& s = sample.output6AG;
    int failures = 0;
    failures += vnx_Mobile_reportAcc(handle_, sample.timeUs, s.accelerometer[0], s.accelerometer[1],
                                     s.accelerometer[2]) != VNX_STATUS_SUCCESS;
    failures += vnx_Mobile_reportGyro(handle_, sample.timeUs, s.gyroscope[0], s.gyroscope[1], s.gyroscope[2],
                                      s.temperature) != VNX_STATUS_SUCCESS;
    if (fusionTicks_)
        failures += vnx_Mobile_reportFusionTick(handle_, sample.timeUs) != VNX_STATUS_SUCCESS;
    for (int calls = 0; calls < 64; ++calls) {
        vnx_Mobile_Output_s out;
        std::uint8_t flag = 0;
        const int status = vnx_Mobile_process(handle_, &out, &flag);
        if (status == VNX_STATUS_WARNING_WAITING_FOR_FUSION)
            return failures;
        if (status != VNX_STATUS_SUCCESS)
            return failures + 1;
        if ((out.validBits & VNX_MOBILE_BIT_GAME_ROTATION_VECTOR) != 0)
            orientation_ = bodyToWorldOfClient(out.gameRotationVector);
        // A sample the engine takes for a device at rest reports its whole
        // rate as the bias and a calibrated rate of exactly zero; that is
        // no learned offset.
        const bool atRest =
            out.rotationRate[0] == 0.0f && out.rotationRate[1] == 0.0f && out.rotationRate[2] == 0.0f;
        if ((out.validBits & VNX_MOBILE_BIT_UNCALIBRATED_ROTATION_RATE) != 0 && !atRest)
            removedOffset_ = deviceAxesOfClient(out.rotationRateBias);
    }
    return failures + 1;
}

int MobileDriver::dcd(std::uint8_t* buffer, std::size_t size) const
{
    std::size_t written = 0;
    return vnx_Mobile_getDynamicCalibration(handle_, buffer, size, &written);
}

} // namespace vnx::testsupport
