#include "log/BinaryFileFormatter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "common/record.h"
#include "log/Appender.h"
#include "log/BinaryFileAppender.h"
#include "log/BinaryFileRecords.h"
#include "log/LogEvent.h"
#include "log/outputListBytes.h"

namespace vnx::log {

namespace {

// Ids are unique within the process: every formatter draws from this one
// counter, so records of several files can be told apart when merged.
uint32_t gLastIdentifierId = 0;

// The record length field is 32 bits wide.
constexpr size_t kMaxPayloadLength = std::numeric_limits<uint32_t>::max() - sizeof(BinaryRecordHeader);

uint32_t kindOf(TestPoint_e testPoint)
{
    switch (testPoint) {
    case TP_TEXT:
        return BinarySampleIdentifier::KIND_TEXT;
    case TP_RECORD:
        return BinarySampleIdentifier::KIND_RECORD;
    case TP_OUTPUT_LIST:
        return BinarySampleIdentifier::KIND_OUTPUT_LIST;
    default:
        return BinarySampleIdentifier::KIND_DATA;
    }
}

// Zero-padded copy into a fixed field, not terminated when it fills the field.
void copyName(char (&field)[BinarySampleIdentifier::kNameSize], const char* name)
{
    if (name != nullptr) {
        std::memcpy(field, name, std::min(std::strlen(name), sizeof(field)));
    }
}

} // namespace

struct BinaryFileFormatter::Impl
{
    // What a site is matched by, and the id it was given.
    struct Site
    {
        const Logger* logger;
        int32_t line;
        uint32_t id;
    };

    Appender* appender = nullptr;
    bool owned = false;
    // The appender when it is a binary file appender: then the sites are
    // those defined in its current file.
    BinaryFileAppender* fileAppender = nullptr;
    uint32_t fileCount = 0;
    std::vector<Site> sites;

    // False when the piece cannot be written whole. A file appender that
    // cannot open its file would drop some buffers of a record and keep
    // others, and a site whose identifier was dropped would stay undefined
    // in the file; a new file (new name, or a late open) starts with no
    // sites defined.
    bool prepareFile()
    {
        if (fileAppender == nullptr) {
            return true;
        }
        if (!fileAppender->open()) {
            return false;
        }
        if (fileAppender->getFileCount() != fileCount) {
            fileCount = fileAppender->getFileCount();
            sites.clear();
        }
        return true;
    }
};

BinaryFileFormatter::BinaryFileFormatter() : impl_(std::make_unique<Impl>()) {}

BinaryFileFormatter::~BinaryFileFormatter()
{
    if (impl_->owned) {
        delete impl_->appender;
    }
}

void BinaryFileFormatter::setAppender(Appender* appender, bool own)
{
    impl_->appender = appender;
    impl_->owned = own;
    impl_->fileAppender = dynamic_cast<BinaryFileAppender*>(appender);
    impl_->fileCount = 0;
    impl_->sites.clear();
}

void BinaryFileFormatter::log(LogEvent& event, const char* text)
{
    const char* safeText = text != nullptr ? text : "";
    write(event, TP_TEXT, 1, 1, safeText, std::strlen(safeText));
}

void BinaryFileFormatter::log(LogEvent& event, const vnx_Struct_s* record)
{
    if (record == nullptr) {
        return;
    }
    write(event, TP_RECORD, 1, 1, record, record->size);
}

void BinaryFileFormatter::log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
                              const vnx_StructFormat_s* const* formats)
{
    std::vector<uint8_t> payload;
    appendOutputListBytes(payload, count, outputs, formats);
    write(event, TP_OUTPUT_LIST, count, 1, payload.data(), payload.size());
}

void BinaryFileFormatter::log(const LogEvent& event, size_t countA, size_t countB, const void* data,
                              TestPoint_e testPoint)
{
    size_t length = 0;
    if (!testPoint_arrayBytes(countA, countB, testPoint_elementSize(testPoint), length) ||
        (length != 0 && data == nullptr)) {
        return;
    }
    LogEvent copy(event);
    write(copy, testPoint, countA, countB, data, length);
}

void BinaryFileFormatter::write(LogEvent& event, TestPoint_e testPoint, size_t countA, size_t countB,
                                const void* payload, size_t length)
{
    Appender* appender = impl_->appender;
    if (appender == nullptr || length > kMaxPayloadLength || !impl_->prepareFile()) {
        return;
    }
    const uint32_t sequenceNumber = event.getSequenceNumber();

    // A site keeps the identifier of its first call, whatever it logs later.
    const auto site = std::find_if(impl_->sites.begin(), impl_->sites.end(), [&](const Impl::Site& s) {
        return s.logger == event.getLogger() && s.line == event.getLine();
    });
    uint32_t id = 0;
    if (site != impl_->sites.end()) {
        id = site->id;
    } else {
        id = ++gLastIdentifierId;
        impl_->sites.push_back({event.getLogger(), event.getLine(), id});

        BinarySampleIdentifier identifier{};
        identifier.id = id;
        identifier.testPointLow = static_cast<uint16_t>(testPoint);
        identifier.countA = static_cast<uint16_t>(countA);
        identifier.countB = static_cast<uint16_t>(countB);
        identifier.kind = kindOf(testPoint);
        identifier.testPoint = testPoint;
        identifier.level = event.getLevel();
        identifier.logger = reinterpret_cast<uintptr_t>(event.getLogger());
        identifier.line = event.getLine();
        copyName(identifier.file, event.getFile().c_str());
        copyName(identifier.loggerName, event.getLoggerName());

        const BinaryRecordHeader header{kBinaryIdentifierRecordLength, 0, sequenceNumber};
        event.setBuffer(&header, sizeof(header));
        appender->log(event);
        event.setBuffer(&identifier, sizeof(identifier));
        appender->log(event);
    }

    const BinaryRecordHeader header{static_cast<uint32_t>(sizeof(BinaryRecordHeader) + length), id,
                                    sequenceNumber};
    event.setBuffer(&header, sizeof(header));
    appender->log(event);
    event.setBuffer(payload, length);
    appender->log(event);
}

} // namespace vnx::log
