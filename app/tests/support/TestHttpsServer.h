#pragma once

// A small HTTPS server on 127.0.0.1 for the tests of the network code: it
// answers GET requests from a table of paths, with a certificate signed by
// the tests' own certificate authority (support/certs). It is bounded: it
// accepts a limited number of connections and shuts itself down after a
// lifetime, so a test that goes wrong cannot leave it serving. Nothing here
// reaches any other address.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStringList>
#include <QUrl>
#include <map>
#include <utility>

class QSslServer;
class QSslSocket;
class QTcpSocket;

class TestHttpsServer : public QObject
{
    Q_OBJECT

  public:
    /// The server's certificate: for 127.0.0.1, or for another host name
    /// (a client checking host names must refuse it).
    enum class Identity
    {
        Loopback,
        OtherHost,
    };

    struct Reply
    {
        int status = 200;
        QByteArray body;
        /// Extra header lines (name, value), e.g. Content-Disposition.
        QList<std::pair<QByteArray, QByteArray>> headers;
        /// Close the connection at once instead of answering.
        bool reset = false;
        /// When 0 or more: send the headers and, kStallPartDelayMs later, this
        /// many bytes of the body, then keep the connection open without
        /// sending more.
        qsizetype stallAfter = -1;

        static Reply ok(QByteArray body) { return withStatus(200, std::move(body)); }
        static Reply withStatus(int status, QByteArray body)
        {
            Reply reply;
            reply.status = status;
            reply.body = std::move(body);
            return reply;
        }
        /// A body sent under the Content-Disposition value `disposition`.
        static Reply attachment(QByteArray body, QByteArray disposition)
        {
            Reply reply = ok(std::move(body));
            reply.headers.append({"Content-Disposition", std::move(disposition)});
            return reply;
        }
        static Reply connectionReset()
        {
            Reply reply;
            reply.reset = true;
            return reply;
        }
        /// Announces the whole body, sends `sent` bytes of it and stalls.
        static Reply stalling(QByteArray body, qsizetype sent)
        {
            Reply reply = ok(std::move(body));
            reply.stallAfter = sent;
            return reply;
        }
    };

    /// Time between the headers and the partial body of a stalling reply.
    static constexpr int kStallPartDelayMs = 20;

    explicit TestHttpsServer(Identity identity = Identity::Loopback, int maxConnections = 16,
                             int lifetimeMs = 60'000);
    ~TestHttpsServer() override;

    /// Starts listening on 127.0.0.1 at a free port; false when it cannot.
    bool listen();
    quint16 port() const;
    /// "https://127.0.0.1:<port>".
    QString baseAddress() const;

    /// The reply to GET `path` (the request's path as sent, e.g. "/a%20b").
    /// Paths without a reply get a 404.
    void setReply(const QString& path, Reply reply);

    /// The paths requested so far, in order.
    const QStringList& requestedPaths() const { return requestedPaths_; }
    /// Connections whose TLS handshake completed.
    int connectionCount() const { return connectionCount_; }

    /// The tests' certificate authority.
    static QSslCertificate testAuthority();
    /// The system's TLS settings with the tests' authority added.
    static QSslConfiguration trustingConfiguration();

  private:
    void accept();
    void serve(QTcpSocket* socket);
    void shutDown();

    QSslServer* server_;
    std::map<QString, Reply> replies_;
    QStringList requestedPaths_;
    int connectionCount_ = 0;
    int maxConnections_;
    int lifetimeMs_;
    QList<QPointer<QTcpSocket>> sockets_;
};
