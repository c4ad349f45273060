#include "support/TestHttpsServer.h"

#include <QFile>
#include <QHostAddress>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTimer>

#ifndef PELVARO_TEST_CERT_DIR
#error "PELVARO_TEST_CERT_DIR must name the folder of the test certificates"
#endif

namespace {

QByteArray readCertificateFile(const char* name)
{
    QFile file(QStringLiteral(PELVARO_TEST_CERT_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read the test certificate %s", name);
    }
    return file.readAll();
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

TestHttpsServer::TestHttpsServer(Identity identity, int maxConnections, int lifetimeMs)
    : server_(new QSslServer(this)), maxConnections_(maxConnections), lifetimeMs_(lifetimeMs)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(readCertificateFile(
        identity == Identity::Loopback ? "loopbackServer.pem" : "otherHostServer.pem")));
    configuration.setPrivateKey(QSslKey(readCertificateFile("serverKey.pem"), QSsl::Rsa));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone); // clients show no certificate
    server_->setSslConfiguration(configuration);
    server_->setHandshakeTimeout(5'000);
    connect(server_, &QSslServer::pendingConnectionAvailable, this, &TestHttpsServer::accept);
}

TestHttpsServer::~TestHttpsServer()
{
    shutDown();
}

bool TestHttpsServer::listen()
{
    if (!server_->listen(QHostAddress::LocalHost, 0)) {
        return false;
    }
    QTimer::singleShot(lifetimeMs_, this, &TestHttpsServer::shutDown);
    return true;
}

quint16 TestHttpsServer::port() const
{
    return server_->serverPort();
}

QString TestHttpsServer::baseAddress() const
{
    return QStringLiteral("https://127.0.0.1:%1").arg(port());
}

void TestHttpsServer::setReply(const QString& path, Reply reply)
{
    replies_[path] = std::move(reply);
}

QSslCertificate TestHttpsServer::testAuthority()
{
    return QSslCertificate(readCertificateFile("testCA.pem"));
}

QSslConfiguration TestHttpsServer::trustingConfiguration()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificate(testAuthority());
    return configuration;
}

void TestHttpsServer::accept()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        if (connectionCount_ >= maxConnections_) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connectionCount_;
        sockets_.append(socket);
        auto* request = new QByteArray;
        connect(socket, &QObject::destroyed, [request] { delete request; });
        const auto readRequest = [this, socket, request] {
            request->append(socket->readAll());
            if (request->contains("\r\n\r\n")) {
                const QList<QByteArray> requestLine = request->left(request->indexOf("\r\n")).split(' ');
                request->clear();
                requestedPaths_.append(requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString());
                serve(socket);
            }
        };
        connect(socket, &QTcpSocket::readyRead, this, readRequest);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // The request may have arrived with the end of the handshake, before
        // anyone listened for it.
        if (socket->bytesAvailable() > 0) {
            readRequest();
        }
    }
}

void TestHttpsServer::serve(QTcpSocket* socket)
{
    const auto found = replies_.find(requestedPaths_.last());
    const Reply reply = found != replies_.end() ? found->second : Reply::withStatus(404, "no such file");
    if (reply.reset) {
        socket->abort();
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += "Connection: close\r\n";
    for (const auto& [name, value] : reply.headers) {
        head += name + ": " + value + "\r\n";
    }
    head += "\r\n";
    if (reply.stallAfter >= 0) {
        // The part of the body goes a moment after the headers: sent in one
        // burst with them and followed by silence, it often stays unread in
        // Qt's client (the headers reach the reply, the bytes never do).
        socket->write(head);
        QTimer::singleShot(kStallPartDelayMs, socket,
                           [socket, part = reply.body.left(reply.stallAfter)] { socket->write(part); });
        return;
    }
    socket->write(head + reply.body);
    socket->disconnectFromHost();
}

void TestHttpsServer::shutDown()
{
    server_->close();
    for (const QPointer<QTcpSocket>& socket : sockets_) {
        if (socket != nullptr) {
            socket->abort();
        }
    }
    sockets_.clear();
}
