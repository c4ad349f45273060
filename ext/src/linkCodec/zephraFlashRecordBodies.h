#pragma once

// Bodies of the flash-record messages, read and written one 32-bit word at a
// time. Version 2 addresses the memory by the destination byte; version 1 has
// one family of the same shapes per memory (handheld, dongle, EFlash).

#include <stdint.h>

#include "linkCodec/zephraLayoutPin.h"

/// Type 65: announces a record of recordLength words.
typedef struct zephra_FRSWriteRequest
{
    uint16_t recordLength; ///< 8, in words
    uint16_t recordType;   ///< 10
} zephra_FRSWriteRequest;
ZEPHRA_PIN(zephra_FRSWriteRequest, recordLength, 8);
ZEPHRA_PIN(zephra_FRSWriteRequest, recordType, 10);

/// Type 66: one data word of a record being written.
typedef struct zephra_FRSWriteData
{
    uint16_t wordOffset;   ///< 8
    uint8_t reserved10[2]; ///< 10, 11: not sent
    uint32_t data;         ///< 12
} zephra_FRSWriteData;
ZEPHRA_PIN(zephra_FRSWriteData, wordOffset, 8);
ZEPHRA_PIN(zephra_FRSWriteData, data, 12);
ZEPHRA_PIN_SIZE(zephra_FRSWriteData, 8);

/// Type 67: asks for wordCount words (0: the whole record) from wordOffset.
typedef struct zephra_FRSReadRequest
{
    uint16_t wordOffset; ///< 8
    uint16_t recordType; ///< 10
    uint16_t wordCount;  ///< 12
} zephra_FRSReadRequest;
ZEPHRA_PIN(zephra_FRSReadRequest, wordOffset, 8);
ZEPHRA_PIN(zephra_FRSReadRequest, recordType, 10);
ZEPHRA_PIN(zephra_FRSReadRequest, wordCount, 12);

/// Type 59: a write step acknowledged.
typedef struct zephra_FRSWriteResponse
{
    uint8_t status;      ///< 8
    uint8_t reserved9;   ///< 9
    uint16_t wordOffset; ///< 10
} zephra_FRSWriteResponse;
ZEPHRA_PIN(zephra_FRSWriteResponse, status, 8);
ZEPHRA_PIN(zephra_FRSWriteResponse, wordOffset, 10);

/// Type 63: up to three words of a record being read.
typedef struct zephra_FRSReadResponse
{
    uint32_t status;       ///< 8: 0 more to come; 3, 6, 7 end; others errors
    uint32_t wordCount;    ///< 12: data words in this report
    uint16_t wordOffset;   ///< 16: offset of data[0]
    uint8_t reserved18[2]; ///< 18, 19
    uint32_t data[3];      ///< 20, 24, 28
    uint16_t trailingWord; ///< 32
    uint8_t reserved34[2]; ///< 34, 35
} zephra_FRSReadResponse;
ZEPHRA_PIN(zephra_FRSReadResponse, status, 8);
ZEPHRA_PIN(zephra_FRSReadResponse, wordCount, 12);
ZEPHRA_PIN(zephra_FRSReadResponse, wordOffset, 16);
ZEPHRA_PIN(zephra_FRSReadResponse, data, 20);
ZEPHRA_PIN(zephra_FRSReadResponse, trailingWord, 32);
ZEPHRA_PIN_SIZE(zephra_FRSReadResponse, 28);

/// Type 77: the BLE form of the read response, two words per report.
typedef struct zephra_FRSReadResponseBLE
{
    uint32_t status;           ///< 8
    uint32_t wordCount;        ///< 12
    uint16_t wordOffset;       ///< 16
    uint8_t reserved18[2];     ///< 18, 19
    uint32_t data[2];          ///< 20, 24
    uint16_t trailingWords[2]; ///< 28, 30
} zephra_FRSReadResponseBLE;
ZEPHRA_PIN(zephra_FRSReadResponseBLE, status, 8);
ZEPHRA_PIN(zephra_FRSReadResponseBLE, wordCount, 12);
ZEPHRA_PIN(zephra_FRSReadResponseBLE, wordOffset, 16);
ZEPHRA_PIN(zephra_FRSReadResponseBLE, data, 20);
ZEPHRA_PIN(zephra_FRSReadResponseBLE, trailingWords, 28);
ZEPHRA_PIN_SIZE(zephra_FRSReadResponseBLE, 24);

