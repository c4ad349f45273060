#pragma once

// A loopback HTTPS server that the update code takes for the update server:
// the base address points at it, its certificate authority is trusted, and
// downloads without a folder of their own land in a private temporary folder
// of the test.

#include "support/TestHttpsServer.h"
#include "update/PVDownloadTask.h"
#include "update/PVNetworkAPI.h"
#include "update/PVUpdateServer.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
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

class UpdateServerFixture : public ::testing::Test
{
  protected:
    static constexpr const char* kVersionPath = "/software/version/orvanta/orvntaverLinux.txt";
    static constexpr int kWaitMs = 20'000;

    explicit UpdateServerFixture(TestHttpsServer::Identity identity = TestHttpsServer::Identity::Loopback)
        : server(identity), oldTmp_(qgetenv("TMPDIR"))
    {
        EXPECT_TRUE(server.listen());
        EXPECT_TRUE(tmp.isValid());
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qputenv(PVUpdateServer::kBaseEnvironment, server.baseAddress().toUtf8());
        PVNetworkAPI::sharedInstance().setSslConfiguration(TestHttpsServer::trustingConfiguration());
    }

    ~UpdateServerFixture() override
    {
        PVNetworkAPI::sharedInstance().setSslConfiguration(QSslConfiguration::defaultConfiguration());
        qunsetenv(PVUpdateServer::kBaseEnvironment);
        if (oldTmp_.isNull()) {
            qunsetenv("TMPDIR");
        } else {
            qputenv("TMPDIR", oldTmp_);
        }
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

    TestHttpsServer server;
    QTemporaryDir tmp;

  private:
    QByteArray oldTmp_;
};
