#pragma once

#include "log/TextFormatter.h"

namespace vnx::log {

/// Passes the text on unchanged.
class TransparentFormatter : public TextFormatter
{
  public:
    using TextFormatter::log;
    void log(LogEvent& event, const char* text) override;
};

} // namespace vnx::log
