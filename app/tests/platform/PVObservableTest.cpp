#include "platform/PVObservable.h"

#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

TEST(Observable, EverySetNotifiesEvenWithTheSameValue)
{
    PVObservable<int> mode(2);
    QObject observer;
    std::vector<std::pair<int, int>> heard;
    mode.startObserving(
        &observer, [&](int old, int now) { heard.emplace_back(old, now); }, false);
    mode.set(4);
    mode.set(4);
    mode.set(0);
    EXPECT_EQ(heard, (std::vector<std::pair<int, int>>{{2, 4}, {4, 4}, {4, 0}}));
    EXPECT_EQ(mode.value(), 0);
}

TEST(Observable, InitialNotificationReadsTheOldValueAsZero)
{
    PVObservable<int> level(3);
    PVObservable<QString> text(QString("abc"));
    QObject observer;
    std::vector<std::pair<int, int>> levels;
    std::vector<std::pair<QString, QString>> texts;
    level.startObserving(&observer, [&](int old, int now) { levels.emplace_back(old, now); });
    text.startObserving(&observer,
                        [&](const QString& old, const QString& now) { texts.emplace_back(old, now); });
    EXPECT_EQ(levels, (std::vector<std::pair<int, int>>{{0, 3}}));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].first.isEmpty());
    EXPECT_EQ(texts[0].second, "abc");
}

TEST(Observable, StoppedAndDestroyedObserversHearNothing)
{
    PVObservable<int> value;
    QObject stays;
    QObject stops;
    auto dies = std::make_unique<QObject>();
    int staysCalls = 0;
    int stopsCalls = 0;
    int diesCalls = 0;
    value.startObserving(
        &stays, [&](int, int) { ++staysCalls; }, false);
    value.startObserving(
        &stops, [&](int, int) { ++stopsCalls; }, false);
    value.startObserving(
        dies.get(), [&](int, int) { ++diesCalls; }, false);
    value.stopObserving(&stops);
    dies.reset();
    value.set(1);
    EXPECT_EQ(staysCalls, 1);
    EXPECT_EQ(stopsCalls, 0);
    EXPECT_EQ(diesCalls, 0);
    EXPECT_EQ(value.observerCount(), 1u);
}

TEST(Observable, HandlerMayStartAnotherObserver)
{
    PVObservable<int> value;
    QObject first;
    QObject second;
    int secondCalls = 0;
    value.startObserving(
        &first,
        [&](int, int) {
            value.startObserving(
                &second, [&](int, int) { ++secondCalls; }, false);
        },
        false);
    value.set(1);
    EXPECT_EQ(secondCalls, 0);
    value.set(2);
    EXPECT_EQ(secondCalls, 1); // the registration made during this set waits for the next
}

} // namespace
