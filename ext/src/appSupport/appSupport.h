#pragma once

// Helpers for clients that run the engine from a plain loop rather than from
// a user interface: one process-wide poll set of file descriptors (for
// example those domains report through their file-handle callbacks),
// single-key input from standard input, and signal handling that turns
// hang-up, interrupt, abort and quit into an exit flag.

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Makes the process-wide poll set: 0, or 1 when it exists already (kept).
int vnx_fileHandler_initialize(void);
/// Adds `fd` with the poll `events` (or gives it the new events); nothing
/// before initialization.
void vnx_fileHandler_add(int fd, int events);
/// Removes `fd`; nothing before initialization.
void vnx_fileHandler_remove(int fd);
/// Waits at most `timeoutMs` milliseconds for the set's events: 0, or -2
/// before initialization.
int vnx_fileHandler_poll(unsigned int timeoutMs);
/// Deletes the poll set; 0.
int vnx_fileHandler_finalize(void);

/// Standard input's descriptor (0) and the events to wait for on it (POLLIN).
int vnx_appSupport_getStdInputFileHandle(void);
int vnx_appSupport_getStdInputEvents(void);
/// True when standard input has something to read now (never waits).
bool vnx_appSupport_stdInputAvailable(void);
/// One character of standard input, read with the terminal's line editing
/// and echo off and restored right after; 0 at once when nothing is there.
int vnx_appSupport_stdInputGetChar(void);

/// Called from the signal handler: it must be safe to run there.
typedef void (*vnx_controlHandler_callback_f)(void);

/// Clears the exit flag and the callback and handles SIGHUP, SIGINT, SIGABRT
/// and SIGQUIT; with the property DISABLE_SIGPIPE_HANDLER true, SIGPIPE is
/// ignored as well. 0.
int vnx_controlHandler_initialize(void);
/// The callback a handled signal calls (null: none).
void vnx_controlHandler_setCallback(vnx_controlHandler_callback_f callback);
/// True once a handled signal came or finalize ran. The first call that sees
/// a signal not reported yet logs "Signal %d caught".
bool vnx_controlHandler_isExit(void);
/// Sets the exit flag and gives the signals initialize handled back their
/// default action. 0.
int vnx_controlHandler_finalize(void);

/// The names of the poll bits set in `events`, joined by "|" (empty for
/// none); valid until the thread's next call.
const char* print_events(int events);

#ifdef __cplusplus
}
#endif
