#pragma once

// Dynamic calibration data (DCD): what the algorithms learn while a device is
// used, handed out by getDcd, stored per device and handed back at init. A DCD
// carries the CRC-32 of the SCD it was learned with, so it is never applied to
// another device, and a CRC-32 of its own bytes. The layouts are a byte format
// (little-endian, as laid out in memory).

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Head shared by every DCD form; a pointer to it stands for the whole block.
typedef struct vnx_dcdData_s
{
    uint16_t size;    ///< total size of the block in bytes
    uint16_t version; ///< layout version
} vnx_dcdData_s;

#define VNX_DCD_ALG4MINFIXED_SIZE 184
#define VNX_DCD_ALG4MINFIXED_VERSION 13
#define VNX_DCD_ALG49AXISFIXED_SIZE 260
#define VNX_DCD_ALG49AXISFIXED_VERSION 27
#define VNX_DCD_GEN4FIXED_SIZE 44
#define VNX_DCD_GEN4FIXED_VERSION 6
#define VNX_DCD_SENSORFUSIONFIXED_SIZE 84
#define VNX_DCD_SENSORFUSIONFIXED_VERSION 25

/// Value of `state` in an empty innards block.
#define VNX_DCD_STATE_EMPTY 1u
/// Value of `temperature` when no temperature was known.
#define VNX_DCD_NO_TEMPERATURE (-256.0f)

/// Learned gyroscope state. Every algorithm that keeps learned state writes
/// its own view of these bytes; they share this head.
typedef struct dcdAlg4MinFixedInnards_s
{
    float zro[3];         ///< learned zero-rate offset, rad/s
    float zroVariance[3]; ///< variance of that offset
    float zro2[3];        ///< second zero-rate offset, rad/s
    float temperature;    ///< degC at which the state was learned; VNX_DCD_NO_TEMPERATURE = none
    uint32_t state;       ///< state of the learning algorithm; VNX_DCD_STATE_EMPTY = empty
    float algSpecific[3]; ///< words owned by the algorithm that wrote the block
    /// State of the zero-rate-offset temperature fit, 29 words in the layout
    /// of the fit; its last four words are unset as 2^31, 2^31, 2^31, -2^31.
    uint32_t zroTemperatureFit[29];
} dcdAlg4MinFixedInnards_s;

/// Magnetometer calibration.
typedef struct dcdMagAmpCal_s
{
    float offset[3];     ///< unit-sphere scale
    float iPlusD[9];     ///< (I + D), row i, column j at index i + 3j (column by column)
    float fieldStrength; ///< sensor units
    float dipAngle;      ///< rad
    float accuracy;      ///< rad
} dcdMagAmpCal_s;

/// Accelerometer offset calibration.
typedef struct dcdAccOffsetCal_s
{
    float offset[3]; ///< m/s^2
} dcdAccOffsetCal_s;

/// Version 13, 184 bytes: gyroscope state only.
typedef struct dcdAlg4MinFixed_s
{
    vnx_dcdData_s head;
    dcdAlg4MinFixedInnards_s innards;
    uint32_t scdCrc; ///< CRC-32 of the 260-byte SCD the state was learned with
    uint32_t crc;    ///< CRC-32 of bytes 0-179
} dcdAlg4MinFixed_s;

/// Version 27, 260 bytes: gyroscope, magnetometer and accelerometer state.
typedef struct dcdAlg49AxisFixed_s
{
    vnx_dcdData_s head;
    dcdAlg4MinFixedInnards_s innards;
    dcdMagAmpCal_s magAmpCal;
    dcdAccOffsetCal_s accOffsetCal;
    uint32_t mobileWord; ///< used only by the mobile fusion engine; zero otherwise
    uint32_t scdCrc;     ///< CRC-32 of the 260-byte SCD
    uint32_t crc;        ///< CRC-32 of bytes 0-255
} dcdAlg49AxisFixed_s;

/// Version 6, 44 bytes; validated, not otherwise used.
typedef struct dcdGen4Fixed_s
{
    vnx_dcdData_s head;
    uint8_t data[36];
    uint32_t crc; ///< CRC-32 of bytes 0-39
} dcdGen4Fixed_s;

/// Version 25, 84 bytes; validated, not otherwise used.
typedef struct dcdSensorFusionFixed_s
{
    vnx_dcdData_s head;
    uint8_t data[76];
    uint32_t crc; ///< CRC-32 of bytes 0-79
} dcdSensorFusionFixed_s;

