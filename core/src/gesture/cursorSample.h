#pragma once

// The pointer movement of one cursor sample, as the gesture modules read it
// from a StandardCursor or ExtendedCursor Output and its Format.

#include <cstddef>
#include <cstdint>

#include "common/record.h"

namespace vnx::gesture {

struct CursorSample
{
    uint32_t sampleNumber = 0;
    int32_t dx = 0; ///< pointer movement of this sample
    int32_t dy = 0;
    int32_t x = 0; ///< pointer position (ExtendedCursor only)
    int32_t y = 0;
    uint32_t periodUs = 0; ///< sample period
};

/// Element 0 of a StandardCursor Output and Format array; false when either
/// is missing or of another type.
bool readStandardCursorSample(std::size_t count, const vnx_StructOutput_s* const* outputs,
                              const vnx_StructFormat_s* const* formats, CursorSample& sample);
/// Element 0 of an ExtendedCursor Output and Format array; false when either
/// is missing or of another type.
bool readExtendedCursorSample(std::size_t count, const vnx_StructOutput_s* const* outputs,
                              const vnx_StructFormat_s* const* formats, CursorSample& sample);

} // namespace vnx::gesture
