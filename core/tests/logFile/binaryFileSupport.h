#pragma once

// Test helpers for the binary log file: a formatter that keeps what a reader
// delivers, a builder of hand-made files, and little-endian field readers.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/record.h"
#include "log/BinaryFileRecords.h"
#include "log/Formatter.h"
#include "log/LogEvent.h"

/// One delivery of the reader, with copies of everything it pointed to.
struct Delivery
{
    std::string slot; // "text", "record", "outputs" or "data"
    std::string loggerName;
    std::string file;
    int line = 0;
    int level = 0;
    uint32_t sequenceNumber = 0;
    std::string text;
    std::vector<std::vector<uint8_t>>
        records;      // record, or Output/Format of each entry ({} for a null Format)
    size_t count = 0; // entries, or count a
    size_t countB = 0;
    uint32_t testPoint = 0;
    std::vector<uint8_t> data;
};

class CapturingFormatter : public vnx::log::Formatter
{
  public:
    void setAppender(vnx::log::Appender*, bool) override {}
    void log(vnx::log::LogEvent& event, const char* text) override
    {
        Delivery& d = start(event, "text");
        d.text = text;
    }
    void log(vnx::log::LogEvent& event, const vnx_Struct_s* record) override
    {
        Delivery& d = start(event, "record");
        d.records.push_back(bytesOf(record));
    }
    void log(vnx::log::LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
             const vnx_StructFormat_s* const* formats) override
    {
        Delivery& d = start(event, "outputs");
        d.count = count;
        for (size_t i = 0; i < count; ++i) {
            d.records.push_back(bytesOf(&outputs[i]->header));
            d.records.push_back(formats[i] != nullptr ? bytesOf(&formats[i]->header)
                                                      : std::vector<uint8_t>{});
        }
    }
    void log(const vnx::log::LogEvent& event, size_t a, size_t b, const void* data,
             vnx::log::TestPoint_e testPoint) override
    {
        Delivery& d = start(event, "data");
        d.count = a;
        d.countB = b;
        d.testPoint = testPoint;
        const auto* bytes = static_cast<const uint8_t*>(data);
        d.data.assign(bytes, bytes + event.getBufferSize());
    }

    std::vector<Delivery> deliveries;

  private:
    static std::vector<uint8_t> bytesOf(const vnx_Struct_s* record)
    {
        const auto* bytes = reinterpret_cast<const uint8_t*>(record);
        return std::vector<uint8_t>(bytes, bytes + record->size);
    }
    Delivery& start(const vnx::log::LogEvent& event, const char* slot)
    {
        Delivery& d = deliveries.emplace_back();
        d.slot = slot;
        d.loggerName = event.getLoggerName();
        d.file = event.getFile();
        d.line = event.getLine();
        d.level = event.getLevel();
        d.sequenceNumber = event.getSequenceNumber();
        return d;
    }
};

/// Builds the bytes of a binary log file by hand.
class DatFileBuilder
{
  public:
    DatFileBuilder() { append(vnx::log::BinaryFileHeader{}); }

    DatFileBuilder& identifier(uint32_t id, uint32_t testPoint, uint16_t countA, uint16_t countB,
                               const char* loggerName = "D.V.M", int32_t line = 10)
    {
        vnx::log::BinarySampleIdentifier identifier{};
        identifier.id = id;
        identifier.testPointLow = static_cast<uint16_t>(testPoint);
        identifier.countA = countA;
        identifier.countB = countB;
        identifier.testPoint = testPoint;
        identifier.level = 4;
        identifier.line = line;
        std::strncpy(identifier.file, "site.cpp", sizeof(identifier.file));
        std::strncpy(identifier.loggerName, loggerName, sizeof(identifier.loggerName) - 1);
        append(vnx::log::BinaryRecordHeader{vnx::log::kBinaryIdentifierRecordLength, 0, 1});
        append(identifier);
        return *this;
    }

    /// A data record whose length field matches its payload.
    DatFileBuilder& data(uint32_t id, const std::vector<uint8_t>& payload, uint32_t sequenceNumber = 5)
    {
        return recordWithLength(static_cast<uint32_t>(12 + payload.size()), id, payload, sequenceNumber);
    }

    /// A record header with any length field, then the given bytes.
    DatFileBuilder& recordWithLength(uint32_t length, uint32_t id, const std::vector<uint8_t>& payload,
                                     uint32_t sequenceNumber = 5)
    {
        append(vnx::log::BinaryRecordHeader{length, id, sequenceNumber});
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return *this;
    }

    template <class T> void append(const T& value)
    {
        const auto* p = reinterpret_cast<const uint8_t*>(&value);
        bytes.insert(bytes.end(), p, p + sizeof(T));
    }

    std::vector<uint8_t> bytes;
};

/// Bytes of a record header of the given size and kind, zero fields, then
/// `fill` for the rest of the record.
inline std::vector<uint8_t> recordBytes(uint16_t size, uint8_t kind, uint8_t fill = 0xAB)
{
    std::vector<uint8_t> bytes(size < 16 ? 16 : size, fill);
    std::memset(bytes.data(), 0, 16);
    std::memcpy(bytes.data(), &size, sizeof(size));
    bytes[2] = 7;
    bytes[3] = kind;
    bytes[4] = 1;
    bytes.resize(size);
    return bytes;
}

inline std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

template <class T> T fieldAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    T value{};
    if (offset + sizeof(T) <= bytes.size()) {
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    }
    return value;
}
