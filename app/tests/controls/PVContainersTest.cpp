// The text field, bordered container and scroll view.

#include "support/WidgetShots.h"
#include "ui/controls/PVBorderView.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFlippedView.h"
#include "ui/controls/PVLineView.h"
#include "ui/controls/PVScrollView.h"
#include "ui/controls/PVTextField.h"

#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

TEST(TextField, AWrappingFieldAsksFor196WhateverItsText)
{
    PVTextField field;
    field.setWordWrap(true);
    int previousHeight = 0;
    for (const QString& text :
         {QString(), QStringLiteral("OK"), QString(QStringLiteral("A longer sentence ")).repeated(12)}) {
        field.setText(text);
        EXPECT_EQ(field.sizeHint().width(), 196) << text.size();
        EXPECT_GT(field.sizeHint().height(), 0);
        EXPECT_GE(field.sizeHint().height(), previousHeight);
        previousHeight = field.sizeHint().height();
    }
    EXPECT_GT(previousHeight, 3 * QFontMetrics(field.font()).height()) << "the long text takes several lines";

    field.setWordWrap(false);
    EXPECT_GT(field.sizeHint().width(), 196) << "a single line is as wide as its text";
}

class BorderViewTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        window = activeWindow(QSize(220, 160));
        ASSERT_NE(window, nullptr);
        view = new PVBorderView(window.get());
        view->setGeometry(10, 10, 200, 100);
        view->show();
    }
    std::unique_ptr<QWidget> window;
    PVBorderView* view = nullptr;
};

TEST_F(BorderViewTest, AFreshViewIsWhiteAndFramedOnFourSides)
{
    EXPECT_FALSE(view->showTopBorder());
    const QImage shot = grabWidget(view, "border-fresh");
    for (const QPoint edge : {QPoint(100, 0), QPoint(0, 50), QPoint(199, 50), QPoint(100, 99)}) {
        EXPECT_EQ(shot.pixelColor(edge), themeBorderColor()) << edge.x() << "," << edge.y();
    }
    // 1.6 points: the second pixel is 60 % covered, the third not at all.
    const QColor second = shot.pixelColor(1, 50);
    EXPECT_NEAR(second.red(), 0.6 * 208 + 0.4 * 255, 3);
    EXPECT_EQ(shot.pixelColor(2, 50), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(100, 50), QColor(Qt::white));
}

TEST_F(BorderViewTest, TheTopLineFollowsShowTopBorderOnceSet)
{
    view->setShowTopBorder(false);
    EXPECT_EQ(grabWidget(view, "border-no-top").pixelColor(100, 0), QColor(Qt::white));
    EXPECT_EQ(grabWidget(view).pixelColor(0, 0), themeBorderColor()) << "the side lines stay";
    view->setShowTopBorder(true);
    EXPECT_EQ(grabWidget(view).pixelColor(100, 0), themeBorderColor());
}

TEST_F(BorderViewTest, LinesFollowTheSizeAndLetClicksThrough)
{
    view->resize(300, 40);
    EXPECT_EQ(view->rightLine()->geometry(), QRect(298, 0, 2, 40));
    EXPECT_EQ(view->bottomLine()->geometry(), QRect(0, 38, 300, 2));
    EXPECT_EQ(view->childAt(299, 20), nullptr);
}

// Gives the scroll view its items and notes when it is asked.
class Delegate : public QObject, public PVScrollViewDelegate
{
  public:
    QVariantList dataArrayScrollView(PVScrollView*) override { return items; }
    QVariantList items;
};

TEST(ScrollView, ReloadingAnEmptyViewChangesNothing)
{
    PVScrollView view;
    view.resize(200, 100);
    view.show();
    view.reloadData();
    EXPECT_TRUE(view.flippedView()->children().isEmpty());
    EXPECT_EQ(view.flippedView()->height(), 0);
    EXPECT_EQ(view.widget(), view.flippedView());
    EXPECT_EQ(view.objectName(), "ScrollView");
    EXPECT_EQ(view.flippedView()->objectName(), "Content container");
    EXPECT_TRUE(view.flippedView()->isFlipped());
}

TEST(ScrollView, TheDocumentGrowsWithItsContentAndScrollsOnceItOutgrowsTheView)
{
    auto window = activeWindow(QSize(220, 140));
    ASSERT_NE(window, nullptr);
    auto* view = new PVScrollView(window.get());
    view->setGeometry(10, 10, 200, 120);
    view->show();
    auto* layout = new QVBoxLayout(view->flippedView());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto addRow = [&](int index) {
        auto* row = new QLabel(QStringLiteral("Row %1").arg(index));
        row->setFixedHeight(30);
        layout->addWidget(row);
    };
    addRow(0);
    addRow(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->flippedView()->size() == QSize(200, 60); }, 2000))
        << view->flippedView()->height();
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
    for (int i = 2; i < 10; ++i) {
        addRow(i);
    }
    // The scroll bar appears and takes its width from the document.
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->verticalScrollBar()->isVisible(); }, 2000));
    EXPECT_LT(view->viewport()->width(), 200);
    EXPECT_EQ(view->flippedView()->size(), QSize(view->viewport()->width(), 300));
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 300 - view->viewport()->height());
    grabWidget(window.get(), "scroll-rows");

    view->reloadData();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view->flippedView()->findChildren<QLabel*>().isEmpty(); }, 2000));
    EXPECT_EQ(view->flippedView()->height(), 0);
    EXPECT_NE(view->flippedView()->layout(), nullptr) << "the layout stays for the next items";
}

TEST(ScrollView, ItemsPlacedByHandSizeTheDocumentToo)
{
    PVScrollView view;
    view.resize(200, 100);
    auto* item = new QWidget(view.flippedView());
    item->setGeometry(0, 150, 50, 50);
    view.updateDocumentSize();
    EXPECT_EQ(view.flippedView()->height(), 200);
}

TEST(ScrollView, AnItemMayReloadTheViewFromItsOwnHandler)
{
    PVScrollView view;
    Delegate delegate;
    delegate.items = {1, 2};
    view.setDelegate(&delegate);
    QPointer<QWidget> item = new QWidget(view.flippedView());
    view.reloadData();
    EXPECT_FALSE(item.isNull()) << "deleted later, not under its own feet";
    EXPECT_EQ(item->parent(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item.isNull(); }, 2000));
    EXPECT_EQ(view.delegate()->dataArrayScrollView(&view).size(), 2);
}

TEST(ScrollView, ADelegateThatIsDestroyedIsForgotten)
{
    PVScrollView view;
    {
        Delegate delegate;
        view.setDelegate(&delegate);
        EXPECT_EQ(view.delegate(), &delegate);
    }
    EXPECT_EQ(view.delegate(), nullptr);
}

} // namespace
