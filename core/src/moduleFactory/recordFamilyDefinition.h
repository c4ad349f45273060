#pragma once

// Definitions of a module's record functions (see recordFamily.h for the list).
// In X's source file the module states only what is its own: its type id and,
// per kind, the record type, its size and version, and the defaults of its
// module fields:
//
//   namespace {
//   struct XRecords {
//       static constexpr uint8_t type = VNX_TYPE_BUTTON_ACTIVITY;
//       using Config = vnx::RecordKind<vnx_X_Config_s, 32, 1>;
//       using Command = vnx::RecordKind<vnx_X_Command_s, 32, 1>;
//       using Status = vnx::RecordKind<vnx_X_Status_s, 32, 1>;
//       using Format = vnx::RecordKind<vnx_X_Format_s, 16, 1>;
//       using Output = vnx::RecordKind<vnx_X_Output_s, 32, 1>;
//       // A kind whose layout says "zero elsewhere" adds vnx::RecordInit::ZeroFill:
//       //   using Format = vnx::RecordKind<vnx_X_Format_s, 56, 1, vnx::RecordInit::ZeroFill>;
//       // Optional: one overload per kind with module fields, record by reference.
//       static void setDefaults(vnx_X_Output_s& output) { output.buttons = 0; }
//   };
//   } // namespace
//   VNX_DEFINE_RECORD_FAMILY(X, XRecords)
//   VNX_DEFINE_MODULE_FACTORY_REGISTRATION(X, vnx::X_ModuleFactory::__instance)
//
// The registration pair is a macro of its own so that record-only code and
// tests can define the family without a factory; it needs only an object with
// factoryRegister() and factoryUnregister() returning a status code.

#include <stdint.h>

#include <cstring>
#include <tuple>
#include <type_traits>

#include "common/record.h"
#include "common/statusCode.h"
#include "moduleFactory/recordFamily.h"

namespace vnx {

/// What an initialiser does with the bytes that are not its fields.
enum class RecordInit
{
    KeepPadding, ///< padding and unwritten reserved bytes are left as they were
    ZeroFill,    ///< the whole record is zeroed before header and defaults
};

/// One kind of a module's records: its C type, size in bytes, version and
/// what its initialiser does with the bytes that are not fields.
template <typename RecordType, uint16_t Size, uint8_t Version, RecordInit Init = RecordInit::KeepPadding>
struct RecordKind
{
    using Record = RecordType;
    static constexpr uint16_t size = Size;
    static constexpr uint8_t version = Version;
    static constexpr RecordInit init = Init;

