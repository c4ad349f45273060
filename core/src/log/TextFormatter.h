#pragma once

#include "log/Formatter.h"

namespace vnx::log {

/// Base of the text formatters: keeps the appender and drops records, output
/// lists and raw data, which never reach a text output.
class TextFormatter : public Formatter
{
  public:
    TextFormatter() = default;
    TextFormatter(const TextFormatter&) = delete;
    TextFormatter& operator=(const TextFormatter&) = delete;
    ~TextFormatter() override;

    /// Stores the appender; one set before is left alone (not deleted).
    void setAppender(Appender* appender, bool own) override;

    using Formatter::log;
    void log(LogEvent& event, const vnx_Struct_s* record) override;
    void log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
             const vnx_StructFormat_s* const* formats) override;
    void log(const LogEvent& event, size_t countA, size_t countB, const void* data,
             TestPoint_e testPoint) override;

  protected:
    Appender* getAppender() const { return appender_; }

  private:
    Appender* appender_ = nullptr;
    bool owned_ = false;
};

} // namespace vnx::log
