#pragma once

// Which input interface of the hosted module a batch fits, remembered for
// the batch's list of record types: a client that leaves the interface to
// the host (inputId -1) has every sample matched, and the search reads every
// interface of the module. The answer holds while the module and the types
// stay; the host forgets it when either may have changed.

#include <cstddef>
#include <cstdint>

#include "common/record.h"

namespace vnx {

class ModuleInterface;

class InputMatch
{
  public:
    /// The first interface k of `module` whose type ids (at most 16) are
    /// those of the first records of the batch, in order; -1 when none fits.
    /// `count` gets the interface's record count, at most n.
    int find(const ModuleInterface& module, size_t n, const vnx_StructOutput_s* const* outputs, size_t& count);
    void forget() { known_ = false; }

  private:
    /// Longest batch whose answer is remembered; longer ones are matched
    /// every time.
    static constexpr size_t kMaxKey = 32;
    /// Most type ids read of one interface.
    static constexpr size_t kMaxInterfaceTypes = 16;

    bool sameKey(size_t n, const vnx_StructOutput_s* const* outputs) const;
    static int search(const ModuleInterface& module, size_t n, const vnx_StructOutput_s* const* outputs,
                      size_t& count);

    uint8_t key_[kMaxKey] = {};
    size_t keyLength_ = 0;
    int interface_ = -1;
    size_t count_ = 0;
    bool known_ = false;
};

} // namespace vnx
