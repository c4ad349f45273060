#pragma once

// The application's log functions: printf-style, one line per call on
// standard output, filtered by DXLogConfig. A text that comes from outside
// (a file name, a reply) is passed as an argument of "%s", never as the
// format; the compiler checks every format.

#include <cstdarg>
#include <functional>
#include <string>

#define DXLOG_PRINTF(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))

/// Tag of the plain form: every bit set, so only the level filters it.
constexpr unsigned DXLogAllTags = 0xFFFFFFFFu;

void DXLogMessageV(unsigned level, const char* format, va_list arguments) DXLOG_PRINTF(2, 0);
void DXLogMessage(unsigned level, const char* format, ...) DXLOG_PRINTF(2, 3);
void DXLogDebug(const char* format, ...) DXLOG_PRINTF(1, 2);
void DXLogWarn(const char* format, ...) DXLOG_PRINTF(1, 2);
void DXLogAlert(const char* format, ...) DXLOG_PRINTF(1, 2);

void DXLogTaggedV(unsigned tag, unsigned level, const char* format, va_list arguments) DXLOG_PRINTF(3, 0);
void DXLogTagged(unsigned tag, unsigned level, const char* format, ...) DXLOG_PRINTF(3, 4);
void DXLogTaggedDebug(unsigned tag, const char* format, ...) DXLOG_PRINTF(2, 3);
void DXLogTaggedWarn(unsigned tag, const char* format, ...) DXLOG_PRINTF(2, 3);
void DXLogTaggedAlert(unsigned tag, const char* format, ...) DXLOG_PRINTF(2, 3);

/// One call of the log functions as the sink sees it: before the filter, with
/// the text formatted and without prefix.
struct DXLogEntry
{
    bool tagged;
    unsigned tag; ///< DXLogAllTags for the plain form
    unsigned level;
    std::string text;
};

using DXLogSink = std::function<void(const DXLogEntry&)>;

/// Installs the function that receives every call, printed or not (an empty
/// function removes it). Meant for tests; the sink may be called from any
/// thread, one call at a time.
void DXLogSetSink(DXLogSink sink);
