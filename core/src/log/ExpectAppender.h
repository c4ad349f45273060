#pragma once

#include <deque>

#include "log/Appender.h"
#include "log/LogEvent.h"
#include "log/Priority.h"

namespace vnx::log {

/// Records events and compares what a run logged with what it was expected
/// to log: set mode MODE_EXPECT and feed the expected events, set MODE_ACTUAL
/// and run, then `compare`.
class ExpectAppender : public Appender
{
  public:
    enum Mode_e : int
    {
        MODE_ACTUAL = 0, // logged events are recorded as actual
        MODE_EXPECT = 1, // logged events are recorded as expected
    };

    ~ExpectAppender() override = default;

    void log(const LogEvent& event) override;
    /// Records an expected event whatever the mode.
    virtual void logExpect(const LogEvent& event);
    /// Records an expected event of the logger the log manager finds for
    /// `loggerName` (none: it matches any logger).
    virtual void logExpect(const char* loggerName, Priority_e level, const char* text);
    /// True when the actual events are similar to the expected ones, one by
    /// one in order (file and line ignored). Both lists are empty afterwards.
    virtual bool compare();

    virtual Mode_e getMode() const { return mode_; }
    virtual void setMode(Mode_e mode) { mode_ = mode; }

  private:
    Mode_e mode_ = MODE_ACTUAL;
    std::deque<LogEvent> expected_;
    std::deque<LogEvent> actual_;
};

} // namespace vnx::log
