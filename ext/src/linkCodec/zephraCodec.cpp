// The exported codec functions: the two dispatchers and one thin function per
// message type, all driven by the message table.

#include <cstring>

#include "linkCodec/decodeRoutes.h"
#include "linkCodec/messageTable.h"
#include "linkCodec/zephraMessage.h"

namespace vnx::linkCodec {
namespace {

constexpr int kDecoded = 0;
constexpr int kNothingToDo = -1;
constexpr int kNullArgument = -2;
constexpr int kTooShort = -24;
constexpr int kUnknownReport = -26;
constexpr int kVersionUnsupported = -27;

constexpr uint8_t kHostSource = 0;

enum class Caller
{
    Dispatcher,
    Direct,
};

uint8_t* bytesOf(zephra_message* message)
{
    return reinterpret_cast<uint8_t*>(message);
}

int decodeAs(uint32_t type, const uint8_t* report, int length, zephra_message* message, int versionArg,
             Caller caller)
{
    if (report == nullptr || message == nullptr) {
        return kNullArgument;
    }
    const uint8_t version = static_cast<uint8_t>(versionArg);
    message->protocolVersion = version;
    if (version >= kVersionCount) {
        return kVersionUnsupported;
    }
    const MessageLayout& layout = kMessageLayouts[type];
    const Form& form = layout.forms[version];
    if (!form.exists()) {
        return kVersionUnsupported;
    }
    if (length < form.length) {
        return kTooShort;
    }
    if (report[0] != form.reportId) {
        return kUnknownReport;
    }
    if (version == 2 && (caller == Caller::Dispatcher || layout.headerWhenDirect)) {
        message->length = report[1];
        message->destination = report[2];
        message->source = report[3];
    }
    if (form.subId >= 0 && report[subIdByte(version)] != form.subId) {
        return kUnknownReport;
    }
    decodeFields(form.fields, report, bytesOf(message));
    return kDecoded;
}

int encodeAs(uint32_t type, zephra_message* message, uint8_t* out, int capacity)
{
    if (message == nullptr) {
        return kNullArgument;
    }
    message->source = kHostSource;
    if (out == nullptr) {
        return kNullArgument;
    }
    const uint8_t version = message->protocolVersion;
    if (version >= kVersionCount) {
        return kVersionUnsupported;
    }
    const Form& form = kMessageLayouts[type].forms[version];
    if (!form.exists()) {
        return kVersionUnsupported;
    }
    if (capacity < form.length) {
        return kTooShort;
    }
    out[0] = form.reportId;
    if (version == 2) {
        out[1] = form.length;
        out[2] = message->destination;
        out[3] = message->source;
    }
    if (form.subId >= 0) {
        out[subIdByte(version)] = static_cast<uint8_t>(form.subId);
    }
    encodeFields(form.fields, bytesOf(message), out);
    return form.length;
}

} // namespace
} // namespace vnx::linkCodec

using vnx::linkCodec::Caller;
using vnx::linkCodec::DecodeRoutes;
using vnx::linkCodec::kDecodeRoutes;

extern "C" int zephra_decode_message(const uint8_t* report, int length, zephra_message* message,
                                     int versionArg)
{
    using namespace vnx::linkCodec;
    if (report == nullptr || message == nullptr) {
        return kNullArgument;
    }
    if (length <= 0) {
        return kNothingToDo;
    }
    const uint8_t version = static_cast<uint8_t>(versionArg);
    if (version >= kVersionCount) {
        return kVersionUnsupported;
    }
    int16_t type = kDecodeRoutes.byReport[version][report[0]];
    if (type >= DecodeRoutes::kBySubId) {
        // The sub-id must be inside the report before it can name the type.
        const unsigned at = subIdByte(version);
        if (static_cast<unsigned>(length) <= at) {
            return kTooShort;
        }
        type = kDecodeRoutes.bySubId[type - DecodeRoutes::kBySubId][report[at]];
    }
    if (type == DecodeRoutes::kUnknown) {
        return kUnknownReport;
    }
    message->messageType = static_cast<uint32_t>(type);
    return decodeAs(static_cast<uint32_t>(type), report, length, message, versionArg, Caller::Dispatcher);
}

extern "C" int zephra_encode_message(zephra_message* message, uint8_t* out, int capacity)
{
    using namespace vnx::linkCodec;
    if (message == nullptr) {
        return kNullArgument;
    }
    message->source = kHostSource;
    if (out == nullptr) {
        return kNullArgument;
    }
    const uint32_t type = message->messageType;
    if (type >= kMessageLayouts.size() || kMessageLayouts[type].direction != Direction::Out) {
        return kNothingToDo;
    }
    return encodeAs(type, message, out, capacity);
}

#define ZEPHRA_DEFINE_IN(Name)                                                                               \
    extern "C" int zephra_decode##Name(const uint8_t* report, int length, zephra_message* message,           \
                                       int version)                                                          \
    {                                                                                                        \
        return vnx::linkCodec::decodeAs(zephra_type##Name, report, length, message, version,                 \
                                        Caller::Direct);                                                     \
    }
#define ZEPHRA_DEFINE_OUT(Name)                                                                              \
    extern "C" int zephra_encode##Name(zephra_message* message, uint8_t* out, int capacity)                  \
    {                                                                                                        \
        return vnx::linkCodec::encodeAs(zephra_type##Name, message, out, capacity);                          \
    }
#define ZEPHRA_DEFINE(code, Name, dir) ZEPHRA_DEFINE_##dir(Name)
ZEPHRA_MESSAGE_TYPES(ZEPHRA_DEFINE)
