#pragma once

// Field maps of the motion reports. Every 16-bit value is stored as it came;
// button and flag bytes are unpacked one bit per message byte.

#include "linkCodec/fieldMap.h"

namespace vnx::linkCodec::fields {

inline constexpr FieldOp kBodyFrameV1[] = {
    flags(ZEPHRA_AT(BodyFrame.buttons), 1, 0, 8),
    bytes(ZEPHRA_AT(BodyFrame.deltaX), 2, 3),
    words16(ZEPHRA_AT(BodyFrame.sequenceNumber), 5),
    // Wire bytes 7 and 8 are not read.
    words16(ZEPHRA_AT(BodyFrame.linearAcceleration), 9, 3),
    words16(ZEPHRA_AT(BodyFrame.angularVelocity), 15, 3),
};
inline constexpr FieldOp kBodyFrameV2[] = {
    flags(ZEPHRA_AT(BodyFrame.buttons), 4, 0, 8),
    bytes(ZEPHRA_AT(BodyFrame.deltaX), 5, 3),
    words16(ZEPHRA_AT(BodyFrame.sequenceNumber), 8),
    words16(ZEPHRA_AT(BodyFrame.linearAcceleration), 10, 3),
    words16(ZEPHRA_AT(BodyFrame.angularVelocity), 16, 3),
};

inline constexpr FieldOp kUserFrameV1[] = {
    flags(ZEPHRA_AT(UserFrame.buttons), 1, 0, 8), bytes(ZEPHRA_AT(UserFrame.deltaX), 2, 3),
    words16(ZEPHRA_AT(UserFrame.leadingWord), 5),
    // Wire bytes 7 and 8 are not read.
    words16(ZEPHRA_AT(UserFrame.motion), 9, 3),
    words16(ZEPHRA_AT(UserFrame.orientationW), 15, 4), // W, X, Y, Z
};
inline constexpr FieldOp kUserFrameV2[] = {
    flags(ZEPHRA_AT(UserFrame.buttons), 4, 0, 8),
    bytes(ZEPHRA_AT(UserFrame.deltaX), 5, 3),
    words16(ZEPHRA_AT(UserFrame.leadingWord), 8),
    words16(ZEPHRA_AT(UserFrame.motion), 10, 3),
    orientationW(ZEPHRA_AT(UserFrame.orientationW), 16),
    words16(ZEPHRA_AT(UserFrame.orientationX), 16, 3), // X, Y, Z
};

inline constexpr FieldOp kBodyUserFrameV2[] = {
    flags(ZEPHRA_AT(BodyUserFrame.buttons), 4, 0, 8),
    bytes(ZEPHRA_AT(BodyUserFrame.deltaX), 5, 3),
    words16(ZEPHRA_AT(BodyUserFrame.sequenceNumber), 8),
    words16(ZEPHRA_AT(BodyUserFrame.linearAcceleration), 10, 3),
    words16(ZEPHRA_AT(BodyUserFrame.angularVelocity), 16, 3),
    words16(ZEPHRA_AT(BodyUserFrame.thirdTriple), 22, 3),
    words16(ZEPHRA_AT(BodyUserFrame.orientation), 28, 4),
};

inline constexpr FieldOp kSuperSdaV2[] = {
    flags(ZEPHRA_AT(SuperSDA.buttons), 4, 0, 8),    bytes(ZEPHRA_AT(SuperSDA.deltaX), 5, 3),
    words16(ZEPHRA_AT(SuperSDA.sequenceNumber), 8), words16(ZEPHRA_AT(SuperSDA.sensorWords), 10, 11),
    words32(ZEPHRA_AT(SuperSDA.trailingWord), 32),
};

inline constexpr FieldOp kSdaV1[] = {
    bytes(ZEPHRA_AT(SDA.statusByte0), 2, 3), // status bytes 0-2
    words16(ZEPHRA_AT(SDA.sensorWords), 5, 6),  words16(ZEPHRA_AT(SDA.sensorWord6), 17),
    bytes(ZEPHRA_AT(SDA.extraBytes), 19, 2),    words32(ZEPHRA_AT(SDA.sampleCounterV1), 21),
    words16(ZEPHRA_AT(SDA.trailingWordV1), 25),
};
inline constexpr FieldOp kSdaV2[] = {
    words16(ZEPHRA_AT(SDA.sampleCounterV2), 4),
    words16(ZEPHRA_AT(SDA.sensorWords), 6, 6),
    words16(ZEPHRA_AT(SDA.sensorWord6), 18),
    bytes(ZEPHRA_AT(SDA.statusBytes), 20, 2),
};

inline constexpr FieldOp kDceOutputV1[] = {
    bytes(ZEPHRA_AT(DceOutput.sampleCounter), 1, 1), words16(ZEPHRA_AT(DceOutput.sensorWords), 2, 6),
    bytes(ZEPHRA_AT(DceOutput.status), 14, 1),       flags(ZEPHRA_AT(DceOutput.flags), 15, 0, 2),
    words16(ZEPHRA_AT(DceOutput.extraWords), 16, 3),
};
inline constexpr FieldOp kDceOutputV2[] = {
    bytes(ZEPHRA_AT(DceOutput.sampleCounter), 4, 1), words16(ZEPHRA_AT(DceOutput.sensorWords), 5, 6),
    bytes(ZEPHRA_AT(DceOutput.status), 17, 1),       flags(ZEPHRA_AT(DceOutput.flags), 18, 0, 2),
    words16(ZEPHRA_AT(DceOutput.extraWords), 19, 3),
};

inline constexpr FieldOp kKinemoraOutputV2[] = {
    bytes(ZEPHRA_AT(KinemoraOutput.formatSelect), 4, 1),
    flags(ZEPHRA_AT(KinemoraOutput.contentFlags), 5, 0, 8),
    words32(ZEPHRA_AT(KinemoraOutput.sampleCounter), 6),
    bytes(ZEPHRA_AT(KinemoraOutput.payload), 10, 44),
};

inline constexpr FieldOp kDceOutV2V2[] = {
    words32(ZEPHRA_AT(DceOutV2.sampleCounter), 4),  words16(ZEPHRA_AT(DceOutV2.sensorWords), 8, 10),
    bytes(ZEPHRA_AT(DceOutV2.status), 28, 1),       flags(ZEPHRA_AT(DceOutV2.flags), 29, 0, 8),
    bytes(ZEPHRA_AT(DceOutV2.trailingByte), 30, 1),
};

inline constexpr FieldOp kDceOutV3V2[] = {
    bytes(ZEPHRA_AT(DceOutV3.sampleCounter), 4, 1),
    flags(ZEPHRA_AT(DceOutV3.flags), 5, 0, 8),
    words16(ZEPHRA_AT(DceOutV3.sensorWords), 6, 7),
};

inline constexpr FieldOp kDceOutV4T0V2[] = {
    bytes(ZEPHRA_AT(DceOutV4T0.sampleCounter), 5, 1),
    words16(ZEPHRA_AT(DceOutV4T0.sensorWords), 6, 7),
};

inline constexpr FieldOp kDceOutV4T1V2[] = {
    bytes(ZEPHRA_AT(DceOutV4T1.sampleCounter), 5, 1), words16(ZEPHRA_AT(DceOutV4T1.sensorWords), 6, 3),
    flags(ZEPHRA_AT(DceOutV4T1.flags), 12, 0, 8),     flags(ZEPHRA_AT(DceOutV4T1.flags[8]), 13, 0, 8),
    bytes(ZEPHRA_AT(DceOutV4T1.trailingByte), 14, 1),
};

inline constexpr FieldOp kDataMotionControlV1[] = {
    flags(ZEPHRA_AT(DataMotionControl.flags), 1, 0, 5),
};

} // namespace vnx::linkCodec::fields
