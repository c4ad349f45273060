#pragma once

// Keeps one running program per user. The first program listens on a local
// socket in the user's runtime folder; a program started later connects,
// asks the running one to reopen its window and leaves. A socket left behind
// by a program that was killed answers no one: it is removed and the new
// program takes its place. A lock file beside the socket makes the look and
// the take-over one step, so two programs started together never both run.

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class PVSingleInstance : public QObject
{
    Q_OBJECT

  public:
    enum class Role
    {
        /// This program runs; later ones hand over to it.
        Primary,
        /// A running program took the reopen request: this one leaves.
        HandedOver,
        /// A running program was found but did not take the request.
        Failed,
    };

    /// The request a later program sends, and the running one's answer.
    static constexpr char kReopenRequest[] = "reopen\n";
    static constexpr char kReopenAnswer[] = "ok\n";
    /// How long a later program waits for the running one to answer.
    static constexpr int kHandOverTimeoutMs = 5'000;

    /// The socket's path: "pelvaro.socket" in the user's runtime folder.
    static QString defaultSocketPath();

    explicit PVSingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~PVSingleInstance() override;

    /// Hands a reopen request to the running program, or becomes the one
    /// running. A socket that cannot be made or reached (no runtime folder,
    /// a path too long, a socket of someone else) leaves the program running
    /// without the guard: `Primary`, with isListening() false and the reason
    /// in `error`.
    Role start(QString* error = nullptr);

    bool isListening() const;
    const QString& socketPath() const { return socketPath_; }

  signals:
    /// A later program asked this one to bring its window to the front.
    void reopenRequested();

  private:
    enum class Probe
    {
        NoOneListens,
        HandedOver,
        NoAnswer,
        Unreachable,
    };

    Probe handOver(QString* error) const;
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QString socketPath_;
    QLocalServer* server_ = nullptr;
};
