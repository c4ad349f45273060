#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"

#include <QObject>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

TEST(NotificationCenter, ObserversOfTheNameHearInRegistrationOrder)
{
    PVNotificationCenter center;
    QObject first;
    QObject second;
    QObject other;
    std::vector<std::string> calls;
    center.addObserver(&second, kPVDongleNotificationNameBattery,
                       [&](const PVNotification&) { calls.push_back("second"); });
    center.addObserver(&first, kPVDongleNotificationNameBattery,
                       [&](const PVNotification&) { calls.push_back("first"); });
    center.addObserver(&other, kPVDongleNotificationNameInsert,
                       [&](const PVNotification&) { calls.push_back("other"); });
    center.post(kPVDongleNotificationNameBattery);
    EXPECT_EQ(calls, (std::vector<std::string>{"second", "first"}));
}

TEST(NotificationCenter, UserInfoAndObjectArriveUnchanged)
{
    PVNotificationCenter center;
    QObject observer;
    QObject sender;
    PVNotification received;
    center.addObserver(&observer, kPVNotificationNameChangeTab,
                       [&](const PVNotification& n) { received = n; });
    const QVariantMap info{{kPVNotificationUserInfoChangeTabIndex, 3}, {"text", QString("ä,\"x\"")}};
    center.post(kPVNotificationNameChangeTab, &sender, info);
    EXPECT_EQ(received.name, kPVNotificationNameChangeTab);
    EXPECT_EQ(received.object, &sender);
    EXPECT_EQ(received.userInfo, info);
    EXPECT_EQ(received.userInfo.value(kPVNotificationUserInfoChangeTabIndex).toInt(), 3);
}

TEST(NotificationCenter, ChangesDuringAPostApplyFromTheNextPost)
{
    PVNotificationCenter center;
    QObject remover;
    QObject removed;
    QObject adder;
    QObject added;
    int removerCalls = 0;
    int removedCalls = 0;
    int addedCalls = 0;
    const QString name = kPVUINotificationNameChangeStyle;
    center.addObserver(&remover, name, [&](const PVNotification&) {
        ++removerCalls;
        center.removeObserver(&remover);
        center.removeObserver(&removed, name);
    });
    center.addObserver(&removed, name, [&](const PVNotification&) { ++removedCalls; });
    center.addObserver(&adder, name, [&](const PVNotification&) {
        center.addObserver(&added, name, [&](const PVNotification&) { ++addedCalls; });
    });
    center.post(name);
    EXPECT_EQ(removerCalls, 1);
    EXPECT_EQ(removedCalls, 0);
    EXPECT_EQ(addedCalls, 0);
    center.post(name);
    EXPECT_EQ(removerCalls, 1);
    EXPECT_EQ(addedCalls, 1);
}

TEST(NotificationCenter, DestroyedObserversLeave)
{
    PVNotificationCenter center;
    int calls = 0;
    {
        QObject observer;
        center.addObserver(&observer, kPVUINotificationNameChangeSize,
                           [&](const PVNotification&) { ++calls; });
        EXPECT_EQ(center.observerCount(), 1u);
    }
    EXPECT_EQ(center.observerCount(), 0u);
    center.post(kPVUINotificationNameChangeSize);
    EXPECT_EQ(calls, 0);
}

TEST(NotificationCenter, ObserverDestroyedDuringAPostIsNotCalled)
{
    PVNotificationCenter center;
    auto victim = std::make_unique<QObject>();
    QObject killer;
    int victimCalls = 0;
    center.addObserver(&killer, kPVUINotificationNamePopTutorial,
                       [&](const PVNotification&) { victim.reset(); });
    center.addObserver(victim.get(), kPVUINotificationNamePopTutorial,
                       [&](const PVNotification&) { ++victimCalls; });
    center.post(kPVUINotificationNamePopTutorial);
    EXPECT_EQ(victimCalls, 0);
}

TEST(NotificationCenter, RemovingOneNameKeepsTheOthers)
{
    PVNotificationCenter center;
    QObject observer;
    int battery = 0;
    int insert = 0;
    center.addObserver(&observer, kPVDongleNotificationNameBattery,
                       [&](const PVNotification&) { ++battery; });
    center.addObserver(&observer, kPVDongleNotificationNameInsert, [&](const PVNotification&) { ++insert; });
    center.removeObserver(&observer, kPVDongleNotificationNameBattery);
    center.post(kPVDongleNotificationNameBattery);
    center.post(kPVDongleNotificationNameInsert);
    EXPECT_EQ(battery, 0);
    EXPECT_EQ(insert, 1);
}

} // namespace
