#pragma once

// The log manager wires loggers: it listens to the node tree and, when a
// logger's node joins the ROOT tree, names the logger after its place (a
// default logger "dftLog" takes its owner's name, e.g. D.V.M) and attaches
// the output its type asks for; when the node leaves, it takes the output off.

#include <string>

#include "log/Priority.h"

namespace vnx::log {

class Formatter;
class Logger;
class LogManagerImpl;

class LogManager
{
  public:
    /// The process-wide manager; on first use it registers with the node
    /// tree, which wires every logger already in the ROOT tree.
    static LogManager& getInstance();

    LogManager(const LogManager&) = delete;
    LogManager& operator=(const LogManager&) = delete;

    /// The logger of the log node with this full name, else of the log node
    /// name + ".dftLog", else null.
    Logger* get(const char* name) const;
    /// Sets the level of the logger `get` finds; false when there is none.
    bool setLevel(const char* name, Priority_e level);

    /// Prefix of log file names: the property LOG_OUTPUT_PREFIX (default
    /// "./"), read once.
    const std::string& getFilenamePrefix();

    /// The console formatter that every console logger shares.
    Formatter* getDefaultFormatter();

    /// Registers with the node tree again after the tree was reset.
    bool reset();

  private:
    LogManager();
    ~LogManager();

    LogManagerImpl* impl_;
};

} // namespace vnx::log
