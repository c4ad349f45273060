#pragma once

// The application's access to the update server: the version file, which
// tells the newest version and where its installer lies, and the download of
// that installer. Every request is https with the server's certificate and
// host name checked; the results arrive on the main thread.

#include "update/PVDownloadTask.h"
#include "update/PVNetworkError.h"

#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <functional>
#include <optional>

class QNetworkAccessManager;

class PVNetworkAPI : public QObject
{
    Q_OBJECT

  public:
    /// (error or none, the file's text; empty on error).
    using VersionStringBlock = std::function<void(const std::optional<PVNetworkError>& error, const QString& content)>;
    /// (version, installer address, error text). On failure version and
    /// address are null strings and the error text tells why; on success the
    /// error text is a null string.
    using CheckVersionBlock =
        std::function<void(const QString& version, const QString& downloadPath, const QString& errorText)>;

    /// Seconds without any byte arriving after which the version fetch fails.
    static constexpr int kVersionTimeoutMs = 60'000;

    /// Made on first use, on the main thread; lives for the run.
    static PVNetworkAPI& sharedInstance();

    /// Fetches the version file and hands its text, decoded by its byte-order
    /// mark or else as UTF-8 when valid, else as Latin-1, to `block`.
    void getVersionStringWithComplete(VersionStringBlock block);

    /// Fetches the version file and parses its last line into the version
    /// and the installer's address.
    void checkVersionCompleteBlock(CheckVersionBlock block);

    /// Downloads `address` (every space removed) into `folder`, or into a
    /// fresh private folder when `folder` is empty; an address that is not
    /// https is refused before any request. The task is kept until the next
    /// download replaces it (without cancelling it).
    PVDownloadTask* downloadFromURL(const QString& address, const QString& folder, PVDownloadTask::Progress progress,
                                    PVDownloadTask::Completion completionHandler);
    /// Cancels the kept download, which then completes with
    /// kPVNetworkErrorCancelled; nothing when none runs.
    void cancelDownload();
    /// The download kept now, null once it has completed.
    PVDownloadTask* downloadTask() const { return downloadTask_; }

    /// The manager every request goes through.
    QNetworkAccessManager& manager() { return *manager_; }

    /// YES unless the shared reachability monitor reports the network as not
    /// reachable: an unknown state counts as connected.
    bool connected() const;

    /// The TLS settings of every request (certificate authorities trusted,
    /// protocols); the system's by default. Peer verification stays on.
    const QSslConfiguration& sslConfiguration() const { return sslConfiguration_; }
    void setSslConfiguration(const QSslConfiguration& configuration);

  private:
    PVNetworkAPI();

    QNetworkAccessManager* manager_;
    QSslConfiguration sslConfiguration_;
    QPointer<PVDownloadTask> downloadTask_;
};
