#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "log/Appender.h"

namespace vnx::log {

/// Writes the buffers of events to a binary log file: prefix + name + ".dat"
/// (prefix from LogManager::getFilenamePrefix). The file is opened, truncated
/// and given its 64-byte header at the first event; a file that cannot be
/// opened drops the event and is tried again at the next one.
class BinaryFileAppender : public Appender
{
  public:
    explicit BinaryFileAppender(const char* filename);
    ~BinaryFileAppender() override;
    BinaryFileAppender(const BinaryFileAppender&) = delete;
    BinaryFileAppender& operator=(const BinaryFileAppender&) = delete;

    /// Closes an open file; the next event starts the file of the new name.
    void setFilename(const char* filename);

    /// prefix + name + ".dat".
    static std::string createFullFilename(const char* filename);

    void log(const LogEvent& event) override;

    /// Opens the file and writes its header when no file is open; true when
    /// a file is open.
    bool open();
    /// How many files this appender has started: a formatter that sees it
    /// change knows the identifiers it wrote are not in the current file.
    uint32_t getFileCount() const { return fileCount_; }

  private:
    void close();

    std::FILE* file_ = nullptr;
    std::string filename_;
    uint32_t fileCount_ = 0;
};

} // namespace vnx::log
