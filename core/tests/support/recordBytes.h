#pragma once

// Byte-level views of records, for tests of initialisers that must leave
// some bytes alone: fill a record with a marker, initialise it, then look at
// single bytes by their offset in the layout.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vnx::testsupport {

/// The marker that `filled` writes into every byte.
inline constexpr std::uint8_t kFillByte = 0xEE;

/// A record whose every byte is kFillByte.
template <class Record> Record filled()
{
    Record record;
    std::memset(&record, kFillByte, sizeof(record));
    return record;
}

/// The byte at `offset` of a record.
template <class Record> std::uint8_t byteAt(const Record& record, std::size_t offset)
{
    std::uint8_t byte;
    std::memcpy(&byte, reinterpret_cast<const unsigned char*>(&record) + offset, 1);
    return byte;
}

/// The value of type T stored at `offset` of a record.
template <class T> T valueAt(const void* record, std::size_t offset)
{
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

} // namespace vnx::testsupport
