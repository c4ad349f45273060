#include "UpdateServerFixture.h"
#include "log/DXLogConfig.h"
#include "support/LogCapture.h"

#include <QFile>
#include <QFileInfo>
#include <functional>

namespace {

constexpr int kCheckWaitMs = 20'000;

struct CheckOutcome
{
    int calls = 0;
    QString version;
    QString path;
    QString errorText;
};

CheckOutcome checkVersion()
{
    CheckOutcome outcome;
    PVNetworkAPI::sharedInstance().checkVersionCompleteBlock(
        [&outcome](const QString& version, const QString& path, const QString& errorText) {
            ++outcome.calls;
            outcome.version = version;
            outcome.path = path;
            outcome.errorText = errorText;
        });
    EXPECT_TRUE(QTest::qWaitFor([&outcome] { return outcome.calls > 0; }, kCheckWaitMs));
    return outcome;
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

using VersionCheck = UpdateServerFixture;

TEST_F(VersionCheck, RequestsTheLinuxVersionFileAndParsesItsLastLine)
{
    LogCapture log;
    server.setReply(kVersionPath, TestHttpsServer::Reply::ok("1.0.0;\"https://old/x.zip\"}\n2.4.0;\"https://host/pel varo.zip\"}"));

    const CheckOutcome outcome = checkVersion();

    EXPECT_EQ(server.requestedPaths(), QStringList{kVersionPath});
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.version, QStringLiteral("2.4.0"));
    EXPECT_EQ(outcome.path, QStringLiteral("https://host/pelvaro.zip"));
    EXPECT_TRUE(outcome.errorText.isNull());
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "Upgrade"));
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "ver 2.4.0\npath https://host/pelvaro.zip"));
}

TEST_F(VersionCheck, FileEndingInALineFeedGivesEmptyVersionAndAddress)
{
    server.setReply(kVersionPath, TestHttpsServer::Reply::ok("2.4.0;\"https://host/a.zip\"}\n"));
    const CheckOutcome outcome = checkVersion();
    EXPECT_TRUE(outcome.errorText.isNull());
    EXPECT_FALSE(outcome.version.isNull());
    EXPECT_EQ(outcome.version, QString());
    EXPECT_EQ(outcome.path, QString());
}

TEST_F(VersionCheck, UnreachableFileGivesTheReasonInsteadOfAVersion)
{
    const struct
    {
        const char* name;
        TestHttpsServer::Reply reply;
    } cases[] = {
        {"not found", TestHttpsServer::Reply::withStatus(404, "gone")},
        {"server error", TestHttpsServer::Reply::withStatus(500, "oops")},
        {"connection reset", TestHttpsServer::Reply::connectionReset()},
    };
    for (const auto& c : cases) {
        server.setReply(kVersionPath, c.reply);
        const CheckOutcome outcome = checkVersion();
        EXPECT_EQ(outcome.calls, 1) << c.name;
        EXPECT_TRUE(outcome.version.isNull()) << c.name;
        EXPECT_TRUE(outcome.path.isNull()) << c.name;
        EXPECT_FALSE(outcome.errorText.isEmpty()) << c.name;
    }
}

TEST_F(VersionCheck, ServerMustProveItsIdentityWithATrustedCertificate)
{
    server.setReply(kVersionPath, TestHttpsServer::Reply::ok("2.4.0;https://host/a.zip"));

    // The system's authorities alone do not know the test authority.
    PVNetworkAPI::sharedInstance().setSslConfiguration(QSslConfiguration::defaultConfiguration());
    CheckOutcome outcome = checkVersion();
    EXPECT_TRUE(outcome.version.isNull());
    EXPECT_FALSE(outcome.errorText.isEmpty());

    // A configuration that tries to switch verification off still verifies.
    QSslConfiguration lax = QSslConfiguration::defaultConfiguration();
    lax.setPeerVerifyMode(QSslSocket::VerifyNone);
    PVNetworkAPI::sharedInstance().setSslConfiguration(lax);
    outcome = checkVersion();
    EXPECT_TRUE(outcome.version.isNull());

    PVNetworkAPI::sharedInstance().setSslConfiguration(TestHttpsServer::trustingConfiguration());
    outcome = checkVersion();
    EXPECT_TRUE(outcome.errorText.isNull()) << outcome.errorText.toStdString();
    EXPECT_EQ(outcome.version, QStringLiteral("2.4.0"));
}

