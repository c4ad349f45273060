#pragma once

// Log levels and logger output types shared by the loggers and the node tree.

namespace vnx::log {

/// Severity of a log event; lower is more severe. A logger at level L passes
/// events of level P <= L.
enum Priority_e : int
{
    OFF = -1,
    FATAL = 0,
    ALERT = 1,
    CRIT = 2,
    ERROR = 3,
    WARN = 4,
    NOTICE = 5,
    INFO = 6,
    FINE = 7,
    FINER = 8,
    TRACE = 9,
};

/// The output a logger gets when its node joins the ROOT tree.
enum Type_e : int
{
    TYPE_NONE = 0,
    TYPE_CONSOLE = 1,     // the shared console formatter
    TYPE_SINGLE_FILE = 8, // a file of its own
    TYPE_CAPTURE = 15,    // capture loggers: no output
    TYPE_ANY = 15,        // level setting over a subtree: matches every type
};

/// "OFF" ... "TRACE" for -1 to 9, "Unknown" otherwise.
const char* priority_toString(int priority);

/// The level prefix of a console line: the level word padded with spaces to
/// 7 characters, or "" for a value outside -1 to 9.
const char* priority_toPrefix(int priority);

/// Parses one of the eleven level words (exact, upper case). Returns false
/// and leaves `out` alone for any other text.
bool priority_fromString(const char* word, Priority_e& out);

} // namespace vnx::log
