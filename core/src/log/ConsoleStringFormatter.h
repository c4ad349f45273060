#pragma once

#include "log/TextFormatter.h"

namespace vnx::log {

/// The console line: the 7-character level prefix, the logger's name, "(",
/// the source line, "): " and the text, e.g. "WARN   sys.NodeManager(212): ...".
class ConsoleStringFormatter : public TextFormatter
{
  public:
    using TextFormatter::log;
    void log(LogEvent& event, const char* text) override;
};

} // namespace vnx::log
