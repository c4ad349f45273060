// What the custom controls show in each state, read from screenshots.

#include "support/LogCapture.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVHyperlinkButton.h"
#include "ui/controls/PVImageButton.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVOptionButton.h"
#include "ui/controls/PVPresentDesktopItem.h"
#include "ui/controls/PVPresenterIcon.h"
#include "ui/controls/PVRoundButton.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

QImage square(const QColor& color, int side = 20)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

struct Flags
{
    bool selected = false;
    bool mouseDown = false;
    bool mouseIn = false;
};

void apply(PVButton* button, const Flags& flags)
{
    button->setSelected(flags.selected);
    button->setMouseDown(flags.mouseDown);
    button->setMouseIn(flags.mouseIn);
}

std::string describe(const Flags& flags)
{
    std::string text = "idle";
    if (flags.selected || flags.mouseDown || flags.mouseIn) {
        text = flags.selected ? "selected" : "";
        text += flags.mouseDown ? "-pressed" : "";
        text += flags.mouseIn ? "-hovered" : "";
    }
    return text;
}

class ControlsLook : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        window = activeWindow(QSize(320, 200));
        ASSERT_NE(window, nullptr);
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, themeBackgroundColor());
        window->setPalette(palette);
    }

    template <typename Control> Control* add(const QRect& geometry)
    {
        auto* control = new Control(window.get());
        control->setGeometry(geometry);
        control->show();
        return control;
    }

    std::unique_ptr<QWidget> window;
};

TEST_F(ControlsLook, OptionButtonShowsTheImageOfItsState)
{
    auto* option = add<PVOptionButton>(QRect(10, 10, 200, 30));
    option->setImage(square(Qt::red));
    option->setSelectedImage(square(Qt::green));
    option->setHighlightedImage(square(Qt::blue));
    option->setLocalizedKey(QStringLiteral("PV052"));
    const struct
    {
        Flags flags;
        QColor shown;
    } cases[] = {
        {{}, Qt::red},
        {{false, false, true}, Qt::blue},
        {{false, true, false}, Qt::blue},
        {{true, false, false}, Qt::green},
        {{true, true, true}, Qt::green},
    };
    for (const auto& c : cases) {
        apply(option, c.flags);
        const QImage shot =
            grabWidget(option, QStringLiteral("option-") + QString::fromStdString(describe(c.flags)));
        // The image column is 30 wide (as high as the button); the image
        // sits centred in it at its own size.
        EXPECT_EQ(shot.pixelColor(15, 15), c.shown) << describe(c.flags);
        EXPECT_NE(shot.pixelColor(3, 15), c.shown) << "a 20-pixel image is not stretched";
    }
    EXPECT_EQ(option->imageView()->geometry(), QRect(0, 0, 30, 30));
    EXPECT_EQ(option->label()->text(), "Cursor");
    EXPECT_EQ(option->label()->x(), 30);
}

