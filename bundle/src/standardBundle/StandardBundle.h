#pragma once

#include <array>
#include <cstdint>

#include "buttonActivity/ButtonActivityRecords.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"
#include "standardBundle/StandardBundleRecords.h"

namespace vnx {

/// The bundle of nine-axis devices with the simple cursor: raw DeviceSupport
/// samples (or interpreted motion) in; activity flags, fused motion and
/// relative pointer counts out. Configs and Commands are routed to its
/// children by the record's type.
///
/// Its fusion child (type 17) has no module in this system unless a library
/// registers one; while it is absent, every operation that would call it
/// answers -14 (NOT_ACTIVE), after the children before it in that operation
/// have run.
class StandardBundle : public ModuleInterface
{
  public:
    StandardBundle();
    ~StandardBundle() override;
    StandardBundle(const StandardBundle&) = delete;
    StandardBundle& operator=(const StandardBundle&) = delete;

    /// The activity child, then the fusion child; the other two get none.
    int setModuleListener(ModuleListenerInterface* listener) override;
    /// By type: 64 the stored Config; 6 the cursor; 3 the fusion; others -3.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// By type: 6 the cursor; 3 the fusion; 64 configures cursor and fusion
    /// from the bundle Config; others -3.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Only type 64: translated into a fusion Command.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Initialises the children in the order 16, 17, 6, 4, then applies the
    /// stored Config.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    /// The interpretation's share, then the fusion's.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: 0 two DeviceSupport and a ButtonActivity; 1 three DeviceSupport and
    /// a ButtonActivity; 2 a SensorInterpretation and a ButtonActivity.
    /// Out: ActivityClassification, SensorFusion, StandardCursor.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample. -2, nothing written, unless exactly the records of the
    /// input interface (the button record last) and three output slots.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    enum Child_e
    {
        kInterpretation,
        kFusion,
        kCursor,
        kActivity,
        kChildCount
    };

    int applyConfig(const vnx_StandardBundle_Config_s& config);

    std::array<ModuleInterface*, kChildCount> children_{};
    vnx_StandardBundle_Config_s config_;

    // Per-sample records, kept here so that a sample allocates nothing: the
    // interpretation child's own records, whose embedded SensorInterpretation
    // pair the later children read, and the sample's button record.
    vnx_SensorInterpretation9Axis_Output_s interpreted_;
    vnx_SensorInterpretation9Axis_Format_s interpretedFormat_;
    vnx_ButtonActivity_Output_s buttons_;
};

} // namespace vnx
