#pragma once

// Plain records of the mobile fusion engine's flat API: the configuration,
// the requested (virtual) and derived (physical) sensor periods, the
// reorientation quaternion, the version record and the 192-byte output
// record. The layouts are a byte format (little-endian, natural alignment,
// 64-bit pointers and sizes).

#include <stddef.h>
#include <stdint.h>

#include "calibration/dcdData.h"
#include "calibration/scdData.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Quaternion x, y, z, w.
typedef struct vnx_Mobile_Quaternion_s
{
    float x;
    float y;
    float z;
    float w;
} vnx_Mobile_Quaternion_s;

/// What a client hands to vnx_Mobile_initialize.
typedef struct vnx_Mobile_Configuration_s
{
    const vnx_scdData_s* scd; ///< required
    size_t scdSize;           ///< bytes available at scd
    const vnx_dcdData_s* dcd; ///< optional learned calibration
    size_t dcdSize;           ///< bytes available at dcd
    uint8_t reserved[16];     ///< neither set nor read
    /// Mounting of the sensors in the device; x = y = z = 0 means none.
    vnx_Mobile_Quaternion_s reorientation;
    int16_t stabilityTimeS; ///< seconds of stillness the stability detector needs
    uint8_t padding0[2];
    float stabilityThreshold; ///< rad/s, largest still rotation rate of the stability detector
    float clientThreshold;    ///< carried for clients, not read by the engine
    uint32_t clientWord;      ///< carried for clients, not read by the engine
    uint8_t clientBytes[32];  ///< carried for clients, not read by the engine
    uint8_t rawTimestamps;    ///< non-zero: report intervals are taken as given, not rounded to the period
    uint8_t padding1[7];
} vnx_Mobile_Configuration_s;

/// Slots of vnx_Mobile_VirtualSensorPeriods_s, one per virtual sensor.
enum vnx_Mobile_VirtualSensor_e
{
    VNX_MOBILE_ACCELEROMETER = 0,
    VNX_MOBILE_CALIBRATED_ROTATION_RATE = 1,
    VNX_MOBILE_UNCALIBRATED_ROTATION_RATE = 2,
    VNX_MOBILE_CALIBRATED_MAGNETOMETER = 3,
    VNX_MOBILE_UNCALIBRATED_MAGNETOMETER = 4,
    VNX_MOBILE_GRAVITY = 5,
    VNX_MOBILE_LINEAR_ACCELERATION = 6,
    VNX_MOBILE_ROTATION_VECTOR = 7,
    VNX_MOBILE_GAME_ROTATION_VECTOR = 8,
    VNX_MOBILE_GEOMAGNETIC_ROTATION_VECTOR = 9,
    VNX_MOBILE_STABILITY = 10,
    VNX_MOBILE_VIRTUAL_SENSOR_COUNT = 11
};

/// Output bit of each virtual sensor: its valid bit in the output record and
/// its enabled bit in the engine.
enum vnx_Mobile_OutputBit_e
{
    VNX_MOBILE_BIT_ACCELEROMETER = 0x1,
    VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER = 0x2,
    VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE = 0x4,
    VNX_MOBILE_BIT_GRAVITY = 0x8,
    VNX_MOBILE_BIT_LINEAR_ACCELERATION = 0x10,
    VNX_MOBILE_BIT_ROTATION_VECTOR = 0x20,
    VNX_MOBILE_BIT_STABILITY = 0x80,
    VNX_MOBILE_BIT_UNCALIBRATED_MAGNETOMETER = 0x100,
    VNX_MOBILE_BIT_UNCALIBRATED_ROTATION_RATE = 0x200,
    VNX_MOBILE_BIT_GAME_ROTATION_VECTOR = 0x400,
    VNX_MOBILE_BIT_GEOMAGNETIC_ROTATION_VECTOR = 0x800
};

/// Output periods in us, indexed by vnx_Mobile_VirtualSensor_e; above 0
/// requests (or reports) the output, 0 or below means off.
typedef struct vnx_Mobile_VirtualSensorPeriods_s
{
    int32_t periodUs[VNX_MOBILE_VIRTUAL_SENSOR_COUNT];
} vnx_Mobile_VirtualSensorPeriods_s;

