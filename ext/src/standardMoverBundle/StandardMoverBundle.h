#pragma once

// The relative-motion counterpart of the desktop chain: the StandardBundle
// (nine-axis interpretation, activity, fusion, relative cursor) with, around
// it, the ButtonMapper, the CursorMover, the MotionPipe and the LinearGesture
// and CursorGesture recognisers. Every child runs on every sample. The bundle
// has no settings of its own.

#include <array>
#include <cstdint>

#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "standardMoverBundle/StandardMoverBundleRecords.h"

namespace vnx {

class StandardMoverBundle : public ModuleInterface
{
    VNX_EXT_LOG_DEFAULT(StandardMoverBundle);

  public:
    /// Output slots of one sample.
    static constexpr size_t kOutputs = 8;

    /// Creates the six children under this module's node; an absent one
    /// answers -14 where it is called.
    StandardMoverBundle();
    ~StandardMoverBundle() override;
    StandardMoverBundle(const StandardMoverBundle&) = delete;
    StandardMoverBundle& operator=(const StandardMoverBundle&) = delete;

    /// Every child: the first negative result, else the last warning.
    int setModuleListener(ModuleListenerInterface* listener) override;
    /// A record of type 105 is accepted and left as it is (0); others are
    /// offered to the children in order while they answer -3.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    /// The StandardBundle's learned calibration.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// The StandardBundle's input interfaces.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    /// One output interface: ActivityClassification, SensorFusion,
    /// StandardCursor, ButtonActivity, DeviceMotionFloat, ButtonMapper,
    /// LinearGesture, CursorGesture.
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample into the 8 output slots: -17 for an input interface other
    /// than the StandardBundle's three, -24 for another output count, -2
    /// for inputs that do not hold the interface's button record or slots
    /// that cannot take its copy; nothing is written in these cases. A
    /// child's negative result ends the sample (earlier slots stay written).
    /// Slot 4 keeps what the caller put there.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    /// The children in the order of every chained operation.
    enum Child_e
    {
        kStandardBundle,
        kCursorMover,
        kButtonMapper,
        kMotionPipe,
        kLinearGesture,
        kCursorGesture,
        kChildCount
    };

    std::array<ModuleInterface*, kChildCount> modules_{};
};

} // namespace vnx
