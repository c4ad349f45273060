#pragma once

// The flat module API: plain functions over an opaque module handle for
// clients that do not use the engine's classes. vnx_ModuleFactory_* create and
// destroy modules and records by type id; vnx_Module_* operate a module. No
// function lets an exception out: a failure inside becomes null or a status
// code (-21 when memory ran out, -10 for anything else).
//
// Threads: modules may be created and destroyed on any thread while other
// threads do the same (the core library's lock guards creation, destruction
// and registration); one module is driven by one thread at a time.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"

#ifdef __cplusplus
extern "C" {
#endif

struct vnx_scdData_s;
struct vnx_dcdData_s;

/// A module as the client sees it. Made and freed only by this API. The
/// pointer is an opaque value, not an address: never dereference it. A
/// destroyed handle never names another module, even a module created right
/// after it.
typedef struct vnx_ModuleHandle_s vnx_ModuleHandle_s;

/// Receives the module's status reports with the handle and the client's
/// user data; the status record lives only for the duration of the call.
typedef void (*vnx_ModuleCallback_f)(vnx_ModuleHandle_s* handle, const vnx_StructStatus_s* status,
                                     void* userData);

/// A handle for a new module of the type; null when the type has no factory
/// or no module.
vnx_ModuleHandle_s* vnx_ModuleFactory_createModule(uint8_t type);
/// As vnx_ModuleFactory_createModule, with the module placed in the node tree
/// under the parent's module. A null parent gives an unplaced module; a parent
/// that is not a live handle gives null.
vnx_ModuleHandle_s* vnx_ModuleFactory_createModuleWithParent(vnx_ModuleHandle_s* parent, uint8_t type);
/// Frees the handle, clears the module's listener and destroys the module: 0.
/// Null: 0. A pointer that is not a live handle (already destroyed, or never
/// made here): -10, and nothing is touched. Called from the module's own
/// status callback (while a vnx_Module_* call on it runs), it answers 0 at
/// once, the handle is no longer live, no further status reaches the
/// callback, and the module is destroyed when that call has returned.
int vnx_ModuleFactory_destroyModule(vnx_ModuleHandle_s* handle);

vnx_StructConfig_s* vnx_ModuleFactory_createConfig(uint8_t type);
vnx_StructCommand_s* vnx_ModuleFactory_createCommand(uint8_t type);
vnx_StructStatus_s* vnx_ModuleFactory_createStatus(uint8_t type);
vnx_StructFormat_s* vnx_ModuleFactory_createFormat(uint8_t type);
vnx_StructOutput_s* vnx_ModuleFactory_createOutput(uint8_t type);
int vnx_ModuleFactory_destroyConfig(vnx_StructConfig_s* record);
int vnx_ModuleFactory_destroyCommand(vnx_StructCommand_s* record);
int vnx_ModuleFactory_destroyStatus(vnx_StructStatus_s* record);
int vnx_ModuleFactory_destroyFormat(vnx_StructFormat_s* record);
int vnx_ModuleFactory_destroyOutput(vnx_StructOutput_s* record);
int vnx_ModuleFactory_destroyStruct(vnx_Struct_s* record);
/// The registered name of the type, "Undefined" when none is registered.
const char* vnx_ModuleFactory_typeIdToString(uint8_t type);

/// Stores the callback and user data; the module reports to the handle while
/// a callback is set and to nobody when it is null. Returns 0 (-2 for a null
/// handle or one that is not live).
int vnx_Module_setModuleListener(vnx_ModuleHandle_s* handle, vnx_ModuleCallback_f callback, void* userData);
/// The module's type id; 0 for a null handle or one that is not live.
uint8_t vnx_Module_getType(vnx_ModuleHandle_s* handle);

// The module operations of the same name; the module's answer is returned
// unchanged. A null handle, a handle that is not live (destroyed, or never
// made here) or a null out-pointer gives -2 and nothing is read or written.
int vnx_Module_getConfig(vnx_ModuleHandle_s* handle, vnx_StructConfig_s* config);
int vnx_Module_setConfig(vnx_ModuleHandle_s* handle, const vnx_StructConfig_s* config);
int vnx_Module_sendCommand(vnx_ModuleHandle_s* handle, const vnx_StructCommand_s* command);
int vnx_Module_init(vnx_ModuleHandle_s* handle, const struct vnx_scdData_s* scd, int* scdOffset,
                    const struct vnx_dcdData_s* dcd, int* dcdOffset);
int vnx_Module_term(vnx_ModuleHandle_s* handle);
int vnx_Module_getDcd(vnx_ModuleHandle_s* handle, struct vnx_dcdData_s* dcd, int capacity, int* dcdOffset);
int vnx_Module_getInputInterfaceCount(vnx_ModuleHandle_s* handle);
int vnx_Module_getInputInterface(vnx_ModuleHandle_s* handle, int index, size_t capacity, uint8_t* typeIds,
                                 size_t* count);
int vnx_Module_getOutputInterfaceCount(vnx_ModuleHandle_s* handle);
int vnx_Module_getOutputInterface(vnx_ModuleHandle_s* handle, int index, size_t capacity, uint8_t* typeIds,
                                  size_t* count);
int vnx_Module_process(vnx_ModuleHandle_s* handle, int inputInterface, size_t inputCount,
                       const vnx_StructOutput_s** inputs, const vnx_StructFormat_s** inputFormats,
                       int outputInterface, size_t outputCount, vnx_StructOutput_s** outputs,
                       vnx_StructFormat_s** outputFormats);

#ifdef __cplusplus
}
#endif
