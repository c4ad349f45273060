#pragma once

#include <cstdint>
#include <vector>

#include "log/Formatter.h"

namespace vnx::log {

class Logger;

/// Renders the pieces of one logger for a single-logger file ".dbg": each
/// piece becomes a buffer of a 4-byte sequence number and the raw payload
/// (text line, record, output list or array). The first logger to reach the
/// formatter is bound to it; pieces of any other logger are dropped. With
/// the first piece the appender is handed the 64-byte file header.
class SingleLoggerFileFormatter : public Formatter
{
  public:
    /// `testPoint` is the kind arrays are stored as; 0 lets the first data
    /// piece decide.
    explicit SingleLoggerFileFormatter(TestPoint_e testPoint);
    ~SingleLoggerFileFormatter() override;
    SingleLoggerFileFormatter(const SingleLoggerFileFormatter&) = delete;
    SingleLoggerFileFormatter& operator=(const SingleLoggerFileFormatter&) = delete;

    void setAppender(Appender* appender, bool own) override;

    /// "<LEVEL> <logger>(<line>): <text>\n", no terminator.
    void log(LogEvent& event, const char* text) override;
    void log(LogEvent& event, const vnx_Struct_s* record) override;
    void log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
             const vnx_StructFormat_s* const* formats) override;
    /// Sized for the stored kind; elements of another kind are converted to
    /// one byte each, the rest of the payload zero.
    void log(const LogEvent& event, size_t countA, size_t countB, const void* data,
             TestPoint_e testPoint) override;

    /// The step behind the four: `buffer` holds 4 reserved bytes and the
    /// payload; the sequence number goes into the reserved bytes and the
    /// buffer, set into the event, goes to the appender.
    void handleLog(LogEvent& event, TestPoint_e testPoint, uint64_t countA, uint64_t countB,
                   std::vector<uint8_t>& buffer);

  private:
    const Logger* logger_ = nullptr;
    Appender* appender_ = nullptr;
    bool owned_ = false;
    TestPoint_e testPoint_;
    uint64_t countA_ = 0;
    uint64_t countB_ = 0;
};

} // namespace vnx::log
