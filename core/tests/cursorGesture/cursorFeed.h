#pragma once

// Cursor samples for the gesture module tests: the StandardCursor or
// ExtendedCursor Output and Format of one sample, as the cursor modules
// write them, with the pointer arrays a module's process takes.

#include <cstdint>

#include "common/record.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "standardCursor/StandardCursorRecords.h"

namespace cursorfeed {

class CursorRecords
{
  public:
    const vnx_StructOutput_s** outputs()
    {
        outputs_[0] = extended_ ? &extendedOutput_.output : &standardOutput_.output;
        return outputs_;
    }
    const vnx_StructFormat_s** formats()
    {
        formats_[0] = extended_ ? &extendedFormat_.format : &standardFormat_.format;
        return formats_;
    }

    friend CursorRecords standard(uint32_t, int32_t, int32_t, uint32_t);
    friend CursorRecords extended(uint32_t, int32_t, int32_t, uint32_t, int32_t, int32_t);

  private:
    bool extended_ = false;
    vnx_StandardCursor_Output_s standardOutput_{};
    vnx_StandardCursor_Format_s standardFormat_{};
    vnx_ExtendedCursor_Output_s extendedOutput_{};
    vnx_ExtendedCursor_Format_s extendedFormat_{};
    const vnx_StructOutput_s* outputs_[1] = {};
    const vnx_StructFormat_s* formats_[1] = {};
};

/// A StandardCursor sample: movement (dx, dy) at the given period.
inline CursorRecords standard(uint32_t sampleNumber, int32_t dx, int32_t dy, uint32_t periodUs)
{
    CursorRecords records;
    vnx_StandardCursor_initOutput(&records.standardOutput_);
    vnx_StandardCursor_initFormat(&records.standardFormat_);
    records.standardOutput_.sample = sampleNumber;
    records.standardOutput_.dx = dx;
    records.standardOutput_.dy = dy;
    records.standardFormat_.periodUs = periodUs;
    return records;
}

/// An ExtendedCursor sample: movement (dx, dy) at the given period, the
/// pointer at (x, y).
inline CursorRecords extended(uint32_t sampleNumber, int32_t dx, int32_t dy, uint32_t periodUs, int32_t x = 0,
                              int32_t y = 0)
{
    CursorRecords records;
    records.extended_ = true;
    vnx_ExtendedCursor_initOutput(&records.extendedOutput_);
    vnx_ExtendedCursor_initFormat(&records.extendedFormat_);
    records.extendedOutput_.sample = sampleNumber;
    records.extendedOutput_.x = x;
    records.extendedOutput_.y = y;
    records.extendedOutput_.dx = dx;
    records.extendedOutput_.dy = dy;
    records.extendedFormat_.periodUs = periodUs;
    return records;
}

} // namespace cursorfeed
