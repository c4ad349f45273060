#include "ui/controls/PVButton.h"
#include "support/SteppedTimers.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVOptionButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A button inside an active window, with a counter of its actions.
class ButtonTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        window = activeWindow(QSize(200, 100));
        ASSERT_NE(window, nullptr) << "no active window on this display";
        button = new PVButton(window.get());
        button->setGeometry(20, 20, 80, 30);
        button->show();
        button->setAction([this](PVButton* sender) {
            ++actions;
            lastSender = sender;
        });
    }

    void click(QPoint at = QPoint(40, 15)) { QTest::mouseClick(button, Qt::LeftButton, {}, at); }

    static void enter(QWidget* widget)
    {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(widget, &event);
    }
    static void leave(QWidget* widget)
    {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    }

    SteppedTimers timers;
    std::unique_ptr<QWidget> window;
    PVButton* button = nullptr;
    int actions = 0;
    PVButton* lastSender = nullptr;
};

TEST_F(ButtonTest, AClickInsideRunsTheActionWithTheButtonAndClearsThePress)
{
    EXPECT_TRUE(button->userInteractiveEnabled());
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button->mouseDown());
    EXPECT_TRUE(button->highlighted());
    EXPECT_EQ(actions, 0) << "the press alone runs nothing";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(lastSender, button);
    EXPECT_FALSE(button->mouseDown());
    EXPECT_FALSE(button->highlighted());
    EXPECT_TRUE(button->mouseIn());
}

TEST_F(ButtonTest, ClicksWithinHalfASecondOfAnActionRunNothing)
{
    click();
    timers.advance(0.3);
    click();
    EXPECT_EQ(actions, 1) << "second click 0.3 s after the first";
    timers.advance(0.3);
    click();
    EXPECT_EQ(actions, 2) << "third click 0.6 s after the first";
    timers.advance(0.49);
    click();
    EXPECT_EQ(actions, 2);
    timers.advance(0.01);
    click();
    EXPECT_EQ(actions, 3);
}

TEST_F(ButtonTest, EachButtonHasItsOwnPause)
{
    auto* other = new PVButton(window.get());
    other->setGeometry(120, 20, 60, 30);
    other->show();
    int otherActions = 0;
    other->setAction([&](PVButton*) { ++otherActions; });
    click();
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(otherActions, 1);
}

TEST_F(ButtonTest, AReleaseOutsideRunsNothingAndLeavesThePointerOutside)
{
    enter(button);
    ASSERT_TRUE(button->mouseIn());
    for (const QPoint outside : {QPoint(-1, 10), QPoint(80, 10), QPoint(40, 30), QPoint(40, -5)}) {
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(button, Qt::LeftButton, {}, outside);
        EXPECT_FALSE(button->mouseIn()) << outside.x() << "," << outside.y();
        EXPECT_FALSE(button->highlighted());
        EXPECT_FALSE(button->mouseDown());
    }
    EXPECT_EQ(actions, 0);
    EXPECT_EQ(timers.pendingCount(), 0u) << "no pause starts without an action";
}

TEST_F(ButtonTest, AReleaseInAWindowThatIsNotActiveRunsNothing)
{
    auto other = activeWindow(QSize(50, 50));
    ASSERT_NE(other, nullptr);
    ASSERT_FALSE(button->isActiveWindow());
    click();
    EXPECT_EQ(actions, 0);
    EXPECT_TRUE(button->mouseIn()) << "the pointer was inside all the same";
}

TEST_F(ButtonTest, DraggingOutAndBackMovesTheHighlight)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(button, QPoint(100, 10));
    EXPECT_FALSE(button->highlighted());
    EXPECT_TRUE(button->mouseDown());
    QTest::mouseMove(button, QPoint(70, 25));
    EXPECT_TRUE(button->highlighted());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(70, 25));
    EXPECT_EQ(actions, 1);
}

TEST_F(ButtonTest, ADisabledButtonIgnoresThePointer)
{
    button->setUserInteractiveEnabled(false);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button->mouseDown());
    EXPECT_FALSE(button->highlighted());
    QTest::mouseMove(button, QPoint(12, 12));
    EXPECT_FALSE(button->highlighted());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button->mouseIn());
    enter(button);
    EXPECT_FALSE(button->mouseIn());

    button->setUserInteractiveEnabled(true);
    enter(button);
    button->setHighlighted(true);
    button->setUserInteractiveEnabled(false);
    leave(button);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_TRUE(button->mouseIn()) << "leaving is ignored too";
    EXPECT_TRUE(button->highlighted());
    EXPECT_EQ(actions, 0);
}

TEST_F(ButtonTest, EnteringAndLeavingSetThePointerFlag)
{
    enter(button);
    EXPECT_TRUE(button->mouseIn());
    leave(button);
    EXPECT_FALSE(button->mouseIn());
}

TEST_F(ButtonTest, HidingDropsHoverAndHighlightButNotSelection)
{
    enter(button);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    button->setSelected(true);
    button->hide();
    EXPECT_FALSE(button->mouseIn());
    EXPECT_FALSE(button->highlighted());
    EXPECT_TRUE(button->selected());
}

TEST_F(ButtonTest, AnActionMayDeleteItsButtonOrReplaceItsAction)
{
    int replaced = 0;
    button->setAction([&](PVButton* sender) {
        sender->setAction([&](PVButton*) { ++replaced; });
        ++actions;
    });
    click();
    timers.advance(0.5);
    click();
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(replaced, 1);

    QPointer<PVButton> guard(button);
    button->setAction([](PVButton* sender) { delete sender; });
    timers.advance(0.5);
    click();
    EXPECT_TRUE(guard.isNull());
    timers.advance(1.0); // the pause ends for a button that is gone
}

TEST_F(ButtonTest, ALocalizationKeyShowsItsTextAtOnce)
{
    auto* option = new PVOptionButton(window.get());
    option->setGeometry(10, 60, 180, 30);
    option->show();
    option->setLocalizedKey(QStringLiteral("PV002"));
    EXPECT_EQ(option->localizedKey(), "PV002");
    EXPECT_EQ(option->label()->text(), "Blackout");
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
  public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int count = 0;
};

TEST_F(ButtonTest, AButtonAtRestStopsRepainting)
{
    // Every repaint applies the state look to the subviews; setting them
    // again must not ask for another repaint of the button.
    auto* option = new PVOptionButton(window.get());
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::red);
    option->setImage(image);
    option->setHighlightedImage(image);
    option->setLocalizedKey(QStringLiteral("PV003"));
    option->setGeometry(10, 60, 180, 30);
    option->show();
    enter(option);
    QTest::qWait(100);
    PaintCounter counter;
    option->installEventFilter(&counter);
    QTest::qWait(300);
    EXPECT_LE(counter.count, 1);
}

} // namespace
