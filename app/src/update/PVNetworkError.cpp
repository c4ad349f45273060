#include "update/PVNetworkError.h"

#include <QNetworkReply>

PVNetworkError PVNetworkErrorOfReply(const QNetworkReply& reply)
{
    int code = kPVNetworkErrorUnknown;
    switch (reply.error()) {
    case QNetworkReply::OperationCanceledError:
        code = kPVNetworkErrorCancelled;
        break;
    case QNetworkReply::TimeoutError:
        code = kPVNetworkErrorTimedOut;
        break;
    case QNetworkReply::HostNotFoundError:
        code = kPVNetworkErrorCannotFindHost;
        break;
    case QNetworkReply::ConnectionRefusedError:
        code = kPVNetworkErrorCannotConnectToHost;
        break;
    case QNetworkReply::RemoteHostClosedError:
        code = kPVNetworkErrorConnectionLost;
        break;
    case QNetworkReply::SslHandshakeFailedError:
        code = kPVNetworkErrorSecureConnectionFailed;
        break;
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
        code = kPVNetworkErrorBadURL;
        break;
    default:
        // Replies of the server's own choosing (404, 500, ...).
        code = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()
                   ? kPVNetworkErrorBadServerResponse
                   : kPVNetworkErrorUnknown;
        break;
    }
    QString description = reply.errorString();
    if (description.isEmpty()) {
        description = QStringLiteral("The network request failed.");
    }
    return {code, description};
}
