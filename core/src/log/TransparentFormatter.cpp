#include "log/TransparentFormatter.h"

#include "log/Appender.h"
#include "log/LogEvent.h"

namespace vnx::log {

void TransparentFormatter::log(LogEvent& event, const char* text)
{
    if (getAppender() == nullptr) {
        return;
    }
    event.setText(text != nullptr ? text : "");
    getAppender()->log(event);
}

} // namespace vnx::log