TEST_F(VersionCheck, BaseAddressThatIsNotHttpsIsRefusedWithoutARequest)
{
    server.setReply(kVersionPath, TestHttpsServer::Reply::ok("2.4.0;https://host/a.zip"));
    qputenv(PVUpdateServer::kBaseEnvironment,
            QStringLiteral("http://127.0.0.1:%1").arg(server.port()).toUtf8());
    const CheckOutcome outcome = checkVersion();
    EXPECT_TRUE(outcome.version.isNull());
    EXPECT_TRUE(outcome.errorText.contains(QStringLiteral("https"))) << outcome.errorText.toStdString();
    QTest::qWait(50);
    EXPECT_EQ(server.connectionCount(), 0);
}

class VersionCheckOtherHost : public UpdateServerFixture
{
  protected:
    VersionCheckOtherHost() : UpdateServerFixture(TestHttpsServer::Identity::OtherHost) {}
};

TEST_F(VersionCheckOtherHost, CertificateOfAnotherHostFailsTheCheck)
{
    server.setReply(kVersionPath, TestHttpsServer::Reply::ok("2.4.0;https://host/a.zip"));
    const CheckOutcome outcome = checkVersion();
    EXPECT_TRUE(outcome.version.isNull());
    EXPECT_FALSE(outcome.errorText.isEmpty());
}

TEST_F(VersionCheckOtherHost, CertificateOfAnotherHostFailsTheDownloadLeavingNothing)
{
    server.setReply("/pelvaro.zip", TestHttpsServer::Reply::ok("zip bytes"));
    const DownloadOutcome outcome = download(server.baseAddress() + "/pelvaro.zip");
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->code, kPVNetworkErrorSecureConnectionFailed);
    EXPECT_TRUE(outcome.path.isEmpty());
    EXPECT_EQ(filesUnderTmp(), "");
}

using Download = UpdateServerFixture;

TEST_F(Download, AddressWithSpacesIsFetchedWithoutThemIntoAFreshPrivateFolder)
{
    const QByteArray body(300'000, 'z');
    server.setReply("/files/pelvaro.zip", TestHttpsServer::Reply::ok(body));

    const DownloadOutcome outcome = download(server.baseAddress() + "/files/pel varo .zip");

    EXPECT_EQ(server.requestedPaths(), QStringList{"/files/pelvaro.zip"});
    ASSERT_FALSE(outcome.error.has_value()) << outcome.error->description.toStdString();
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.response.statusCode, 200);
    EXPECT_EQ(outcome.response.suggestedFilename, QStringLiteral("pelvaro.zip"));
    EXPECT_EQ(QFileInfo(outcome.path).fileName(), QStringLiteral("pelvaro.zip"));
    EXPECT_EQ(fileContent(outcome.path), body);
    EXPECT_EQ(outcome.lastCompleted, body.size());
    EXPECT_EQ(outcome.lastTotal, body.size());

    const QFileInfo folder(QFileInfo(outcome.path).absolutePath());
    EXPECT_EQ(folder.absoluteDir().absolutePath(), QDir(tmp.path()).absolutePath());
    EXPECT_TRUE(folder.fileName().startsWith(QStringLiteral("pelvaro-download-")));
    EXPECT_EQ(folder.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther |
                                      QFile::ExeGroup | QFile::ExeOther),
              QFile::Permissions());

    // A second download gets a folder of its own.
    const DownloadOutcome second = download(server.baseAddress() + "/files/pelvaro.zip");
    ASSERT_FALSE(second.error.has_value());
    EXPECT_NE(QFileInfo(second.path).absolutePath(), folder.absoluteFilePath());
}

