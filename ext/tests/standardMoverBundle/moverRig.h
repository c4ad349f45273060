#pragma once

// A client of the StandardMoverBundle as a device's module host uses it: the
// bundle created by type id, its eight output records made by their
// factories after its output interface, and one raw sample per call on the
// StandardBundle's interface 0 (accelerometer, gyroscope, buttons). Slot 4,
// which no child writes, is filled with a marker. Every CursorMover made
// meanwhile gets a recording platform.

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactory.h"
#include "sensorFusionModule/fusionRig.h"
#include "support/recordingCursorPlatform.h"

namespace moverTest {

using Bytes = std::vector<uint8_t>;

inline void appendRecord(Bytes& bytes, const void* record)
{
    const auto* begin = static_cast<const uint8_t*>(record);
    bytes.insert(bytes.end(), begin, begin + static_cast<const vnx_Struct_s*>(record)->size);
}

class MoverRig
{
  public:
    static constexpr size_t kSlots = 8;
    static constexpr uint8_t kMarker = 0x5A;

    MoverRig()
    {
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_STANDARD_MOVER_BUNDLE);
        if (module_ == nullptr) {
            ADD_FAILURE() << "no StandardMoverBundle";
            return;
        }
        size_t count = 0;
        uint8_t types[kSlots] = {};
        EXPECT_EQ(module_->getOutputInterface(0, kSlots, types, count), 0);
        for (uint8_t type : types) {
            outputs_.push_back(vnx::ModuleFactory::createOutput(type));
            formats_.push_back(vnx::ModuleFactory::createFormat(type));
        }
        auto* motion = reinterpret_cast<uint8_t*>(outputs_[4]);
        std::memset(motion + sizeof(vnx_Struct_s), kMarker, outputs_[4]->header.size - sizeof(vnx_Struct_s));

        vnx_DeviceSupport_initOutput(&acc_);
        acc_.sensor = VNX_DEVICE_SUPPORT_ACCELEROMETER;
        acc_.z = -16384;
        vnx_DeviceSupport_initOutput(&gyro_);
        gyro_.sensor = VNX_DEVICE_SUPPORT_GYROSCOPE;
        vnx_DeviceSupport_initFormat(&sampleFormat_);
        vnx_ButtonActivity_initOutput(&buttons_);
        vnx_ButtonActivity_initFormat(&buttonFormat_);
    }
    ~MoverRig()
    {
        for (size_t i = 0; i < outputs_.size(); ++i) {
            vnx::ModuleFactory::destroyOutput(outputs_[i]);
            vnx::ModuleFactory::destroyFormat(formats_[i]);
        }
        vnx::ModuleFactory::destroyModule(module_);
    }
    MoverRig(const MoverRig&) = delete;
    MoverRig& operator=(const MoverRig&) = delete;

    vnx::ModuleInterface& module() { return *module_; }
    vnx::testsupport::RecordingCursorPlatform& platform() { return *platforms_.newest(); }

    int init()
    {
        scd_ = sensorFusionTest::testDevice().build();
        int scdOffset = 0;
        int dcdOffset = 0;
        return module_->init(&scd_.head, scdOffset, nullptr, dcdOffset);
    }

    /// One raw sample with `buttons` down on interface 0 (or `inputInterface`),
    /// giving `inputCount` inputs and `outputCount` slots.
    int step(uint32_t buttons = 0, int inputInterface = 0, size_t inputCount = 3, size_t outputCount = kSlots)
    {
        sampleFormat_.sampleNumber = ++sampleNumber_;
        gyro_.y = static_cast<int16_t>(200 + sampleNumber_ % 50);
        buttons_.buttons = buttons;
        const vnx_StructOutput_s* inputs[] = {&acc_.output, &gyro_.output, &buttons_.output, &buttons_.output};
        const vnx_StructFormat_s* formats[] = {&sampleFormat_.format, &sampleFormat_.format, &buttonFormat_,
                                               &buttonFormat_};
        return process(inputInterface, inputCount, inputs, formats, outputCount);
    }

    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** formats, size_t outputCount = kSlots)
    {
        // Room for the slots a wrong count may name.
        std::vector<vnx_StructOutput_s*> outputs(outputs_);
        std::vector<vnx_StructFormat_s*> outputFormats(formats_);
        outputs.resize(std::max(outputCount, kSlots), nullptr);
        outputFormats.resize(std::max(outputCount, kSlots), nullptr);
        return module_->process(inputInterface, inputCount, inputs, formats, 0, outputCount, outputs.data(),
                                outputFormats.data());
    }

    /// Every output and format record's bytes, to see what a call wrote.
    std::vector<Bytes> snapshot() const
    {
        std::vector<Bytes> all;
        for (size_t i = 0; i < kSlots; ++i) {
            all.emplace_back();
            appendRecord(all.back(), outputs_[i]);
            appendRecord(all.back(), formats_[i]);
        }
        return all;
    }

    template <class Record> Record& output(size_t i) { return *reinterpret_cast<Record*>(outputs_.at(i)); }
    vnx_StructOutput_s* outputRecord(size_t i) { return outputs_.at(i); }
    vnx_StructFormat_s* formatRecord(size_t i) { return formats_.at(i); }

    vnx_DeviceSupport_Output_s acc_;
    vnx_DeviceSupport_Output_s gyro_;
    vnx_DeviceSupport_Format_s sampleFormat_;
    vnx_ButtonActivity_Output_s buttons_;
    vnx_ButtonActivity_Format_s buttonFormat_;

  private:
    vnx::testsupport::RecordingCursorPlatforms platforms_;
    vnx::ModuleInterface* module_ = nullptr;
    scdGen4Float_s scd_{};
    uint32_t sampleNumber_ = 0;
    std::vector<vnx_StructOutput_s*> outputs_;
    std::vector<vnx_StructFormat_s*> formats_;
};

} // namespace moverTest
