#include "log/SingleLoggerFileFormatter.h"

#include <cstring>
#include <string>

#include "common/record.h"
#include "log/Appender.h"
#include "log/LogEvent.h"
#include "log/SingleLoggerFileHeader.h"
#include "log/lowByteConversion.h"
#include "log/outputListBytes.h"

namespace vnx::log {

namespace {

constexpr size_t kSequenceNumberSize = sizeof(uint32_t);

// Room for the sequence number, then a copy of the payload.
std::vector<uint8_t> recordBuffer(const void* payload, size_t length)
{
    std::vector<uint8_t> buffer(kSequenceNumberSize + length);
    if (length != 0) {
        std::memcpy(buffer.data() + kSequenceNumberSize, payload, length);
    }
    return buffer;
}

} // namespace

SingleLoggerFileFormatter::SingleLoggerFileFormatter(TestPoint_e testPoint) : testPoint_(testPoint) {}

SingleLoggerFileFormatter::~SingleLoggerFileFormatter()
{
    if (owned_) {
        delete appender_;
    }
}

void SingleLoggerFileFormatter::setAppender(Appender* appender, bool own)
{
    appender_ = appender;
    owned_ = own;
}

void SingleLoggerFileFormatter::log(LogEvent& event, const char* text)
{
    std::string line = priority_toString(event.getLevel());
    line += ' ';
    line += event.getLoggerName();
    line += '(';
    line += std::to_string(event.getLine());
    line += "): ";
    line += text != nullptr ? text : "";
    line += '\n';
    std::vector<uint8_t> buffer = recordBuffer(line.data(), line.size());
    handleLog(event, TP_TEXT, 1, 1, buffer);
}

void SingleLoggerFileFormatter::log(LogEvent& event, const vnx_Struct_s* record)
{
    if (record == nullptr) {
        return;
    }
    std::vector<uint8_t> buffer = recordBuffer(record, record->size);
    handleLog(event, TP_RECORD, 1, 1, buffer);
}

void SingleLoggerFileFormatter::log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
                                    const vnx_StructFormat_s* const* formats)
{
    std::vector<uint8_t> buffer(kSequenceNumberSize);
    appendOutputListBytes(buffer, count, outputs, formats);
    handleLog(event, TP_OUTPUT_LIST, 1, 1, buffer);
}

void SingleLoggerFileFormatter::log(const LogEvent& event, size_t countA, size_t countB, const void* data,
                                    TestPoint_e testPoint)
{
    if (testPoint_ == TP_NONE) {
        testPoint_ = testPoint;
    }
    size_t length = 0;
    if (!testPoint_arrayBytes(countA, countB, testPoint_elementSize(testPoint_), length) ||
        (length != 0 && data == nullptr)) {
        return;
    }
    // The buffer is sized by the stored kind; the data given is counted in
    // its own kind. A kind without an element size gives no data at all, so
    // nothing is allocated for its counts: what is allocated stays within
    // eight times the payload given.
    if (testPoint != testPoint_ && testPoint_elementSize(testPoint) == 0 && length != 0) {
        return;
    }
    // Zero-filled: a conversion to a wider stored kind produces one byte per
    // element and leaves the rest of each record zero.
    std::vector<uint8_t> buffer(kSequenceNumberSize + length, 0);
    uint8_t* payload = buffer.data() + kSequenceNumberSize;
    if (testPoint == testPoint_) {
        if (length != 0) {
            std::memcpy(payload, data, length);
        }
    } else {
        const size_t sourceSize = testPoint_elementSize(testPoint);
        const size_t elements = countA * countB;
        const auto* source = static_cast<const uint8_t*>(data);
        for (size_t i = 0; sourceSize != 0 && i < elements && i < length; ++i) {
            convertToLowByte(source + i * sourceSize, testPoint, payload[i]);
        }
    }
    LogEvent copy(event);
    handleLog(copy, testPoint, countA, countB, buffer);
}

void SingleLoggerFileFormatter::handleLog(LogEvent& event, TestPoint_e testPoint, uint64_t countA,
                                          uint64_t countB, std::vector<uint8_t>& buffer)
{
    if (appender_ == nullptr) {
        logger_ = nullptr;
        return;
    }
    const uint32_t sequenceNumber = event.getSequenceNumber();
    if (logger_ != nullptr && event.getLogger() != logger_) {
        return;
    }
    if (logger_ == nullptr) {
        countA_ = countA;
        countB_ = countB;
        if (testPoint_ == TP_NONE) {
            testPoint_ = testPoint;
        }
        const SingleLoggerFileHeader header(static_cast<uint16_t>(testPoint),
                                            SingleLoggerFileHeader::kSequenceTestPoint,
                                            static_cast<uint32_t>(countA), static_cast<uint32_t>(countB));
        LogEvent headerEvent(event);
        headerEvent.setBuffer(&header, sizeof(header));
        appender_->log(headerEvent);
        logger_ = event.getLogger();
    }
    if (buffer.size() < kSequenceNumberSize) {
        buffer.resize(kSequenceNumberSize);
    }
    std::memcpy(buffer.data(), &sequenceNumber, kSequenceNumberSize);
    event.setBuffer(buffer.data(), buffer.size());
    appender_->log(event);
}

} // namespace vnx::log
