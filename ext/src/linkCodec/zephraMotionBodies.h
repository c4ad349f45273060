#pragma once

// Bodies of the motion reports. Each comment gives the message bytes a field
// spans; buttons and flags are one byte each (0 or 1), unpacked from wire bits.

#include <stdint.h>

#include "linkCodec/zephraLayoutPin.h"

/// Type 55: buttons, pointer deltas and the raw inertial triples.
typedef struct zephra_BodyFrame
{
    uint8_t buttons[8];            ///< 8-15, buttons 1-8
    int8_t deltaX;                 ///< 16
    int8_t deltaY;                 ///< 17
    int8_t deltaWheel;             ///< 18
    uint8_t reserved19;            ///< 19
    uint16_t sequenceNumber;       ///< 20
    int16_t linearAcceleration[3]; ///< 22, 24, 26
    int16_t angularVelocity[3];    ///< 28, 30, 32
} zephra_BodyFrame;
ZEPHRA_PIN(zephra_BodyFrame, buttons, 8);
ZEPHRA_PIN(zephra_BodyFrame, deltaX, 16);
ZEPHRA_PIN(zephra_BodyFrame, deltaY, 17);
ZEPHRA_PIN(zephra_BodyFrame, deltaWheel, 18);
ZEPHRA_PIN(zephra_BodyFrame, sequenceNumber, 20);
ZEPHRA_PIN(zephra_BodyFrame, linearAcceleration, 22);
ZEPHRA_PIN(zephra_BodyFrame, angularVelocity, 28);
ZEPHRA_PIN_SIZE(zephra_BodyFrame, 26);

/// Type 56: buttons, deltas and the orientation quaternion (units of 1/16384).
typedef struct zephra_UserFrame
{
    uint8_t buttons[8];   ///< 8-15
    int8_t deltaX;        ///< 16
    int8_t deltaY;        ///< 17
    int8_t deltaWheel;    ///< 18
    uint8_t reserved19;   ///< 19
    uint16_t leadingWord; ///< 20
    int16_t motion[3];    ///< 22, 24, 26
    int16_t orientationW; ///< 28; computed from X, Y and Z in version 2
    int16_t orientationX; ///< 30
    int16_t orientationY; ///< 32
    int16_t orientationZ; ///< 34
} zephra_UserFrame;
ZEPHRA_PIN(zephra_UserFrame, buttons, 8);
ZEPHRA_PIN(zephra_UserFrame, deltaX, 16);
ZEPHRA_PIN(zephra_UserFrame, deltaY, 17);
ZEPHRA_PIN(zephra_UserFrame, deltaWheel, 18);
ZEPHRA_PIN(zephra_UserFrame, leadingWord, 20);
ZEPHRA_PIN(zephra_UserFrame, motion, 22);
ZEPHRA_PIN(zephra_UserFrame, orientationW, 28);
ZEPHRA_PIN(zephra_UserFrame, orientationX, 30);
ZEPHRA_PIN(zephra_UserFrame, orientationY, 32);
ZEPHRA_PIN(zephra_UserFrame, orientationZ, 34);
ZEPHRA_PIN_SIZE(zephra_UserFrame, 28);

/// Type 78: body and user frame in one report.
typedef struct zephra_BodyUserFrame
{
    uint8_t buttons[8];            ///< 8-15
    int8_t deltaX;                 ///< 16
    int8_t deltaY;                 ///< 17
    int8_t deltaWheel;             ///< 18
    uint8_t reserved19;            ///< 19
    uint16_t sequenceNumber;       ///< 20
    int16_t linearAcceleration[3]; ///< 22, 24, 26
    int16_t angularVelocity[3];    ///< 28, 30, 32
    int16_t thirdTriple[3];        ///< 34, 36, 38
    int16_t orientation[4];        ///< 40, 42, 44, 46: X, Y, Z, W
} zephra_BodyUserFrame;
ZEPHRA_PIN(zephra_BodyUserFrame, buttons, 8);
ZEPHRA_PIN(zephra_BodyUserFrame, deltaX, 16);
ZEPHRA_PIN(zephra_BodyUserFrame, deltaY, 17);
ZEPHRA_PIN(zephra_BodyUserFrame, deltaWheel, 18);
ZEPHRA_PIN(zephra_BodyUserFrame, sequenceNumber, 20);
ZEPHRA_PIN(zephra_BodyUserFrame, linearAcceleration, 22);
ZEPHRA_PIN(zephra_BodyUserFrame, angularVelocity, 28);
ZEPHRA_PIN(zephra_BodyUserFrame, thirdTriple, 34);
ZEPHRA_PIN(zephra_BodyUserFrame, orientation, 40);
ZEPHRA_PIN_SIZE(zephra_BodyUserFrame, 40);

