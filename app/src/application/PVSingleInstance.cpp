#include "application/PVSingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

namespace {

void setError(QString* error, const QString& text)
{
    if (error != nullptr) {
        *error = text;
    }
}

// Longest request line read from a connection; anything longer is not ours.
constexpr qint64 kLongestRequest = 64;

} // namespace

QString PVSingleInstance::defaultSocketPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/pelvaro.socket");
}

PVSingleInstance::PVSingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath))
{
}

PVSingleInstance::~PVSingleInstance()
{
    // Closing the server removes its socket file.
    if (server_ != nullptr) {
        server_->close();
    }
}

bool PVSingleInstance::isListening() const
{
    return server_ != nullptr && server_->isListening();
}

PVSingleInstance::Role PVSingleInstance::start(QString* error)
{
    if (socketPath_.isEmpty()) {
        setError(error, QStringLiteral("no runtime folder for the instance socket"));
        return Role::Primary;
    }
    QDir().mkpath(QFileInfo(socketPath_).absolutePath());
    // The lock is held from the look for a running program until this one
    // listens, and only for that: a program killed while holding it leaves a
    // lock that the next one finds stale by its process id.
    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(kHandOverTimeoutMs * 2)) {
        setError(error, QStringLiteral("another program holds %1").arg(lock.fileName()));
        return Role::Failed;
    }

    switch (handOver(error)) {
    case Probe::HandedOver:
        return Role::HandedOver;
    case Probe::NoAnswer:
        return Role::Failed;
    case Probe::Unreachable:
        // Something is at the socket that this program cannot talk to: it is
        // left alone, and this program runs without the guard.
        return Role::Primary;
    case Probe::NoOneListens:
        break;
    }

    // No one answers at the socket: whatever file is there was left by a
    // program that is gone.
    QLocalServer::removeServer(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        setError(error, QStringLiteral("cannot listen at %1: %2").arg(socketPath_, server_->errorString()));
        delete server_;
        server_ = nullptr;
        return Role::Primary;
    }
    connect(server_, &QLocalServer::newConnection, this, &PVSingleInstance::acceptConnections);
    return Role::Primary;
}

PVSingleInstance::Probe PVSingleInstance::handOver(QString* error) const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kHandOverTimeoutMs)) {
        const QLocalSocket::LocalSocketError failure = socket.error();
        if (failure == QLocalSocket::ServerNotFoundError || failure == QLocalSocket::ConnectionRefusedError) {
            return Probe::NoOneListens;
        }
        setError(error, QStringLiteral("cannot reach %1: %2").arg(socketPath_, socket.errorString()));
        return Probe::Unreachable;
    }
    const QDeadlineTimer deadline(kHandOverTimeoutMs);
    socket.write(kReopenRequest);
    QByteArray answer;
    while (!answer.endsWith('\n') && answer.size() < kLongestRequest && !deadline.hasExpired()) {
        if (socket.bytesToWrite() > 0) {
            socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
            continue;
        }
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        answer += socket.read(kLongestRequest - answer.size());
    }
    if (answer == kReopenAnswer) {
        return Probe::HandedOver;
    }
    setError(error, answer.isEmpty() ? QStringLiteral("the running program did not answer")
                                     : QStringLiteral("the running program answered something else"));
    return Probe::NoAnswer;
}

void PVSingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // A caller that never finishes its request is let go.
        QTimer::singleShot(kHandOverTimeoutMs, socket, &QLocalSocket::abort);
    }
}

void PVSingleInstance::readRequest(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= kLongestRequest) {
            socket->abort();
        }
        return;
    }
    const QByteArray request = socket->readLine(kLongestRequest);
    if (request != kReopenRequest) {
        socket->abort();
        return;
    }
    socket->write(kReopenAnswer);
    socket->flush();
    socket->disconnectFromServer();
    emit reopenRequested();
}
