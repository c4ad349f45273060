#include "UpdateServerFixture.h"
#include "localisation/PVLocalizedStringManager.h"
#include "support/SteppedTimers.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVRoundButton.h"
#include "update/PVProgressView.h"
#include "update/PVProgressViewController.h"
#include "update/PVProgressWindow.h"
#include "update/PVProgressWindowController.h"

#include <QImage>
#include <QLabel>
#include <memory>

namespace {

bool isBlue(QRgb pixel)
{
    const QColor blue = themeBlueColor();
    return qAbs(qRed(pixel) - blue.red()) <= 2 && qAbs(qGreen(pixel) - blue.green()) <= 2 &&
           qAbs(qBlue(pixel) - blue.blue()) <= 2;
}

// The columns of the bar view's middle row that show the bar's blue.
std::vector<int> blueColumns(double progress)
{
    PVProgressView view;
    view.resize(200, 12);
    view.setProgress(progress);
    const QImage image = view.grab().toImage();
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        if (isBlue(image.pixel(x, image.height() / 2))) {
            columns.push_back(x);
        }
    }
    return columns;
}

TEST(ProgressView, BarFillsTheInnerWidthByProgress)
{
    EXPECT_TRUE(blueColumns(0.0).empty());
    EXPECT_TRUE(blueColumns(-0.5).empty());

    const std::vector<int> full = blueColumns(1.0);
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(full.front(), 2);
    EXPECT_EQ(full.back(), 197);
    EXPECT_EQ(full.size(), 196u);

    const std::vector<int> half = blueColumns(0.5);
    ASSERT_FALSE(half.empty());
    EXPECT_EQ(half.front(), 2);
    EXPECT_EQ(half.back(), 2 + 98 - 1);

    PVProgressView view;
    view.resize(200, 12);
    view.setProgress(0.25);
    EXPECT_EQ(view.barRect(), QRectF(2, 2, 49, 8));
}

class ProgressDialog : public ::testing::Test
{
  protected:
    // The cancel button's half-second guard between actions runs on these.
    SteppedTimers timers;
};

TEST_F(ProgressDialog, ProgressShowsAsWholePercent)
{
    PVProgressWindowController controller;
    const struct
    {
        double progress;
        const char* text;
    } cases[] = {{0.426, "43%"}, {0.0, "0%"}, {1.0, "100%"}, {0.999, "100%"}, {0.004, "0%"}, {0.5 / 0.8, "63%"}};
    for (const auto& c : cases) {
        controller.setProgress(c.progress);
        EXPECT_EQ(controller.progress(), c.progress);
        PVProgressViewController* content = controller.window()->contentViewController();
        EXPECT_EQ(content->progressTextField()->text().toStdString(), c.text);
        EXPECT_EQ(content->progressView()->progress(), c.progress);
    }
}

TEST_F(ProgressDialog, ShowsAboveOtherWindowsWithALocalisedCancelButton)
{
    PVProgressWindowController controller;
    controller.showWithComplete({});
    PVProgressWindow* window = controller.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window->movableByWindowBackground());
    PVProgressViewController* content = window->contentViewController();
    const PVLocalizedStringManager& strings = PVLocalizedStringManager::sharedInstance();
    EXPECT_EQ(content->cancelButton()->label()->text(), strings.localizedStringAtKey("PV013"));
    EXPECT_FALSE(content->titleTextField()->text().isEmpty());

    controller.dismiss();
    EXPECT_FALSE(window->isVisible());
}

using ProgressDialogDownload = UpdateServerFixture;

TEST_F(ProgressDialogDownload, CancelAnswersOnceWithOneClosesTheDialogAndCancelsTheDownload)
{
    SteppedTimers timers;
    server.setReply("/big.zip", TestHttpsServer::Reply::stalling(QByteArray(1'000'000, 'b'), 8192));
    PVNetworkAPI& api = PVNetworkAPI::sharedInstance();

    // Owned as the help page owns it: the response lets go of the dialog.
    auto dialog = std::make_unique<PVProgressWindowController>();
    QPointer<PVProgressWindow> window = dialog->window();
    std::vector<std::pair<PVProgressWindowController*, int>> responses;
    PVProgressWindowController* const shown = dialog.get();
    dialog->showWithComplete([&](PVProgressWindowController* controller, int code) {
        responses.emplace_back(controller, code);
        if (code == PVProgressWindowController::kResponseCancel) {
            api.cancelDownload();
        }
        dialog.reset();
    });

    DownloadOutcome outcome;
    api.downloadFromURL(
        server.baseAddress() + "/big.zip", {},
        [&](qint64 completed, qint64 total) {
            outcome.lastCompleted = completed;
            if (dialog != nullptr && total > 0) {
                dialog->setProgress(double(completed) / double(total));
            }
        },
        [&](const PVDownloadResponse&, const QString& path, const std::optional<PVNetworkError>& error) {
            ++outcome.calls;
            outcome.path = path;
            outcome.error = error;
        });
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.requestedPaths().contains("/big.zip"); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(outcome.calls, 0);

    PVRoundButton* cancel = window->contentViewController()->cancelButton();
    QTest::mouseClick(cancel, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(cancel, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return outcome.calls > 0; }, kWaitMs));
    QTest::qWait(50);

    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].first, shown);
    EXPECT_EQ(responses[0].second, 1);
    EXPECT_TRUE(window == nullptr || !window->isVisible());
    EXPECT_EQ(outcome.calls, 1);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->code, -999);
    EXPECT_EQ(filesUnderTmp(), "");
}

} // namespace
