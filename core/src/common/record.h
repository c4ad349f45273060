#pragma once

// Records: the flat, self-describing blocks of bytes that carry every
// configuration, command, status, sample format and sample across module,
// device and domain boundaries, the flat API and log files. Every record starts
// with the 16-byte header vnx_Struct_s; its kind decides what follows. The
// layouts are a byte format (little-endian, as laid out in memory), so every
// size and offset is pinned below.

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Record kind, byte 3 of the header.
typedef enum vnx_StructKind_e
{
    VNX_KIND_CONFIG = 1,
    VNX_KIND_COMMAND = 2,
    VNX_KIND_STATUS = 3,
    VNX_KIND_FORMAT = 4,
    VNX_KIND_OUTPUT = 5,
} vnx_StructKind_e;

/// Common header of every record.
typedef struct vnx_Struct_s
{
    uint16_t size;       ///< total size of the record in bytes, header included
    uint8_t type;        ///< module type id of the owning module (vnx_ModuleType_e)
    uint8_t kind;        ///< vnx_StructKind_e
    uint8_t version;     ///< layout version of this module's record of this kind
    uint8_t padding[3];  ///< not read; initialisers leave it as it was
    uint64_t instanceId; ///< producer or addressee instance; never read by the framework
} vnx_Struct_s;

/// Layout shared by Config, Command and Status: module fields start at byte 32.
#define VNX_STRUCT_WITH_RESULT_FIELDS                                                                        \
    vnx_Struct_s header;                                                                                     \
    uint32_t result;    /* 0 at init; a status listener may write an answer into it */                       \
    uint8_t padding[4]; /* not read */                                                                       \
    int64_t extra       /* -1 (all bits set) at init; never read by the framework */

typedef struct vnx_StructConfig_s
{
    VNX_STRUCT_WITH_RESULT_FIELDS;
} vnx_StructConfig_s;

/// A Command's module command code is the 32-bit unsigned word at byte 32.
typedef struct vnx_StructCommand_s
{
    VNX_STRUCT_WITH_RESULT_FIELDS;
} vnx_StructCommand_s;

typedef struct vnx_StructStatus_s
{
    VNX_STRUCT_WITH_RESULT_FIELDS;
} vnx_StructStatus_s;

#undef VNX_STRUCT_WITH_RESULT_FIELDS

/// Describes the Output records travelling with it (element i of a Format array
/// describes element i of the parallel Output array); module fields from byte 16.
typedef struct vnx_StructFormat_s
{
    vnx_Struct_s header;
} vnx_StructFormat_s;

/// One sample; module fields from byte 16.
typedef struct vnx_StructOutput_s
{
    vnx_Struct_s header;
} vnx_StructOutput_s;

// Generic operations. None allocates or keeps a pointer. A null record is
// answered as a mismatch (false, 0, null) instead of being dereferenced.

/// True when the headers agree in size, type, kind and version.
bool vnx_Struct_isSimilar(const vnx_Struct_s* a, const vnx_Struct_s* b);
/// True when the header names this type and kind.
bool vnx_Struct_isA(const vnx_Struct_s* record, uint8_t type, uint8_t kind);
/// Copies `size` bytes of source over destination and returns 1 when both agree
/// in size, version, kind and type; otherwise copies nothing and returns 0.
int vnx_Struct_copy(const vnx_Struct_s* source, vnx_Struct_s* destination);
/// Position of the first of `count` records whose type byte is `type`: writes it
/// to *index and returns 1, else *index is -1 and the result 0.
int vnx_Struct_find(size_t count, const vnx_Struct_s* const* records, uint8_t type, int* index);

/// Name of a record kind ("Config" ... "Output"), "<Unknown>" for any other value.
const char* vnx_structToString(int kind);

