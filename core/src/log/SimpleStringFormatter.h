#pragma once

#include "log/TextFormatter.h"

namespace vnx::log {

/// "<logger name>(<line>): <text>", cut to 1023 characters.
class SimpleStringFormatter : public TextFormatter
{
  public:
    using TextFormatter::log;
    void log(LogEvent& event, const char* text) override;
};

} // namespace vnx::log
