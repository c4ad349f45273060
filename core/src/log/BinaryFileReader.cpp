#include "log/BinaryFileReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/record.h"
#include "log/BinaryFileRecords.h"
#include "log/Formatter.h"

namespace vnx::log {

namespace {

constexpr size_t kRecordHeaderSize = sizeof(vnx_Struct_s);

std::string fixedField(const char (&field)[BinarySampleIdentifier::kNameSize])
{
    return std::string(field, strnlen(field, sizeof(field)));
}

// Where one record lies inside a payload.
struct RecordSpan
{
    size_t offset;
    size_t size;
};

// The record at `offset`, when its header lies inside the payload, it is at
// least a header long and it ends inside the payload.
bool recordAt(const uint8_t* bytes, size_t length, size_t offset, RecordSpan& span)
{
    if (offset > length || length - offset < kRecordHeaderSize) {
        return false;
    }
    uint16_t size = 0;
    std::memcpy(&size, bytes + offset, sizeof(size));
    if (size < kRecordHeaderSize || size > length - offset) {
        return false;
    }
    span = {offset, size};
    return true;
}

uint8_t kindAt(const uint8_t* bytes, size_t offset)
{
    return bytes[offset + offsetof(vnx_Struct_s, kind)];
}

size_t alignedSize(size_t size)
{
    return (size + alignof(vnx_Struct_s) - 1) / alignof(vnx_Struct_s) * alignof(vnx_Struct_s);
}

// Whether a record can be read through a typed pointer where it lies.
bool isAligned(const uint8_t* record)
{
    return reinterpret_cast<uintptr_t>(record) % alignof(vnx_Struct_s) == 0;
}

// Splits an output-list payload into `count` entries of an Output record and,
// when the next record is a Format, that Format; delivers them to slot 5.
// Records are read through typed pointers, and the payload packs them at any
// offset: a record that is not aligned where it lies is copied to an aligned
// place of its own.
bool deliverOutputList(Formatter& formatter, LogEvent& event, const uint8_t* bytes, size_t length,
                       size_t count)
{
    // Every entry holds at least one record header: checked before anything
    // is sized by the count.
    if (count > length / kRecordHeaderSize) {
        return false;
    }
    std::vector<RecordSpan> outputSpans(count);
    std::vector<RecordSpan> formatSpans(count, RecordSpan{0, 0});
    size_t offset = 0;
    size_t copySize = 0;
    auto take = [&](const RecordSpan& span) {
        offset += span.size;
        copySize += isAligned(bytes + span.offset) ? 0 : alignedSize(span.size);
    };
    for (size_t i = 0; i < count; ++i) {
        if (!recordAt(bytes, length, offset, outputSpans[i]) || kindAt(bytes, offset) != VNX_KIND_OUTPUT) {
            return false;
        }
        take(outputSpans[i]);
        const bool formatFollows =
            length - offset > offsetof(vnx_Struct_s, kind) && kindAt(bytes, offset) == VNX_KIND_FORMAT;
        if (formatFollows) {
            if (!recordAt(bytes, length, offset, formatSpans[i])) {
                return false;
            }
            take(formatSpans[i]);
        }
    }

    // Records start at multiples of their alignment; copySize is one too.
    static_assert(alignof(vnx_Struct_s) == sizeof(uint64_t));
    std::vector<uint64_t> copies(copySize / sizeof(uint64_t));
    auto* place = reinterpret_cast<uint8_t*>(copies.data());
    auto readable = [&](const RecordSpan& span) -> const uint8_t* {
        if (isAligned(bytes + span.offset)) {
            return bytes + span.offset;
        }
        uint8_t* copy = place;
        std::memcpy(copy, bytes + span.offset, span.size);
        place += alignedSize(span.size);
        return copy;
    };
    std::vector<const vnx_StructOutput_s*> outputs(count);
    std::vector<const vnx_StructFormat_s*> formats(count, nullptr);
    for (size_t i = 0; i < count; ++i) {
        outputs[i] = reinterpret_cast<const vnx_StructOutput_s*>(readable(outputSpans[i]));
        if (formatSpans[i].size != 0) {
            formats[i] = reinterpret_cast<const vnx_StructFormat_s*>(readable(formatSpans[i]));
        }
    }
    formatter.log(event, count, outputs.data(), formats.data());
    return true;
}

bool deliver(Formatter& formatter, LogEvent& event, const BinarySampleIdentifier& identifier)
{
    // What the formatter is handed must not live in the event's buffer: a
    // formatter may set buffers of its own into the event (a file formatter
    // writes its record header that way) before it reads the record, and a
    // list of formatters hands the same event to each. The copy is 8-byte
    // aligned, so a record at its start is readable in place.
    const size_t length = event.getBufferSize();
    std::vector<uint64_t> payload((length + sizeof(uint64_t) - 1) / sizeof(uint64_t));
    if (length != 0) {
        std::memcpy(payload.data(), event.getBuffer(), length);
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(payload.data());
    switch (identifier.testPoint) {
    case TP_TEXT: {
        const std::string text = length != 0 ? std::string(reinterpret_cast<const char*>(bytes), length) : "";
        formatter.log(event, text.c_str());
        return true;
    }
    case TP_RECORD: {
        RecordSpan span{};
        if (!recordAt(bytes, length, 0, span)) {
            return false;
        }
        formatter.log(event, reinterpret_cast<const vnx_Struct_s*>(bytes));
        return true;
    }
    case TP_OUTPUT_LIST:
        return deliverOutputList(formatter, event, bytes, length, identifier.countA);
    default: {
        // The site's counts describe the array; a payload too short for them
        // would make the formatter read past it. A kind without an element
        // size has no array: its counts would describe nothing the payload
        // holds, and a formatter that sizes by them could be made to
        // allocate gigabytes.
        const uint32_t elementSize = testPoint_elementSize(identifier.testPoint);
        const uint64_t needed = uint64_t{identifier.countA} * identifier.countB * elementSize;
        if (elementSize == 0 || needed > length) {
            return false;
        }
        formatter.log(event, identifier.countA, identifier.countB, bytes,
                      static_cast<TestPoint_e>(identifier.testPoint));
        return true;
    }
    }
}

} // namespace

BinaryFileReaderLogEvent::BinaryFileReaderLogEvent(const char* file, int32_t line, Priority_e level,
                                                   std::string loggerName, uint32_t sequenceNumber)
    : LogEvent(file, line, level, nullptr), loggerName_(std::move(loggerName)),
      sequenceNumber_(sequenceNumber)
{
}

const char* BinaryFileReaderLogEvent::getLoggerName() const
{
    return loggerName_.c_str();
}

uint32_t BinaryFileReaderLogEvent::getSequenceNumber() const
{
    return sequenceNumber_;
}

struct BinaryFileReader::Impl
{
    std::FILE* file = nullptr;
    // Bytes of the file after the read position: no length taken from the
    // file is trusted beyond it.
    uint64_t remaining = 0;
    Formatter* formatter = nullptr;
    bool owned = false;
    // A deque: it grows by one identifier at a time, never by doubling a
    // block that could outgrow the file.
    std::deque<BinarySampleIdentifier> identifiers;

