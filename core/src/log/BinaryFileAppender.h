#pragma once

#include <cstdio>
#include <string>

#include "log/Appender.h"

namespace vnx::log {

/// Writes the buffers of events to a binary log file: prefix + name + ".dat"
/// (prefix from LogManager::getFilenamePrefix). The file is opened, truncated
/// and given its 64-byte header at the first event; a file that cannot be
/// opened drops the event and is tried again at the next one.
class BinaryFileAppender : public Appender {
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

private:
    void close();

    std::FILE* file_ = nullptr;
    std::string filename_;
};

} // namespace vnx::log