/// Type 79: buttons, deltas and eleven sensor words.
typedef struct zephra_SuperSDA
{
    uint8_t buttons[8];      ///< 8-15
    int8_t deltaX;           ///< 16
    int8_t deltaY;           ///< 17
    int8_t deltaWheel;       ///< 18
    uint8_t reserved19;      ///< 19
    uint16_t sequenceNumber; ///< 20
    int16_t sensorWords[11]; ///< 22-43, sensor words 1-11
    uint32_t trailingWord;   ///< 44
} zephra_SuperSDA;
ZEPHRA_PIN(zephra_SuperSDA, buttons, 8);
ZEPHRA_PIN(zephra_SuperSDA, deltaX, 16);
ZEPHRA_PIN(zephra_SuperSDA, deltaY, 17);
ZEPHRA_PIN(zephra_SuperSDA, deltaWheel, 18);
ZEPHRA_PIN(zephra_SuperSDA, sequenceNumber, 20);
ZEPHRA_PIN(zephra_SuperSDA, sensorWords, 22);
ZEPHRA_PIN(zephra_SuperSDA, trailingWord, 44);
ZEPHRA_PIN_SIZE(zephra_SuperSDA, 40);

/// Type 51: the raw sensor report. Version 1 carries a 32-bit sample counter
/// (byte 28), version 2 a 16-bit one (byte 34).
typedef struct zephra_SDA
{
    uint8_t statusByte0;      ///< 8, version 1 only
    uint8_t statusBytes[2];   ///< 9, 10: status bytes 1, 2
    uint8_t reserved11;       ///< 11
    int16_t sensorWords[6];   ///< 12-23, two triples
    int16_t sensorWord6;      ///< 24
    uint8_t extraBytes[2];    ///< 26, 27, version 1 only
    uint32_t sampleCounterV1; ///< 28
    uint16_t trailingWordV1;  ///< 32
    uint16_t sampleCounterV2; ///< 34
} zephra_SDA;
ZEPHRA_PIN(zephra_SDA, statusByte0, 8);
ZEPHRA_PIN(zephra_SDA, statusBytes, 9);
ZEPHRA_PIN(zephra_SDA, sensorWords, 12);
ZEPHRA_PIN(zephra_SDA, sensorWord6, 24);
ZEPHRA_PIN(zephra_SDA, extraBytes, 26);
ZEPHRA_PIN(zephra_SDA, sampleCounterV1, 28);
ZEPHRA_PIN(zephra_SDA, trailingWordV1, 32);
ZEPHRA_PIN(zephra_SDA, sampleCounterV2, 34);
ZEPHRA_PIN_SIZE(zephra_SDA, 28);

/// Type 58: sensor words with a status byte and two flags.
typedef struct zephra_DceOutput
{
    uint8_t sampleCounter;  ///< 8
    uint8_t reserved9;      ///< 9
    int16_t sensorWords[6]; ///< 10-21
    uint8_t status;         ///< 22
    uint8_t flags[2];       ///< 23, 24
    uint8_t reserved25;     ///< 25
    uint16_t extraWords[3]; ///< 26, 28, 30
} zephra_DceOutput;
ZEPHRA_PIN(zephra_DceOutput, sampleCounter, 8);
ZEPHRA_PIN(zephra_DceOutput, sensorWords, 10);
ZEPHRA_PIN(zephra_DceOutput, status, 22);
ZEPHRA_PIN(zephra_DceOutput, flags, 23);
ZEPHRA_PIN(zephra_DceOutput, extraWords, 26);
ZEPHRA_PIN_SIZE(zephra_DceOutput, 24);

