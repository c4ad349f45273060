#include "platform/QuitOnSignal.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace {

TEST(QuitOnSignal, EachSignalEndsTheEventLoop)
{
    for (int signalNumber : {SIGTERM, SIGINT}) {
        QuitOnSignal quit;
        ASSERT_TRUE(quit.install());
        QSignalSpy received(&quit, &QuitOnSignal::received);
        bool timedOut = false;
        QTimer::singleShot(0, [signalNumber] { std::raise(signalNumber); });
        QTimer::singleShot(10'000, [&timedOut] {
            timedOut = true;
            QApplication::exit(1);
        });
        EXPECT_EQ(QApplication::exec(), 0) << signalNumber;
        EXPECT_FALSE(timedOut);
        ASSERT_EQ(received.count(), 1);
        EXPECT_EQ(received.at(0).at(0).toInt(), signalNumber);
    }
}

} // namespace
