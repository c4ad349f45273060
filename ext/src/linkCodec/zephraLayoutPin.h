#pragma once

// Pins a body field to the message byte it occupies. Bodies start at message
// byte 8, behind the 8-byte header, so a field's message byte is its offset in
// the body plus 8. The layouts are a format shared with clients in C and C++.

#include <stddef.h>

#define ZEPHRA_BODY_START 8

#ifdef __cplusplus
#define ZEPHRA_STATIC_ASSERT(cond, text) static_assert(cond, text)
#else
#define ZEPHRA_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

/// The field `field` of body `Type` lies at message byte `messageByte`.
#define ZEPHRA_PIN(Type, field, messageByte)                                                                 \
    ZEPHRA_STATIC_ASSERT(offsetof(Type, field) + ZEPHRA_BODY_START == (messageByte), #Type "." #field)

/// The body `Type` ends before message byte `messageEnd`.
#define ZEPHRA_PIN_SIZE(Type, size) ZEPHRA_STATIC_ASSERT(sizeof(Type) == (size), "size of " #Type)
