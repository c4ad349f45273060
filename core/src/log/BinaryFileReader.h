#pragma once

#include <memory>
#include <string>

#include "log/LogEvent.h"

namespace vnx::log {

class Formatter;

/// An event rebuilt from a binary log file: it has no logger, so it carries
/// the logger's name and sequence number as the file recorded them.
class BinaryFileReaderLogEvent : public LogEvent
{
  public:
    BinaryFileReaderLogEvent(const char* file, int32_t line, Priority_e level, std::string loggerName,
                             uint32_t sequenceNumber);

    const char* getLoggerName() const override;
    uint32_t getSequenceNumber() const override;

  private:
    std::string loggerName_;
    uint32_t sequenceNumber_;
};

/// Reads a binary log file ".dat" back and hands each data record, rebuilt as
/// an event, to a formatter. The file is untrusted input: every length is
/// checked against the bytes the file still holds before anything is
/// allocated, and a record that does not parse is never delivered.
class BinaryFileReader
{
  public:
    /// Opens the file and checks its header; see isOpen. Only a regular file
    /// is opened: a FIFO, a device node, a directory or a symbolic link
    /// (not followed) is refused at once, without blocking.
    explicit BinaryFileReader(const char* path);
    ~BinaryFileReader();
    BinaryFileReader(const BinaryFileReader&) = delete;
    BinaryFileReader& operator=(const BinaryFileReader&) = delete;

    /// Whether the file is open: its header was valid and no read has failed.
    bool isOpen() const;

    /// The formatter that receives the records; deleted with the reader when
    /// owned.
    void setFormatter(Formatter* formatter, bool own);

    /// Reads the next data record (and the identifier record before it, if
    /// any) and delivers it. False at the end of the file, on a broken or
    /// truncated record (the file is then closed), for a record of an unknown
    /// site, and for a payload that does not fit its site's kind; callers
    /// stop at the first false.
    bool getNext();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vnx::log