/// Sensor periods in us; 0 means the sensor is off.
typedef struct vnx_Mobile_PhysicalSensorPeriods_s
{
    int32_t accelerometerUs;
    int32_t gyroscopeUs;
    int32_t magnetometerUs;
    int32_t fusionUs;
} vnx_Mobile_PhysicalSensorPeriods_s;

typedef struct vnx_Mobile_Version_s
{
    uint32_t productId;
    uint8_t major;
    uint8_t minor;
    uint16_t patch;
    uint32_t build;    ///< 0
    uint8_t flags[12]; ///< each 1
} vnx_Mobile_Version_s;

/// Bits of vnx_Mobile_Output_s::stabilityFlags.
enum vnx_Mobile_StabilityFlag_e
{
    VNX_MOBILE_STABILITY_STATIONARY = 0x1, ///< the zero-rate estimator sees a device at rest
    VNX_MOBILE_STABILITY_EVENT = 0x2       ///< the stability detector's event flag
};

/// One result of vnx_Mobile_process. Vectors are in the device frame of
/// the client (after reorientation); quaternions are x, y, z, w with w >= 0.
typedef struct vnx_Mobile_Output_s
{
    uint32_t validBits; ///< vnx_Mobile_OutputBit_e of every sensor written by this call
    uint32_t timeUs;
    uint32_t accuracyLow;   ///< bit b: bit 0 of the 2-bit accuracy of the sensor with valid bit b
    uint32_t accuracyHigh;  ///< bit b: bit 1 of that accuracy
    float accelerometer[3]; ///< m/s^2
    float gravity[3];       ///< m/s^2
    float magnetometer[3];  ///< uT, calibrated
    float magnetometerHeadingErrorDeg;
    float rotationRate[3];       ///< rad/s, calibrated
    float linearAcceleration[3]; ///< m/s^2
    float rotationVector[4];
    float rotationVectorAccuracy;      ///< rad, heading accuracy 0..pi
    uint8_t stabilityClass;            ///< 0..4
    uint8_t stabilityFlags;            ///< vnx_Mobile_StabilityFlag_e
    uint8_t padding[2];                ///< not written
    float uncalibratedMagnetometer[3]; ///< uT
    float magnetometerBias[3];         ///< uT
    float uncalibratedRotationRate[3]; ///< rad/s
    float rotationRateBias[3];         ///< rad/s
    float gameRotationVector[4];
    float gameRotationVectorAccuracy; ///< always 0
    float geomagneticRotationVector[4];
    float geomagneticRotationVectorAccuracy; ///< rad, 0..pi
} vnx_Mobile_Output_s;

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_Mobile_Quaternion_s) == 16);
static_assert(offsetof(vnx_Mobile_Quaternion_s, x) == 0);
static_assert(offsetof(vnx_Mobile_Quaternion_s, y) == 4);
static_assert(offsetof(vnx_Mobile_Quaternion_s, z) == 8);
static_assert(offsetof(vnx_Mobile_Quaternion_s, w) == 12);

static_assert(sizeof(vnx_Mobile_Configuration_s) == 120);
static_assert(offsetof(vnx_Mobile_Configuration_s, scd) == 0);
static_assert(offsetof(vnx_Mobile_Configuration_s, scdSize) == 8);
static_assert(offsetof(vnx_Mobile_Configuration_s, dcd) == 16);
static_assert(offsetof(vnx_Mobile_Configuration_s, dcdSize) == 24);
static_assert(offsetof(vnx_Mobile_Configuration_s, reserved) == 32);
static_assert(offsetof(vnx_Mobile_Configuration_s, reorientation) == 48);
static_assert(offsetof(vnx_Mobile_Configuration_s, stabilityTimeS) == 64);
static_assert(offsetof(vnx_Mobile_Configuration_s, padding0) == 66);
static_assert(offsetof(vnx_Mobile_Configuration_s, stabilityThreshold) == 68);
static_assert(offsetof(vnx_Mobile_Configuration_s, clientThreshold) == 72);
static_assert(offsetof(vnx_Mobile_Configuration_s, clientWord) == 76);
static_assert(offsetof(vnx_Mobile_Configuration_s, clientBytes) == 80);
static_assert(offsetof(vnx_Mobile_Configuration_s, rawTimestamps) == 112);
static_assert(offsetof(vnx_Mobile_Configuration_s, padding1) == 113);

