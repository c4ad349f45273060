#include "moduleFactory/recordFamilyDefinition.h"

namespace vnx {

void initRecordHeader(vnx_Struct_s& header, const RecordShape& shape) noexcept
{
    header.size = shape.size;
    header.type = shape.type;
    header.kind = shape.kind;
    header.version = shape.version;
    header.instanceId = 0;
}

} // namespace vnx