/// True only for the 184-byte, version-13 form.
bool vnx_dcdIsSizeAndVersionValid(uint32_t size, uint32_t version);

// Each gives the block as its form when it is non-null, has the form's size
// and version, and carries the right CRC-32 of its own bytes; else null.
const dcdAlg4MinFixed_s* dcdAlg4MinFixedValidateAndCast(const vnx_dcdData_s* dcd);
const dcdAlg49AxisFixed_s* dcdAlg49AxisFixedValidateAndCast(const vnx_dcdData_s* dcd);
const dcdGen4Fixed_s* dcdGen4FixedValidateAndCast(const vnx_dcdData_s* dcd);
const dcdSensorFusionFixed_s* dcdSensorFusionFixedValidateAndCast(const vnx_dcdData_s* dcd);

/// Fills an empty innards block: everything zero, state VNX_DCD_STATE_EMPTY,
/// the temperature fit's last four words unset (2^31, 2^31, 2^31, -2^31).
void dcdAlg4MinFixedInnardsSetEmpty(dcdAlg4MinFixedInnards_s* innards);

/// Starts a 260-byte version-27 block: all zero but its size and version.
void dcdAlg49AxisFixedStart(dcdAlg49AxisFixed_s* block);
/// Ties a filled version-27 block to its SCD and seals it with its CRC-32.
void dcdAlg49AxisFixedSeal(dcdAlg49AxisFixed_s* block, uint32_t scdCrc);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_dcdData_s) == 4);
static_assert(offsetof(vnx_dcdData_s, size) == 0);
static_assert(offsetof(vnx_dcdData_s, version) == 2);

static_assert(sizeof(dcdAlg4MinFixedInnards_s) == 172);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, zro) == 0);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, zroVariance) == 12);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, zro2) == 24);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, temperature) == 36);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, state) == 40);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, algSpecific) == 44);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, zroTemperatureFit) == 56);

static_assert(sizeof(dcdMagAmpCal_s) == 60);
static_assert(offsetof(dcdMagAmpCal_s, offset) == 0);
static_assert(offsetof(dcdMagAmpCal_s, iPlusD) == 12);
static_assert(offsetof(dcdMagAmpCal_s, fieldStrength) == 48);
static_assert(offsetof(dcdMagAmpCal_s, dipAngle) == 52);
static_assert(offsetof(dcdMagAmpCal_s, accuracy) == 56);

static_assert(sizeof(dcdAccOffsetCal_s) == 12);
static_assert(offsetof(dcdAccOffsetCal_s, offset) == 0);

static_assert(sizeof(dcdAlg4MinFixed_s) == VNX_DCD_ALG4MINFIXED_SIZE);
static_assert(offsetof(dcdAlg4MinFixed_s, head) == 0);
static_assert(offsetof(dcdAlg4MinFixed_s, innards) == 4);
static_assert(offsetof(dcdAlg4MinFixed_s, scdCrc) == 176);
static_assert(offsetof(dcdAlg4MinFixed_s, crc) == 180);

static_assert(sizeof(dcdAlg49AxisFixed_s) == VNX_DCD_ALG49AXISFIXED_SIZE);
static_assert(offsetof(dcdAlg49AxisFixed_s, head) == 0);
static_assert(offsetof(dcdAlg49AxisFixed_s, innards) == 4);
static_assert(offsetof(dcdAlg49AxisFixed_s, magAmpCal) == 176);
static_assert(offsetof(dcdAlg49AxisFixed_s, accOffsetCal) == 236);
static_assert(offsetof(dcdAlg49AxisFixed_s, mobileWord) == 248);
static_assert(offsetof(dcdAlg49AxisFixed_s, scdCrc) == 252);
static_assert(offsetof(dcdAlg49AxisFixed_s, crc) == 256);

static_assert(sizeof(dcdGen4Fixed_s) == VNX_DCD_GEN4FIXED_SIZE);
static_assert(offsetof(dcdGen4Fixed_s, head) == 0);
static_assert(offsetof(dcdGen4Fixed_s, data) == 4);
static_assert(offsetof(dcdGen4Fixed_s, crc) == 40);

static_assert(sizeof(dcdSensorFusionFixed_s) == VNX_DCD_SENSORFUSIONFIXED_SIZE);
static_assert(offsetof(dcdSensorFusionFixed_s, head) == 0);
static_assert(offsetof(dcdSensorFusionFixed_s, data) == 4);
static_assert(offsetof(dcdSensorFusionFixed_s, crc) == 80);
#endif
