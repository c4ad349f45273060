#pragma once

// Registry of name lookups: each library of the engine contributes a function
// that names its own status codes and one that names its own type ids, so that
// logs and clients can print a name for any code or id of any library. Lookups
// are asked in registration order; the first non-null answer wins.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Names a status code, or returns null when the code is not the lookup's own.
typedef const char* (*vnx_StatusLookup_f)(int32_t code);
/// Names a type id, or returns null when the id is not the lookup's own.
typedef const char* (*vnx_TypeLookup_f)(uint8_t id);

/// Number of lookup slots of each kind.
enum
{
    VNX_STRING_TABLE_SLOTS = 4
};

/// Both clear every slot and return 0.
int vnx_StringTable_initialize(void);
int vnx_StringTable_finalize(void);

/// Puts the lookup into the first empty slot and returns 0; a null lookup or a
/// full array gives -11 and changes nothing.
int vnx_StringTable_registerErrorLookup(vnx_StatusLookup_f lookup);
/// Empties the first slot holding the lookup and returns 0; a null or unknown
/// lookup gives -2.
int vnx_StringTable_unregisterErrorLookup(vnx_StatusLookup_f lookup);
int vnx_StringTable_registerTypeLookup(vnx_TypeLookup_f lookup);
int vnx_StringTable_unregisterTypeLookup(vnx_TypeLookup_f lookup);

/// The first registered name of the code, else "<Unknown Status Code (%d)>" in
/// a per-thread buffer that stays valid until the thread's next status fallback.
const char* vnx_statusToString(int32_t code);
/// The same for type ids; only the low 8 bits of `id` count. Fallback text
/// "<Unknown Type (%d)>" in its own per-thread buffer.
const char* vnx_typeToString(int id);

#ifdef __cplusplus
}
#endif
