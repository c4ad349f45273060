#pragma once

// One download of a file over https into a folder. The bytes go to a
// temporary file in the destination folder as they arrive; once the transfer
// has succeeded the file takes the server's suggested name there (a file of
// that name is replaced), or keeps its temporary name when nothing safe is
// suggested. A failed or cancelled download leaves nothing behind.
//
// Without a folder of the caller's, every download gets a fresh private
// folder of its own under the temporary folder, so whatever the caller later
// does beside the file (unpacking into a sibling folder) can touch nothing of
// the user's.

#include "update/PVNetworkError.h"

#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryFile;

/// What the server answered, as far as the caller needs it.
struct PVDownloadResponse
{
    QUrl url;            ///< the address the reply finally came from
    int statusCode = 0;  ///< HTTP status, 0 when no reply arrived
    QString suggestedFilename; ///< safe last path component, or empty
};

class PVDownloadTask : public QObject
{
    Q_OBJECT

  public:
    /// (bytes received so far, bytes expected or -1 when unknown).
    using Progress = std::function<void(qint64 completed, qint64 total)>;
    /// (response, path of the downloaded file or empty, error or none).
    using Completion = std::function<void(const PVDownloadResponse& response, const QString& filePath,
                                          const std::optional<PVNetworkError>& error)>;

    /// Seconds without any byte arriving after which the transfer fails.
    static constexpr int kIdleTimeoutMs = 60'000;
    /// Name pattern of the fresh private folders under the temporary folder.
    static constexpr const char* kPrivateFolderPattern = "pelvaro-download-XXXXXX";

    PVDownloadTask(QNetworkAccessManager& manager, const QSslConfiguration& sslConfiguration, QUrl url,
                   QString folder, Progress progress, Completion completion);
    ~PVDownloadTask() override;

    /// Starts the transfer. The completion runs exactly once, always from the
    /// event loop (never inside start or cancel); the task deletes itself
    /// after it.
    void start();
    /// Ends the transfer; the completion then reports kPVNetworkErrorCancelled.
    /// Nothing once the task has completed.
    void cancel();

    const QUrl& url() const { return url_; }

  private:
    void fail(int code, const QString& description);
    void writeAvailable();
    void finished();
    void complete(const QString& filePath, const std::optional<PVNetworkError>& error);
    void removeLeftovers();

    QNetworkAccessManager& manager_;
    QSslConfiguration sslConfiguration_;
    QUrl url_;
    QString folder_;
    bool ownsFolder_ = false;
    Progress progress_;
    Completion completion_;
    PVDownloadResponse response_;
    QPointer<QNetworkReply> reply_;
    std::unique_ptr<QTemporaryFile> file_;
    bool cancelled_ = false;
    bool writeFailed_ = false;
    bool done_ = false;
};