/// No sampling period is known at header level: both always give -1; periods
/// are read from each module's own Format fields.
int32_t vnx_StructFormat_getSamplingPeriod(const vnx_StructFormat_s* format);
int32_t vnx_StructFormat_findSamplingPeriod(size_t count, const vnx_StructFormat_s* const* formats,
                                            uint8_t type);

// Per kind: unchecked down and up casts (identity), a dynamic down cast that
// checks only the kind byte, isA(record, type) and copy (= vnx_Struct_copy).
#define VNX_DECLARE_STRUCT_KIND_FUNCTIONS(Kind)                                                              \
    vnx_Struct##Kind##_s* vnx_Struct_downCast##Kind(vnx_Struct_s* record);                                   \
    const vnx_Struct##Kind##_s* vnx_Struct_downCastConst##Kind(const vnx_Struct_s* record);                  \
    vnx_Struct_s* vnx_Struct_upCast##Kind(vnx_Struct##Kind##_s* record);                                     \
    const vnx_Struct_s* vnx_Struct_upCastConst##Kind(const vnx_Struct##Kind##_s* record);                    \
    vnx_Struct##Kind##_s* vnx_Struct_dynamicDownCast##Kind(vnx_Struct_s* record);                            \
    const vnx_Struct##Kind##_s* vnx_Struct_dynamicDownCastConst##Kind(const vnx_Struct_s* record);           \
    bool vnx_Struct##Kind##_isA(const vnx_Struct_s* record, uint8_t type);                                   \
    int vnx_Struct##Kind##_copy(const vnx_Struct_s* source, vnx_Struct_s* destination);

VNX_DECLARE_STRUCT_KIND_FUNCTIONS(Config)
VNX_DECLARE_STRUCT_KIND_FUNCTIONS(Command)
VNX_DECLARE_STRUCT_KIND_FUNCTIONS(Status)
VNX_DECLARE_STRUCT_KIND_FUNCTIONS(Format)
VNX_DECLARE_STRUCT_KIND_FUNCTIONS(Output)

#undef VNX_DECLARE_STRUCT_KIND_FUNCTIONS

#ifdef __cplusplus
}

static_assert(sizeof(vnx_Struct_s) == 16);
static_assert(offsetof(vnx_Struct_s, size) == 0);
static_assert(offsetof(vnx_Struct_s, type) == 2);
static_assert(offsetof(vnx_Struct_s, kind) == 3);
static_assert(offsetof(vnx_Struct_s, version) == 4);
static_assert(offsetof(vnx_Struct_s, padding) == 5);
static_assert(offsetof(vnx_Struct_s, instanceId) == 8);

static_assert(sizeof(vnx_StructConfig_s) == 32);
static_assert(offsetof(vnx_StructConfig_s, header) == 0);
static_assert(offsetof(vnx_StructConfig_s, result) == 16);
static_assert(offsetof(vnx_StructConfig_s, padding) == 20);
static_assert(offsetof(vnx_StructConfig_s, extra) == 24);
static_assert(sizeof(vnx_StructCommand_s) == 32);
static_assert(offsetof(vnx_StructCommand_s, header) == 0);
static_assert(offsetof(vnx_StructCommand_s, result) == 16);
static_assert(offsetof(vnx_StructCommand_s, padding) == 20);
static_assert(offsetof(vnx_StructCommand_s, extra) == 24);
static_assert(sizeof(vnx_StructStatus_s) == 32);
static_assert(offsetof(vnx_StructStatus_s, header) == 0);
static_assert(offsetof(vnx_StructStatus_s, result) == 16);
static_assert(offsetof(vnx_StructStatus_s, padding) == 20);
static_assert(offsetof(vnx_StructStatus_s, extra) == 24);
static_assert(sizeof(vnx_StructFormat_s) == 16);
static_assert(offsetof(vnx_StructFormat_s, header) == 0);
static_assert(sizeof(vnx_StructOutput_s) == 16);
static_assert(offsetof(vnx_StructOutput_s, header) == 0);
#endif
