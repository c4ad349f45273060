#include "overlays/PatternWindow.h"
#include "screenshotList.h"
#include "support/WidgetShots.h"
#include "tutorial/PVTutorialViewController.h"
#include "ui/window/PVMainViewController.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace pelvaroScreenshots;

QImage load(const QDir& folder, const char* name)
{
    return QImage(folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png")))
        .convertToFormat(QImage::Format_RGB32);
}

// Pixels of `area` for which `test` holds.
template <typename Test>
int count(const QImage& image, const QRect& area, Test test)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += test(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

bool isWhite(const QColor& c)
{
    return c.red() == 255 && c.green() == 255 && c.blue() == 255;
}

bool isDark(const QColor& c)
{
    return c.lightness() < 160;
}

// Not blank: many colours, and no one colour covering nearly all of it.
::testing::AssertionResult notBlank(const QImage& image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    int most = 0;
    for (const int n : counts) {
        most = std::max(most, n);
    }
    const qint64 pixels = qint64(image.width()) * image.height();
    if (counts.size() >= 32 && most < pixels * 95 / 100) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << counts.size() << " colours, the commonest on " << most << " of "
                                         << pixels << " pixels";
}

// The tab whose button is drawn white (the selected one) in the window's
// tab row.
int selectedTab(const QImage& window)
{
    const QRect row = PVMainViewController::kTabRowRect.adjusted(2, 4, -2, -4);
    const int width = row.width() / PVMainViewController::kTabCount;
    int best = -1;
    int bestCount = 0;
    for (int tab = 0; tab < PVMainViewController::kTabCount; ++tab) {
        const int white = count(window, QRect(row.left() + tab * width, row.top(), width, row.height()), isWhite);
        if (white > bestCount) {
            best = tab;
            bestCount = white;
        }
    }
    return best;
}

// Red and green within 3 of the pattern's at `screenPixel` (its blue cells
// blur at their edges when enlarged).
::testing::AssertionResult showsPatternOf(const QImage& image, QPoint pixel, QPoint screenPixel)
{
    const QColor seen = image.pixelColor(pixel);
    const QColor expected = PatternWindow::colorAt(screenPixel);
    if (std::abs(seen.red() - expected.red()) <= 3 && std::abs(seen.green() - expected.green()) <= 3) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "at (" << pixel.x() << ", " << pixel.y() << ") " << describe(seen)
                                         << " instead of about " << describe(expected);
}

TEST(ScreenshotsScript, MakesEveryPictureAndEachShowsItsPageOrOverlay)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QDir out(scratch.filePath(QStringLiteral("pictures")));
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PELVARO_SCREENSHOTS_DRIVER"), QStringLiteral(PELVARO_SCREENSHOTS_DRIVER));
    script.setProcessEnvironment(environment);
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(PELVARO_SCREENSHOTS_SCRIPT), QStringLiteral("--out"), out.path()});
    ASSERT_TRUE(script.waitForFinished(300'000));
    const QByteArray output = script.readAll();
    ASSERT_EQ(script.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("Screenshots written to " + out.path().toUtf8())) << output.toStdString();

    const QSize windowSize(PVMainViewController::kWidth, PVMainViewController::kHeight);
    const QRect pages = PVMainViewController::kPagesRect.adjusted(4, 4, -4, -4);

    // No receiver: the empty page, grey with its dark text, over the pages;
    // tab 0 selected, as at every first showing.
    const QImage noReceiver = load(out, kNoReceiver);
    ASSERT_EQ(noReceiver.size(), windowSize);
    EXPECT_TRUE(notBlank(noReceiver));
    EXPECT_EQ(count(noReceiver, pages, isWhite), 0);
    EXPECT_GT(count(noReceiver, pages, isDark), 300) << "the page's text";
    EXPECT_EQ(selectedTab(noReceiver), 0);

    // With the presenter: each tab selected in turn over its white page; the
    // empty page's text is gone.
    std::vector<QPoint> emptyPageText;
    for (int y = pages.top(); y <= pages.bottom(); ++y) {
        for (int x = pages.left(); x <= pages.right(); ++x) {
            if (isDark(noReceiver.pixelColor(x, y))) {
                emptyPageText.push_back(QPoint(x, y));
            }
        }
    }
    for (int tab = 0; tab < static_cast<int>(kTabs.size()); ++tab) {
        SCOPED_TRACE(kTabs[tab]);
        const QImage shot = load(out, kTabs[tab]);
        ASSERT_EQ(shot.size(), windowSize);
        EXPECT_TRUE(notBlank(shot));
        EXPECT_EQ(selectedTab(shot), tab);
        size_t kept = 0;
        for (const QPoint pixel : emptyPageText) {
            kept += shot.pixel(pixel) == noReceiver.pixel(pixel) ? 1 : 0;
        }
        EXPECT_LT(kept, emptyPageText.size() / 2);
        EXPECT_GT(count(shot, pages, isWhite), pages.width() * pages.height() / 2) << "the page lies on white";
    }

    // The reset question: the pointer style tab with the alert over its
    // middle; the tab row around it unchanged.
    const QImage pointerStyle = load(out, kTabs[1]);
    const QImage question = load(out, kResetQuestion);
    ASSERT_EQ(question.size(), windowSize);
    const QRect middle(windowSize.width() / 2 - 100, windowSize.height() / 2 - 60, 200, 80);
    int differing = 0;
    for (int y = middle.top(); y <= middle.bottom(); ++y) {
        for (int x = middle.left(); x <= middle.right(); ++x) {
            differing += question.pixel(x, y) != pointerStyle.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(differing, middle.width() * middle.height() / 4) << "the alert covers the middle";
    EXPECT_EQ(selectedTab(question), 1);
    EXPECT_EQ(question.copy(PVMainViewController::kTabRowRect), pointerStyle.copy(PVMainViewController::kTabRowRect));

    const QImage tutorial = load(out, kTutorial);
    EXPECT_EQ(tutorial.size(), QSize(PVTutorialViewController::kWidth, PVTutorialViewController::kHeight));
    EXPECT_TRUE(notBlank(tutorial));

    // The overlays over the pattern: the pattern at the corners of every
    // picture; at the centre the pointer image, the glass, or the pattern
    // twice as large.
    const QPoint centre(kOverlayCropSize.width() / 2, kOverlayCropSize.height() / 2);
    const QPoint toScreen = kOverlayCrop.topLeft();
    for (const char* name : kOverlays) {
        SCOPED_TRACE(name);
        const QImage shot = load(out, name);
        ASSERT_EQ(shot.size(), kOverlayCropSize);
        for (const QPoint corner : {QPoint(3, 3), QPoint(636, 3), QPoint(3, 396), QPoint(636, 396)}) {
            EXPECT_TRUE(showsPatternOf(shot, corner, corner + toScreen));
        }
    }
    const QImage pointer = load(out, kOverlays[0]);
    EXPECT_NE(pointer.pixelColor(centre), PatternWindow::colorAt(centre + toScreen)) << "the pointer's dot";
    EXPECT_TRUE(showsPatternOf(pointer, centre + QPoint(60, 0), centre + QPoint(60, 0) + toScreen));
    const QImage glass = load(out, kOverlays[1]);
    EXPECT_GT(count(glass, QRect(centre - QPoint(20, 20), QSize(40, 40)), isDark), 100) << "the glass";
    const QImage capture = load(out, kOverlays[2]);
    for (const int d : {-30, -17, 0, 9, 30}) {
        EXPECT_TRUE(showsPatternOf(capture, centre + QPoint(2 * d, 0), centre + QPoint(d, 0) + toScreen)) << d;
        EXPECT_TRUE(showsPatternOf(capture, centre + QPoint(0, 2 * d), centre + QPoint(0, d) + toScreen)) << d;
    }
    EXPECT_TRUE(showsPatternOf(capture, centre + QPoint(110, 0), centre + QPoint(110, 0) + toScreen))
        << "outside the circle, the screen itself";
}

// After `bash scripts/run.sh` and `bash scripts/run.sh --simulate` on a
// machine without a display (.ci/run does this and then runs this test with
// PELVARO_RUN_SCREENSHOTS set to their folder): the settings window shows
// at launch in the middle of the Xvfb screen, first with the no-receiver
// page, then, with the simulated presenter, with the button setting page.
TEST(RunScreenshots, TheProgramShowsTheNoReceiverPageAndWithTheSimulatedPresenterItsPages)
{
    const char* folder = std::getenv("PELVARO_RUN_SCREENSHOTS");
    if (folder == nullptr) {
        GTEST_SKIP() << "PELVARO_RUN_SCREENSHOTS names the folder of run.sh's screenshots";
    }
    const QDir shots(QString::fromLocal8Bit(folder));
    const QSize windowSize(PVMainViewController::kWidth, PVMainViewController::kHeight);
    const QRect window(QPoint((kScreenSize.width() - windowSize.width()) / 2,
                              (kScreenSize.height() - windowSize.height()) / 2),
                       windowSize);
    const QRect pages = PVMainViewController::kPagesRect.adjusted(4, 4, -4, -4);

    const QImage screen = load(shots, "run");
    ASSERT_EQ(screen.size(), kScreenSize);
    const QImage noReceiver = screen.copy(window);
    EXPECT_EQ(selectedTab(noReceiver), 0);
    EXPECT_EQ(count(noReceiver, pages, isWhite), 0);
    EXPECT_GT(count(noReceiver, pages, isDark), 300) << "the empty page's text";

    const QImage simulatedScreen = load(shots, "run-simulate");
    ASSERT_EQ(simulatedScreen.size(), kScreenSize);
    const QImage simulated = simulatedScreen.copy(window);
    EXPECT_EQ(selectedTab(simulated), 0);
    EXPECT_GT(count(simulated, pages, isWhite), pages.width() * pages.height() / 2) << "the button setting page";
}

} // namespace