/// Version-1 read request of any memory.
typedef struct zephra_FRSReadRequestV1
{
    uint8_t request[6]; ///< 8-13
} zephra_FRSReadRequestV1;
ZEPHRA_PIN(zephra_FRSReadRequestV1, request, 8);

/// Version-1 write request of any memory.
typedef struct zephra_FRSWriteRequestV1
{
    uint8_t request[4]; ///< 8-11
} zephra_FRSWriteRequestV1;
ZEPHRA_PIN(zephra_FRSWriteRequestV1, request, 8);

/// Version-1 write data of any memory.
typedef struct zephra_FRSWriteDataV1
{
    uint16_t wordOffset;   ///< 8
    uint8_t reserved10[2]; ///< 10, 11
    uint32_t data;         ///< 12
} zephra_FRSWriteDataV1;
ZEPHRA_PIN(zephra_FRSWriteDataV1, wordOffset, 8);
ZEPHRA_PIN(zephra_FRSWriteDataV1, data, 12);

/// Version-1 read response of any memory: five words per report.
typedef struct zephra_FRSReadResponseV1
{
    uint16_t wordOffset;   ///< 8
    uint8_t reserved10[2]; ///< 10, 11
    uint32_t data[5];      ///< 12, 16, 20, 24, 28
    uint32_t status;       ///< 32
    uint32_t wordCount;    ///< 36
    uint16_t trailingWord; ///< 40
    uint8_t reserved42[2]; ///< 42, 43
} zephra_FRSReadResponseV1;
ZEPHRA_PIN(zephra_FRSReadResponseV1, wordOffset, 8);
ZEPHRA_PIN(zephra_FRSReadResponseV1, data, 12);
ZEPHRA_PIN(zephra_FRSReadResponseV1, status, 32);
ZEPHRA_PIN(zephra_FRSReadResponseV1, wordCount, 36);
ZEPHRA_PIN(zephra_FRSReadResponseV1, trailingWord, 40);
ZEPHRA_PIN_SIZE(zephra_FRSReadResponseV1, 36);

/// Version-1 write response of any memory.
typedef struct zephra_FRSWriteResponseV1
{
    uint16_t wordOffset; ///< 8
    uint8_t status;      ///< 10
    uint8_t reserved11;  ///< 11
} zephra_FRSWriteResponseV1;
ZEPHRA_PIN(zephra_FRSWriteResponseV1, wordOffset, 8);
ZEPHRA_PIN(zephra_FRSWriteResponseV1, status, 10);

typedef zephra_FRSReadRequestV1 zephra_FRSHandheldReadRequest;
typedef zephra_FRSWriteRequestV1 zephra_FRSHandheldWriteRequest;
typedef zephra_FRSWriteDataV1 zephra_FRSHandheldWriteData;
typedef zephra_FRSReadResponseV1 zephra_FRSHandheldReadResponse;
typedef zephra_FRSWriteResponseV1 zephra_FRSHandheldWriteResponse;
typedef zephra_FRSReadRequestV1 zephra_FRSDongleReadRequest;
typedef zephra_FRSWriteRequestV1 zephra_FRSDongleWriteRequest;
typedef zephra_FRSWriteDataV1 zephra_FRSDongleWriteData;
typedef zephra_FRSReadResponseV1 zephra_FRSDongleReadResponse;
typedef zephra_FRSWriteResponseV1 zephra_FRSDongleWriteResponse;
typedef zephra_FRSReadRequestV1 zephra_FRSEFlashReadRequest;
typedef zephra_FRSWriteRequestV1 zephra_FRSEFlashWriteRequest;
typedef zephra_FRSWriteDataV1 zephra_FRSEFlashWriteData;
typedef zephra_FRSReadResponseV1 zephra_FRSEFlashReadResponse;
typedef zephra_FRSWriteResponseV1 zephra_FRSEFlashWriteResponse;