TEST_F(Download, SuggestedNameReplacesAFileAlreadyInTheFolder)
{
    const QString folder = tmp.filePath(QStringLiteral("mine"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile old(folder + "/installer.zip");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old installer");
    old.close();
    server.setReply("/get", TestHttpsServer::Reply::attachment("new installer", "attachment; filename=\"installer.zip\""));

    const DownloadOutcome outcome = download(server.baseAddress() + "/get", folder);

    ASSERT_FALSE(outcome.error.has_value());
    EXPECT_EQ(outcome.path, folder + "/installer.zip");
    EXPECT_EQ(fileContent(outcome.path), QByteArray("new installer"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"installer.zip"});
}

TEST_F(Download, SuggestedNameCannotLeaveTheFolder)
{
    const struct
    {
        const char* disposition;
        const char* expectedName; // empty: the temporary file keeps its name
    } cases[] = {
        {"attachment; filename=\"../escape.zip\"", "escape.zip"},
        {"attachment; filename=\"/tmp/abs.zip\"", "abs.zip"},
        {"attachment; filename=\".\"", ""},
        {"attachment; filename=\"..\"", ""},
        {"attachment; filename=\"dir/\"", ""},
    };
    int index = 0;
    for (const auto& c : cases) {
        const QString folder = tmp.filePath(QStringLiteral("case%1/inner").arg(index++));
        ASSERT_TRUE(QDir().mkpath(folder));
        server.setReply("/get", TestHttpsServer::Reply::attachment("payload", c.disposition));

        const DownloadOutcome outcome = download(server.baseAddress() + "/get", folder);

        ASSERT_FALSE(outcome.error.has_value()) << c.disposition;
        EXPECT_EQ(QFileInfo(outcome.path).absolutePath(), folder) << c.disposition;
        if (*c.expectedName != '\0') {
            EXPECT_EQ(QFileInfo(outcome.path).fileName(), QString::fromLatin1(c.expectedName)) << c.disposition;
        } else {
            EXPECT_TRUE(QFileInfo(outcome.path).fileName().startsWith(QStringLiteral("download-")))
                << outcome.path.toStdString();
        }
        EXPECT_EQ(fileContent(outcome.path), QByteArray("payload"));
        // Only the inner folder holds anything.
        EXPECT_EQ(QDir(folder + "/..").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"inner"});
    }
}

TEST_F(Download, FailuresEndInTheCompletionsErrorLeavingNothingBehind)
{
    const struct
    {
        const char* name;
        TestHttpsServer::Reply reply;
        int code;
    } cases[] = {
        {"not found", TestHttpsServer::Reply::withStatus(404, "gone"), kPVNetworkErrorBadServerResponse},
        {"connection reset", TestHttpsServer::Reply::connectionReset(), kPVNetworkErrorConnectionLost},
    };
    const QString ownFolder = tmp.filePath(QStringLiteral("own"));
    ASSERT_TRUE(QDir().mkpath(ownFolder));
    for (const auto& c : cases) {
        server.setReply("/pelvaro.zip", c.reply);
        for (const QString& folder : {QString(), ownFolder}) {
            const DownloadOutcome outcome = download(server.baseAddress() + "/pelvaro.zip", folder);
            EXPECT_EQ(outcome.calls, 1) << c.name;
            ASSERT_TRUE(outcome.error.has_value()) << c.name;
            EXPECT_EQ(outcome.error->code, c.code) << c.name;
            EXPECT_FALSE(outcome.error->description.isEmpty()) << c.name;
            EXPECT_TRUE(outcome.path.isEmpty()) << c.name;
            EXPECT_EQ(filesUnderTmp(), "own") << c.name;
        }
    }
}

TEST_F(Download, UntrustedCertificateFailsTheDownload)
{
    server.setReply("/pelvaro.zip", TestHttpsServer::Reply::ok("zip bytes"));
    PVNetworkAPI::sharedInstance().setSslConfiguration(QSslConfiguration::defaultConfiguration());
    const DownloadOutcome outcome = download(server.baseAddress() + "/pelvaro.zip");
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->code, kPVNetworkErrorSecureConnectionFailed);
    EXPECT_EQ(filesUnderTmp(), "");
}

