#include "common/crc32.h"

namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;

} // namespace

extern "C" {

uint32_t crc32_init(void)
{
    return 0xFFFFFFFFu;
}

// Bitwise, without a table: the CRC only covers blocks of a few hundred bytes.
void crc32_step(uint32_t* state, uint32_t byte)
{
    if (state == nullptr) {
        return;
    }
    uint32_t low = (*state ^ byte) & 0xFFu;
    for (int bit = 0; bit < 8; ++bit) {
        low = (low & 1u) != 0 ? (low >> 1) ^ kPolynomial : low >> 1;
    }
    *state = (*state >> 8) ^ low;
}

uint32_t crc32_read(uint32_t state)
{
    return ~state;
}

uint32_t crc32_process(const void* data, uint32_t length)
{
    if (data == nullptr) {
        return 0;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t state = crc32_init();
    for (uint32_t i = 0; i < length; ++i) {
        crc32_step(&state, bytes[i]);
    }
    return crc32_read(state);
}

} // extern "C"
