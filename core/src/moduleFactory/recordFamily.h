#pragma once

// Declarations of the record functions that every module X exports for its own
// records (C-compatible; put the macro in X's public header):
//
//   vnx_X_init<Kind>, vnx_X_downCast<Kind>, vnx_X_downCastConst<Kind>,
//   vnx_X_upCast<Kind>, vnx_X_upCastConst<Kind>, vnx_X_dynamicDownCast<Kind>,
//   vnx_X_dynamicDownCastConst<Kind>   for Kind = Config, Command, Status, Format, Output
//   vnx_X_isStructValid, vnx_X_moduleFactoryRegister, vnx_X_moduleFactoryUnregister
//
// X's header first defines its five record types vnx_X_<Kind>_s, each starting
// with the generic kind record; a kind without module fields is a typedef of
// the generic one:
//
//   typedef struct vnx_X_Output_s {
//       vnx_StructOutput_s output;
//       uint32_t buttons;
//       uint8_t padding[4];
//   } vnx_X_Output_s;
//   typedef vnx_StructConfig_s vnx_X_Config_s;   // and so on for the other kinds
//   VNX_DECLARE_RECORD_FAMILY(X)
//
// The definitions come from recordFamilyDefinition.h.

#include "common/record.h"

#ifdef __cplusplus
#define VNX_RECORD_FAMILY_API extern "C"
#else
#define VNX_RECORD_FAMILY_API extern
#endif

#define VNX_DECLARE_RECORD_KIND_FUNCTIONS(Module, Kind)                                                      \
    VNX_RECORD_FAMILY_API int vnx_##Module##_init##Kind(vnx_##Module##_##Kind##_s* record);                  \
    VNX_RECORD_FAMILY_API vnx_##Module##_##Kind##_s* vnx_##Module##_downCast##Kind(                          \
        vnx_Struct##Kind##_s* record);                                                                       \
    VNX_RECORD_FAMILY_API const vnx_##Module##_##Kind##_s* vnx_##Module##_downCastConst##Kind(               \
        const vnx_Struct##Kind##_s* record);                                                                 \
    VNX_RECORD_FAMILY_API vnx_Struct##Kind##_s* vnx_##Module##_upCast##Kind(                                 \
        vnx_##Module##_##Kind##_s* record);                                                                  \
    VNX_RECORD_FAMILY_API const vnx_Struct##Kind##_s* vnx_##Module##_upCastConst##Kind(                      \
        const vnx_##Module##_##Kind##_s* record);                                                            \
    VNX_RECORD_FAMILY_API vnx_##Module##_##Kind##_s* vnx_##Module##_dynamicDownCast##Kind(                   \
        vnx_Struct##Kind##_s* record);                                                                       \
    VNX_RECORD_FAMILY_API const vnx_##Module##_##Kind##_s* vnx_##Module##_dynamicDownCastConst##Kind(        \
        const vnx_Struct##Kind##_s* record);

#define VNX_DECLARE_RECORD_FAMILY(Module)                                                                    \
    VNX_DECLARE_RECORD_KIND_FUNCTIONS(Module, Config)                                                        \
    VNX_DECLARE_RECORD_KIND_FUNCTIONS(Module, Command)                                                       \
    VNX_DECLARE_RECORD_KIND_FUNCTIONS(Module, Status)                                                        \
    VNX_DECLARE_RECORD_KIND_FUNCTIONS(Module, Format)                                                        \
    VNX_DECLARE_RECORD_KIND_FUNCTIONS(Module, Output)                                                        \
    VNX_RECORD_FAMILY_API int vnx_##Module##_isStructValid(const vnx_Struct_s* record);                      \
    VNX_RECORD_FAMILY_API int vnx_##Module##_moduleFactoryRegister(void);                                    \
    VNX_RECORD_FAMILY_API int vnx_##Module##_moduleFactoryUnregister(void);
