#include "log/ConsoleAppender.h"

#include <cstring>

#include "common/properties.h"
#include "log/LogEvent.h"

namespace vnx::log {

ConsoleAppender::ConsoleAppender() : stream_(stderr)
{
    const char* target = vnx_properties_get("LOG_REDIRECT");
    if (target == nullptr || std::strcmp(target, "stderr") == 0) {
        return;
    }
    if (std::strcmp(target, "stdout") == 0) {
        stream_ = stdout;
        return;
    }
    std::FILE* file = std::fopen(target, "w");
    if (file == nullptr) {
        stream_ = stdout;
        return;
    }
    stream_ = file;
    ownsStream_ = true;
}

ConsoleAppender::~ConsoleAppender()
{
    if (ownsStream_) {
        std::fclose(stream_);
    }
}

void ConsoleAppender::log(const LogEvent& event)
{
    const std::string& text = event.getText();
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fputc('\n', stream_);
    std::fflush(stream_);
}

} // namespace vnx::log
