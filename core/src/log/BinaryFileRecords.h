#pragma once

// Byte layout of the binary log file ".dat": a 64-byte file header, then
// records back to back, each a 12-byte record header and its payload. An
// identifier record (id 0) describes one logging site; data records name the
// site by its id. All integers little-endian, written as the structs lie in
// memory.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace vnx::log {

static_assert(std::endian::native == std::endian::little,
              "log files are written as little-endian memory images");

struct BinaryFileHeader
{
    static constexpr uint32_t kMagic = 0x24601043;
    static constexpr uint16_t kSize = 64;
    static constexpr uint16_t kVersion = 1;

    uint32_t magic = kMagic;
    uint16_t headerSize = kSize;
    uint16_t version = kVersion;
    uint8_t reserved[56] = {};

    /// Reserved bytes are not compared.
    friend bool operator==(const BinaryFileHeader& a, const BinaryFileHeader& b)
    {
        return a.magic == b.magic && a.headerSize == b.headerSize && a.version == b.version;
    }
};

struct BinaryRecordHeader
{
    uint32_t length;         ///< 12 + payload length
    uint32_t id;             ///< sample identifier; 0 for an identifier record
    uint32_t sequenceNumber; ///< of the logging logger when the record was written
};

/// Payload of an identifier record: one logging site.
struct BinarySampleIdentifier
{
    enum Kind_e : uint32_t
    {
        KIND_TEXT = 1,
        KIND_RECORD = 2,
        KIND_OUTPUT_LIST = 4,
        KIND_DATA = 8,
    };
    static constexpr size_t kNameSize = 512;

    uint32_t id;           ///< 1 or more
    uint16_t testPointLow; ///< low 16 bits of testPoint
    uint16_t countA;       ///< low 16 bits
    uint16_t countB;       ///< low 16 bits
    uint16_t zero0;
    uint32_t kind;      ///< Kind_e
    uint32_t testPoint; ///< TestPoint_e, full value
    int32_t level;      ///< Priority_e
    uint64_t logger;    ///< address of the logger in the writing process
    int32_t line;
    char file[kNameSize];       ///< zero-padded; not terminated when full
    char loggerName[kNameSize]; ///< zero-padded; not terminated when full
    uint32_t zero1;
};

/// An identifier record is exactly this long.
inline constexpr uint32_t kBinaryIdentifierRecordLength =
    sizeof(BinaryRecordHeader) + sizeof(BinarySampleIdentifier);

static_assert(sizeof(BinaryFileHeader) == 64);
static_assert(offsetof(BinaryFileHeader, headerSize) == 4);
static_assert(offsetof(BinaryFileHeader, version) == 6);
static_assert(offsetof(BinaryFileHeader, reserved) == 8);

static_assert(sizeof(BinaryRecordHeader) == 12);
static_assert(offsetof(BinaryRecordHeader, id) == 4);
static_assert(offsetof(BinaryRecordHeader, sequenceNumber) == 8);

static_assert(sizeof(BinarySampleIdentifier) == 1064);
static_assert(offsetof(BinarySampleIdentifier, testPointLow) == 4);
static_assert(offsetof(BinarySampleIdentifier, countA) == 6);
static_assert(offsetof(BinarySampleIdentifier, countB) == 8);
static_assert(offsetof(BinarySampleIdentifier, zero0) == 10);
static_assert(offsetof(BinarySampleIdentifier, kind) == 12);
static_assert(offsetof(BinarySampleIdentifier, testPoint) == 16);
static_assert(offsetof(BinarySampleIdentifier, level) == 20);
static_assert(offsetof(BinarySampleIdentifier, logger) == 24);
static_assert(offsetof(BinarySampleIdentifier, line) == 32);
static_assert(offsetof(BinarySampleIdentifier, file) == 36);
static_assert(offsetof(BinarySampleIdentifier, loggerName) == 548);
static_assert(offsetof(BinarySampleIdentifier, zero1) == 1060);
static_assert(kBinaryIdentifierRecordLength == 1076);

} // namespace vnx::log
