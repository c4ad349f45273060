#include "common/coreStrings.h"

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/stringTable.h"

extern "C" int vnx_core_registerStrings(void)
{
    vnx_StringTable_registerErrorLookup(vnx_core_statusToString);
    return vnx_StringTable_registerTypeLookup(vnx_core_typeToString);
}

extern "C" int vnx_core_unregisterStrings(void)
{
    vnx_StringTable_unregisterErrorLookup(vnx_core_statusToString);
    return vnx_StringTable_unregisterTypeLookup(vnx_core_typeToString);
}
