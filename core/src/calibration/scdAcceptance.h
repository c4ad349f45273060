#pragma once

// The one acceptance step of an SCD offered at init, shared by every module,
// engine and flat function that reads calibration fields: the block is copied
// into aligned storage of its own, then checked there once (260 bytes,
// version 5, words summing to zero). Readers take every field from the copy:
// SCDs come from files, devices and clients at any byte offset, and the
// offered block may go away after init.

#include <cstddef>
#include <cstdint>

#include "calibration/scdData.h"

namespace vnx {

/// What init may take from an offered SCD.
class AcceptedScd
{
  public:
    /// The block is the accepted form and sealed.
    bool valid() const { return valid_; }
    /// The aligned copy; null unless valid.
    const scdGen4Float_s* block() const { return valid_ ? &block_ : nullptr; }
    /// Its calibration fields; null unless valid.
    const scdGen4FloatInnards_s* innards() const { return valid_ ? &block_.innards : nullptr; }
    /// CRC-32 of the whole block (what a DCD learned with it carries); 0
    /// unless valid.
    std::uint32_t crc() const { return crc_; }
    /// Sample period in seconds: the usable period the block carries, else
    /// the default (also for a refused block).
    float periodS() const;
    /// The same in whole microseconds, truncated toward zero (8000 when the
    /// block carries none or is refused).
    std::int32_t periodUs() const;

  private:
    friend AcceptedScd acceptScd(const void* scd, std::size_t available);

    bool valid_ = false;
    std::uint32_t crc_ = 0;
    scdGen4Float_s block_{};
};

/// Copies and checks the SCD at `scd` (null: none). `available` is how many
/// bytes may be read there: a block longer than that is refused unread (pass
/// SIZE_MAX when the block's own size word is all that is known). Only the
/// 4-byte head is read before the size word has promised the whole block.
AcceptedScd acceptScd(const void* scd, std::size_t available);

} // namespace vnx
