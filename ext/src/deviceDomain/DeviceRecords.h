#pragma once

// Device records (type 113): the settings of a device's module host (the
// Config), device commands and the status events devices send to their
// listeners. Status kinds 5 and 6 carry addresses, so Device Status records
// stay inside the process: never in a pipe or a file.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// What a Device Status reports (`statusKind`).
typedef enum vnx_Device_StatusKind_e
{
    VNX_DEVICE_STATUS_SAMPLES_OVERWRITTEN = 1, ///< payload: how many samples were lost
    VNX_DEVICE_STATUS_PROCESS_FAILED = 2,      ///< result: the hosted module's answer
    VNX_DEVICE_STATUS_PERIOD_CHANGED = 4,      ///< payload: the new sampling period (float)
    VNX_DEVICE_STATUS_SCD_SET = 5,             ///< payload: address of the SCD record
    VNX_DEVICE_STATUS_DCD_UPDATED = 6,         ///< payload: address of the DCD record
    VNX_DEVICE_STATUS_MODULE_FAILED = 8,       ///< result: why creation or init failed
    VNX_DEVICE_STATUS_MODULE_READY = 9,
} vnx_Device_StatusKind_e;

typedef vnx_StructFormat_s vnx_Device_Format_s;
typedef vnx_StructOutput_s vnx_Device_Output_s;

/// Settings of the module host of a device.
typedef struct vnx_Device_Config_s
{
    vnx_StructConfig_s config;
    uint8_t typeId; ///< module type the device hosts; 0 after init
    uint8_t reserved0[3];
    int32_t inputId;     ///< input interface of the hosted module; -1 after init
    int32_t outputId;    ///< output interface of the hosted module; -1 after init
    uint8_t logRawInput; ///< capture raw input; 0 after init
    uint8_t reserved1;
    uint8_t logOutput; ///< capture outputs; 0 after init
    uint8_t reserved2;
    int32_t dcdSaveInterval;    ///< seconds between automatic calibration saves, <= 0 none; 60
    uint8_t reportMotionInput;  ///< report each input batch to listeners; 0
    uint8_t reportMotionOutput; ///< report outputs to listeners; 1
    uint8_t sampleBaseWidth;    ///< bits of the sample counter: 8 or 32; 8
    uint8_t reserved3;
    uint64_t maxBufferedSamplesToProcess; ///< samples buffered before processing; 1
} vnx_Device_Config_s;

typedef struct vnx_Device_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< 0 after init
    uint8_t padding[4];
} vnx_Device_Command_s;

typedef struct vnx_Device_Status_s
{
    vnx_StructStatus_s status;
    uint32_t statusKind; ///< vnx_Device_StatusKind_e; 0 after init
    uint8_t padding[4];
    union {
        uint64_t count;     ///< kind 1
        float period;       ///< kind 4
        const void* record; ///< kinds 5 and 6
    } payload;              ///< 0 after init
} vnx_Device_Status_s;

VNX_DECLARE_RECORD_FAMILY(Device)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_Device_Config_s) == 64);
static_assert(offsetof(vnx_Device_Config_s, config) == 0);
static_assert(offsetof(vnx_Device_Config_s, typeId) == 32);
static_assert(offsetof(vnx_Device_Config_s, reserved0) == 33);
static_assert(offsetof(vnx_Device_Config_s, inputId) == 36);
static_assert(offsetof(vnx_Device_Config_s, outputId) == 40);
static_assert(offsetof(vnx_Device_Config_s, logRawInput) == 44);
static_assert(offsetof(vnx_Device_Config_s, reserved1) == 45);
static_assert(offsetof(vnx_Device_Config_s, logOutput) == 46);
static_assert(offsetof(vnx_Device_Config_s, reserved2) == 47);
static_assert(offsetof(vnx_Device_Config_s, dcdSaveInterval) == 48);
static_assert(offsetof(vnx_Device_Config_s, reportMotionInput) == 52);
static_assert(offsetof(vnx_Device_Config_s, reportMotionOutput) == 53);
static_assert(offsetof(vnx_Device_Config_s, sampleBaseWidth) == 54);
static_assert(offsetof(vnx_Device_Config_s, reserved3) == 55);
static_assert(offsetof(vnx_Device_Config_s, maxBufferedSamplesToProcess) == 56);
static_assert(sizeof(vnx_Device_Command_s) == 40);
static_assert(offsetof(vnx_Device_Command_s, command) == 0);
static_assert(offsetof(vnx_Device_Command_s, code) == 32);
static_assert(offsetof(vnx_Device_Command_s, padding) == 36);
static_assert(sizeof(vnx_Device_Status_s) == 48);
static_assert(offsetof(vnx_Device_Status_s, status) == 0);
static_assert(offsetof(vnx_Device_Status_s, statusKind) == 32);
static_assert(offsetof(vnx_Device_Status_s, padding) == 36);
static_assert(offsetof(vnx_Device_Status_s, payload) == 40);
#endif
