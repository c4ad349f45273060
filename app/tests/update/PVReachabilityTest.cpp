#include "support/FakeReachability.h"
#include "update/PVNetworkAPI.h"
#include "update/PVNetworkReachability.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(Reachability, FirstChangeIsReportedOnceSoonAfterMonitoringStarts)
{
    FakeReachability fake(PVReachabilityStatus::Unknown);
    QSignalSpy changes(&fake, &PVReachabilityMonitor::reachabilityChanged);

    fake.startMonitoring();
    fake.startMonitoring();
    EXPECT_EQ(changes.count(), 0) << "reported from the event loop, not inside startMonitoring";
    ASSERT_TRUE(changes.wait(5000));
    QTest::qWait(20);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).value<PVReachabilityStatus>(), PVReachabilityStatus::Unknown);
    EXPECT_EQ(fake.watchCount(), 1);

    fake.setStatus(PVReachabilityStatus::NotReachable);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(1).at(0).value<PVReachabilityStatus>(), PVReachabilityStatus::NotReachable);
}

TEST(Reachability, ChangesBeforeMonitoringAreNotReported)
{
    FakeReachability fake(PVReachabilityStatus::Reachable);
    QSignalSpy changes(&fake, &PVReachabilityMonitor::reachabilityChanged);
    fake.setStatus(PVReachabilityStatus::NotReachable);
    QTest::qWait(20);
    EXPECT_EQ(changes.count(), 0);
}

TEST(Reachability, ConnectedUnlessReportedNotReachable)
{
    const struct
    {
        PVReachabilityStatus status;
        bool connected;
        bool reachable;
    } cases[] = {
        {PVReachabilityStatus::Unknown, true, false},
        {PVReachabilityStatus::NotReachable, false, false},
        {PVReachabilityStatus::Reachable, true, true},
    };
    for (const auto& c : cases) {
        FakeReachability fake(c.status);
        EXPECT_EQ(&PVReachabilityMonitor::sharedManager(), &fake);
        EXPECT_EQ(PVNetworkAPI::sharedInstance().connected(), c.connected) << static_cast<int>(c.status);
        EXPECT_EQ(fake.isReachable(), c.reachable);
    }
    EXPECT_NE(dynamic_cast<PVNetworkReachability*>(&PVReachabilityMonitor::sharedManager()), nullptr)
        << "the platform's monitor is back once the fake is gone";
}

TEST(Reachability, PlatformMonitorReportsItsStateOnceMonitoringStarts)
{
    PVNetworkReachability monitor;
    QSignalSpy changes(&monitor, &PVReachabilityMonitor::reachabilityChanged);
    monitor.startMonitoring();
    monitor.startMonitoring();
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_EQ(changes.at(0).at(0).value<PVReachabilityStatus>(), monitor.status());
    if (!monitor.hasBackend()) {
        // Without any backend a request's own failure must tell the problem.
        EXPECT_EQ(monitor.status(), PVReachabilityStatus::Reachable);
    }
}

} // namespace
