#pragma once

// A named logger. It filters events by level and hands each passing event to
// the formatters attached to it; it has none (and prints nothing) until its
// node joins the ROOT tree and the log manager wires it.
//
// Log through VNX_LOGF so that an event the level filters out costs one
// compare: nothing is formatted and nothing is allocated.
//
//     VNX_LOGF(logger, vnx::log::WARN, "Returning with error code %s(%d)", name, code);
//
// Classes get their own default logger with one line: see log/DefaultLogger.h.

#include <cstddef>
#include <cstdint>

#include "log/Priority.h"
#include "log/TestPoint.h"

struct vnx_Struct_s;
struct vnx_StructOutput_s;
struct vnx_StructFormat_s;

namespace vnx::log {

class Formatter;
class LogEvent;

class Logger
{
  public:
    /// Starts at `level`, then applies the properties LOG_GLOBAL_LEVEL,
    /// LOG_LEVEL_<block> and LOG_LEVEL_<block>_<local>, in that order; an
    /// empty or unknown level word changes nothing.
    Logger(const char* blockName, const char* localName, Priority_e level, Type_e type);
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    /// Whether an event of `level` passes this logger.
    bool isEnabled(int level) const { return level <= level_; }

    void log(const char* file, int line, Priority_e level, const char* text) const;
    /// printf-style; the text is cut to 8191 characters.
    void logf(const char* file, int line, Priority_e level, const char* format, ...) const
        __attribute__((format(printf, 5, 6)));
    void log(const char* file, int line, Priority_e level, const vnx_Struct_s* record) const;
    void log(const char* file, int line, Priority_e level, size_t count,
             const vnx_StructOutput_s* const* outputs, const vnx_StructFormat_s* const* formats) const;
    /// Raw data for every formatter, whatever the level.
    void log(const LogEvent& event, size_t countA, size_t countB, const void* data,
             TestPoint_e testPoint) const;

    /// False when already attached (the owned flag is then OR-ed in).
    bool addFormatter(Formatter* formatter, bool owned);
    /// False when not attached; deletes the formatter when it was owned.
    bool removeFormatter(Formatter* formatter);
    /// The formatter at `index` in the order they were added; null past the end.
    Formatter* getFormatter(size_t index) const;

    const char* getBlockName() const;
    const char* getLocalName() const;
    /// Full name: the local name until the logger is wired, then its place in
    /// the node tree (a default logger takes its owner's name).
    const char* getName() const;
    void setName(const char* name);

    Priority_e getLevel() const { return level_; }
    void setLevel(Priority_e level) { level_ = level; }
    Type_e getType() const { return type_; }

    /// The sequence number of the node tree's source for this logger's node;
    /// 0 while the logger has no node.
    uint32_t getSequenceNumber() const;

  private:
    struct Impl;

    void applyLevelProperty(const char* propertyName);

    Impl* impl_;
    // Kept outside Impl so that the level test is inline and touches one word.
    Priority_e level_;
    Type_e type_;
};

} // namespace vnx::log

/// Logs a printf-style message through `logger` (a Logger or reference to one)
/// at `level`, with this source file and line. The arguments are evaluated
/// only when the level passes.
#define VNX_LOGF(logger, level, ...)                                                                         \
    do {                                                                                                     \
        const ::vnx::log::Logger& vnxLogfLogger_ = (logger);                                                 \
        if (vnxLogfLogger_.isEnabled(level)) {                                                               \
            vnxLogfLogger_.logf(__FILE__, __LINE__, (level), __VA_ARGS__);                                   \
        }                                                                                                    \
    } while (0)
