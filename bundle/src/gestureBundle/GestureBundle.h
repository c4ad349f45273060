#pragma once

#include <array>
#include <cstdint>

#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "gestureBundle/GestureBundleRecords.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

/// A container of up to four gesture recognisers (LinearGesture,
/// CursorGesture, MultistrokeGesture) that a client adds and removes by
/// command at run time. Each sample feeds every recogniser the fused motion
/// or the cursor output its type reads and returns one output per
/// recogniser; Configs and Commands reach a single recogniser by the
/// instance id in their header. Additions and removals are reported to the
/// listener as Status records.
class GestureBundle : public ModuleInterface
{
    VNX_LOG_DEFAULT_BLOCK("vnxLogOrphan");

  public:
    static constexpr int kMaxModules = 4;

    GestureBundle();
    ~GestureBundle() override;
    GestureBundle(const GestureBundle&) = delete;
    GestureBundle& operator=(const GestureBundle&) = delete;

    /// Keeps the listener and passes it to each recogniser in order; the
    /// first non-zero result ends the chain.
    int setModuleListener(ModuleListenerInterface* listener) override;
    /// Its own Config: 0. Others: the recogniser whose instance id is the
    /// record's instance field, else -3.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Its own Command: 0 nothing, 1 add, 2 remove, other codes -9. Others:
    /// routed by instance id as Configs are.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Keeps copies of the calibration blocks (for recognisers added later),
    /// then initialises every recogniser in order.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    /// Nothing to store: 0.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: 0 SensorFusion and StandardCursor, 1 SensorFusion and
    /// ExtendedCursor. Out: the recognisers' types in order.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Runs each recogniser on its input into output slot i, stamped with the
    /// recogniser's instance id. -2 for a bad interface or input count; with
    /// recognisers, -24 unless there is one output slot per recogniser.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    int moduleCount() const { return moduleCount_; }
    const ModuleInterface* module(int index) const { return modules_[index]; }
    /// The instance id a recogniser is addressed by.
    static uint64_t instanceIdOf(const ModuleInterface* module);

  private:
    int addModule(uint8_t type);
    int removeModule(uint64_t instanceId);
    /// The index of the recogniser with the instance id, or -1.
    int indexOf(uint64_t instanceId) const;
    void reportEvent(uint32_t event, uint8_t type, uint64_t instanceId);
    /// Logs a non-zero result of a chained call and returns it.
    int logged(int result, const char* call) const;

    int32_t moduleCount_ = 0;
    bool cursorGestureAdded_ = false;
    std::array<uint8_t, kMaxModules> types_{};
    std::array<ModuleInterface*, kMaxModules> modules_{};
    ModuleListenerInterface* listener_ = nullptr; ///< not owned
    bool initialised_ = false;
    union alignas(8) {
        vnx_scdData_s scd;
        uint8_t bytes[272];
    } scdMemory_{};
    union alignas(8) {
        vnx_dcdData_s dcd;
        uint8_t bytes[260];
    } dcdMemory_{};
    int32_t scdOffset_ = 0;
    int32_t dcdOffset_ = 0;
};

} // namespace vnx
