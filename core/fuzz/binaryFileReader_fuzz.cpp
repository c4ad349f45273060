// Feeds arbitrary bytes to the binary log file reader as a file and reads
// every byte of whatever it delivers, so that the sanitizers see any record,
// text or array that reaches past what the reader holds.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "common/record.h"
#include "log/BinaryFileReader.h"
#include "log/Formatter.h"
#include "log/LogEvent.h"
#include "log/TestPoint.h"

namespace {

class TouchingFormatter : public vnx::log::Formatter
{
  public:
    void setAppender(vnx::log::Appender*, bool) override {}
    void log(vnx::log::LogEvent& event, const char* text) override
    {
        touchEvent(event);
        for (const char* c = text; *c != '\0'; ++c) {
            sum_ += static_cast<uint8_t>(*c);
        }
    }
    void log(vnx::log::LogEvent& event, const vnx_Struct_s* record) override
    {
        touchEvent(event);
        touchRecord(record);
    }
    void log(vnx::log::LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
             const vnx_StructFormat_s* const* formats) override
    {
        touchEvent(event);
        for (size_t i = 0; i < count; ++i) {
            touchRecord(&outputs[i]->header);
            if (formats[i] != nullptr) {
                touchRecord(&formats[i]->header);
            }
        }
    }
    void log(const vnx::log::LogEvent& event, size_t countA, size_t countB, const void* data,
             vnx::log::TestPoint_e testPoint) override
    {
        touchEvent(event);
        touch(data, countA * countB * vnx::log::testPoint_elementSize(testPoint));
    }

  private:
    void touchEvent(const vnx::log::LogEvent& event)
    {
        sum_ +=
            std::string(event.getLoggerName()).size() + event.getFile().size() + event.getSequenceNumber();
        touch(event.getBuffer(), event.getBufferSize());
    }
    void touchRecord(const vnx_Struct_s* record)
    {
        sum_ += record->instanceId;
        touch(record, record->size);
    }
    void touch(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i) {
            sum_ += bytes[i];
        }
    }

  public:
    uint64_t sum() const { return sum_; }

  private:
    uint64_t sum_ = 0;
};

// Keeps the reads from being optimised away.
volatile uint64_t gSink = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An in-memory file: the reader opens it by path like any other.
    const int fd = memfd_create("binary-log", 0);
    if (fd < 0) {
        return 0;
    }
    if (size == 0 || write(fd, data, size) == static_cast<ssize_t>(size)) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        vnx::log::BinaryFileReader reader(path.c_str());
        TouchingFormatter formatter;
        reader.setFormatter(&formatter, false);
        while (reader.getNext()) {
        }
        gSink = formatter.sum();
    }
    close(fd);
    return 0;
}
