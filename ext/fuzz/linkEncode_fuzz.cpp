// Encodes arbitrary messages into buffers of arbitrary capacity. The input is
// a capacity byte, then the bytes of the message (a writable copy: the encoder
// sets its source byte). The type code is folded into the table's range for
// most inputs so that every encoder is reached. The sanitizers catch any write
// past the buffer, which lives alone on the heap with exactly that capacity.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "linkCodec/zephraMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    const int capacity = data[0] % (ZEPHRA_MAX_REPORT_LENGTH + 8);
    auto message = std::make_unique<zephra_message>();
    std::memset(message.get(), 0, sizeof(zephra_message));
    const size_t taken = size - 1 < sizeof(zephra_message) ? size - 1 : sizeof(zephra_message);
    std::memcpy(message.get(), data + 1, taken);
    if ((data[0] & 0x80) == 0) {
        message->messageType %= ZEPHRA_MESSAGE_TYPE_COUNT + 1;
        message->protocolVersion %= 4;
    }

    // new[] of 0 bytes still gives a distinct pointer, so capacity 0 reaches
    // the length check rather than the null check.
    std::unique_ptr<uint8_t[]> out(new uint8_t[static_cast<size_t>(capacity)]);
    const int result = zephra_encode_message(message.get(), out.get(), capacity);
    if (message->source != 0 || result > capacity || result == 0) {
        __builtin_trap();
    }
    if (result > 0 && message->protocolVersion == 2 && out[1] != result) {
        __builtin_trap();
    }
    if (result < 0 && result != -1 && result != -24 && result != -27) {
        __builtin_trap();
    }
    return 0;
}