TEST_F(Download, AddressThatIsNotHttpsIsRefusedBeforeAnyRequest)
{
    server.setReply("/pelvaro.zip", TestHttpsServer::Reply::ok("zip bytes"));
    const struct
    {
        QString address;
        int code;
    } cases[] = {
        {QStringLiteral("http://127.0.0.1:%1/pelvaro.zip").arg(server.port()), kPVNetworkErrorInsecureAddress},
        {QStringLiteral("file:///etc/passwd"), kPVNetworkErrorBadURL},
        {QStringLiteral("ftp://127.0.0.1:%1/pelvaro.zip").arg(server.port()), kPVNetworkErrorInsecureAddress},
        {QStringLiteral("not an address"), kPVNetworkErrorBadURL},
    };
    for (const auto& c : cases) {
        bool completedAtOnce = false;
        int calls = 0;
        std::optional<PVNetworkError> error;
        PVNetworkAPI::sharedInstance().downloadFromURL(
            c.address, {}, {},
            [&](const PVDownloadResponse&, const QString&, const std::optional<PVNetworkError>& e) {
                ++calls;
                error = e;
            });
        completedAtOnce = calls > 0;
        ASSERT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, kWaitMs));
        EXPECT_FALSE(completedAtOnce) << "the completion runs from the event loop";
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->code, c.code) << c.address.toStdString();
    }
    QTest::qWait(50);
    EXPECT_EQ(server.connectionCount(), 0);
    EXPECT_EQ(filesUnderTmp(), "");
}

TEST_F(Download, CancelCompletesOnceWithTheCancellationCode)
{
    server.setReply("/big.zip", TestHttpsServer::Reply::stalling(QByteArray(1'000'000, 'b'), 4096));
    DownloadOutcome outcome;
    PVNetworkAPI& api = PVNetworkAPI::sharedInstance();
    api.downloadFromURL(
        server.baseAddress() + "/big.zip", {},
        [&outcome](qint64 completed, qint64 total) {
            outcome.lastCompleted = completed;
            outcome.lastTotal = total;
        },
        [&outcome](const PVDownloadResponse&, const QString& path, const std::optional<PVNetworkError>& error) {
            ++outcome.calls;
            outcome.path = path;
            outcome.error = error;
        });
    // Progress reports are spaced out in time, so the bytes sent before the
    // stall may go unreported: the server's log shows the transfer runs.
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.requestedPaths().contains("/big.zip"); }, kWaitMs));
    QTest::qWait(100);
    EXPECT_LE(outcome.lastCompleted, 4096);
    EXPECT_EQ(outcome.calls, 0);
    ASSERT_NE(api.downloadTask(), nullptr);

    api.cancelDownload();
    EXPECT_EQ(outcome.calls, 0) << "the completion runs from the event loop";
    api.cancelDownload();
    ASSERT_TRUE(QTest::qWaitFor([&outcome] { return outcome.calls > 0; }, kWaitMs));
    QTest::qWait(50);

    EXPECT_EQ(outcome.calls, 1);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->code, kPVNetworkErrorCancelled);
    EXPECT_EQ(outcome.error->code, -999);
    EXPECT_TRUE(outcome.path.isEmpty());
    EXPECT_EQ(filesUnderTmp(), "");
    EXPECT_EQ(api.downloadTask(), nullptr);
    api.cancelDownload(); // nothing kept: nothing happens
}

} // namespace
