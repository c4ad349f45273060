#include "update/PVUpdateServer.h"

#ifndef PELVARO_UPDATE_BASE
#error "PELVARO_UPDATE_BASE must name the update server's base address"
#endif

QString PVUpdateServer::baseAddress()
{
    const QString fromEnvironment = qEnvironmentVariable(kBaseEnvironment);
    return fromEnvironment.isEmpty() ? QStringLiteral(PELVARO_UPDATE_BASE) : fromEnvironment;
}

QUrl PVUpdateServer::versionFileUrl(QString* error)
{
    QString base = baseAddress();
    const QUrl baseUrl(base, QUrl::StrictMode);
    if (!baseUrl.isValid() || baseUrl.scheme() != QLatin1String("https") || baseUrl.host().isEmpty()) {
        if (error != nullptr) {
            *error = QStringLiteral("The update server address \"%1\" is not an https address.").arg(base);
        }
        return {};
    }
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    return QUrl(base + QLatin1Char('/') + QLatin1String(kVersionFolder) + QLatin1Char('/') +
                    QLatin1String(kVersionFileName),
                QUrl::StrictMode);
}