TEST_F(ControlsLook, OptionButtonWithoutASelectedImageKeepsTheLastOne)
{
    auto* option = add<PVOptionButton>(QRect(10, 10, 200, 30));
    option->setImage(square(Qt::red));
    option->setHighlightedImage(square(Qt::blue));
    option->setMouseIn(true);
    grabWidget(option);
    option->setSelected(true);
    EXPECT_EQ(grabWidget(option).pixelColor(15, 15), QColor(Qt::blue));
    EXPECT_EQ(option->imageView()->image().pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(ControlsLook, OptionButtonImageColumnIsAsWideAsTheButtonIsHighUpTo30)
{
    auto* option = add<PVOptionButton>(QRect(10, 10, 200, 20));
    EXPECT_EQ(option->imageView()->geometry(), QRect(0, 0, 20, 20));
    option->resize(200, 44);
    EXPECT_EQ(option->imageView()->geometry(), QRect(0, 0, 30, 44));
    option->setLocalizedKey(QStringLiteral("PV058"));
    option->resize(100, 44);
    EXPECT_LE(option->label()->geometry().right(), 99) << "the label ends inside the button";
}

TEST_F(ControlsLook, ImageButtonTintsItsImageGreyWhileHoveredOrPressedWithoutAHighlightedImage)
{
    auto* button = add<PVImageButton>(QRect(10, 10, 20, 20));
    button->setImage(square(Qt::white));
    EXPECT_EQ(grabWidget(button, "image-idle").pixelColor(10, 10), QColor(Qt::white));
    for (const Flags flags : {Flags{false, false, true}, Flags{false, true, false}}) {
        apply(button, flags);
        const QColor shown = grabWidget(button, "image-tinted").pixelColor(10, 10);
        EXPECT_TRUE(sameColor(shown, QColor(96, 96, 96), 1)) << describe(flags) << " " << describe(shown);
    }
    button->setHighlightedImage(square(Qt::blue));
    EXPECT_EQ(grabWidget(button).pixelColor(10, 10), QColor(Qt::blue));
    apply(button, {true, false, true});
    EXPECT_EQ(grabWidget(button).pixelColor(10, 10), QColor(Qt::blue)) << "no selected image: keeps the last";
    button->setSelectedImage(square(Qt::green));
    EXPECT_EQ(grabWidget(button).pixelColor(10, 10), QColor(Qt::green));
}

TEST_F(ControlsLook, ImageButtonWithoutImagesShowsNothingWhenHovered)
{
    auto* button = add<PVImageButton>(QRect(10, 10, 20, 20));
    button->setMouseIn(true);
    grabWidget(button);
    EXPECT_TRUE(button->imageView()->image().isNull());
    EXPECT_TRUE(sameColor(grabWidget(button).pixelColor(10, 10), themeBackgroundColor()));
}

TEST_F(ControlsLook, RoundButtonBorderFollowsTheState)
{
    auto* button = add<PVRoundButton>(QRect(10, 10, 120, 32));
    button->setLocalizedKey(QStringLiteral("PV014"));
    const struct
    {
        Flags flags;
        QColor border;
    } cases[] = {
        {{}, themeBorderColor()},
        {{false, false, true}, themeBlueHighlightedColor()},
        {{false, true, false}, themeBlueHighlightedColor()},
        {{false, true, true}, themeBlueColor()},
        {{true, false, false}, themeBlueColor()},
    };
    for (const auto& c : cases) {
        apply(button, c.flags);
        const QImage shot =
            grabWidget(button, QStringLiteral("round-") + QString::fromStdString(describe(c.flags)));
        for (const QPoint edge :
             {QPoint(60, 0), QPoint(60, 1), QPoint(0, 16), QPoint(119, 16), QPoint(60, 31)}) {
            EXPECT_EQ(shot.pixelColor(edge), c.border)
                << describe(c.flags) << " at " << edge.x() << "," << edge.y();
        }
        EXPECT_EQ(shot.pixelColor(6, 16), QColor(Qt::white)) << "no background colour: white";
        // The corner lies outside the rounded shape: the window shows.
        EXPECT_TRUE(sameColor(shot.pixelColor(0, 0), themeBackgroundColor(), 8))
            << describe(shot.pixelColor(0, 0));
    }
    button->setBackgroundColor(themeBlueHighlightedColor());
    EXPECT_EQ(grabWidget(button).pixelColor(6, 16), themeBlueHighlightedColor());
}

TEST_F(ControlsLook, RoundButtonPressedByThePointerShowsTheBlueBorder)
{
    auto* button = add<PVRoundButton>(QRect(10, 10, 120, 32));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(grabWidget(button).pixelColor(60, 0), themeBlueHighlightedColor());
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(grabWidget(button, "round-pressed").pixelColor(60, 0), themeBlueColor());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
}

TEST_F(ControlsLook, RoundButtonLabelIsCentredGreyAndNarrowerThanTheButton)
{
    auto* button = add<PVRoundButton>(QRect(10, 10, 120, 32));
    button->setLocalizedKey(QStringLiteral("PV013"));
    grabWidget(button);
    const QRect label = button->label()->geometry();
    EXPECT_EQ(button->label()->text(), "Cancel");
    EXPECT_NEAR(label.center().x(), 60, 1);
    EXPECT_NEAR(label.center().y(), 16, 1);
    EXPECT_EQ(button->label()->palette().color(QPalette::WindowText), themeTextGrayColor());

    button->setLocalizedKey(QStringLiteral("PV058"));
    grabWidget(button);
    EXPECT_EQ(button->label()->width(), 116) << "a long text takes the width less 4";
}

TEST_F(ControlsLook, PresentDesktopItemKeepsTheScreenAspectAndBordersThePicture)
{
    auto* item = add<PVPresentDesktopItem>(QRect(10, 10, 140, 120));
    item->imageView()->setImage(square(Qt::white, 60));
    item->setLocalizedKey(QStringLiteral("PV006"));
    EXPECT_EQ(item->label()->text(), "Primary screen");
    EXPECT_TRUE(item->localizedKey().isEmpty()) << "the item keeps no key";
    const QRect picture = item->imageView()->geometry();
    EXPECT_EQ(picture.top(), 5);
    EXPECT_NEAR(picture.center().x(), 70, 1);
    EXPECT_NEAR(picture.height(), picture.width() * 0.5773584842681885, 1.0);
    EXPECT_EQ(item->label()->geometry().top(), picture.bottom() + 1);
    EXPECT_EQ(item->label()->geometry().bottom(), 120 - 8 - 1);

    const struct
    {
        Flags flags;
        QColor edge;  // outermost row of the picture
        QColor inner; // third row: inside a 3-pixel border only
    } cases[] = {
        {{}, Qt::white, Qt::white},
        {{false, false, true}, themeBlueHighlightedColor(), Qt::white},
        {{false, true, true}, themeBlueColor(), themeBlueColor()},
        {{true, false, false}, themeBlueColor(), themeBlueColor()},
    };
    for (const auto& c : cases) {
        apply(item, c.flags);
        grabWidget(item);
        const QImage shot =
            grabWidget(item, QStringLiteral("desktop-") + QString::fromStdString(describe(c.flags)));
        const int x = picture.center().x();
        EXPECT_EQ(shot.pixelColor(x, picture.top()), c.edge) << describe(c.flags);
        EXPECT_EQ(shot.pixelColor(x, picture.top() + 2), c.inner) << describe(c.flags);
    }
}

TEST_F(ControlsLook, HyperlinkButtonShowsAHandLogsCrossingsAndFollowsItsText)
{
    auto* link = add<PVHyperlinkButton>(QRect(10, 10, 200, 24));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    link->label()->setText(QStringLiteral("<u>Tutorial</u>"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return link->label()->width() == link->label()->sizeHint().width(); }, 2000));
    EXPECT_EQ(link->label()->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(link->label()->height(), 22) << "two points above the bottom";
    grabWidget(link, "hyperlink");

    LogCapture log;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), link->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(link, &enter);
    EXPECT_TRUE(link->mouseIn());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    std::vector<std::string> lines;
    for (const DXLogEntry& entry : log.entries()) {
        EXPECT_EQ(entry.level, DXLogLevelDebug);
        lines.push_back(entry.text);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"cursorUpdate", "mouseEntered", "mouseExited"}));
}

