// What the core library promises to threads: each thread may create, feed
// and destroy modules and mobile engines of its own while other threads do
// the same; creation, destruction and registration share one lock, and no
// per-sample call takes it.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "moduleFactory/moduleApi.h"
#include "sensorFusionMobile/mobileApi.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/ScdBuilder.h"

namespace {

using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

scdGen4Float_s device()
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.001f) * I)
        .gyroNoise(4, 4, 4)
        .deviceKind(1)
        .build();
}

/// One SensorFusion module through the flat API: created, fed a slow turn,
/// destroyed. False when a call failed or the orientation is not a unit
/// quaternion.
bool runModule(const scdGen4Float_s& scd, int samples)
{
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(VNX_TYPE_SENSOR_FUSION);
    if (handle == nullptr)
        return false;
    int scdOffset = 0;
    int dcdOffset = 0;
    bool ok = vnx_Module_init(handle, &scd.head, &scdOffset, nullptr, &dcdOffset) >= 0;
    vnx_DeviceSupport6AG_Output_s sample;
    std::memset(&sample, 0, sizeof sample);
    vnx_DeviceSupport6AG_initOutput(&sample);
    vnx_DeviceSupport6AG_Format_s format;
    vnx_DeviceSupport6AG_initFormat(&format);
    vnx_ButtonActivity_Output_s button;
    std::memset(&button, 0, sizeof button);
    vnx_ButtonActivity_initOutput(&button);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    vnx_SensorFusion_Output_s motion;
    vnx_SensorFusion_initOutput(&motion);
    vnx_SensorFusion_Format_s motionFormat;
    vnx_SensorFusion_initFormat(&motionFormat);
    vnx_ActivityClassification_Output_s activity;
    std::memset(&activity, 0, sizeof activity);
    vnx_ActivityClassification_initOutput(&activity);
    vnx_ActivityClassification_Format_s activityFormat;
    vnx_ActivityClassification_initFormat(&activityFormat);
    vnx_ButtonActivity_Output_s buttons;
    std::memset(&buttons, 0, sizeof buttons);
    vnx_ButtonActivity_initOutput(&buttons);
    vnx_ButtonActivity_Format_s buttonsFormat;
    vnx_ButtonActivity_initFormat(&buttonsFormat);
    for (int i = 1; ok && i <= samples; ++i) {
        sample.sampleNumber = i;
        sample.accelerometer[2] = -16384;
        sample.gyroscope[2] = 200;
        const vnx_StructOutput_s* inputs[] = {&sample.output, &button.output};
        const vnx_StructFormat_s* formats[] = {&format, &buttonFormat};
        vnx_StructOutput_s* outputs[] = {&motion.output, &activity.output, &buttons.output};
        vnx_StructFormat_s* outputFormats[] = {&motionFormat.format, &activityFormat, &buttonsFormat};
        const int status = vnx_Module_process(handle, 5, 2, inputs, formats, 0, 3, outputs, outputFormats);
        ok = status == VNX_STATUS_SUCCESS || status == VNX_STATUS_WARNING_WAITING_FOR_FUSION;
    }
    double norm = 0.0;
    for (const vnx_Number32_u& part : motion.quaternion)
        norm += double{part.real} * part.real;
    ok = ok && std::fabs(std::sqrt(norm) - 1.0) < 1e-3;
    return vnx_ModuleFactory_destroyModule(handle) == VNX_STATUS_SUCCESS && ok;
}

/// One mobile engine: created, fed, its DCD read, finalized.
bool runEngine(const scdGen4Float_s& scd, int samples)
{
    vnx_Mobile_Configuration_s config;
    vnx_Mobile_getDefaults(&config);
    config.scd = &scd.head;
    config.scdSize = sizeof scd;
    vnx_Mobile_Handle handle = nullptr;
    if (vnx_Mobile_initialize(&handle, &config) < 0)
        return false;
    vnx_Mobile_VirtualSensorPeriods_s wanted{};
    wanted.periodUs[VNX_MOBILE_GAME_ROTATION_VECTOR] = 8000;
    vnx_Mobile_PhysicalSensorPeriods_s sensors{};
    bool ok = vnx_Mobile_enableOutputPeriodsAndDeriveInputPeriods(handle, &wanted, &sensors) == 0 &&
              vnx_Mobile_setInputPeriods(handle, &sensors) == 0;
    for (int i = 1; ok && i <= samples; ++i) {
        const std::uint32_t t = 8000u * static_cast<std::uint32_t>(i);
        vnx_Mobile_reportAcc(handle, t, 0, 0, -16384);
        vnx_Mobile_reportGyro(handle, t, 0, 0, 200, 0);
        vnx_Mobile_reportFusionTick(handle, t);
        vnx_Mobile_Output_s out;
        std::uint8_t flag = 0;
        for (int calls = 0; calls < 64 && vnx_Mobile_process(handle, &out, &flag) == 0; ++calls) {
        }
    }
    std::uint8_t dcd[260];
    std::size_t written = 0;
    ok = ok && vnx_Mobile_getDynamicCalibration(handle, dcd, sizeof dcd, &written) == 0;
    vnx_Mobile_finalize(handle);
    return ok;
}

TEST(Threads, ModulesAndEnginesOfTheirOwnOnThreeThreadsAtOnce)
{
    vnx_core_initialize();
    const scdGen4Float_s scd = device();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 10; ++round) {
                failures += runModule(scd, 100) ? 0 : 1;
                failures += runEngine(scd, 100) ? 0 : 1;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    vnx_core_finalize();
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
