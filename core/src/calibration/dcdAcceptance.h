#pragma once

// The one acceptance check of a DCD offered at init, shared by every module
// and engine that restores learned state (and by the DCD store of the device
// layer): the 184-byte version-13 form is tried first, then the 260-byte
// version-27 form; a form counts only with the right size, version and CRC-32
// of its own bytes, and its state is used only when it was learned with the
// SCD in use (same SCD CRC-32).
//
// The block is copied before any field is read: DCDs come from files and
// clients at any 2-byte boundary, and the copy is aligned.

#include <cstddef>
#include <cstdint>

#include "calibration/dcdData.h"
#include "common/statusCode.h"

namespace vnx {

/// What init may take from an offered DCD.
class AcceptedDcd
{
  public:
    enum class Form
    {
        None,     ///< no valid form
        GyroOnly, ///< the 184-byte version-13 form
        NineAxis, ///< the 260-byte version-27 form
    };

    /// 0 (SUCCESS): a valid form of this SCD, its parts are used;
    /// 1 (WARNING_DCD_SCD_MISMATCH): a valid form of another SCD, nothing is
    /// used; 2 (WARNING_INVALID_DCD): no valid form (also for none at all).
    int status() const { return status_; }
    /// The valid form found, whether or not its SCD matched.
    Form form() const { return form_; }

    // The parts to restore; null unless the status is 0 and the form has them.
    const dcdAlg4MinFixedInnards_s* innards() const;
    const dcdMagAmpCal_s* magnetometer() const;
    const dcdAccOffsetCal_s* accelerometer() const;
    /// The whole 260-byte form (for words only one user reads).
    const dcdAlg49AxisFixed_s* nineAxis() const;

  private:
    friend AcceptedDcd acceptDcd(const vnx_dcdData_s* dcd, std::size_t available, std::uint32_t scdCrc);

    int status_ = VNX_STATUS_WARNING_INVALID_DCD;
    Form form_ = Form::None;
    union {
        dcdAlg4MinFixed_s gyroOnly;
        dcdAlg49AxisFixed_s nineAxis;
    } block_{};
};

/// Checks the DCD at `dcd` (null: none) against the SCD CRC-32 `scdCrc`.
/// `available` is how many bytes may be read there: a form longer than that
/// is not read at all (pass SIZE_MAX when the block's own size word is all
/// that is known).
AcceptedDcd acceptDcd(const vnx_dcdData_s* dcd, std::size_t available, std::uint32_t scdCrc);

} // namespace vnx
