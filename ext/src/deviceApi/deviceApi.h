#pragma once

// The flat API of domains and devices: a client creates a domain by type id,
// gets plain handles for the domain and its devices, and registers plain
// callbacks, each with a user-data pointer. No function lets an exception
// out.
//
// Handles are opaque values, not addresses: never dereference them. Every
// call with a null handle or one that is not live (destroyed, its device
// removed, or never made here) answers -2 (null for pointer results, 0 for
// vnx_Domain_getType and vnx_Device_getType) and touches nothing.
//
// Callbacks run inside the call that caused them; the records they receive
// belong to the library and live only during the call. A callback may
// register or unregister callbacks (its own included), send device commands
// (a removed device's handle is no longer live when the command returns) and
// destroy the domain (it goes once the running call has returned).

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "deviceDomain/DomainGuid.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_DomainHandle_s vnx_DomainHandle_s;
typedef struct vnx_DeviceHandle_s vnx_DeviceHandle_s;

typedef void (*vnx_DomainStatusCallback_f)(vnx_DomainHandle_s* domain, const vnx_StructStatus_s* status,
                                           void* user);
typedef void (*vnx_DeviceAddedCallback_f)(vnx_DeviceHandle_s* device, void* user);
typedef void (*vnx_DeviceRemovedCallback_f)(vnx_DeviceHandle_s* device, void* user);
typedef void (*vnx_FileHandleAddedCallback_f)(int fd, short events, void* user);
typedef void (*vnx_FileHandleRemovedCallback_f)(int fd, void* user);

typedef void (*vnx_DeviceStatusCallback_f)(vnx_DeviceHandle_s* device, const vnx_StructStatus_s* status,
                                           void* user);
typedef void (*vnx_ModuleReadyCallback_f)(vnx_DeviceHandle_s* device, void* user);
typedef void (*vnx_MotionInputCallback_f)(vnx_DeviceHandle_s* device, size_t n,
                                          const vnx_StructOutput_s** outputs,
                                          const vnx_StructFormat_s** formats, void* user);
typedef void (*vnx_MotionOutputCallback_f)(vnx_DeviceHandle_s* device, size_t n,
                                           const vnx_StructOutput_s** outputs,
                                           const vnx_StructFormat_s** formats, int value, void* user);

/// A new domain of the type with its handle; null when none can be made.
vnx_DomainHandle_s* vnx_DomainFactory_createDomain(uint8_t type);
/// Tells the device-removed callbacks of every device, destroys the domain
/// (its devices are closed and deleted) and frees the handle: the domain
/// registry's answer. Null: 0. Not a live handle: -10, nothing is touched.
/// Called from a callback of the domain or of one of its devices, it answers
/// 0, the handle is no longer live and the domain goes once the running call
/// has returned.
int vnx_DomainFactory_destroyDomain(vnx_DomainHandle_s* domain);

/// For each non-null callback, (callback, user) moves to the end of that
/// event's list (one entry per pair). Then the device-added callback given
/// here is called for every device of the domain, oldest first, and the
/// file-handle-added callback given here for every watched file handle. 0.
int vnx_Domain_registerDomainListener(vnx_DomainHandle_s* domain, vnx_DomainStatusCallback_f status,
                                      vnx_DeviceAddedCallback_f deviceAdded,
                                      vnx_DeviceRemovedCallback_f deviceRemoved,
                                      vnx_FileHandleAddedCallback_f fileHandleAdded,
                                      vnx_FileHandleRemovedCallback_f fileHandleRemoved, void* user);
/// Removes each given (callback, user) pair; the device-removed callback
/// given here is then called for every device, the file-handle-removed one
/// for every watched file handle. 0.
int vnx_Domain_unregisterDomainListener(vnx_DomainHandle_s* domain, vnx_DomainStatusCallback_f status,
                                        vnx_DeviceAddedCallback_f deviceAdded,
                                        vnx_DeviceRemovedCallback_f deviceRemoved,
                                        vnx_FileHandleAddedCallback_f fileHandleAdded,
                                        vnx_FileHandleRemovedCallback_f fileHandleRemoved, void* user);
/// A new device of the domain from its Config (the device-added callbacks
/// have run when this returns); null when the domain makes none.
vnx_DeviceHandle_s* vnx_Domain_createDevice(vnx_DomainHandle_s* domain, const vnx_StructConfig_s* config);
/// Runs every device once without new input and every time-out of the
/// domain: call it after each input and regularly.
int vnx_Domain_process(vnx_DomainHandle_s* domain);
int vnx_Domain_getConfig(vnx_DomainHandle_s* domain, vnx_StructConfig_s* config);
int vnx_Domain_setConfig(vnx_DomainHandle_s* domain, const vnx_StructConfig_s* config);
int vnx_Domain_sendCommand(vnx_DomainHandle_s* domain, const vnx_StructCommand_s* command);
uint8_t vnx_Domain_getType(vnx_DomainHandle_s* domain);

/// For each non-null callback, (callback, user) moves to the end of that
/// event's list (one entry per pair). 0.
int vnx_Device_registerDeviceListener(vnx_DeviceHandle_s* device, vnx_DeviceStatusCallback_f status,
                                      vnx_ModuleReadyCallback_f moduleReady,
                                      vnx_MotionInputCallback_f motionInput,
                                      vnx_MotionOutputCallback_f motionOutput, void* user);
/// Removes each given (callback, user) pair. 0.
int vnx_Device_unregisterDeviceListener(vnx_DeviceHandle_s* device, vnx_DeviceStatusCallback_f status,
                                        vnx_ModuleReadyCallback_f moduleReady,
                                        vnx_MotionInputCallback_f motionInput,
                                        vnx_MotionOutputCallback_f motionOutput, void* user);

// The device operations of the same name; the device's answer is returned
// unchanged.
int vnx_Device_getConfig(vnx_DeviceHandle_s* device, vnx_StructConfig_s* config);
int vnx_Device_setConfig(vnx_DeviceHandle_s* device, const vnx_StructConfig_s* config);
/// A command that removes the device (ManualDevice command 1) leaves the
/// handle no longer live when it returns.
int vnx_Device_sendCommand(vnx_DeviceHandle_s* device, const vnx_StructCommand_s* command);
uint8_t vnx_Device_getType(vnx_DeviceHandle_s* device);
int vnx_Device_getGuid(vnx_DeviceHandle_s* device, vnx_DomainGuid_s* guid);
/// 1 open, 0 closed.
int vnx_Device_isOpen(vnx_DeviceHandle_s* device);
int vnx_Device_open(vnx_DeviceHandle_s* device);
int vnx_Device_close(vnx_DeviceHandle_s* device);
int vnx_Device_process(vnx_DeviceHandle_s* device);
/// Writes the NUL-terminated name into `buffer` of `size` bytes (at least 1).
int vnx_Device_getName(vnx_DeviceHandle_s* device, int size, char* buffer);
/// One input batch of n Output records with their Formats.
int vnx_Device_sendInput(vnx_DeviceHandle_s* device, size_t n, const vnx_StructOutput_s** outputs,
                         const vnx_StructFormat_s** formats);
/// The domain handle that made the device handle.
vnx_DomainHandle_s* vnx_Device_getDomain(vnx_DeviceHandle_s* device);

#ifdef __cplusplus
}
#endif
