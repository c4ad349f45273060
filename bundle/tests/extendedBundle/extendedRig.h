#pragma once

// A client of the ExtendedBundle: creates it by type id and feeds it one
// DeviceSupport6AG sample and one ButtonActivity record per call on input
// interface 5, as the pipe bundle of a presenter does.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "activityClassification/ActivityClassificationRecords.h"
#include "bundleCommon/bundleModuleType.h"
#include "bundleTestSupport/bundleLibraries.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "calibration/scdData.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "extendedBundle/ExtendedBundle.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorFusionModule/fusionRig.h"

namespace bundleTest {

using Counts = sensorFusionTest::Counts;
using sensorFusionTest::kFlat;
using sensorFusionTest::kNoRotation;
using sensorFusionTest::testDevice;

class ExtendedRig
{
  public:
    ExtendedRig()
    {
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_EXTENDED_BUNDLE);
        clearOutputs();
    }
    ~ExtendedRig() { vnx::ModuleFactory::destroyModule(module_); }
    ExtendedRig(const ExtendedRig&) = delete;
    ExtendedRig& operator=(const ExtendedRig&) = delete;

    int init(const scdGen4Float_s& scd)
    {
        scd_ = scd;
        int scdOffset = 0;
        int dcdOffset = 0;
        return module_->init(&scd_.head, scdOffset, nullptr, dcdOffset);
    }

    /// One sample on interface 5 with the next sample number.
    int step(const Counts& acc, const Counts& gyro, uint32_t buttons = 0)
    {
        vnx_DeviceSupport6AG_Output_s sample = freshRecord(vnx_DeviceSupport6AG_initOutput);
        sample.sampleNumber = ++sampleNumber_;
        for (int i = 0; i < 3; ++i) {
            sample.accelerometer[i] = acc[i];
            sample.gyroscope[i] = gyro[i];
        }
        button = freshRecord(vnx_ButtonActivity_initOutput);
        button.activity = 0;
        button.buttons = buttons;
        vnx_DeviceSupport6AG_Format_s format = freshRecord(vnx_DeviceSupport6AG_initFormat);
        vnx_ButtonActivity_Format_s buttonFormat = freshRecord(vnx_ButtonActivity_initFormat);
        const vnx_StructOutput_s* inputs[] = {&sample.output, &button.output};
        const vnx_StructFormat_s* formats[] = {&format, &buttonFormat};
        return process(5, 2, inputs, formats, 0, 5);
    }

    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** formats, int outputInterface, size_t outputCount)
    {
        vnx_StructOutput_s* outputs[] = {&activity.output, &fusion.output, &cursor.output, &buttons.output,
                                         &motionFloat.output};
        vnx_StructFormat_s* outputFormats[] = {&activityFormat, &fusionFormat.format, &cursorFormat.format,
                                               nullptr, nullptr};
        return module_->process(inputInterface, inputCount, inputs, formats, outputInterface, outputCount,
                                outputs, outputFormats);
    }

    void clearOutputs()
    {
        activity = freshRecord(vnx_ActivityClassification_initOutput);
        activityFormat = freshRecord(vnx_ActivityClassification_initFormat);
        fusion = freshRecord(vnx_SensorFusion_initOutput);
        fusionFormat = freshRecord(vnx_SensorFusion_initFormat);
        cursor = freshRecord(vnx_ExtendedCursor_initOutput);
        cursorFormat = freshRecord(vnx_ExtendedCursor_initFormat);
        buttons = freshRecord(vnx_ButtonActivity_initOutput);
        motionFloat = freshRecord(vnx_DeviceMotionFloat_initOutput);
    }

    /// Sets the wake-on-shake preset through the bundle's own Config.
    int setWakeMode(uint32_t mode)
    {
        vnx_ExtendedBundle_Config_s config = freshRecord(vnx_ExtendedBundle_initConfig);
        config.cursorWakeOnShakeConfig.mode = mode;
        return module_->setConfig(&config.config);
    }

    int cursorCommand(uint32_t code)
    {
        vnx_ExtendedCursor_Command_s command = freshRecord(vnx_ExtendedCursor_initCommand);
        command.code = code;
        return module_->sendCommand(&command.command);
    }

    /// The activity child's still time, set through the bundle's routing.
    int setStillTime(uint16_t seconds)
    {
        vnx_ActivityClassification_Config_s config = freshRecord(vnx_ActivityClassification_initConfig);
        const int read = module_->getConfig(&config.config);
        if (read != 0) {
            return read;
        }
        config.stillTimeS = seconds;
        return module_->setConfig(&config.config);
    }

    vnx::ModuleInterface* module() { return module_; }
    vnx::ExtendedBundle& bundle() { return *dynamic_cast<vnx::ExtendedBundle*>(module_); }

    vnx_ButtonActivity_Output_s button{};
    vnx_ActivityClassification_Output_s activity;
    vnx_ActivityClassification_Format_s activityFormat;
    vnx_SensorFusion_Output_s fusion;
    vnx_SensorFusion_Format_s fusionFormat;
    vnx_ExtendedCursor_Output_s cursor;
    vnx_ExtendedCursor_Format_s cursorFormat;
    vnx_ButtonActivity_Output_s buttons;
    vnx_DeviceMotionFloat_Output_s motionFloat;

  private:
    vnx::ModuleInterface* module_ = nullptr;
    scdGen4Float_s scd_{};
    int32_t sampleNumber_ = 0;
};

} // namespace bundleTest
