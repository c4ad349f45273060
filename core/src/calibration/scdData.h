#pragma once

// Static calibration data (SCD): the block written once per device at the
// factory and only read by the engine. The one accepted form is 260 bytes,
// version 5: a 4-byte head, 252 bytes of calibration fields and a check word
// that makes the 65 little-endian 32-bit words of the block sum to zero.
// The layout is a byte format (little-endian, as laid out in memory).

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Head shared by every SCD form; a pointer to it stands for the whole block.
typedef struct vnx_scdData_s
{
    uint16_t size;    ///< total size of the block in bytes
    uint16_t version; ///< layout version
} vnx_scdData_s;

#define VNX_SCD_GEN4FLOAT_SIZE 260
#define VNX_SCD_GEN4FLOAT_VERSION 5
/// Format word value that marks the period and still-detection fields present.
#define VNX_SCD_FORMAT_WORD 0xE7E1FAFBu

/// Calibration fields of the 260-byte SCD. Floats unless stated; "raw" means
/// counts of the 16-bit samples. Matrix element k = 3i + j takes input axis i
/// into output axis j.
typedef struct scdGen4FloatInnards_s
{
    uint32_t formatWord; ///< VNX_SCD_FORMAT_WORD when period and rsStableParam are present
    float period;        ///< s; used only with the format word
    float rsStableParam; ///< still-detection parameter of the gyro offset estimator
    float accMatrix[9];  ///< full-scale units to m/s^2
    float accOffset[3];  ///< full-scale units (raw / 32768)
    float accSecondOrder[3];
    float accThirdOrder[3];   ///< variant 24601: magnetometer offset, raw
    float accNoise[3];        ///< raw
    float nominalMarker;      ///< negative: nominal calibration; |value| < 1 is the level
    float rsMatrix[9];        ///< raw to rad/s
    float rsOffset[3];        ///< raw
    float rsAccSensMatrix[9]; ///< m/s^2 to raw rotation units; variant 24601: magnetometer matrix
    float zroTempCoef[3];     ///< rad/s per degC
    float zroTermKind1;       ///< consulted only when deviceKind is 1
    float variant;            ///< truncated to an integer; 0 derives it from the period
    float tempNoise;          ///< degC
    float zroTermA;
    float deviceKind; ///< truncated to 16 bits; bits 2 and 3 are flags
    float zroTermB;
    float tempScale;       ///< degC per raw count; 0 = no temperature input
    float zroNominalSigma; ///< rad/s
    float rsNoise[3];      ///< raw
    float tempOffset;      ///< raw
    float zroInitSigma;    ///< rad/s
    float zroAging;        ///< per hour, scaled by 0.01 when used
} scdGen4FloatInnards_s;

/// The complete 260-byte, version-5 SCD.
typedef struct scdGen4Float_s
{
    vnx_scdData_s head;
    scdGen4FloatInnards_s innards;
    uint32_t checkWord; ///< makes the 65 words of the block sum to 0 modulo 2^32
} scdGen4Float_s;

/// 16-bit size field (byte 0), widened.
uint32_t vnx_scdGetSize(const vnx_scdData_s* scd);
/// 16-bit version field (byte 2), widened.
uint32_t vnx_scdGetVersion(const vnx_scdData_s* scd);
// The same two reads under the names of the individual sensors.
uint32_t vnx_scdAccGetSize(const vnx_scdData_s* scd);
uint32_t vnx_scdAccGetVersion(const vnx_scdData_s* scd);
uint32_t vnx_scdRsGetSize(const vnx_scdData_s* scd);
uint32_t vnx_scdRsGetVersion(const vnx_scdData_s* scd);
uint32_t vnx_scdRsZro9GetSize(const vnx_scdData_s* scd);
uint32_t vnx_scdRsZro9GetVersion(const vnx_scdData_s* scd);
uint32_t vnx_scdMagGetSize(const vnx_scdData_s* scd);
uint32_t vnx_scdMagGetVersion(const vnx_scdData_s* scd);

