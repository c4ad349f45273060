#pragma once

// A client of the ExtendedPipeBundle as a device's module host uses it: the
// three libraries started, the bundle created by type id, its output records
// made by their factories after the bundle's output interface (and made
// again when that changes), and one presenter sample per call on the
// DeviceSupport6AG interface from a generated hand-motion trace. Every
// CursorMover made meanwhile gets a recording platform.

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "bundleEntry/bundleEntry.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "extCommon/extModuleType.h"
#include "extEntry/extEntry.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "extendedPipeBundle/ExtendedPipeBundle.h"
#include "moduleFactory/ModuleFactory.h"
#include "support/MotionTrace.h"
#include "support/fusionScenarios.h"
#include "support/recordingCursorPlatform.h"

namespace pipeBundleTest {

using vnx::testsupport::MotionTrace;

/// Starts the three libraries in the client's order and stops them again.
struct Libraries
{
    Libraries()
    {
        vnx_core_initialize();
        vnx_bundle_initialize();
        vnx_ext_initialize();
    }
    ~Libraries()
    {
        vnx_ext_finalize();
        vnx_bundle_finalize();
        vnx_core_finalize();
    }
};

/// The desktop client's cursor settings.
inline void desktopCursor(vnx_ExtendedCursor_Config_s& config)
{
    config.curveSelector = 3;
    config.pointingMode = 3;
    config.viewingAngle = 0.5395598f;
}

class PipeBundleRig
{
  public:
    /// Input interface of one DeviceSupport6AG sample and its buttons.
    static constexpr int kSampleInterface = 5;

    explicit PipeBundleRig(uint64_t seed = 1)
        : scd_(vnx::testsupport::realisticDevice().build()),
          trace_(scd_, vnx::testsupport::realisticNoise(seed, {0.01, -0.02, 0.005}))
    {
        vnx::testsupport::handMotion(trace_, 600.0);
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_EXTENDED_PIPE_BUNDLE);
        vnx_ButtonActivity_initOutput(&button_);
        vnx_ButtonActivity_initFormat(&buttonFormat_);
        reshape();
    }
    ~PipeBundleRig()
    {
        freeOutputs();
        vnx::ModuleFactory::destroyModule(module_);
    }
    PipeBundleRig(const PipeBundleRig&) = delete;
    PipeBundleRig& operator=(const PipeBundleRig&) = delete;

    vnx::ModuleInterface& module() { return *module_; }
    vnx::ExtendedPipeBundle& bundle() { return *dynamic_cast<vnx::ExtendedPipeBundle*>(module_); }
    /// The recording platform of the bundle's CursorMover.
    vnx::testsupport::RecordingCursorPlatform& platform() { return *platforms_.newest(); }

    int init()
    {
        int scdOffset = 0;
        int dcdOffset = 0;
        return module_->init(&scd_.head, scdOffset, nullptr, dcdOffset);
    }

    /// Makes one Output and Format record per type of the output interface,
    /// asking first for the count as a module host does.
    void reshape()
    {
        freeOutputs();
        size_t count = 0;
        ASSERT_EQ(module_->getOutputInterface(0, 0, nullptr, count), VNX_STATUS_SIZE_TOO_SMALL);
        types_.assign(count, 0);
        ASSERT_EQ(module_->getOutputInterface(0, types_.size(), types_.data(), count), 0);
        for (uint8_t type : types_) {
            outputs_.push_back(vnx::ModuleFactory::createOutput(type));
            formats_.push_back(vnx::ModuleFactory::createFormat(type));
        }
    }

    /// The next sample of the trace with `buttons` down, into `count` output
    /// slots (the shaped count by default).
    int step(uint32_t buttons = 0, size_t count = SIZE_MAX)
    {
        const vnx::testsupport::MotionSample* sample = trace_.next();
        if (sample == nullptr) {
            ADD_FAILURE() << "trace ended";
            return -1;
        }
        button_.buttons = buttons;
        const vnx_StructOutput_s* inputs[] = {&sample->output6AG.output, &button_.output};
        const vnx_StructFormat_s* formats[] = {&sample->format6AG, &buttonFormat_};
        if (count == SIZE_MAX) {
            count = outputs_.size();
        }
        // Room for the slots a wrong count may name.
        std::vector<vnx_StructOutput_s*> outputs(outputs_);
        std::vector<vnx_StructFormat_s*> outputFormats(formats_);
        outputs.resize(std::max(count, outputs.size()), nullptr);
        outputFormats.resize(std::max(count, outputFormats.size()), nullptr);
        return module_->process(kSampleInterface, 2, inputs, formats, 0, count, outputs.data(),
                                outputFormats.data());
    }

    /// Output slot `i` as a record of its own type.
    template <class Record> Record& output(size_t i) { return *reinterpret_cast<Record*>(outputs_.at(i)); }
    vnx_StructOutput_s* outputRecord(size_t i) { return outputs_.at(i); }
    vnx_StructFormat_s* formatRecord(size_t i) { return formats_.at(i); }
    const std::vector<uint8_t>& types() const { return types_; }

    /// An ExtendedCursor set-bounds command through the bundle.
    int setBounds(const vnx_ExtendedCursor_Bounds_s& osd, const vnx_ExtendedCursor_Bounds_s& limits)
    {
        vnx_ExtendedCursor_Command_s command;
        vnx_ExtendedCursor_initCommand(&command);
        command.code = ZEPHRA_CURSOR_COMMAND_SET_BOUNDS;
        command.data.setBounds = {osd, limits};
        return module_->sendCommand(&command.command);
    }
    /// A CursorMover Config of `mode` through the bundle.
    int setMoverMode(uint32_t mode)
    {
        vnx_CursorMover_Config_s config;
        vnx_CursorMover_initConfig(&config);
        config.mode = mode;
        return module_->setConfig(&config.config);
    }

  private:
    void freeOutputs()
    {
        for (vnx_StructOutput_s* record : outputs_) {
            vnx::ModuleFactory::destroyOutput(record);
        }
        for (vnx_StructFormat_s* record : formats_) {
            vnx::ModuleFactory::destroyFormat(record);
        }
        outputs_.clear();
        formats_.clear();
    }

    vnx::testsupport::RecordingCursorPlatforms platforms_;
    scdGen4Float_s scd_;
    MotionTrace trace_;
    vnx::ModuleInterface* module_ = nullptr;
    vnx_ButtonActivity_Output_s button_;
    vnx_ButtonActivity_Format_s buttonFormat_;
    std::vector<uint8_t> types_;
    std::vector<vnx_StructOutput_s*> outputs_;
    std::vector<vnx_StructFormat_s*> formats_;
};

} // namespace pipeBundleTest
