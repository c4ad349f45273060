#include "log/ConsoleStringFormatter.h"

#include <string>

#include "log/Appender.h"
#include "log/LogEvent.h"

namespace vnx::log {

void ConsoleStringFormatter::log(LogEvent& event, const char* text)
{
    if (getAppender() == nullptr) {
        return;
    }
    std::string line = priority_toPrefix(event.getLevel());
    line += event.getLoggerName();
    line += '(';
    line += std::to_string(event.getLine());
    line += "): ";
    line += text != nullptr ? text : "";
    event.setText(std::move(line));
    getAppender()->log(event);
}

} // namespace vnx::log
