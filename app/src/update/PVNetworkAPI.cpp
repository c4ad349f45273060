#include "update/PVNetworkAPI.h"

#include "log/DXLog.h"
#include "update/PVReachabilityMonitor.h"
#include "update/PVTextDecoding.h"
#include "update/PVUpdateServer.h"
#include "update/PVVersionFile.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

PVNetworkAPI& PVNetworkAPI::sharedInstance()
{
    // Never destroyed: replies may still be in flight when the application
    // object goes away at exit.
    static PVNetworkAPI* instance = new PVNetworkAPI;
    return *instance;
}

PVNetworkAPI::PVNetworkAPI()
    : manager_(new QNetworkAccessManager(this)), sslConfiguration_(QSslConfiguration::defaultConfiguration())
{
}

void PVNetworkAPI::setSslConfiguration(const QSslConfiguration& configuration)
{
    sslConfiguration_ = configuration;
    // A configuration must never switch the server's proof of identity off.
    sslConfiguration_.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // Connections kept open for reuse carry the settings they were made with.
    manager_->clearConnectionCache();
}

void PVNetworkAPI::getVersionStringWithComplete(VersionStringBlock block)
{
    QString addressError;
    const QUrl url = PVUpdateServer::versionFileUrl(&addressError);
    if (url.isEmpty()) {
        QTimer::singleShot(0, this, [block = std::move(block), addressError] {
            if (block) {
                block(PVNetworkError{kPVNetworkErrorInsecureAddress, addressError}, QString());
            }
        });
        return;
    }
    QNetworkRequest request(url);
    request.setSslConfiguration(sslConfiguration_);
    request.setTransferTimeout(kVersionTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = manager_->get(request);
    connect(reply, &QNetworkReply::finished, this, [reply, block = std::move(block)] {
        reply->deleteLater();
        if (!block) {
            return;
        }
        if (reply->error() != QNetworkReply::NoError) {
            block(PVNetworkErrorOfReply(*reply), QString());
            return;
        }
        block(std::nullopt, PVDecodeText(reply->readAll()));
    });
}

void PVNetworkAPI::checkVersionCompleteBlock(CheckVersionBlock block)
{
    DXLogDebug("Upgrade");
    getVersionStringWithComplete(
        [block = std::move(block)](const std::optional<PVNetworkError>& error, const QString& content) {
            if (error) {
                if (block) {
                    block(QString(), QString(), error->description);
                }
                return;
            }
            const PVVersionInfo info = PVParseVersionFile(content);
            DXLogAlert("ver %s\npath %s", qUtf8Printable(info.version), qUtf8Printable(info.path));
            if (block) {
                // Never null on success, so callers can tell it from failure.
                block(info.version.isNull() ? QStringLiteral("") : info.version,
                      info.path.isNull() ? QStringLiteral("") : info.path, QString());
            }
        });
}

PVDownloadTask* PVNetworkAPI::downloadFromURL(const QString& address, const QString& folder,
                                              PVDownloadTask::Progress progress,
                                              PVDownloadTask::Completion completionHandler)
{
    QString compact = address;
    compact.remove(QLatin1Char(' '));
    auto* task = new PVDownloadTask(*manager_, sslConfiguration_, QUrl(compact, QUrl::StrictMode), folder,
                                    std::move(progress), std::move(completionHandler));
    task->setParent(this);
    downloadTask_ = task;
    task->start();
    return task;
}

void PVNetworkAPI::cancelDownload()
{
    if (downloadTask_ != nullptr) {
        downloadTask_->cancel();
    }
}

bool PVNetworkAPI::connected() const
{
    return PVReachabilityMonitor::sharedManager().status() != PVReachabilityStatus::NotReachable;
}
