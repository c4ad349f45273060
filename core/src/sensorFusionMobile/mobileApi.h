#pragma once

// Flat API of the mobile fusion engine: create an engine from a
// configuration record, choose the wanted outputs, push raw samples, pull
// output records and read back the learned calibration (DCD).
//
//   vnx_Mobile_getDefaults(&config);  config.scd = ...; config.scdSize = 260;
//   vnx_Mobile_initialize(&handle, &config);
//   vnx_Mobile_enableOutputPeriodsAndDeriveInputPeriods(handle, &wanted, &sensors);
//   vnx_Mobile_setInputPeriods(handle, &sensors);
//   per batch: vnx_Mobile_report*(...); while (vnx_Mobile_process(handle, &out, &flag) == 0) use(out);
//   vnx_Mobile_getDynamicCalibration(handle, dcd, sizeof dcd, &written);
//   vnx_Mobile_finalize(handle);
//
// With the property MOBILE_IS_ROOT_NODE set, the first engine starts the
// core library and the last one stops it. No function throws. A handle that
// is null or no longer live is refused with VNX_STATUS_INVALID_PARAMETER (-2);
// a handle is an opaque value, not an address, and a finalized handle never
// names a later engine. Engines may be initialized and finalized on any thread
// while other threads do the same; one engine is used by one thread at a time.

#include <stddef.h>
#include <stdint.h>

#include "sensorFusionMobile/mobileRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Opaque handle of one engine.
typedef struct vnx_Mobile_Engine_s* vnx_Mobile_Handle;

int vnx_Mobile_getVersion(vnx_Mobile_Version_s* version);
/// Constant version banner; never freed.
const char* vnx_Mobile_getVersionString(void);
int vnx_Mobile_getDefaults(vnx_Mobile_Configuration_s* config);

/// SUCCESS, WARNING_DCD_SCD_MISMATCH (1) or WARNING_INVALID_DCD (2) with a
/// live handle; INVALID_SCD (-13), OUT_OF_MEMORY (-21) or, for a
/// reorientation that is not finite or whose norm is below 1e-6,
/// INVALID_PARAMETER (-2) with a null handle.
int vnx_Mobile_initialize(vnx_Mobile_Handle* handle, const vnx_Mobile_Configuration_s* config);
/// Destroys the engine; a null or stale handle is ignored.
void vnx_Mobile_finalize(vnx_Mobile_Handle handle);

int vnx_Mobile_enableOutputPeriodsAndDeriveInputPeriods(vnx_Mobile_Handle handle,
                                                        const vnx_Mobile_VirtualSensorPeriods_s* requested,
                                                        vnx_Mobile_PhysicalSensorPeriods_s* derived);
int vnx_Mobile_setInputPeriods(vnx_Mobile_Handle handle, const vnx_Mobile_PhysicalSensorPeriods_s* periods);
int vnx_Mobile_getEffectiveOutputPeriods(vnx_Mobile_Handle handle,
                                         const vnx_Mobile_PhysicalSensorPeriods_s* periods,
                                         vnx_Mobile_VirtualSensorPeriods_s* effective);

/// NOT_ACTIVE (-14) when the sensor's period is below 1.
int vnx_Mobile_reportAcc(vnx_Mobile_Handle handle, uint32_t timeUs, int16_t x, int16_t y, int16_t z);
int vnx_Mobile_reportMag(vnx_Mobile_Handle handle, uint32_t timeUs, int16_t x, int16_t y, int16_t z);
int vnx_Mobile_reportGyro(vnx_Mobile_Handle handle, uint32_t timeUs, int16_t x, int16_t y, int16_t z,
                          int16_t temperature);
int vnx_Mobile_reportFusionTick(vnx_Mobile_Handle handle, uint32_t timeUs);

/// SUCCESS: the output holds results, call again; WARNING_WAITING_FOR_FUSION
/// (4): nothing left to do. *flag is set to 0.
int vnx_Mobile_process(vnx_Mobile_Handle handle, vnx_Mobile_Output_s* out, uint8_t* flag);

/// mode 4 heading, 7 all axes; sensor 0 rotation vector, 1 game rotation
/// vector, 2 geomagnetic rotation vector; INVALID_PARAMETER (-2) otherwise.
int vnx_Mobile_tareNow(vnx_Mobile_Handle handle, uint8_t mode, uint8_t sensor);
int vnx_Mobile_getReorientation(vnx_Mobile_Handle handle, vnx_Mobile_Quaternion_s* q);
/// INVALID_PARAMETER (-2), keeping the reorientation in use, for a
/// quaternion that is not finite or whose norm is below 1e-6 (x, y, z all 0
/// means "none" and is taken).
int vnx_Mobile_setReorientation(vnx_Mobile_Handle handle, const vnx_Mobile_Quaternion_s* q);

int vnx_Mobile_setDynamicCalibrationEnable(vnx_Mobile_Handle handle, uint8_t bits);
int vnx_Mobile_getDynamicCalibrationEnable(vnx_Mobile_Handle handle, uint8_t* bits);
/// The 260-byte DCD; INVALID_PARAMETER (-2) for a null buffer, SIZE_TOO_SMALL
/// (-11) for a smaller one.
int vnx_Mobile_getDynamicCalibration(vnx_Mobile_Handle handle, uint8_t* buffer, size_t size, size_t* written);

#ifdef __cplusplus
} // extern "C"
#endif
