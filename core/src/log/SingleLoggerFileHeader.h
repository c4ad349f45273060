#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace vnx::log {

static_assert(std::endian::native == std::endian::little,
              "log files are written as little-endian memory images");

/// Header of a single-logger file ".dbg": it describes the first piece the
/// logger wrote. Records follow with no length: a 4-byte sequence number,
/// then the payload.
struct SingleLoggerFileHeader
{
    static constexpr uint32_t kMagic = 0x24601042;
    static constexpr uint16_t kSize = 64;
    static constexpr uint16_t kVersion = 1;
    /// The second test-point field: the kind of the 4-byte sequence number
    /// that starts every record.
    static constexpr uint16_t kSequenceTestPoint = 7;

    SingleLoggerFileHeader() = default;
    SingleLoggerFileHeader(uint16_t firstTestPoint, uint16_t secondTestPoint, uint32_t firstCountA,
                           uint32_t firstCountB)
        : testPoint(firstTestPoint), testPoint2(secondTestPoint), countA(firstCountA), countB(firstCountB)
    {
    }

    uint32_t magic = kMagic;
    uint16_t headerSize = kSize;
    uint16_t version = kVersion;
    uint16_t testPoint = 0; ///< low 16 bits of the first piece's TestPoint_e
    uint16_t testPoint2 = 0;
    uint32_t countA = 0;
    uint32_t countB = 0;
    uint8_t reserved[44] = {};
};

static_assert(sizeof(SingleLoggerFileHeader) == 64);
static_assert(offsetof(SingleLoggerFileHeader, headerSize) == 4);
static_assert(offsetof(SingleLoggerFileHeader, version) == 6);
static_assert(offsetof(SingleLoggerFileHeader, testPoint) == 8);
static_assert(offsetof(SingleLoggerFileHeader, testPoint2) == 10);
static_assert(offsetof(SingleLoggerFileHeader, countA) == 12);
static_assert(offsetof(SingleLoggerFileHeader, countB) == 16);
static_assert(offsetof(SingleLoggerFileHeader, reserved) == 20);

} // namespace vnx::log
