#pragma once

// The fixed filter of the application's log lines: which tags and levels are
// printed. Every value is constant; the program prints Alert lines of tags
// 1, 2 and 8 only.

enum DXLogLevel : unsigned
{
    DXLogLevelDebug = 0,
    DXLogLevelWarn = 1,
    DXLogLevelAlert = 2,
};

class DXLogConfig
{
  public:
    static DXLogConfig& sharedInstance();

    unsigned tagMask() const { return 11; }
    unsigned logLevel() const { return DXLogLevelAlert; }
    bool lock() const { return false; }

    /// True when a line of this tag and level passes the filter.
    bool canLog(unsigned tag, unsigned level) const { return (tag & tagMask()) != 0 && logLevel() <= level; }

  private:
    DXLogConfig() = default;
};
