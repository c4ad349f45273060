#pragma once

// Collects every call of the application's log functions, printed or not,
// while the object lives.

#include "log/DXLog.h"
#include "log/DXLogConfig.h"

#include <mutex>
#include <vector>

class LogCapture
{
  public:
    LogCapture()
    {
        DXLogSetSink([this](const DXLogEntry& entry) {
            std::lock_guard<std::mutex> lock(mutex_);
            entries_.push_back(entry);
        });
    }
    ~LogCapture() { DXLogSetSink({}); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<DXLogEntry> entries() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }

    /// True when a call of this level wrote exactly `text`.
    bool contains(unsigned level, const std::string& text) const
    {
        for (const DXLogEntry& entry : entries()) {
            if (entry.level == level && entry.text == text) {
                return true;
            }
        }
        return false;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<DXLogEntry> entries_;
};