static_assert(sizeof(vnx_Mobile_VirtualSensorPeriods_s) == 44);
static_assert(offsetof(vnx_Mobile_VirtualSensorPeriods_s, periodUs) == 0);
static_assert(sizeof(vnx_Mobile_PhysicalSensorPeriods_s) == 16);
static_assert(offsetof(vnx_Mobile_PhysicalSensorPeriods_s, accelerometerUs) == 0);
static_assert(offsetof(vnx_Mobile_PhysicalSensorPeriods_s, gyroscopeUs) == 4);
static_assert(offsetof(vnx_Mobile_PhysicalSensorPeriods_s, magnetometerUs) == 8);
static_assert(offsetof(vnx_Mobile_PhysicalSensorPeriods_s, fusionUs) == 12);

static_assert(sizeof(vnx_Mobile_Version_s) == 24);
static_assert(offsetof(vnx_Mobile_Version_s, productId) == 0);
static_assert(offsetof(vnx_Mobile_Version_s, major) == 4);
static_assert(offsetof(vnx_Mobile_Version_s, minor) == 5);
static_assert(offsetof(vnx_Mobile_Version_s, patch) == 6);
static_assert(offsetof(vnx_Mobile_Version_s, build) == 8);
static_assert(offsetof(vnx_Mobile_Version_s, flags) == 12);

static_assert(sizeof(vnx_Mobile_Output_s) == 192);
static_assert(offsetof(vnx_Mobile_Output_s, validBits) == 0);
static_assert(offsetof(vnx_Mobile_Output_s, timeUs) == 4);
static_assert(offsetof(vnx_Mobile_Output_s, accuracyLow) == 8);
static_assert(offsetof(vnx_Mobile_Output_s, accuracyHigh) == 12);
static_assert(offsetof(vnx_Mobile_Output_s, accelerometer) == 16);
static_assert(offsetof(vnx_Mobile_Output_s, gravity) == 28);
static_assert(offsetof(vnx_Mobile_Output_s, magnetometer) == 40);
static_assert(offsetof(vnx_Mobile_Output_s, magnetometerHeadingErrorDeg) == 52);
static_assert(offsetof(vnx_Mobile_Output_s, rotationRate) == 56);
static_assert(offsetof(vnx_Mobile_Output_s, linearAcceleration) == 68);
static_assert(offsetof(vnx_Mobile_Output_s, rotationVector) == 80);
static_assert(offsetof(vnx_Mobile_Output_s, rotationVectorAccuracy) == 96);
static_assert(offsetof(vnx_Mobile_Output_s, stabilityClass) == 100);
static_assert(offsetof(vnx_Mobile_Output_s, stabilityFlags) == 101);
static_assert(offsetof(vnx_Mobile_Output_s, padding) == 102);
static_assert(offsetof(vnx_Mobile_Output_s, uncalibratedMagnetometer) == 104);
static_assert(offsetof(vnx_Mobile_Output_s, magnetometerBias) == 116);
static_assert(offsetof(vnx_Mobile_Output_s, uncalibratedRotationRate) == 128);
static_assert(offsetof(vnx_Mobile_Output_s, rotationRateBias) == 140);
static_assert(offsetof(vnx_Mobile_Output_s, gameRotationVector) == 152);
static_assert(offsetof(vnx_Mobile_Output_s, gameRotationVectorAccuracy) == 168);
static_assert(offsetof(vnx_Mobile_Output_s, geomagneticRotationVector) == 172);
static_assert(offsetof(vnx_Mobile_Output_s, geomagneticRotationVectorAccuracy) == 188);
#endif
