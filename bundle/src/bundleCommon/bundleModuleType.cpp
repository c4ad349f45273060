#include "bundleCommon/bundleModuleType.h"

#include "common/stringTable.h"

namespace {

constexpr int kFirstId = VNX_TYPE_STANDARD_BUNDLE;
constexpr int kLastId = VNX_TYPE_MOBILE_BUNDLE;

// Indexed by id - kFirstId.
const char* const kTypeNames[] = {
    "StandardBundle", "ExtendedBundle", "ExtendedBundle9Axis", "GestureBundle", "MobileBundle",
};
static_assert(sizeof(kTypeNames) / sizeof(kTypeNames[0]) == kLastId - kFirstId + 1);

} // namespace

extern "C" const char* vnx_bundle_typeToString(uint8_t type)
{
    if (type < kFirstId || type > kLastId) {
        return nullptr;
    }
    return kTypeNames[type - kFirstId];
}

extern "C" int vnx_bundle_registerStrings(void)
{
    return vnx_StringTable_registerTypeLookup(vnx_bundle_typeToString);
}

extern "C" int vnx_bundle_unregisterStrings(void)
{
    return vnx_StringTable_unregisterTypeLookup(vnx_bundle_typeToString);
}
