#pragma once

// What the ExtendedCursor record functions and its factory share: type id,
// sizes, versions and defaults of its records.

#include "common/moduleType.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "moduleFactory/recordFamilyDefinition.h"

namespace vnx {

struct ExtendedCursorRecords
{
    static constexpr uint8_t type = VNX_TYPE_EXTENDED_CURSOR;
    using Config = RecordKind<vnx_ExtendedCursor_Config_s, 168, 1>;
    using Command = RecordKind<vnx_ExtendedCursor_Command_s, 72, 1>;
    using Status = RecordKind<vnx_ExtendedCursor_Status_s, 32, 1>;
    using Format = RecordKind<vnx_ExtendedCursor_Format_s, 24, 1>;
    using Output = RecordKind<vnx_ExtendedCursor_Output_s, 48, 1>;

    static void setDefaults(vnx_ExtendedCursor_Config_s& config);
    static void setDefaults(vnx_ExtendedCursor_Command_s& command);
    static void setDefaults(vnx_ExtendedCursor_Format_s& format) { format.periodUs = 0; }
    static void setDefaults(vnx_ExtendedCursor_Output_s& output);
};

} // namespace vnx
