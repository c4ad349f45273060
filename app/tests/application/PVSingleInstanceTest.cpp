#include "application/PVSingleInstance.h"

#include <QFile>
#include <QSysInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

using Role = PVSingleInstance::Role;

class SingleInstance : public ::testing::Test
{
  protected:
    QString socketPath() const { return folder.filePath(QStringLiteral("pelvaro.socket")); }

    /// Starts a later program's guard on a thread of its own (the running
    /// one answers from this thread's event loop) and waits for its role.
    Role startLater(QString* error = nullptr)
    {
        std::future<Role> role = std::async(std::launch::async, [this, error] {
            PVSingleInstance later(socketPath());
            return later.start(error);
        });
        EXPECT_TRUE(QTest::qWaitFor(
            [&role] { return role.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            PVSingleInstance::kHandOverTimeoutMs * 3));
        return role.get();
    }

    /// Sends `bytes` as a later program would and gives back what came back
    /// before the running program hung up.
    QByteArray exchange(const QByteArray& bytes)
    {
        std::future<QByteArray> answer = std::async(std::launch::async, [this, bytes] {
            QLocalSocket socket;
            socket.connectToServer(socketPath());
            if (!socket.waitForConnected(2'000)) {
                return QByteArray("not connected");
            }
            socket.write(bytes);
            socket.waitForBytesWritten(2'000);
            QByteArray received;
            while (socket.state() == QLocalSocket::ConnectedState && socket.waitForReadyRead(3'000)) {
                received += socket.readAll();
            }
            return received + socket.readAll();
        });
        EXPECT_TRUE(QTest::qWaitFor(
            [&answer] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10'000));
        return answer.get();
    }

    QTemporaryDir folder;
};

TEST_F(SingleInstance, LaterProgramsHandOverToTheRunningOne)
{
    PVSingleInstance running(socketPath());
    int reopens = 0;
    QObject::connect(&running, &PVSingleInstance::reopenRequested, [&reopens] { ++reopens; });
    ASSERT_EQ(running.start(), Role::Primary);
    EXPECT_TRUE(running.isListening());
    EXPECT_TRUE(QFile::exists(socketPath()));

    for (int later = 1; later <= 3; ++later) {
        QString error;
        EXPECT_EQ(startLater(&error), Role::HandedOver) << error.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == later; }, 5'000));
    }
    EXPECT_TRUE(running.isListening());
}

TEST_F(SingleInstance, TheSocketGoesWithTheRunningProgramAndTheNextOneRuns)
{
    {
        PVSingleInstance first(socketPath());
        ASSERT_EQ(first.start(), Role::Primary);
    }
    EXPECT_FALSE(QFile::exists(socketPath()));
    PVSingleInstance next(socketPath());
    EXPECT_EQ(next.start(), Role::Primary);
    EXPECT_TRUE(next.isListening());
}

// What a killed program leaves at the socket's path answers no one: it is
// taken away and the new program runs with the guard.
TEST_F(SingleInstance, WhatAKilledProgramLeftBehindIsReplaced)
{
    const struct
    {
        const char* name;
        std::function<void(const QString&)> leave;
    } leftovers[] = {
        {"a socket no one listens on",
         [](const QString& path) {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address = {};
             address.sun_family = AF_UNIX;
             const QByteArray bytes = QFile::encodeName(path);
             std::memcpy(address.sun_path, bytes.constData(), static_cast<size_t>(bytes.size()));
             ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
             ASSERT_EQ(::listen(fd, 1), 0);
             ::close(fd);
         }},
        {"a plain file",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         }},
        {"a stale lock beside the socket",
         [](const QString& path) {
             // A lock naming a process that is gone, as a program killed
             // while starting leaves it.
             QFile lock(path + QStringLiteral(".lock"));
             ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
             lock.write("2147483646\npelvaro\n" + QSysInfo::machineHostName().toUtf8() + "\n");
         }},
    };
    for (const auto& leftover : leftovers) {
        SCOPED_TRACE(leftover.name);
        QFile::remove(socketPath());
        QFile::remove(socketPath() + QStringLiteral(".lock"));
        leftover.leave(socketPath());
        PVSingleInstance next(socketPath());
        QString error;
        EXPECT_EQ(next.start(&error), Role::Primary);
        EXPECT_TRUE(next.isListening()) << error.toStdString();
        EXPECT_EQ(startLater(), Role::HandedOver);
    }
}

TEST_F(SingleInstance, OnlyTheReopenRequestIsAnsweredAndHeard)
{
    PVSingleInstance running(socketPath());
    int reopens = 0;
    QObject::connect(&running, &PVSingleInstance::reopenRequested, [&reopens] { ++reopens; });
    ASSERT_EQ(running.start(), Role::Primary);

    const struct
    {
        QByteArray request;
        QByteArray answer;
        int reopens;
    } cases[] = {
        {"quit\n", "", 0},
        {"reopen now\n", "", 0},
        {"REOPEN\n", "", 0},
        {QByteArray(200, 'x'), "", 0},
        {"reopen\n", "ok\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.left(20).toStdString());
        EXPECT_EQ(exchange(c.request), c.answer);
        QTest::qWait(20);
        EXPECT_EQ(reopens, c.reopens);
    }
    EXPECT_TRUE(running.isListening());
}

TEST_F(SingleInstance, ARunningProgramThatNeverAnswersFailsTheHandOver)
{
    // Listening, but this thread never turns its event loop while the later
    // program waits.
    PVSingleInstance running(socketPath());
    ASSERT_EQ(running.start(), Role::Primary);
    PVSingleInstance later(socketPath());
    QString error;
    EXPECT_EQ(later.start(&error), Role::Failed);
    EXPECT_FALSE(later.isListening());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(running.isListening());
}

TEST_F(SingleInstance, WithoutAUsableSocketPathTheProgramRunsUnguarded)
{
    const QString cases[] = {QString(), folder.filePath(QString(120, QLatin1Char('s')))};
    for (const QString& path : cases) {
        SCOPED_TRACE(path.size());
        PVSingleInstance guard(path);
        QString error;
        EXPECT_EQ(guard.start(&error), Role::Primary);
        EXPECT_FALSE(guard.isListening());
        EXPECT_FALSE(error.isEmpty());
    }
}

// Two programs started at the same moment: the lock lets one look and listen
// before the other looks, so exactly one runs and the other hands over.
TEST_F(SingleInstance, TwoProgramsStartedTogetherEndWithOneRunning)
{
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        QThread thread;
        thread.start();
        auto* other = new PVSingleInstance(socketPath());
        other->moveToThread(&thread);
        std::atomic<int> otherRole{-1};
        std::atomic<int> reopens{0};
        QObject::connect(other, &PVSingleInstance::reopenRequested, other, [&reopens] { ++reopens; });
        QMetaObject::invokeMethod(other, [other, &otherRole] { otherRole = static_cast<int>(other->start()); });

        PVSingleInstance mine(socketPath());
        QObject::connect(&mine, &PVSingleInstance::reopenRequested, [&reopens] { ++reopens; });
        const Role myRole = mine.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return otherRole >= 0; }, 15'000));
        const Role theirs = static_cast<Role>(otherRole.load());
        EXPECT_TRUE((myRole == Role::Primary && theirs == Role::HandedOver) ||
                    (myRole == Role::HandedOver && theirs == Role::Primary))
            << static_cast<int>(myRole) << " " << static_cast<int>(theirs);
        EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == 1; }, 5'000));
        EXPECT_NE(mine.isListening(), theirs == Role::Primary);

        QMetaObject::invokeMethod(other, [other] { delete other; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
}

} // namespace