/// Type 81.
typedef struct zephra_DceOutV2
{
    uint32_t sampleCounter;  ///< 8
    int16_t sensorWords[10]; ///< 12-31
    uint8_t status;          ///< 32
    uint8_t flags[8];        ///< 33-40
    uint8_t trailingByte;    ///< 41
    uint8_t reserved42[2];   ///< 42, 43
} zephra_DceOutV2;
ZEPHRA_PIN(zephra_DceOutV2, sampleCounter, 8);
ZEPHRA_PIN(zephra_DceOutV2, sensorWords, 12);
ZEPHRA_PIN(zephra_DceOutV2, status, 32);
ZEPHRA_PIN(zephra_DceOutV2, flags, 33);
ZEPHRA_PIN(zephra_DceOutV2, trailingByte, 41);
ZEPHRA_PIN_SIZE(zephra_DceOutV2, 36);

/// Type 82.
typedef struct zephra_DceOutV3
{
    uint8_t sampleCounter;  ///< 8
    uint8_t flags[8];       ///< 9-16
    uint8_t reserved17;     ///< 17
    int16_t sensorWords[7]; ///< 18-31
} zephra_DceOutV3;
ZEPHRA_PIN(zephra_DceOutV3, sampleCounter, 8);
ZEPHRA_PIN(zephra_DceOutV3, flags, 9);
ZEPHRA_PIN(zephra_DceOutV3, sensorWords, 18);
ZEPHRA_PIN_SIZE(zephra_DceOutV3, 24);

/// Type 83: report 41 with type byte 0.
typedef struct zephra_DceOutV4T0
{
    uint8_t sampleCounter;  ///< 8
    uint8_t reserved9;      ///< 9
    int16_t sensorWords[7]; ///< 10-23
} zephra_DceOutV4T0;
ZEPHRA_PIN(zephra_DceOutV4T0, sampleCounter, 8);
ZEPHRA_PIN(zephra_DceOutV4T0, sensorWords, 10);
ZEPHRA_PIN_SIZE(zephra_DceOutV4T0, 16);

/// Type 84: report 41 with type byte 1.
typedef struct zephra_DceOutV4T1
{
    uint8_t sampleCounter;  ///< 8
    uint8_t reserved9;      ///< 9
    int16_t sensorWords[3]; ///< 10, 12, 14
    uint8_t flags[16];      ///< 16-31, flag bits 0-15
    uint8_t trailingByte;   ///< 32
    uint8_t reserved33;     ///< 33
} zephra_DceOutV4T1;
ZEPHRA_PIN(zephra_DceOutV4T1, sampleCounter, 8);
ZEPHRA_PIN(zephra_DceOutV4T1, sensorWords, 10);
ZEPHRA_PIN(zephra_DceOutV4T1, flags, 16);
ZEPHRA_PIN(zephra_DceOutV4T1, trailingByte, 32);
ZEPHRA_PIN_SIZE(zephra_DceOutV4T1, 26);

/// Type 80: the engine's own output streamed by the device.
typedef struct zephra_KinemoraOutput
{
    uint8_t formatSelect;    ///< 8: 0 or 2 for the formats the host reads
    uint8_t contentFlags[8]; ///< 9-16
    uint8_t reserved17[3];   ///< 17-19
    uint32_t sampleCounter;  ///< 20
    uint8_t payload[44];     ///< 24-67, format-dependent, copied unchanged
} zephra_KinemoraOutput;
ZEPHRA_PIN(zephra_KinemoraOutput, formatSelect, 8);
ZEPHRA_PIN(zephra_KinemoraOutput, contentFlags, 9);
ZEPHRA_PIN(zephra_KinemoraOutput, sampleCounter, 20);
ZEPHRA_PIN(zephra_KinemoraOutput, payload, 24);
ZEPHRA_PIN_SIZE(zephra_KinemoraOutput, 60);

/// Type 57 (host to device, version 1 only): five motion flags.
typedef struct zephra_DataMotionControl
{
    uint8_t flags[5]; ///< 8-12
} zephra_DataMotionControl;
ZEPHRA_PIN(zephra_DataMotionControl, flags, 8);
ZEPHRA_PIN_SIZE(zephra_DataMotionControl, 5);
