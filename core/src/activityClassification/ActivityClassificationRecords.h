#pragma once

// ActivityClassification records (type 4): stillness and the interpretation
// flag of a device's interpreted motion, marked on every sample in the Output
// and reported to the module listener as a Status.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Bits of vnx_ActivityClassification_Config_s::statusEnable: which facts are
/// reported to the listener.
typedef enum vnx_ActivityClassification_StatusEnable_e
{
    VNX_ACTIVITY_CLASSIFICATION_REPORT_INTERPRETATION_FLAG = 1,
    VNX_ACTIVITY_CLASSIFICATION_REPORT_STILL = 2,
} vnx_ActivityClassification_StatusEnable_e;

/// Bits of vnx_ActivityClassification_Output_s::flags. Bits 6 and 7 belong
/// to the record's user and are kept; bits 0 to 3 are cleared by every sample.
typedef enum vnx_ActivityClassification_OutputFlag_e
{
    VNX_ACTIVITY_CLASSIFICATION_OUTPUT_INTERPRETATION_FLAG =
        0x10, ///< first flag bit of the interpreted motion
    VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL = 0x20,
    VNX_ACTIVITY_CLASSIFICATION_OUTPUT_USER_BITS = 0xC0,
} vnx_ActivityClassification_OutputFlag_e;

/// Bits of vnx_ActivityClassification_Status_s::flags.
typedef enum vnx_ActivityClassification_StatusFlag_e
{
    VNX_ACTIVITY_CLASSIFICATION_STATUS_INTERPRETATION_FLAG = 1,
    VNX_ACTIVITY_CLASSIFICATION_STATUS_STILL = 2,
} vnx_ActivityClassification_StatusFlag_e;

/// The one status type a module sends.
#define VNX_ACTIVITY_CLASSIFICATION_STATUS_ACTIVITY 1u

typedef struct vnx_ActivityClassification_Config_s
{
    vnx_StructConfig_s config;
    uint8_t reserved[3];
    uint8_t padding1;          ///< left alone by the initialiser
    uint16_t stillTimeS;       ///< seconds of samples without motion that make the device still
    uint8_t padding2[2];       ///< left alone by the initialiser
    float motionThresholdBase; ///< rad/s; a rate above 5 times this is motion
    uint8_t statusEnable;      ///< vnx_ActivityClassification_StatusEnable_e bits
    uint8_t padding3[3];       ///< left alone by the initialiser
} vnx_ActivityClassification_Config_s;

/// Codes 0, 1 and 2 are accepted and change nothing; others are refused.
typedef struct vnx_ActivityClassification_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code;
    uint8_t padding[4]; ///< left alone by the initialiser
} vnx_ActivityClassification_Command_s;

typedef struct vnx_ActivityClassification_Status_s
{
    vnx_StructStatus_s status;
    uint32_t statusType; ///< VNX_ACTIVITY_CLASSIFICATION_STATUS_ACTIVITY in every status sent
    /// vnx_ActivityClassification_StatusFlag_e bits; the three upper bytes are
    /// always 0, so the word reads the same as its low byte.
    uint32_t flags;
} vnx_ActivityClassification_Status_s;

typedef vnx_StructFormat_s vnx_ActivityClassification_Format_s;

typedef struct vnx_ActivityClassification_Output_s
{
    vnx_StructOutput_s output;
    uint8_t flags;      ///< vnx_ActivityClassification_OutputFlag_e bits
    uint8_t padding[7]; ///< left alone by the initialiser
} vnx_ActivityClassification_Output_s;

VNX_DECLARE_RECORD_FAMILY(ActivityClassification)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_ActivityClassification_Config_s) == 48);
static_assert(offsetof(vnx_ActivityClassification_Config_s, config) == 0);
static_assert(offsetof(vnx_ActivityClassification_Config_s, reserved) == 32);
static_assert(offsetof(vnx_ActivityClassification_Config_s, padding1) == 35);
static_assert(offsetof(vnx_ActivityClassification_Config_s, stillTimeS) == 36);
static_assert(offsetof(vnx_ActivityClassification_Config_s, padding2) == 38);
static_assert(offsetof(vnx_ActivityClassification_Config_s, motionThresholdBase) == 40);
static_assert(offsetof(vnx_ActivityClassification_Config_s, statusEnable) == 44);
static_assert(offsetof(vnx_ActivityClassification_Config_s, padding3) == 45);

static_assert(sizeof(vnx_ActivityClassification_Command_s) == 40);
static_assert(offsetof(vnx_ActivityClassification_Command_s, command) == 0);
static_assert(offsetof(vnx_ActivityClassification_Command_s, code) == 32);
static_assert(offsetof(vnx_ActivityClassification_Command_s, padding) == 36);

static_assert(sizeof(vnx_ActivityClassification_Status_s) == 40);
static_assert(offsetof(vnx_ActivityClassification_Status_s, status) == 0);
static_assert(offsetof(vnx_ActivityClassification_Status_s, statusType) == 32);
static_assert(offsetof(vnx_ActivityClassification_Status_s, flags) == 36);

static_assert(sizeof(vnx_ActivityClassification_Output_s) == 24);
static_assert(offsetof(vnx_ActivityClassification_Output_s, output) == 0);
static_assert(offsetof(vnx_ActivityClassification_Output_s, flags) == 16);
static_assert(offsetof(vnx_ActivityClassification_Output_s, padding) == 17);
#endif
