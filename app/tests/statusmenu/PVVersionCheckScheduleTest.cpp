#include "DelegateFixture.h"

#include "platform/PVScheduledTimer.h"
#include "support/LogCapture.h"

namespace {

using VersionCheckSchedule = DelegateTest;

constexpr double kDay = 86'400.0; // s

TEST_F(VersionCheckSchedule, OnlyTheFirstReachabilityReportStartsACheck)
{
    serveVersion("1.2.3");
    launch();
    EXPECT_TRUE(reachability.isMonitoring());
    // The report that monitoring always sends first (the state is unknown:
    // the check asks nothing and completes without a version).
    EXPECT_TRUE(QTest::qWaitFor([this] { return delegate.lastCheckVerDate.has_value(); }, kWaitMs));
    EXPECT_TRUE(server.requestedPaths().isEmpty());
    EXPECT_FALSE(delegate.onlineVersion.has_value());

    for (const auto status : {PVReachabilityStatus::Reachable, PVReachabilityStatus::NotReachable,
                              PVReachabilityStatus::Reachable}) {
        delegate.lastCheckVerDate.reset();
        reachability.setStatus(status);
        QTest::qWait(50);
        EXPECT_FALSE(delegate.lastCheckVerDate.has_value());
    }
    EXPECT_TRUE(server.requestedPaths().isEmpty());
}

TEST_F(VersionCheckSchedule, ACheckWithoutUpgradeRetriesEvery24DaysUntilOneIsFound)
{
    serveVersion("1.2.3");
    reachability.setStatus(PVReachabilityStatus::Reachable);
    LogCapture log;
    const QDateTime start = QDateTime::currentDateTimeUtc();
    runCheck([this] { launch(); });
    EXPECT_EQ(server.requestedPaths().size(), 1);
    EXPECT_EQ(delegate.onlineVersion, QStringLiteral("1.2.3"));
    EXPECT_EQ(delegate.downloadPath, QStringLiteral("https://host/pelvaro.zip"));
    EXPECT_FALSE(delegate.upgradeAvailable());
    EXPECT_GE(*delegate.lastCheckVerDate, start);
    ASSERT_NE(delegate.retryCheckTimer, nullptr);
    EXPECT_TRUE(delegate.retryCheckTimer->isValid());
    EXPECT_EQ(delegate.retryCheckTimer->timeInterval(), 2'073'600.0);

    // Nothing before the 24 days are over.
    timers.advance(24 * kDay - 1.0);
    QTest::qWait(50);
    EXPECT_EQ(server.requestedPaths().size(), 1);
    EXPECT_FALSE(log.contains(DXLogLevelDebug, "Check version Timer fired"));

    // The retry finds the same version and schedules the next one.
    const std::shared_ptr<PVScheduledTimer> first = delegate.retryCheckTimer;
    runCheck([this] { timers.advance(1.0); });
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "Check version Timer fired"));
    EXPECT_EQ(server.requestedPaths().size(), 2);
    ASSERT_NE(delegate.retryCheckTimer, nullptr);
    EXPECT_NE(delegate.retryCheckTimer, first);
    EXPECT_TRUE(delegate.retryCheckTimer->isValid());

    // The next one finds an upgrade: no timer any more.
    serveVersion("1.10");
    runCheck([this] { timers.advance(24 * kDay); });
    EXPECT_EQ(server.requestedPaths().size(), 3);
    EXPECT_EQ(delegate.onlineVersion, QStringLiteral("1.10"));
    EXPECT_TRUE(delegate.upgradeAvailable());
    EXPECT_EQ(delegate.retryCheckTimer, nullptr);
    timers.advance(100 * kDay);
    QTest::qWait(50);
    EXPECT_EQ(server.requestedPaths().size(), 3);
}

// Nothing usable from the server: no upgrade, and the check comes again in
// 24 days.
TEST_F(VersionCheckSchedule, AFailedOrGarbledCheckLeavesNoUpgradeAndRetries)
{
    const struct
    {
        const char* name;
        TestHttpsServer::Reply reply;
        PVReachabilityStatus status;
        bool asked;
    } cases[] = {
        {"network not reachable", TestHttpsServer::Reply::ok("9.9.9;https://host/a.zip"),
         PVReachabilityStatus::NotReachable, false},
        {"server not found", TestHttpsServer::Reply::withStatus(404, "gone"), PVReachabilityStatus::Reachable, true},
        {"connection reset", TestHttpsServer::Reply::connectionReset(), PVReachabilityStatus::Reachable, true},
        {"garbled file", TestHttpsServer::Reply::ok("\x89PNG\r\n\x1a\n\xff\xfe garbage"),
         PVReachabilityStatus::Reachable, true},
        {"file ending in a line feed", TestHttpsServer::Reply::ok("9.9.9;https://host/a.zip\n"),
         PVReachabilityStatus::Reachable, true},
    };
    bool launched = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.setReply(kVersionPath, c.reply);
        reachability.setStatus(c.status);
        const qsizetype requestsBefore = server.requestedPaths().size();
        delegate.onlineVersion = QStringLiteral("0.1");
        if (!launched) {
            runCheck([this] { launch(); });
            launched = true;
        } else {
            runCheck([this] { timers.advance(24 * kDay); });
        }
        // (A reset connection is tried again by the network layer.)
        EXPECT_EQ(server.requestedPaths().size() > requestsBefore, c.asked);
        EXPECT_FALSE(delegate.upgradeAvailable());
        EXPECT_FALSE(delegate.onlineVersion.has_value() && delegate.onlineVersion->startsWith(u'9'));
        ASSERT_NE(delegate.retryCheckTimer, nullptr);
        EXPECT_TRUE(delegate.retryCheckTimer->isValid());
    }
}

// A check while an upgrade is known asks nothing and calls the retry off.
TEST_F(VersionCheckSchedule, ACheckWhileAnUpgradeIsKnownCancelsTheRetry)
{
    serveVersion("1.2.3");
    reachability.setStatus(PVReachabilityStatus::Reachable);
    runCheck([this] { launch(); });
    const std::shared_ptr<PVScheduledTimer> retry = delegate.retryCheckTimer;
    ASSERT_NE(retry, nullptr);

    delegate.onlineVersion = QStringLiteral("2.0");
    delegate.checkVersion();
    EXPECT_EQ(delegate.retryCheckTimer, nullptr);
    EXPECT_FALSE(retry->isValid());
    timers.advance(30 * kDay);
    QTest::qWait(50);
    EXPECT_EQ(server.requestedPaths().size(), 1);
}

// The delegate may go while the version file is on its way: the late answer
// touches nothing and schedules no retry.
TEST_F(VersionCheckSchedule, AnAnswerArrivingAfterTheDelegateIsGoneIsDropped)
{
    server.setReply(kVersionPath, TestHttpsServer::Reply::ok("0.1;https://host/a.zip"));
    reachability.setStatus(PVReachabilityStatus::Reachable);
    {
        PVAppDelegate shortLived;
        TrayPresence presence(true);
        shortLived.finishLaunching(&adapter);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !server.requestedPaths().isEmpty(); }, kWaitMs));
    }
    // A check asked for afterwards completes after the first one's answer
    // has come in.
    bool later = false;
    PVNetworkAPI::sharedInstance().checkVersionCompleteBlock(
        [&later](const QString&, const QString&, const QString&) { later = true; });
    EXPECT_TRUE(QTest::qWaitFor([&later] { return later; }, kWaitMs));
    QTest::qWait(50);
    timers.advance(25 * kDay);
    QTest::qWait(50);
    EXPECT_EQ(server.requestedPaths().size(), 2);
}

} // namespace
