#pragma once

// SerializationModule records (type 104). A batch of module input, n Output
// records each with an optional Format, travels as one flat sequence of
// records: this Output heads the sequence and this Format closes it.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef vnx_StructConfig_s vnx_SerializationModule_Config_s;
typedef vnx_StructCommand_s vnx_SerializationModule_Command_s;

typedef struct vnx_SerializationModule_Status_s
{
    vnx_StructStatus_s status;
    uint32_t word; ///< 0 after init
    uint8_t padding[4];
    uint64_t first;  ///< 0 after init
    uint64_t second; ///< 0 after init
} vnx_SerializationModule_Status_s;

/// Closes a sequence.
typedef struct vnx_SerializationModule_Format_s
{
    vnx_StructFormat_s format;
    uint32_t headerValue; ///< copy of the head record's `trailerValue`
    uint8_t padding[4];
} vnx_SerializationModule_Format_s;

/// Heads a sequence.
typedef struct vnx_SerializationModule_Output_s
{
    vnx_StructOutput_s output;
    uint32_t streamId;     ///< set by the owner; a reader of another stream ignores the sequence
    uint32_t trailerValue; ///< copied into the closing record
    uint64_t slotCount;    ///< input slots n of the batch
    uint64_t recordCount;  ///< records of the whole sequence, head and closing record included
    uint32_t reserved;     ///< 0
    uint8_t padding[4];
} vnx_SerializationModule_Output_s;

VNX_DECLARE_RECORD_FAMILY(SerializationModule)

/// Lays the batch (`n` slots of parallel `outputs` and `formats`, null
/// entries skipped) out as a sequence of record pointers in `sequence`:
/// `header`, each slot's Output then Format, `trailer`. At most `capacity`
/// entries are written (all of them are set, null past the end); `*count`
/// gets the number the whole sequence needs, also stored in the header.
/// -2 for a null count, header or trailer, a capacity below 2, or null
/// arrays; -11 when the sequence did not fit; else 0. No record is copied.
int vnx_structArraySerialize(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats,
                             vnx_SerializationModule_Output_s* header,
                             vnx_SerializationModule_Format_s* trailer, size_t capacity,
                             const vnx_Struct_s** sequence, size_t* count);

/// Takes a sequence of `m` records apart into at most `capacity` slots of
/// `outputs` and `formats`, which then point into the sequence's records.
/// `*n` gets the header's slot count; -11 when it exceeds `capacity` (ask
/// with 0 to learn the size). -2, with nothing written to the arrays, for a
/// null `n`, a sequence that does not start with a head record or whose
/// record count exceeds `m`, is below 2 or does not end on a closing record,
/// a null among its records, more Outputs than slots, or a Format before the
/// first Output. Else 0: Outputs fill the first slots in order, each Format
/// goes to the slot of the Output before it, other slots stay null.
int vnx_structArrayDeserialize(size_t m, const vnx_Struct_s** sequence, size_t capacity,
                               const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats,
                               size_t* n);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_SerializationModule_Status_s) == 56);
static_assert(offsetof(vnx_SerializationModule_Status_s, status) == 0);
static_assert(offsetof(vnx_SerializationModule_Status_s, word) == 32);
static_assert(offsetof(vnx_SerializationModule_Status_s, padding) == 36);
static_assert(offsetof(vnx_SerializationModule_Status_s, first) == 40);
static_assert(offsetof(vnx_SerializationModule_Status_s, second) == 48);
static_assert(sizeof(vnx_SerializationModule_Format_s) == 24);
static_assert(offsetof(vnx_SerializationModule_Format_s, format) == 0);
static_assert(offsetof(vnx_SerializationModule_Format_s, headerValue) == 16);
static_assert(offsetof(vnx_SerializationModule_Format_s, padding) == 20);
static_assert(sizeof(vnx_SerializationModule_Output_s) == 48);
static_assert(offsetof(vnx_SerializationModule_Output_s, output) == 0);
static_assert(offsetof(vnx_SerializationModule_Output_s, streamId) == 16);
static_assert(offsetof(vnx_SerializationModule_Output_s, trailerValue) == 20);
static_assert(offsetof(vnx_SerializationModule_Output_s, slotCount) == 24);
static_assert(offsetof(vnx_SerializationModule_Output_s, recordCount) == 32);
static_assert(offsetof(vnx_SerializationModule_Output_s, reserved) == 40);
static_assert(offsetof(vnx_SerializationModule_Output_s, padding) == 44);
#endif