    bool read(void* out, uint64_t size)
    {
        if (size > remaining || (size != 0 && std::fread(out, 1, size, file) != size)) {
            return false;
        }
        remaining -= size;
        return true;
    }

    // Ends reading: the file is closed and every later getNext is false.
    bool fail()
    {
        close();
        return false;
    }

    void close()
    {
        if (file != nullptr) {
            std::fclose(file);
            file = nullptr;
        }
        remaining = 0;
    }

    const BinarySampleIdentifier* find(uint32_t id) const
    {
        const auto it =
            std::find_if(identifiers.begin(), identifiers.end(),
                         [id](const BinarySampleIdentifier& identifier) { return identifier.id == id; });
        return it != identifiers.end() ? &*it : nullptr;
    }
};

BinaryFileReader::BinaryFileReader(const char* path) : impl_(std::make_unique<Impl>())
{
    Impl& d = *impl_;
    if (path == nullptr) {
        return;
    }
    // Only a regular file is read, and that is checked before anything can
    // block: a FIFO or a device opened without O_NONBLOCK would hold the
    // caller. A symbolic link is refused as well (O_NOFOLLOW). The size of a
    // regular file bounds every length read later.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat status
    {
    };
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return;
    }
    d.file = fdopen(fd, "rb");
    if (d.file == nullptr) {
        ::close(fd);
        return;
    }
    d.remaining = static_cast<uint64_t>(status.st_size);
    BinaryFileHeader header;
    if (!d.read(&header, sizeof(header)) || !(header == BinaryFileHeader{})) {
        d.close();
    }
}

BinaryFileReader::~BinaryFileReader()
{
    impl_->close();
    if (impl_->owned) {
        delete impl_->formatter;
    }
}

bool BinaryFileReader::isOpen() const
{
    return impl_->file != nullptr;
}

void BinaryFileReader::setFormatter(Formatter* formatter, bool own)
{
    impl_->formatter = formatter;
    impl_->owned = own;
}

bool BinaryFileReader::getNext()
{
    Impl& d = *impl_;
    if (d.file == nullptr) {
        return false;
    }
    BinaryRecordHeader header{};
    if (!d.read(&header, sizeof(header))) {
        return d.fail();
    }
    if (header.id == 0) {
        BinarySampleIdentifier identifier;
        if (header.length != kBinaryIdentifierRecordLength || !d.read(&identifier, sizeof(identifier))) {
            return d.fail();
        }
        d.identifiers.push_back(identifier);
        if (!d.read(&header, sizeof(header))) {
            return d.fail();
        }
    }
    const BinarySampleIdentifier* identifier = d.find(header.id);
    if (identifier == nullptr) {
        return false;
    }
    if (header.length < sizeof(BinaryRecordHeader)) {
        return d.fail();
    }
    const uint64_t payloadLength = header.length - sizeof(BinaryRecordHeader);
    if (payloadLength > d.remaining) {
        return d.fail();
    }

    BinaryFileReaderLogEvent event(fixedField(identifier->file).c_str(), identifier->line,
                                   static_cast<Priority_e>(identifier->level),
                                   fixedField(identifier->loggerName), header.sequenceNumber);
    event.setBuffer(nullptr, payloadLength);
    if (!d.read(event.getBuffer(), payloadLength)) {
        return d.fail();
    }
    if (d.formatter == nullptr) {
        return true;
    }
    return deliver(*d.formatter, event, *identifier);
}

} // namespace vnx::log
