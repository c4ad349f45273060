#pragma once

// Start of the worker threads of the receiver.

class HidBackend;

/// Initialises the process-wide packet queue (the process exits with status
/// 2 when it cannot), puts the engine's calibration folder (setDcdFolderPath)
/// into the environment, and starts the motion thread and the reader thread
/// on `backend`, or on hidapi when null, looking for the receiver that
/// PELVARO_RECEIVER or the constants name. The threads are never stopped or
/// joined. Call once, on the main thread, after the event callback and the
/// calibration folder are set; later calls start nothing. Answers 0.
int startHidThreads(HidBackend* backend = nullptr);
