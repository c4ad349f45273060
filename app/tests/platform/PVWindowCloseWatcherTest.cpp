#include "platform/PVWindowCloseWatcher.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

namespace {

class RefusingWindow : public QWidget
{
  protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

class WindowClose : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        PVWindowCloseWatcher::install();
        PVWindowCloseWatcher::install(); // a second install adds no second watcher
        PVNotificationCenter::defaultCenter().addObserver(
            &observer, kPVWindowWillCloseNotification,
            [this](const PVNotification& n) { closed.push_back(n.object); });
    }

    QObject observer;
    std::vector<QObject*> closed;
};

TEST_F(WindowClose, ClosingATopLevelWindowPostsOnce)
{
    QWidget window;
    auto* child = new QLabel("child", &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    child->hide();
    EXPECT_TRUE(closed.empty());
    EXPECT_TRUE(window.close());
    QTest::qWait(20);
    EXPECT_EQ(closed, (std::vector<QObject*>{&window}));
}

TEST_F(WindowClose, EveryKindOfTopLevelWindowIsWatched)
{
    QDialog dialog;
    QWidget tool(nullptr, Qt::Tool);
    dialog.show();
    tool.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tool));
    tool.close();
    dialog.close();
    EXPECT_EQ(closed, (std::vector<QObject*>{&tool, &dialog}));
}

TEST_F(WindowClose, RefusedCloseAndPlainHidePostNothing)
{
    RefusingWindow refusing;
    QWidget hidden;
    refusing.show();
    hidden.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&refusing));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hidden));
    EXPECT_FALSE(refusing.close());
    QTest::qWait(20);
    refusing.hide();
    hidden.hide();
    EXPECT_TRUE(closed.empty());
}

} // namespace
