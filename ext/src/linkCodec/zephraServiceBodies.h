#pragma once

// Bodies of the boot loader, firmware update (DFU), debugging, parameter,
// statistics, coprocessor and performance-counter messages.

#include <stdint.h>

#include "linkCodec/zephraLayoutPin.h"

/// Type 0 (version 0).
typedef struct zephra_USBBootCommand
{
    uint8_t command; ///< 8
} zephra_USBBootCommand;
ZEPHRA_PIN(zephra_USBBootCommand, command, 8);

/// Type 1 (version 0): the largest body.
typedef struct zephra_USBBootData
{
    uint8_t data[69]; ///< 8-76
} zephra_USBBootData;
ZEPHRA_PIN(zephra_USBBootData, data, 8);
ZEPHRA_PIN_SIZE(zephra_USBBootData, 69);

/// Type 2 (version 0).
typedef struct zephra_USBBootStatus
{
    uint8_t statusBytes[2]; ///< 8, 9
    uint8_t reserved10[2];  ///< 10, 11
    uint32_t words[2];      ///< 12, 16
    uint8_t trailingByte;   ///< 20
    uint8_t reserved21[3];  ///< 21-23
} zephra_USBBootStatus;
ZEPHRA_PIN(zephra_USBBootStatus, statusBytes, 8);
ZEPHRA_PIN(zephra_USBBootStatus, words, 12);
ZEPHRA_PIN(zephra_USBBootStatus, trailingByte, 20);
ZEPHRA_PIN_SIZE(zephra_USBBootStatus, 16);

/// Type 25: six payload bytes in version 1, seven other ones in version 2.
typedef struct zephra_DebugRequest
{
    uint8_t payloadV1[6]; ///< 8-13
    uint8_t payloadV2[7]; ///< 14-20
} zephra_DebugRequest;
ZEPHRA_PIN(zephra_DebugRequest, payloadV1, 8);
ZEPHRA_PIN(zephra_DebugRequest, payloadV2, 14);

/// Type 45.
typedef struct zephra_DebugResponse
{
    uint8_t payloadV1[25]; ///< 8-32
    uint8_t payloadV2[7];  ///< 33-39
} zephra_DebugResponse;
ZEPHRA_PIN(zephra_DebugResponse, payloadV1, 8);
ZEPHRA_PIN(zephra_DebugResponse, payloadV2, 33);

/// Type 26: version 2 does not send subCommand.
typedef struct zephra_ParameterRequest
{
    uint8_t command;    ///< 8
    uint8_t subCommand; ///< 9
    uint8_t value[4];   ///< 10-13
} zephra_ParameterRequest;
ZEPHRA_PIN(zephra_ParameterRequest, command, 8);
ZEPHRA_PIN(zephra_ParameterRequest, subCommand, 9);
ZEPHRA_PIN(zephra_ParameterRequest, value, 10);

/// Type 48: version 2 does not carry subCommand.
typedef struct zephra_ParameterResponse
{
    uint8_t command;    ///< 8
    uint8_t subCommand; ///< 9
    uint16_t values[2]; ///< 10, 12
} zephra_ParameterResponse;
ZEPHRA_PIN(zephra_ParameterResponse, command, 8);
ZEPHRA_PIN(zephra_ParameterResponse, subCommand, 9);
ZEPHRA_PIN(zephra_ParameterResponse, values, 10);

/// Type 47.
typedef struct zephra_DFUStatusResponse
{
    uint8_t flags[7];  ///< 8-14
    uint8_t state;     ///< 15
    uint32_t words[2]; ///< 16, 20
} zephra_DFUStatusResponse;
ZEPHRA_PIN(zephra_DFUStatusResponse, flags, 8);
ZEPHRA_PIN(zephra_DFUStatusResponse, state, 15);
ZEPHRA_PIN(zephra_DFUStatusResponse, words, 16);
ZEPHRA_PIN_SIZE(zephra_DFUStatusResponse, 16);

/// Type 30.
typedef struct zephra_DfuCommand
{
    uint8_t command[4]; ///< 8-11
} zephra_DfuCommand;
ZEPHRA_PIN(zephra_DfuCommand, command, 8);

/// Type 29: version 2 sends only the statistic.
typedef struct zephra_StatisticsRequest
{
    uint8_t selector;  ///< 8
    uint8_t statistic; ///< 9
} zephra_StatisticsRequest;
ZEPHRA_PIN(zephra_StatisticsRequest, selector, 8);
ZEPHRA_PIN(zephra_StatisticsRequest, statistic, 9);

/// Type 49: version 1 fills bytes 8-32, version 2 byte 9 and bytes 33-48.
typedef struct zephra_StatisticsResponse
{
    uint8_t selector;      ///< 8
    uint8_t statistic;     ///< 9
    uint8_t payloadV1[23]; ///< 10-32
    uint8_t payloadV2[16]; ///< 33-48
} zephra_StatisticsResponse;
ZEPHRA_PIN(zephra_StatisticsResponse, selector, 8);
ZEPHRA_PIN(zephra_StatisticsResponse, statistic, 9);
ZEPHRA_PIN(zephra_StatisticsResponse, payloadV1, 10);
ZEPHRA_PIN(zephra_StatisticsResponse, payloadV2, 33);

/// Type 31 (version 1 only).
typedef struct zephra_UtRequest
{
    uint8_t payload[6]; ///< 8-13
} zephra_UtRequest;
ZEPHRA_PIN(zephra_UtRequest, payload, 8);

/// Type 32 (version 1 only).
typedef struct zephra_DongleResetToBoot
{
    uint8_t payload[4]; ///< 8-11
} zephra_DongleResetToBoot;
ZEPHRA_PIN(zephra_DongleResetToBoot, payload, 8);

/// Type 50: bytes from the coprocessor.
typedef struct zephra_ZSP2Coprocessor
{
    uint8_t data[17]; ///< 8-24
} zephra_ZSP2Coprocessor;
ZEPHRA_PIN(zephra_ZSP2Coprocessor, data, 8);

/// Type 54 (version 1 only): bytes for the coprocessor.
typedef struct zephra_CP2ZSP
{
    uint8_t data[18]; ///< 8-25
} zephra_CP2ZSP;
ZEPHRA_PIN(zephra_CP2ZSP, data, 8);

/// Type 68 (version 2 only).
typedef struct zephra_PerRequest
{
    uint8_t payload[6]; ///< 8-13
} zephra_PerRequest;
ZEPHRA_PIN(zephra_PerRequest, payload, 8);

/// Type 64 (version 2 only): four performance counters.
typedef struct zephra_PerResponse
{
    uint32_t counters[4]; ///< 8, 12, 16, 20
} zephra_PerResponse;
ZEPHRA_PIN(zephra_PerResponse, counters, 8);
