#pragma once

#include <memory>

#include "log/Formatter.h"

namespace vnx::log {

/// Turns events into the records of a binary log file ".dat": each logging
/// site (logger and line) gets one identifier record before its first data
/// record; every piece of data is one record whose payload keeps the text,
/// record, output list or array as raw bytes. Each record reaches the
/// appender as two buffers (record header, then payload), each set into the
/// event and passed with one `log` call.
///
/// With a BinaryFileAppender the formatter keeps every file readable on its
/// own: a piece is written whole or not at all (nothing while the file cannot
/// be opened), and a new file (after a new name or a late open) gets the
/// identifier of each site again before the site's first record in it.
class BinaryFileFormatter : public Formatter
{
  public:
    BinaryFileFormatter();
    ~BinaryFileFormatter() override;
    BinaryFileFormatter(const BinaryFileFormatter&) = delete;
    BinaryFileFormatter& operator=(const BinaryFileFormatter&) = delete;

    void setAppender(Appender* appender, bool own) override;

    void log(LogEvent& event, const char* text) override;
    void log(LogEvent& event, const vnx_Struct_s* record) override;
    void log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
             const vnx_StructFormat_s* const* formats) override;
    void log(const LogEvent& event, size_t countA, size_t countB, const void* data,
             TestPoint_e testPoint) override;

  private:
    struct Impl;

    void write(LogEvent& event, TestPoint_e testPoint, size_t countA, size_t countB, const void* payload,
               size_t length);

    std::unique_ptr<Impl> impl_;
};

} // namespace vnx::log