    static_assert(sizeof(Record) == Size, "record layout does not match its declared size");
    static_assert(std::is_standard_layout_v<Record> && std::is_trivially_copyable_v<Record>,
                  "records are plain data, copied byte by byte");
};

/// The header values that identify one record kind of one module.
struct RecordShape
{
    uint8_t type;
    uint8_t kind;
    uint16_t size;
    uint8_t version;
};

/// Writes size, type, kind, version and instance id 0; the padding bytes are
/// left as they were.
void initRecordHeader(vnx_Struct_s& header, const RecordShape& shape) noexcept;

/// The generic record type of each kind value (1 Config ... 5 Output).
template <uint8_t KindValue>
using GenericKindRecord =
    std::tuple_element_t<KindValue - 1,
                         std::tuple<vnx_StructConfig_s, vnx_StructCommand_s, vnx_StructStatus_s,
                                    vnx_StructFormat_s, vnx_StructOutput_s>>;

/// Type and kind (bytes 2 and 3, compared as one 16-bit word), version and size.
inline bool recordHasShape(const vnx_Struct_s& header, const RecordShape& shape) noexcept
{
    const unsigned typeAndKind = header.type | unsigned(header.kind) << 8;
    return typeAndKind == (shape.type | unsigned(shape.kind) << 8) && header.version == shape.version &&
           header.size == shape.size;
}

/// The operations of one kind of the module family `Family`.
template <typename Family, typename Kind, uint8_t KindValue> struct RecordKindOperations
{
    using Record = typename Kind::Record;
    using Generic = GenericKindRecord<KindValue>;
    static constexpr RecordShape shape{Family::type, KindValue, Kind::size, Kind::version};

    static_assert(sizeof(Record) >= sizeof(Generic), "a record starts with its kind's layout");

    /// Header, for Config, Command and Status `result` 0 and `extra` -1, then the
    /// module's field defaults; a zero-filled kind is zeroed first. Returns 0
    /// (-2 for a null record).
    static int init(Record* record) noexcept
    {
        if (record == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        if constexpr (Kind::init == RecordInit::ZeroFill) {
            std::memset(static_cast<void*>(record), 0, sizeof(Record));
        }
        // The record's first member is its generic kind record.
        auto* generic = reinterpret_cast<Generic*>(record);
        initRecordHeader(generic->header, shape);
        if constexpr (requires { generic->extra; }) {
            generic->result = 0;
            generic->extra = -1;
        }
        if constexpr (requires(Record & r) { Family::setDefaults(r); }) {
            Family::setDefaults(*record);
        }
        return VNX_STATUS_SUCCESS;
    }

    template <typename KindRecord> static Record* dynamicCast(KindRecord* record) noexcept
    {
        return record != nullptr && recordHasShape(*reinterpret_cast<const vnx_Struct_s*>(record), shape)
                   ? reinterpret_cast<Record*>(record)
                   : nullptr;
    }

    template <typename KindRecord> static const Record* dynamicCast(const KindRecord* record) noexcept
    {
        return dynamicCast(const_cast<KindRecord*>(record));
    }
};

/// The five kinds of the module family `Family` and its validity check.
template <typename Family> struct RecordFamilyOperations
{
    using Config = RecordKindOperations<Family, typename Family::Config, VNX_KIND_CONFIG>;
    using Command = RecordKindOperations<Family, typename Family::Command, VNX_KIND_COMMAND>;
    using Status = RecordKindOperations<Family, typename Family::Status, VNX_KIND_STATUS>;
    using Format = RecordKindOperations<Family, typename Family::Format, VNX_KIND_FORMAT>;
    using Output = RecordKindOperations<Family, typename Family::Output, VNX_KIND_OUTPUT>;

    static int isStructValid(const vnx_Struct_s* record) noexcept
    {
        if (record == nullptr) {
            return 0;
        }
        switch (record->kind) {
        case VNX_KIND_CONFIG:
            return recordHasShape(*record, Config::shape);
        case VNX_KIND_COMMAND:
            return recordHasShape(*record, Command::shape);
        case VNX_KIND_STATUS:
            return recordHasShape(*record, Status::shape);
        case VNX_KIND_FORMAT:
            return recordHasShape(*record, Format::shape);
        case VNX_KIND_OUTPUT:
            return recordHasShape(*record, Output::shape);
        default:
            return 0;
        }
    }
};

} // namespace vnx

#define VNX_DEFINE_RECORD_KIND_FUNCTIONS(Module, Family, Kind)                                               \
    static_assert(std::is_same_v<vnx_##Module##_##Kind##_s, Family::Kind::Record>,                           \
                  "the family's " #Kind " record is not vnx_" #Module "_" #Kind "_s");                       \
    extern "C" int vnx_##Module##_init##Kind(vnx_##Module##_##Kind##_s* record)                              \
    {                                                                                                        \
        return ::vnx::RecordFamilyOperations<Family>::Kind::init(record);                                    \
    }                                                                                                        \
    extern "C" vnx_##Module##_##Kind##_s* vnx_##Module##_downCast##Kind(vnx_Struct##Kind##_s* record)        \
    {                                                                                                        \
        return reinterpret_cast<vnx_##Module##_##Kind##_s*>(record);                                         \
    }                                                                                                        \
    extern "C" const vnx_##Module##_##Kind##_s* vnx_##Module##_downCastConst##Kind(                          \
        const vnx_Struct##Kind##_s* record)                                                                  \
    {                                                                                                        \
        return reinterpret_cast<const vnx_##Module##_##Kind##_s*>(record);                                   \
    }                                                                                                        \
    extern "C" vnx_Struct##Kind##_s* vnx_##Module##_upCast##Kind(vnx_##Module##_##Kind##_s* record)          \
    {                                                                                                        \
        return reinterpret_cast<vnx_Struct##Kind##_s*>(record);                                              \
    }                                                                                                        \
    extern "C" const vnx_Struct##Kind##_s* vnx_##Module##_upCastConst##Kind(                                 \
        const vnx_##Module##_##Kind##_s* record)                                                             \
    {                                                                                                        \
        return reinterpret_cast<const vnx_Struct##Kind##_s*>(record);                                        \
    }                                                                                                        \
    extern "C" vnx_##Module##_##Kind##_s* vnx_##Module##_dynamicDownCast##Kind(vnx_Struct##Kind##_s* record) \
    {                                                                                                        \
        return ::vnx::RecordFamilyOperations<Family>::Kind::dynamicCast(record);                             \
    }                                                                                                        \
    extern "C" const vnx_##Module##_##Kind##_s* vnx_##Module##_dynamicDownCastConst##Kind(                   \
        const vnx_Struct##Kind##_s* record)                                                                  \
    {                                                                                                        \
        return ::vnx::RecordFamilyOperations<Family>::Kind::dynamicCast(record);                             \
    }

/// Defines init, casts and validity check of module `Module` from the
/// description `Family` (see the example above).
#define VNX_DEFINE_RECORD_FAMILY(Module, Family)                                                             \
    VNX_DEFINE_RECORD_KIND_FUNCTIONS(Module, Family, Config)                                                 \
    VNX_DEFINE_RECORD_KIND_FUNCTIONS(Module, Family, Command)                                                \
    VNX_DEFINE_RECORD_KIND_FUNCTIONS(Module, Family, Status)                                                 \
    VNX_DEFINE_RECORD_KIND_FUNCTIONS(Module, Family, Format)                                                 \
    VNX_DEFINE_RECORD_KIND_FUNCTIONS(Module, Family, Output)                                                 \
    extern "C" int vnx_##Module##_isStructValid(const vnx_Struct_s* record)                                  \
    {                                                                                                        \
        return ::vnx::RecordFamilyOperations<Family>::isStructValid(record);                                 \
    }

/// Defines vnx_<Module>_moduleFactoryRegister/Unregister over the module's one
/// factory instance. A failure inside the registry never escapes as an
/// exception: it is answered -2 (INVALID_PARAMETER), the registry's own answer
/// when it cannot make an entry.
#define VNX_DEFINE_MODULE_FACTORY_REGISTRATION(Module, factoryInstance)                                      \
    extern "C" int vnx_##Module##_moduleFactoryRegister(void)                                                \
    {                                                                                                        \
        try {                                                                                                \
            return (factoryInstance).factoryRegister();                                                      \
        } catch (...) {                                                                                      \
            return VNX_STATUS_INVALID_PARAMETER;                                                             \
        }                                                                                                    \
    }                                                                                                        \
    extern "C" int vnx_##Module##_moduleFactoryUnregister(void)                                              \
    {                                                                                                        \
        try {                                                                                                \
            return (factoryInstance).factoryUnregister();                                                    \
        } catch (...) {                                                                                      \
            return VNX_STATUS_INVALID_PARAMETER;                                                             \
        }                                                                                                    \
    }
