#pragma once

// TestModule records (type 7). The module reports every call made on it as a
// Status record naming the operation.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// The operation a TestModule Status reports.
typedef enum vnx_TestModule_StatusList_e
{
    VNX_TEST_MODULE_SET_MODULE_LISTENER = 1,
    VNX_TEST_MODULE_GET_CONFIG = 2,
    VNX_TEST_MODULE_SET_CONFIG = 3,
    VNX_TEST_MODULE_SEND_COMMAND = 4,
    VNX_TEST_MODULE_GET_TYPE = 5,
    VNX_TEST_MODULE_INIT = 6,
    VNX_TEST_MODULE_TERM = 7,
    VNX_TEST_MODULE_GET_DCD = 8,
    VNX_TEST_MODULE_GET_INPUT_INTERFACE_COUNT = 9,
    VNX_TEST_MODULE_GET_INPUT_INTERFACE = 10,
    VNX_TEST_MODULE_GET_OUTPUT_INTERFACE_COUNT = 11,
    VNX_TEST_MODULE_GET_OUTPUT_INTERFACE = 12,
    VNX_TEST_MODULE_PROCESS = 13,
} vnx_TestModule_StatusList_e;

typedef struct vnx_TestModule_Config_s
{
    vnx_StructConfig_s config;
    uint32_t value; ///< not read
    uint8_t padding[4];
} vnx_TestModule_Config_s;

typedef struct vnx_TestModule_Command_s
{
    vnx_StructCommand_s command;
    uint32_t value; ///< not read
    uint8_t padding[4];
} vnx_TestModule_Command_s;

typedef struct vnx_TestModule_Status_s
{
    vnx_StructStatus_s status;
    uint32_t code; ///< vnx_TestModule_StatusList_e
    uint8_t padding[4];
} vnx_TestModule_Status_s;

typedef vnx_StructFormat_s vnx_TestModule_Format_s;
typedef vnx_StructOutput_s vnx_TestModule_Output_s;

VNX_DECLARE_RECORD_FAMILY(TestModule)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_TestModule_Config_s) == 40);
static_assert(offsetof(vnx_TestModule_Config_s, config) == 0);
static_assert(offsetof(vnx_TestModule_Config_s, value) == 32);
static_assert(offsetof(vnx_TestModule_Config_s, padding) == 36);
static_assert(sizeof(vnx_TestModule_Command_s) == 40);
static_assert(offsetof(vnx_TestModule_Command_s, command) == 0);
static_assert(offsetof(vnx_TestModule_Command_s, value) == 32);
static_assert(offsetof(vnx_TestModule_Command_s, padding) == 36);
static_assert(sizeof(vnx_TestModule_Status_s) == 40);
static_assert(offsetof(vnx_TestModule_Status_s, status) == 0);
static_assert(offsetof(vnx_TestModule_Status_s, code) == 32);
static_assert(offsetof(vnx_TestModule_Status_s, padding) == 36);
#endif
