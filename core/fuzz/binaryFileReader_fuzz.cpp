// Feeds arbitrary bytes to the binary log file reader as a file and replays
// what it delivers into a formatter that reads every byte of it, then a
// ".dbg" formatter, then a ".dat" formatter, all on the same events (as a
// logger with several formatters does), so that the sanitizers see any
// record, text or array that reaches past what the reader holds, a formatter
// that reads what another one rewrote, and (with libFuzzer's allocation
// limit) any buffer sized by counts that no payload backs.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "common/record.h"
#include "log/Appender.h"
#include "log/BinaryFileFormatter.h"
#include "log/BinaryFileReader.h"
#include "log/Formatter.h"
#include "log/LogEvent.h"
#include "log/SingleLoggerFileFormatter.h"
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

// Reads every byte a formatter hands on.
class TouchingAppender : public vnx::log::Appender
{
  public:
    void log(const vnx::log::LogEvent& event) override
    {
        const uint8_t* bytes = event.getBuffer();
        for (uint64_t i = 0; i < event.getBufferSize(); ++i) {
            sum_ += bytes[i];
        }
    }
    uint64_t sum() const { return sum_; }

  private:
    uint64_t sum_ = 0;
};

/// Each event to every formatter in turn.
class FanOut : public vnx::log::Formatter
{
  public:
    explicit FanOut(std::vector<vnx::log::Formatter*> formatters) : formatters_(std::move(formatters)) {}
    void setAppender(vnx::log::Appender*, bool) override {}
    void log(vnx::log::LogEvent& event, const char* text) override
    {
        for (auto* f : formatters_)
            f->log(event, text);
    }
    void log(vnx::log::LogEvent& event, const vnx_Struct_s* record) override
    {
        for (auto* f : formatters_)
            f->log(event, record);
    }
    void log(vnx::log::LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
             const vnx_StructFormat_s* const* formats) override
    {
        for (auto* f : formatters_)
            f->log(event, count, outputs, formats);
    }
    void log(const vnx::log::LogEvent& event, size_t countA, size_t countB, const void* data,
             vnx::log::TestPoint_e testPoint) override
    {
        for (auto* f : formatters_)
            f->log(event, countA, countB, data, testPoint);
    }

  private:
    std::vector<vnx::log::Formatter*> formatters_;
};

// Keeps the reads from being optimised away.
volatile uint64_t gSink = 0;

// The file the inputs are written to: the reader opens only regular files
// and follows no link, so no /proc/self/fd path will do.
// It is removed when the fuzzer exits.
struct InputFile
{
    InputFile()
    {
        char name[] = "/tmp/kinemora-fuzz-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) {
            close(fd);
            path = name;
        }
    }
    ~InputFile()
    {
        if (!path.empty()) {
            unlink(path.c_str());
        }
    }
    std::string path;
};

const std::string& inputPath()
{
    static const InputFile file;
    return file.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = inputPath();
    const int fd = path.empty() ? -1 : open(path.c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0) {
        return 0;
    }
    const bool written = size == 0 || write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    if (written) {
        vnx::log::BinaryFileReader reader(path.c_str());
        TouchingFormatter touching;
        TouchingAppender debugBytes;
        TouchingAppender datBytes;
        vnx::log::SingleLoggerFileFormatter debug(vnx::log::TP_NONE);
        debug.setAppender(&debugBytes, false);
        vnx::log::BinaryFileFormatter dat;
        dat.setAppender(&datBytes, false);
        FanOut all({&touching, &debug, &dat});
        reader.setFormatter(&all, false);
        while (reader.getNext()) {
        }
        gSink = touching.sum() + debugBytes.sum() + datBytes.sum();
    }
    return 0;
}
