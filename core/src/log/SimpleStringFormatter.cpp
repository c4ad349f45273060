#include "log/SimpleStringFormatter.h"

#include <cstdio>

#include "log/Appender.h"
#include "log/LogEvent.h"

namespace vnx::log {

void SimpleStringFormatter::log(LogEvent& event, const char* text)
{
    if (getAppender() == nullptr) {
        return;
    }
    char line[1024];
    std::snprintf(line, sizeof(line), "%s(%d): %s", event.getLoggerName(), static_cast<int>(event.getLine()),
                  text != nullptr ? text : "");
    event.setText(line);
    getAppender()->log(event);
}

} // namespace vnx::log
