#include "log/DXLog.h"

#include "log/DXLogConfig.h"

#include <bit>
#include <cstdio>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

DXLogSink& currentSink()
{
    static DXLogSink sink;
    return sink;
}

std::string formatText(const char* format, va_list arguments)
{
    if (format == nullptr) {
        return {};
    }
    va_list copy;
    va_copy(copy, arguments);
    char small[256];
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) {
        return {};
    }
    if (static_cast<size_t>(length) < sizeof small) {
        return std::string(small, static_cast<size_t>(length));
    }
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    return text;
}

void deliverToSink(bool tagged, unsigned tag, unsigned level, const std::string& text)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    if (currentSink()) {
        currentSink()(DXLogEntry{tagged, tag, level, text});
    }
}

// The whole line leaves in one write, so lines of different threads never
// interleave. Whatever stdio still buffers goes first, to keep the order.
void writeLine(const std::string& prefix, const std::string& text)
{
    std::string line;
    line.reserve(prefix.size() + text.size() + 1);
    line.append(prefix).append(text).push_back('\n');
    std::fflush(stdout);
    const char* data = line.data();
    size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, left);
        if (written <= 0) {
            return;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
}

const char* levelName(unsigned level)
{
    switch (level) {
    case DXLogLevelDebug:
        return "Debug";
    case DXLogLevelWarn:
        return "Warn";
    case DXLogLevelAlert:
        return "Alert";
    default:
        return nullptr;
    }
}

int lowestTagBit(unsigned tag)
{
    return tag == 0 ? -1 : std::countr_zero(tag);
}

} // namespace

void DXLogSetSink(DXLogSink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    currentSink() = std::move(sink);
}

void DXLogMessageV(unsigned level, const char* format, va_list arguments)
{
    const std::string text = formatText(format, arguments);
    deliverToSink(false, DXLogAllTags, level, text);
    if (!DXLogConfig::sharedInstance().canLog(DXLogAllTags, level)) {
        return;
    }
    const char* name = levelName(level);
    writeLine(name == nullptr ? std::string() : std::string("[").append(name).append("] "), text);
}

void DXLogTaggedV(unsigned tag, unsigned level, const char* format, va_list arguments)
{
    const std::string text = formatText(format, arguments);
    deliverToSink(true, tag, level, text);
    if (!DXLogConfig::sharedInstance().canLog(tag, level)) {
        return;
    }
    const char* name = levelName(level);
    // A level without a name prints as a missing object does.
    std::string prefix("[");
    prefix.append(name == nullptr ? "(null)" : name)
        .append(" ")
        .append(std::to_string(lowestTagBit(tag)))
        .append("] ");
    writeLine(prefix, text);
}

#define DXLOG_FORWARD(call)                                                                                  \
    va_list arguments;                                                                                       \
    va_start(arguments, format);                                                                             \
    call;                                                                                                    \
    va_end(arguments)

void DXLogMessage(unsigned level, const char* format, ...)
{
    DXLOG_FORWARD(DXLogMessageV(level, format, arguments));
}

void DXLogDebug(const char* format, ...)
{
    DXLOG_FORWARD(DXLogMessageV(DXLogLevelDebug, format, arguments));
}

void DXLogWarn(const char* format, ...)
{
    DXLOG_FORWARD(DXLogMessageV(DXLogLevelWarn, format, arguments));
}

void DXLogAlert(const char* format, ...)
{
    DXLOG_FORWARD(DXLogMessageV(DXLogLevelAlert, format, arguments));
}

void DXLogTagged(unsigned tag, unsigned level, const char* format, ...)
{
    DXLOG_FORWARD(DXLogTaggedV(tag, level, format, arguments));
}

void DXLogTaggedDebug(unsigned tag, const char* format, ...)
{
    DXLOG_FORWARD(DXLogTaggedV(tag, DXLogLevelDebug, format, arguments));
}

void DXLogTaggedWarn(unsigned tag, const char* format, ...)
{
    DXLOG_FORWARD(DXLogTaggedV(tag, DXLogLevelWarn, format, arguments));
}

void DXLogTaggedAlert(unsigned tag, const char* format, ...)
{
    DXLOG_FORWARD(DXLogTaggedV(tag, DXLogLevelAlert, format, arguments));
}
