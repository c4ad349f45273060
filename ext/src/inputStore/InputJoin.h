#pragma once

// Several input stores presented as one batch: the records of slot 0 first,
// then those of slot 1, and so on.

#include <cstddef>
#include <memory>
#include <vector>

#include "inputStore/InputStore.h"

namespace vnx {

class InputJoin
{
  public:
    InputJoin() = default;
    InputJoin(const InputJoin&) = delete;
    InputJoin& operator=(const InputJoin&) = delete;

    /// Destroys every store and the combined arrays.
    void clear();
    /// Replaces everything by `slots` empty stores: true.
    bool init(unsigned long slots);
    /// InputStore::init on one slot; false for a slot out of range.
    bool init(unsigned long slot, unsigned long n, const vnx_StructOutput_s** outputs,
              const vnx_StructFormat_s** formats);
    bool init(unsigned long slot, unsigned long n, const unsigned char* typeIds);
    /// InputStore::isValid and store on one slot; false or nothing for a
    /// slot out of range.
    bool isValid(unsigned long slot, unsigned long n, const vnx_StructOutput_s** outputs,
                 const vnx_StructFormat_s** formats) const;
    void store(unsigned long slot, unsigned long n, const vnx_StructOutput_s** outputs,
               const vnx_StructFormat_s** formats);
    /// Every slot's records one after another (each slot retrieved, its
    /// counter reset); answers the sum of the slots' stored counters. The
    /// combined arrays follow the slots' shapes: they are re-sized when a
    /// slot's record count changed, and otherwise reused.
    unsigned retrieve(unsigned long& n, const vnx_StructOutput_s**& outputs,
                      const vnx_StructFormat_s**& formats);

  private:
    std::unique_ptr<InputStore[]> stores_;
    unsigned long slots_ = 0;
    std::vector<const vnx_StructOutput_s*> outputs_;
    std::vector<const vnx_StructFormat_s*> formats_;
};

} // namespace vnx
