#include "update/PVDownloadTask.h"

#include "update/PVSuggestedFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QTimer>
#include <cstdlib>

namespace {

// A folder only this user can enter, made fresh for one download.
QString makePrivateFolder()
{
    QByteArray pattern =
        QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + QLatin1String(PVDownloadTask::kPrivateFolderPattern));
    if (::mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return QFile::decodeName(pattern);
}

} // namespace

PVDownloadTask::PVDownloadTask(QNetworkAccessManager& manager, const QSslConfiguration& sslConfiguration,
                               QUrl url, QString folder, Progress progress, Completion completion)
    : manager_(manager), sslConfiguration_(sslConfiguration), url_(std::move(url)), folder_(std::move(folder)),
      progress_(std::move(progress)), completion_(std::move(completion))
{
    response_.url = url_;
}

PVDownloadTask::~PVDownloadTask()
{
    if (reply_ != nullptr) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    if (!done_) {
        removeLeftovers();
    }
}

void PVDownloadTask::start()
{
    // Whatever arrives here is run on the user's machine: only a server that
    // proves its identity over TLS may provide it.
    if (!url_.isValid() || url_.host().isEmpty()) {
        fail(kPVNetworkErrorBadURL, QStringLiteral("The download address \"%1\" is not valid.")
                                        .arg(url_.toString()));
        return;
    }
    if (url_.scheme() != QLatin1String("https")) {
        fail(kPVNetworkErrorInsecureAddress,
             QStringLiteral("The download address \"%1\" is not an https address.").arg(url_.toString()));
        return;
    }
    if (folder_.isEmpty()) {
        folder_ = makePrivateFolder();
        ownsFolder_ = !folder_.isEmpty();
    }
    if (folder_.isEmpty()) {
        fail(kPVNetworkErrorCannotWriteFile, QStringLiteral("No folder could be made for the download."));
        return;
    }
    file_ = std::make_unique<QTemporaryFile>(folder_ + QLatin1String("/download-XXXXXX.part"));
    if (!file_->open()) {
        fail(kPVNetworkErrorCannotWriteFile,
             QStringLiteral("The download cannot be written into \"%1\".").arg(folder_));
        return;
    }

    QNetworkRequest request(url_);
    request.setSslConfiguration(sslConfiguration_);
    request.setTransferTimeout(kIdleTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = manager_.get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &PVDownloadTask::writeAvailable);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (progress_ && !done_) {
            progress_(received, total);
        }
    });
    connect(reply_, &QNetworkReply::finished, this, &PVDownloadTask::finished);
}

void PVDownloadTask::cancel()
{
    if (done_ || cancelled_) {
        return;
    }
    cancelled_ = true;
    if (reply_ != nullptr) {
        reply_->abort();
    }
}

void PVDownloadTask::fail(int code, const QString& description)
{
    complete({}, PVNetworkError{code, description});
}

void PVDownloadTask::writeAvailable()
{
    const QByteArray bytes = reply_->readAll();
    if (writeFailed_ || bytes.isEmpty()) {
        return;
    }
    if (file_->write(bytes) != bytes.size()) {
        writeFailed_ = true;
        reply_->abort();
    }
}

void PVDownloadTask::finished()
{
    QNetworkReply& reply = *reply_;
    response_.url = reply.url();
    response_.statusCode = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (cancelled_) {
        fail(kPVNetworkErrorCancelled, QStringLiteral("The download was cancelled."));
        return;
    }
    if (writeFailed_) {
        fail(kPVNetworkErrorCannotWriteFile, QStringLiteral("The download could not be written: %1")
                                                 .arg(file_->errorString()));
        return;
    }
    if (reply.error() != QNetworkReply::NoError) {
        const PVNetworkError error = PVNetworkErrorOfReply(reply);
        complete({}, error);
        return;
    }
    if (response_.statusCode < 200 || response_.statusCode > 299) {
        fail(kPVNetworkErrorBadServerResponse,
             QStringLiteral("The server answered with status %1.").arg(response_.statusCode));
        return;
    }
    writeAvailable();
    if (writeFailed_ || !file_->flush()) {
        fail(kPVNetworkErrorCannotWriteFile, QStringLiteral("The download could not be written."));
        return;
    }

    response_.suggestedFilename =
        PVSuggestedFileName(reply.rawHeader("Content-Disposition"), response_.url);
    QString path = file_->fileName();
    if (!response_.suggestedFilename.isEmpty()) {
        const QString destination = folder_ + QLatin1Char('/') + response_.suggestedFilename;
        const QFileInfo existing(destination);
        if ((existing.exists() || existing.isSymLink()) && !QFile::remove(destination)) {
            fail(kPVNetworkErrorCannotWriteFile,
                 QStringLiteral("\"%1\" is in the way of the download.").arg(destination));
            return;
        }
        if (!file_->rename(destination)) {
            fail(kPVNetworkErrorCannotWriteFile,
                 QStringLiteral("The download could not be named \"%1\".").arg(destination));
            return;
        }
        path = destination;
    }
    file_->setAutoRemove(false);
    file_->close();
    complete(path, std::nullopt);
}

void PVDownloadTask::complete(const QString& filePath, const std::optional<PVNetworkError>& error)
{
    if (done_) {
        return;
    }
    done_ = true;
    if (error) {
        removeLeftovers();
    }
    if (reply_ != nullptr) {
        reply_->disconnect(this);
        reply_->deleteLater();
        reply_ = nullptr;
    }
    // From the event loop: the caller may be inside cancel (a dialog's
    // cancel button) and must not see its own completion run underneath it.
    QTimer::singleShot(0, this, [this, filePath, error] {
        Completion completion = std::move(completion_);
        if (completion) {
            completion(response_, filePath, error);
        }
        deleteLater();
    });
}

void PVDownloadTask::removeLeftovers()
{
    file_.reset(); // removes the temporary file unless it was kept
    if (ownsFolder_) {
        QDir(folder_).removeRecursively();
        ownsFolder_ = false;
    }
}
