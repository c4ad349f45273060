#pragma once

// The loopback update server (support/LoopbackUpdateServer.h) as a test
// fixture, with a download helper and a listing of the temporary folder.

#include "support/LoopbackUpdateServer.h"
#include "update/PVDownloadTask.h"

#include <QByteArray>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

/// The outcome of one download as its completion saw it.
struct DownloadOutcome
{
    int calls = 0;
    PVDownloadResponse response;
    QString path;
    std::optional<PVNetworkError> error;
    qint64 lastCompleted = -1;
    qint64 lastTotal = -1;
};

class UpdateServerFixture : public ::testing::Test, protected LoopbackUpdateServer
{
  protected:
    static constexpr int kWaitMs = 20'000;

    explicit UpdateServerFixture(TestHttpsServer::Identity identity = TestHttpsServer::Identity::Loopback)
        : LoopbackUpdateServer(identity)
    {
    }

    /// Downloads and waits for the completion (and a moment more, so a
    /// second completion would show).
    DownloadOutcome download(const QString& address, const QString& folder = {})
    {
        DownloadOutcome outcome;
        PVNetworkAPI::sharedInstance().downloadFromURL(
            address, folder,
            [&outcome](qint64 completed, qint64 total) {
                outcome.lastCompleted = completed;
                outcome.lastTotal = total;
            },
            [&outcome](const PVDownloadResponse& response, const QString& path,
                       const std::optional<PVNetworkError>& error) {
                ++outcome.calls;
                outcome.response = response;
                outcome.path = path;
                outcome.error = error;
            });
        EXPECT_TRUE(QTest::qWaitFor([&outcome] { return outcome.calls > 0; }, kWaitMs)) << address.toStdString();
        QTest::qWait(20);
        return outcome;
    }

    /// Everything under the test's temporary folder, relative paths sorted
    /// and joined by ",".
    std::string filesUnderTmp() const
    {
        QStringList files;
        const QDir root(tmp.path());
        for (const QFileInfo& info :
             root.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
            files << info.fileName();
            if (info.isDir()) {
                for (const QString& inner :
                     QDir(info.filePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
                    files << info.fileName() + QLatin1Char('/') + inner;
                }
            }
        }
        return files.join(QLatin1Char(',')).toStdString();
    }
};