// Records the events that reach the parent of a presenter icon.
class Parent : public QWidget
{
  public:
    using QWidget::QWidget;
    int presses = 0;
    int menus = 0;

  protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void contextMenuEvent(QContextMenuEvent*) override { ++menus; }
};

TEST_F(ControlsLook, PresenterIconIsAFramedPictureThatSwallowsRightClicks)
{
    auto* parent = add<Parent>(QRect(0, 0, 200, 200));
    auto* icon = new PVPresenterIcon(7, parent);
    icon->setGeometry(20, 20, 80, 80);
    icon->show();
    EXPECT_EQ(icon->style(), 7u);
    EXPECT_FALSE(icon->userInteractiveEnabled());
    EXPECT_EQ(icon->button(), nullptr);
    ASSERT_FALSE(icon->imageView()->image().isNull()) << "the presenter picture is a resource";

    const QImage shot = grabWidget(icon, "presenter-icon");
    EXPECT_EQ(shot.pixelColor(40, 0), themeBlueColor());
    EXPECT_EQ(shot.pixelColor(79, 40), themeBlueColor());
    EXPECT_EQ(shot.pixelColor(6, 40), QColor(Qt::white));
    EXPECT_NE(shot.pixelColor(40, 40), QColor(Qt::white)) << "the picture shows in the middle";

    QTest::mousePress(icon, Qt::RightButton, {}, QPoint(40, 40));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(40, 40), icon->mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(icon, &menu);
    EXPECT_EQ(parent->presses, 0);
    EXPECT_EQ(parent->menus, 0);
    QTest::mousePress(icon, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_FALSE(icon->mouseDown()) << "not interactive until its owner enables it";
}

} // namespace