/// True only for the accepted form: 260 bytes, version 5.
bool vnx_scdIsSizeAndVersionValid(uint32_t size, uint32_t version);
/// True when the 65 words of the 260-byte block sum to zero.
bool vnx_scdIsDataValid(const vnx_scdData_s* scd);
/// The block as its 260-byte form when it is non-null, 260 bytes, version 5
/// and sealed; else null. The result is the block's own address, which need
/// not be aligned for its fields: readers of fields go through acceptScd
/// (calibration/scdAcceptance.h), which copies the block first.
const scdGen4Float_s* scdGen4FloatValidateAndCast(const vnx_scdData_s* scd);
/// Check word that seals the block: the two's complement of the sum of its
/// first 64 words (the stored check word is not read); 0 for a null block.
uint32_t scdGen4FloatCheckWord(const scdGen4Float_s* scd);
/// Devices carry no serial number in their SCD: always 0.
uint32_t scdGetDeviceSerialNumber(const vnx_scdData_s* scd);

/// Sample period in whole microseconds: 8000 when the SCD is refused or
/// carries no usable period; else period x 1000000 truncated toward zero,
/// at most INT32_MAX.
int32_t vnx_scdGetPeriod(const vnx_scdData_s* scd);

/// Copies the accelerometer and rotation-sensor calibration of source into
/// destination and reseals destination. size must be 260 (else -1); both
/// blocks must carry size 260 and version 5 (else -2, also for a null block).
/// Returns 0 on success; on failure neither block is touched.
int vnx_scdMergeFields(int size, const vnx_scdData_s* source, vnx_scdData_s* destination);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_scdData_s) == 4);
static_assert(offsetof(vnx_scdData_s, size) == 0);
static_assert(offsetof(vnx_scdData_s, version) == 2);

static_assert(sizeof(scdGen4FloatInnards_s) == 252);
static_assert(offsetof(scdGen4FloatInnards_s, formatWord) == 0);
static_assert(offsetof(scdGen4FloatInnards_s, period) == 4);
static_assert(offsetof(scdGen4FloatInnards_s, rsStableParam) == 8);
static_assert(offsetof(scdGen4FloatInnards_s, accMatrix) == 12);
static_assert(offsetof(scdGen4FloatInnards_s, accOffset) == 48);
static_assert(offsetof(scdGen4FloatInnards_s, accSecondOrder) == 60);
static_assert(offsetof(scdGen4FloatInnards_s, accThirdOrder) == 72);
static_assert(offsetof(scdGen4FloatInnards_s, accNoise) == 84);
static_assert(offsetof(scdGen4FloatInnards_s, nominalMarker) == 96);
static_assert(offsetof(scdGen4FloatInnards_s, rsMatrix) == 100);
static_assert(offsetof(scdGen4FloatInnards_s, rsOffset) == 136);
static_assert(offsetof(scdGen4FloatInnards_s, rsAccSensMatrix) == 148);
static_assert(offsetof(scdGen4FloatInnards_s, zroTempCoef) == 184);
static_assert(offsetof(scdGen4FloatInnards_s, zroTermKind1) == 196);
static_assert(offsetof(scdGen4FloatInnards_s, variant) == 200);
static_assert(offsetof(scdGen4FloatInnards_s, tempNoise) == 204);
static_assert(offsetof(scdGen4FloatInnards_s, zroTermA) == 208);
static_assert(offsetof(scdGen4FloatInnards_s, deviceKind) == 212);
static_assert(offsetof(scdGen4FloatInnards_s, zroTermB) == 216);
static_assert(offsetof(scdGen4FloatInnards_s, tempScale) == 220);
static_assert(offsetof(scdGen4FloatInnards_s, zroNominalSigma) == 224);
static_assert(offsetof(scdGen4FloatInnards_s, rsNoise) == 228);
static_assert(offsetof(scdGen4FloatInnards_s, tempOffset) == 240);
static_assert(offsetof(scdGen4FloatInnards_s, zroInitSigma) == 244);
static_assert(offsetof(scdGen4FloatInnards_s, zroAging) == 248);

static_assert(sizeof(scdGen4Float_s) == VNX_SCD_GEN4FLOAT_SIZE);
static_assert(offsetof(scdGen4Float_s, head) == 0);
static_assert(offsetof(scdGen4Float_s, innards) == 4);
static_assert(offsetof(scdGen4Float_s, checkWord) == 256);
#endif
