#pragma once

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/moduleConfigInterface.h"

// The device's static (SCD) and learned (DCD) calibration blocks; their layout
// belongs to the calibration records.
struct vnx_scdData_s;
struct vnx_dcdData_s;

namespace vnx {

/// The interface of every algorithm module: configuration (base class),
/// calibration life cycle, interface description and sample processing. The
/// order of the operations is part of the binary interface between the libraries.
class ModuleInterface : public ModuleConfigInterface
{
  public:
    /// Called once before the first process (again to restart). The offsets are
    /// where this module's share of each block starts; a module that takes a
    /// share moves the offset past it.
    virtual int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) = 0;
    virtual int term() = 0;
    /// Writes the learned calibration at dcdOffset and advances it; -11 when
    /// `capacity` bytes leave no room for this module's share.
    virtual int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const = 0;

    /// Interfaces are numbered 0 to count - 1. For a valid index, sets `count`
    /// to the number of records per call and, when `capacity` suffices, writes
    /// their type ids and returns 0; else -11 (count still set). An index out of
    /// range gives -17 and sets nothing.
    virtual int getInputInterfaceCount() const = 0;
    virtual int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const = 0;
    virtual int getOutputInterfaceCount() const = 0;
    virtual int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const = 0;

    /// Reads `inputCount` Output records with their Formats (parallel arrays) of
    /// the chosen input interface and writes the caller-owned, initialised
    /// Output and Format records of the chosen output interface.
    virtual int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                        const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                        vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) = 0;
};

} // namespace vnx
