#pragma once

// The link protocol's wire codec: every report a presenter, receiver or other
// device exchanges with the host (at most 96 bytes) as one decoded message,
// and back. The functions are pure: no state, no allocation, no logging.
//
// Protocol versions: 0 the boot loader's reports, 1 the older format (report
// id, sub-id, payload), 2 the current one (report id, length, destination,
// source, sub-id or motion payload).
//
// Results: 0 decoded, n > 0 report bytes written, -1 nothing to encode (an
// incoming type or a code above 75) or an empty report, -2 a null message or
// report, -24 a report shorter than its type needs or a buffer smaller than
// the report, -26 a report id or sub-id that is unknown (or not the called
// decoder's), -27 a version the type has no form for.

#include <stdint.h>

#include "linkCodec/zephraControlBodies.h"
#include "linkCodec/zephraFlashRecordBodies.h"
#include "linkCodec/zephraLayoutPin.h"
#include "linkCodec/zephraMessageTypes.h"
#include "linkCodec/zephraMotionBodies.h"
#include "linkCodec/zephraServiceBodies.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Message type codes: zephra_type<Name> is the code of zephra_<Name>.
typedef enum zephra_MessageType
{
#define ZEPHRA_TYPE_CODE(code, Name, dir) zephra_type##Name = code,
    ZEPHRA_MESSAGE_TYPES(ZEPHRA_TYPE_CODE)
#undef ZEPHRA_TYPE_CODE
} zephra_MessageType;

/// One decoded message: the 8-byte header, then the body of its type.
typedef struct zephra_message
{
    uint32_t messageType;    ///< 0: a zephra_MessageType code
    uint8_t protocolVersion; ///< 4: 0, 1 or 2
    uint8_t length;          ///< 5: length byte of a version-2 report
    uint8_t destination;     ///< 6
    uint8_t source;          ///< 7: the encoder sends 0
    union {
#define ZEPHRA_BODY_MEMBER(code, Name, dir) zephra_##Name Name;
        ZEPHRA_MESSAGE_TYPES(ZEPHRA_BODY_MEMBER)
#undef ZEPHRA_BODY_MEMBER
    } body; ///< 8...
} zephra_message;
ZEPHRA_STATIC_ASSERT(offsetof(zephra_message, messageType) == 0, "zephra_message.messageType");
ZEPHRA_STATIC_ASSERT(offsetof(zephra_message, protocolVersion) == 4, "zephra_message.protocolVersion");
ZEPHRA_STATIC_ASSERT(offsetof(zephra_message, length) == 5, "zephra_message.length");
ZEPHRA_STATIC_ASSERT(offsetof(zephra_message, destination) == 6, "zephra_message.destination");
ZEPHRA_STATIC_ASSERT(offsetof(zephra_message, source) == 7, "zephra_message.source");
ZEPHRA_STATIC_ASSERT(offsetof(zephra_message, body) == ZEPHRA_BODY_START, "zephra_message.body");
ZEPHRA_STATIC_ASSERT(sizeof(zephra_message) == 80, "size of zephra_message");

/// The longest report of any type and version.
#define ZEPHRA_MAX_REPORT_LENGTH 96

/// Decodes `length` report bytes read in protocol `version` (its low byte):
/// picks the type from the report id and sub-id, writes its code into the
/// message, then decodes the body.
int zephra_decode_message(const uint8_t* report, int length, zephra_message* message, int version);

/// Encodes the message as a report of its type in its protocol version into
/// `out` (room for `capacity` bytes): the report length, or a negative code.
/// Sets the message's source byte to 0 first, whatever the outcome.
int zephra_encode_message(zephra_message* message, uint8_t* out, int capacity);

// Per-type decoders (device to host) and encoders (host to device). Called
// directly they do as the dispatchers, but do not write the message type.
#define ZEPHRA_DECLARE_IN(Name)                                                                              \
    int zephra_decode##Name(const uint8_t* report, int length, zephra_message* message, int version);
#define ZEPHRA_DECLARE_OUT(Name) int zephra_encode##Name(zephra_message* message, uint8_t* out, int capacity);
#define ZEPHRA_DECLARE(code, Name, dir) ZEPHRA_DECLARE_##dir(Name)
ZEPHRA_MESSAGE_TYPES(ZEPHRA_DECLARE)
#undef ZEPHRA_DECLARE
#undef ZEPHRA_DECLARE_OUT
#undef ZEPHRA_DECLARE_IN

#ifdef __cplusplus
}
#endif
