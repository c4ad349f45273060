#pragma once

// Word access into calibration blocks that arrive as plain byte buffers (from
// files, the flat API or a device), which need not be aligned for uint32_t.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vnx {

/// 32-bit word n (bytes 4n .. 4n + 3) of a block, in host (little-endian) order.
inline std::uint32_t readBlockWord(const void* block, std::size_t n)
{
    std::uint32_t w;
    std::memcpy(&w, static_cast<const unsigned char*>(block) + 4 * n, sizeof w);
    return w;
}

inline void writeBlockWord(void* block, std::size_t n, std::uint32_t w)
{
    std::memcpy(static_cast<unsigned char*>(block) + 4 * n, &w, sizeof w);
}

} // namespace vnx
