#pragma once

// What the StandardCursor record functions and its factory share: type id,
// sizes, versions and defaults of its records.

#include "common/moduleType.h"
#include "moduleFactory/recordFamilyDefinition.h"
#include "standardCursor/StandardCursorRecords.h"

namespace vnx {

struct StandardCursorRecords
{
    static constexpr uint8_t type = VNX_TYPE_STANDARD_CURSOR;
    using Config = RecordKind<vnx_StandardCursor_Config_s, 96, 1>;
    using Command = RecordKind<vnx_StandardCursor_Command_s, 40, 1>;
    using Status = RecordKind<vnx_StandardCursor_Status_s, 32, 1>;
    using Format = RecordKind<vnx_StandardCursor_Format_s, 32, 1>;
    using Output = RecordKind<vnx_StandardCursor_Output_s, 40, 1>;

    static void setDefaults(vnx_StandardCursor_Config_s& config);
    static void setDefaults(vnx_StandardCursor_Command_s& command) { command.code = 0; }
    static void setDefaults(vnx_StandardCursor_Format_s& format);
    static void setDefaults(vnx_StandardCursor_Output_s& output);
};

} // namespace vnx
