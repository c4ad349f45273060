#pragma once

// Hands the result of a cursor engine and of the ButtonMapper to the
// platform layer that moves the system pointer and presses mouse buttons:
// per sample it picks one platform operation (move to a position, move by a
// delta, hide the pointer, or only buttons) by its mode.

#include <cstdint>
#include <memory>

#include "buttonMapper/ButtonMapperRecords.h"
#include "cursorMover/CursorMoverPlatform.h"
#include "cursorMover/CursorMoverRecords.h"
#include "moduleFactory/moduleInterface.h"

class CursorMover : public vnx::ModuleInterface
{
  public:
    /// Makes the platform of a new CursorMover.
    using PlatformMaker = std::unique_ptr<CursorMoverPlatform> (*)(CursorMover& owner);

    /// Installs the maker of the platform of every CursorMover created from
    /// now on (null: the platform that makes no system call); returns the one
    /// before. Set it before threads create modules.
    static PlatformMaker setPlatformMaker(PlatformMaker maker);

    /// With the installed platform, named "Linux" under this module.
    CursorMover();
    /// With the platform `maker` makes (null: the default one).
    explicit CursorMover(PlatformMaker maker);
    ~CursorMover() override;
    CursorMover(const CursorMover&) = delete;
    CursorMover& operator=(const CursorMover&) = delete;

    /// 0; nothing to listen to.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// Its own Config (56 bytes) or the ButtonMapper Config it holds (128
    /// bytes); -3 for other types.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Its own Config or a ButtonMapper Config: kept and handed to the
    /// platform; -3 for other types.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Code 0 sets the pointer area, code 1 sends a button event, other codes
    /// do nothing (0); -3 for Commands of other types.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// The platform's init and term.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// One input interface taking any records; no output interface.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One platform operation for the sample's cursor and button records (see
    /// the mode); always 0.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    CursorMoverPlatform& platform() const { return *platform_; }

  private:
    /// Moves the pointer by the StandardCursor Output of input `index`.
    void moveByCounts(int index, const vnx_StructOutput_s** inputs, const vnx_StructFormat_s** inputFormats,
                      const vnx_ButtonMapper_Output_s& buttons);

    vnx_CursorMover_Config_s config_;
    vnx_ButtonMapper_Config_s buttonMapperConfig_;
    vnx_CursorMover_Bounds_s bounds_;
    std::unique_ptr<CursorMoverPlatform> platform_;
};
