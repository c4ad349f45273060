#pragma once

// The failure of a version fetch or a download, with the codes callers look
// at: a download cancelled on request completes with kPVNetworkErrorCancelled
// (-999), which the user interface answers with silence.

#include <QString>

class QNetworkReply;

enum PVNetworkErrorCode : int
{
    kPVNetworkErrorUnknown = -1,
    kPVNetworkErrorCancelled = -999,
    kPVNetworkErrorBadURL = -1000,
    kPVNetworkErrorTimedOut = -1001,
    kPVNetworkErrorCannotFindHost = -1003,
    kPVNetworkErrorCannotConnectToHost = -1004,
    kPVNetworkErrorConnectionLost = -1005,
    kPVNetworkErrorBadServerResponse = -1011,
    /// The address is not https: refused before any request.
    kPVNetworkErrorInsecureAddress = -1022,
    /// The server did not prove its identity (certificate or host name).
    kPVNetworkErrorSecureConnectionFailed = -1200,
    kPVNetworkErrorCannotWriteFile = -3003,
};

struct PVNetworkError
{
    int code = kPVNetworkErrorUnknown;
    /// A sentence for the user; never empty.
    QString description;
};

/// The error of a finished reply that failed (its error() is not NoError).
PVNetworkError PVNetworkErrorOfReply(const QNetworkReply& reply);
