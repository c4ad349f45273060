// Feeds arbitrary reports to the link-protocol decoder. The first input byte
// picks the protocol version (0-3, 3 being unsupported), the rest is the
// report, passed with its exact length: the sanitizers catch any read past
// the report and any write past the message, which lives alone on the heap.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "linkCodec/zephraMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 1 + ZEPHRA_MAX_REPORT_LENGTH * 2) {
        return 0;
    }
    const int version = data[0] % 4;
    const uint8_t* report = data + 1;
    const int length = static_cast<int>(size - 1);

    auto message = std::make_unique<zephra_message>();
    const int result = zephra_decode_message(report, length, message.get(), version);
    switch (result) {
    case 0:
        // A decoded report names a device-to-host type of its version.
        if (message->messageType >= ZEPHRA_MESSAGE_TYPE_COUNT || message->protocolVersion != version) {
            __builtin_trap();
        }
        break;
    case -1:
        if (length != 0) {
            __builtin_trap();
        }
        break;
    case -24:
    case -26:
    case -27:
        break;
    default:
        __builtin_trap();
    }
    return 0;
}
