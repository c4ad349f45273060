#pragma once

// A logger that belongs to no object but to a part of the library as a whole
// (a registry, the functions of one file): log node `localName` under the
// node "sys". Keep it in a function-local static so that it is built on
// first use, after the node tree, and destroyed before it.

#include "log/Logger.h"

namespace vnx::log {

class SysLogger : public Logger
{
  public:
    /// Level WARN, console output, placed under "sys".
    SysLogger(const char* blockName, const char* localName);
    ~SysLogger() override;
    SysLogger(const SysLogger&) = delete;
    SysLogger& operator=(const SysLogger&) = delete;

    /// Adds the node again after the node tree was reset; a logger already
    /// in the tree is left where it is.
    void place();

  private:
    const char* localName_;
};

} // namespace vnx::log
