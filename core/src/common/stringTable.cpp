#include "common/stringTable.h"

#include <cstdio>

#include "common/statusCode.h"

namespace {

// Fallback texts are at most 40 bytes including the terminator.
constexpr int kFallbackSize = 40;

template <typename Lookup> class LookupSlots
{
  public:
    void clear()
    {
        for (Lookup& slot : slots_) {
            slot = nullptr;
        }
    }

    int add(Lookup lookup)
    {
        if (lookup == nullptr) {
            return VNX_STATUS_SIZE_TOO_SMALL;
        }
        for (Lookup& slot : slots_) {
            if (slot == nullptr) {
                slot = lookup;
                return VNX_STATUS_SUCCESS;
            }
        }
        return VNX_STATUS_SIZE_TOO_SMALL;
    }

    int remove(Lookup lookup)
    {
        if (lookup == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        for (Lookup& slot : slots_) {
            if (slot == lookup) {
                slot = nullptr;
                return VNX_STATUS_SUCCESS;
            }
        }
        return VNX_STATUS_INVALID_PARAMETER;
    }

    template <typename Key> const char* name(Key key) const
    {
        for (Lookup slot : slots_) {
            if (slot != nullptr) {
                if (const char* text = slot(key)) {
                    return text;
                }
            }
        }
        return nullptr;
    }

  private:
    Lookup slots_[VNX_STRING_TABLE_SLOTS] = {};
};

LookupSlots<vnx_StatusLookup_f> statusLookups;
LookupSlots<vnx_TypeLookup_f> typeLookups;

} // namespace

extern "C" {

int vnx_StringTable_initialize(void)
{
    statusLookups.clear();
    typeLookups.clear();
    return VNX_STATUS_SUCCESS;
}

int vnx_StringTable_finalize(void)
{
    return vnx_StringTable_initialize();
}

int vnx_StringTable_registerErrorLookup(vnx_StatusLookup_f lookup)
{
    return statusLookups.add(lookup);
}

int vnx_StringTable_unregisterErrorLookup(vnx_StatusLookup_f lookup)
{
    return statusLookups.remove(lookup);
}

int vnx_StringTable_registerTypeLookup(vnx_TypeLookup_f lookup)
{
    return typeLookups.add(lookup);
}

int vnx_StringTable_unregisterTypeLookup(vnx_TypeLookup_f lookup)
{
    return typeLookups.remove(lookup);
}

const char* vnx_statusToString(int32_t code)
{
    if (const char* text = statusLookups.name(code)) {
        return text;
    }
    // Per thread, so a log line on one thread cannot rewrite another's text.
    thread_local char fallback[kFallbackSize];
    std::snprintf(fallback, sizeof fallback, "<Unknown Status Code (%d)>", static_cast<int>(code));
    return fallback;
}

const char* vnx_typeToString(int id)
{
    const uint8_t lowByte = static_cast<uint8_t>(id & 0xFF);
    if (const char* text = typeLookups.name(lowByte)) {
        return text;
    }
    thread_local char fallback[kFallbackSize];
    std::snprintf(fallback, sizeof fallback, "<Unknown Type (%d)>", static_cast<int>(lowByte));
    return fallback;
}

} // extern "C"
