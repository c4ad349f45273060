#pragma once

// Ends the event loop when the process receives SIGINT or SIGTERM. The
// signal handler only writes a byte to a pipe; the loop reads it and quits,
// so nothing unsafe runs inside the handler.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

class QuitOnSignal : public QObject
{
    Q_OBJECT

  public:
    /// Installs the signal handlers; false when the pipe or a handler cannot
    /// be set. Call it first thing in main: a signal that arrives before the
    /// event loop runs waits in the pipe and ends the loop once it starts.
    static bool installHandlers();

    /// Installs the handlers if needed and watches the pipe from the event
    /// loop of the current thread (the main thread).
    bool install();
    ~QuitOnSignal() override;

  signals:
    /// Emitted on the main thread with the signal that arrived, just before
    /// the application is told to quit.
    void received(int signalNumber);

  private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};
