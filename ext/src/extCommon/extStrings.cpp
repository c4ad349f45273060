#include "extCommon/extStrings.h"

#include "common/stringTable.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"

namespace {

// The string table asks type lookups with the 8-bit id records carry.
const char* extTypeLookup(uint8_t id)
{
    return vnx_ext_typeToString(id);
}

const char* extStatusLookup(int32_t code)
{
    return vnx_ext_statusToString(code);
}

} // namespace

extern "C" int vnx_ext_registerStrings(void)
{
    vnx_StringTable_registerErrorLookup(extStatusLookup);
    return vnx_StringTable_registerTypeLookup(extTypeLookup);
}

extern "C" int vnx_ext_unregisterStrings(void)
{
    vnx_StringTable_unregisterErrorLookup(extStatusLookup);
    return vnx_StringTable_unregisterTypeLookup(extTypeLookup);
}
