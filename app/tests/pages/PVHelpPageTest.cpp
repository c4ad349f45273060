#include "SettingsWindowFixture.h"
#include "application/PVAppDelegate.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVPackageOpener.h"
#include "support/AlertAnswer.h"
#include "support/FakeReachability.h"
#include "support/LoopbackUpdateServer.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVHyperlinkButton.h"
#include "ui/controls/PVProgressIndicator.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/pages/PVHelpViewController.h"
#include "update/DXZippingHelper.h"
#include "update/PVProgressViewController.h"
#include "update/PVProgressWindow.h"
#include "update/PVProgressWindowController.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace {

constexpr int kWaitMs = 20'000;

QString text(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromLatin1(key));
}

PVAppDelegate& delegate()
{
    return PVAppDelegate::shareInstance();
}

// Records what would have gone to the desktop's installer.
class RecordingOpener final : public PVPackageOpener
{
  public:
    bool open(const QString& path, QString* error) override
    {
        paths.append(path);
        if (!succeed && error != nullptr) {
            *error = QStringLiteral("no installer");
        }
        return succeed;
    }

    QStringList paths;
    bool succeed = true;
};

// An alert as the user saw it.
struct SeenAlert
{
    bool shown = false;
    QString title;
    QString message;
    // The page's state while the alert was up.
    bool buttonEnabled = false;
    bool indicatorAnimating = true;
};

// A zip archive of the given files (relative path, content).
QByteArray zipOf(const std::vector<std::pair<QString, QByteArray>>& files)
{
    QTemporaryDir folder;
    for (const auto& [path, content] : files) {
        const QString full = folder.filePath(QStringLiteral("content/") + path);
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const QString zip = folder.filePath(QStringLiteral("archive.zip"));
    EXPECT_TRUE(DXZippingHelper::addFolder(folder.filePath(QStringLiteral("content")), QString(), zip));
    QFile file(zip);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// The help tab of the settings window, a network that is reachable, the
// loopback update server and a recording opener. The delegate knows of no
// newer version unless a test says so.
class HelpPage : public SettingsWindow
{
  protected:
    void SetUp() override
    {
        delegate().onlineVersion.reset();
        delegate().downloadPath.clear();
        delegate().localVersion = QStringLiteral("1.0.0");
        SettingsWindow::SetUp();
        page = qobject_cast<PVHelpViewController*>(main->viewControllers()[3]);
        ASSERT_NE(page, nullptr);
        page->setPackageOpener(&opener);
        open();
        clickTab(3);
        runMainQueue();
    }

    void TearDown() override
    {
        delegate().onlineVersion.reset();
        delegate().downloadPath.clear();
        delegate().localVersion = QStringLiteral(PELVARO_VERSION);
    }

    QString address(const QString& path) const { return update.server.baseAddress() + path; }

    void serveVersion(const QString& version, const QString& path)
    {
        update.server.setReply(LoopbackUpdateServer::kVersionPath,
                               TestHttpsServer::Reply::ok((version + ";" + address(path)).toUtf8()));
    }

    /// Answers the next alert over the settings window with `button` (1 or
    /// 2) and tells what it showed.
    std::shared_ptr<SeenAlert> answerAlert(int button)
    {
        auto seen = std::make_shared<SeenAlert>();
        pressWhenShown(2, button, [this, seen](PVAlertViewController* alert) {
            seen->shown = true;
            seen->title = alert->titleTextField()->text();
            seen->message = alert->textField()->text();
            seen->buttonEnabled = page->upgradeButton()->userInteractiveEnabled();
            seen->indicatorAnimating = page->indicator()->isAnimating();
        });
        return seen;
    }

    /// Presses the upgrade button; an alert it shows at once is answered
    /// before this returns.
    void pressUpgrade() { click(page->upgradeButton()); }

    /// Waits until the alert has been answered and has gone.
    static bool waitForAnswer(const std::shared_ptr<SeenAlert>& seen)
    {
        return QTest::qWaitFor(
            [&seen] { return seen->shown && PVAlertViewController::currentAlert() == nullptr; }, kWaitMs);
    }

    /// Waits until the download has ended: its dialog has gone.
    bool waitForDownloadEnd()
    {
        const bool ended = QTest::qWaitFor([this] { return page->progressWC() == nullptr; }, kWaitMs);
        // A moment more, so late work (a second alert, an opening) shows.
        QTest::qWait(50);
        return ended;
    }

    QStringList versionRequests() const
    {
        QStringList requests;
        for (const QString& path : update.server.requestedPaths()) {
            if (path == LoopbackUpdateServer::kVersionPath) {
                requests.append(path);
            }
        }
        return requests;
    }

    static double labelAlpha(QLabel* label)
    {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(label->graphicsEffect());
        return effect != nullptr ? effect->opacity() : 1.0;
    }

    LoopbackUpdateServer update;
    FakeReachability reachability{PVReachabilityStatus::Reachable};
    RecordingOpener opener;
    PVHelpViewController* page = nullptr;
};

} // namespace

// Takes the addresses the desktop would open in a browser.
class UrlRecorder : public QObject
{
    Q_OBJECT

  public:
    QList<QUrl> urls;

  public slots:
    void open(const QUrl& url) { urls.append(url); }
};

namespace {

TEST_F(HelpPage, ShowsTheProgramItsVersionAndALinkThatOpensTheProductPage)
{
    EXPECT_EQ(page->pruductNameTextField()->text(), QStringLiteral("Pelvaro 1.0.0"));
    EXPECT_EQ(PVHelpViewController::productPageText(), QStringLiteral("www.pelvaro.example/pelvaro"));
    EXPECT_EQ(PVHelpViewController::productPageAddress(), QStringLiteral("http://www.pelvaro.example/pelvaro"));
    QLabel* link = page->hyperlinkButton()->label();
    EXPECT_TRUE(link->text().contains(QStringLiteral("href=\"http://www.pelvaro.example/pelvaro\"")));
    EXPECT_TRUE(link->text().contains(QStringLiteral(">www.pelvaro.example/pelvaro</a>")));
    EXPECT_TRUE(page->upgradeAvailableTextField()->isHidden());
    EXPECT_FALSE(page->indicator()->isVisible());

    // The link's text shows in blue, underlined.
    const QImage shot = settledShot(controller->window(), QStringLiteral("help-page"));
    const QRect linkRect(link->mapTo(controller->window(), QPoint(0, 0)), link->size());
    int blue = 0;
    for (int y = linkRect.top(); y <= linkRect.bottom(); ++y) {
        for (int x = linkRect.left(); x <= linkRect.right(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            blue += pixel.blue() > 200 && pixel.red() < 90 && pixel.green() < 90 ? 1 : 0;
        }
    }
    EXPECT_GT(blue, linkRect.width()) << "the underline alone spans the text";

    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
    click(page->hyperlinkButton());
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(browser.urls.size(), 1);
    EXPECT_EQ(browser.urls[0], QUrl(QStringLiteral("http://www.pelvaro.example/pelvaro")));
}

TEST(HelpPageText, EveryPlaceholderTakesTheVersionAndATextWithoutOneStaysAsItIs)
{
    struct Case
    {
        QString format;
        QString expected;
    };
    const Case cases[] = {
        {"New version xx.xx.xx available", "New version 2.10.3 available"},
        {"xx.xx.xx (was xx.xx.xx)", "2.10.3 (was 2.10.3)"},
        {"A newer version is available", "A newer version is available"},
        {"xx.xx.x", "xx.xx.x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PVHelpViewController::upgradeAvailableText(c.format, "2.10.3"), c.expected);
    }
}

TEST_F(HelpPage, TheUpgradeLineShowsTheOnlineVersionOnlyWhileItIsNewer)
{
    struct Case
    {
        std::optional<QString> online;
        bool shown;
    };
    const Case cases[] = {{"1.2.0", true}, {"1.0.0", false}, {"0.9.9", false}, {std::nullopt, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.online.value_or("none").toStdString());
        delegate().onlineVersion = c.online;
        page->loadInitialState();
        EXPECT_EQ(!page->upgradeAvailableTextField()->isHidden(), c.shown);
        if (c.online.has_value()) {
            EXPECT_EQ(page->upgradeAvailableTextField()->text(),
                      PVHelpViewController::upgradeAvailableText(text("PV049"), *c.online));
        }
    }
    EXPECT_EQ(page->upgradeAvailableTextField()->font(), themeBoldFontSize(15.0));

    // Coming back to the tab reloads the line.
    delegate().onlineVersion = QStringLiteral("3.0.1");
    clickTab(0);
    clickTab(3);
    EXPECT_TRUE(page->upgradeAvailableTextField()->isVisible());
    EXPECT_EQ(page->upgradeAvailableTextField()->text(), "New version 3.0.1 available");
    settledShot(controller->window(), QStringLiteral("help-page-upgrade-available"));
}

TEST_F(HelpPage, WithoutNetworkTheButtonOnlySaysSo)
{
    reachability.setStatus(PVReachabilityStatus::NotReachable);
    delegate().onlineVersion = QStringLiteral("2.0.0");
    delegate().downloadPath = address("/setup.deb");
    const auto seen = answerAlert(1);
    pressUpgrade();
    ASSERT_TRUE(waitForAnswer(seen));
    EXPECT_EQ(seen->title, text("PV022"));
    EXPECT_EQ(seen->message, text("PV047"));
    QTest::qWait(100);
    EXPECT_TRUE(update.server.requestedPaths().isEmpty());
    EXPECT_EQ(page->progressWC(), nullptr);
}

TEST_F(HelpPage, AKnownUpgradeAsksAtOnceAndYesDownloadsFromTheKnownAddress)
{
    update.server.setReply("/setup.deb", TestHttpsServer::Reply::ok("installer"));
    delegate().onlineVersion = QStringLiteral("2.0.0");
    delegate().downloadPath = address("/setup.deb");

    // No: nothing is asked of the server.
    auto seen = answerAlert(1);
    pressUpgrade();
    ASSERT_TRUE(waitForAnswer(seen));
    EXPECT_EQ(seen->title, text("PV022"));
    EXPECT_EQ(seen->message, text("PV042"));
    QTest::qWait(100);
    EXPECT_TRUE(update.server.requestedPaths().isEmpty());

    // Yes: the installer comes from the address known since start-up.
    seen = answerAlert(2);
    pressUpgrade();
    ASSERT_TRUE(waitForAnswer(seen));
    ASSERT_TRUE(waitForDownloadEnd());
    EXPECT_EQ(update.server.requestedPaths(), QStringList{"/setup.deb"});
    ASSERT_EQ(opener.paths.size(), 1);
    EXPECT_EQ(QFileInfo(opener.paths[0]).fileName(), "setup.deb");
    EXPECT_EQ(QFileInfo(opener.paths[0]).absolutePath(), page->downloadFolder());
    EXPECT_TRUE(page->downloadFolder().startsWith(update.tmp.path() + "/"));
    EXPECT_EQ(PVAlertViewController::currentAlert(), nullptr);
}

TEST_F(HelpPage, TheCheckDisablesTheButtonWhileItRunsAndAnswersByItsOutcome)
{
    struct Case
    {
        const char* name;
        TestHttpsServer::Reply reply;
        const char* message; // null: the check's own failure reason
        std::optional<QString> online;
        bool lineShown;
    };
    const QString installer = address("/pelvaro-2.0.0.zip");
    const Case cases[] = {
        {"newer", TestHttpsServer::Reply::ok(("1.0.0;old\n2.0.0;" + installer).toUtf8()), "PV042", "2.0.0", true},
        {"same", TestHttpsServer::Reply::ok(("1.0.0;" + installer).toUtf8()), "PV040", "1.0.0", false},
        {"missing", TestHttpsServer::Reply::withStatus(404, "gone"), nullptr, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        delegate().onlineVersion.reset();
        delegate().downloadPath.clear();
        page->loadInitialState();
        update.server.setReply(LoopbackUpdateServer::kVersionPath, c.reply);

        QString reason;
        if (c.message == nullptr) {
            bool done = false;
            PVNetworkAPI::sharedInstance().checkVersionCompleteBlock(
                [&](const QString&, const QString&, const QString& errorText) {
                    reason = errorText;
                    done = true;
                });
            ASSERT_TRUE(QTest::qWaitFor([&done] { return done; }, kWaitMs));
            ASSERT_FALSE(reason.isEmpty());
        }
        const qsizetype asked = versionRequests().size();

        // "No" to the question; the other alerts have one button.
        const auto seen = answerAlert(1);
        pressUpgrade();
        EXPECT_FALSE(page->upgradeButton()->userInteractiveEnabled());
        EXPECT_EQ(labelAlpha(page->upgradeButton()->label()), 0.5);
        EXPECT_TRUE(page->indicator()->isAnimating());
        EXPECT_TRUE(page->indicator()->isVisible());
        grabWidget(controller->window(), QStringLiteral("help-page-checking-") + c.name);
        ASSERT_TRUE(waitForAnswer(seen));

        EXPECT_EQ(versionRequests().size(), asked + 1);
        EXPECT_TRUE(seen->buttonEnabled);
        EXPECT_FALSE(seen->indicatorAnimating);
        EXPECT_EQ(labelAlpha(page->upgradeButton()->label()), 1.0);
        EXPECT_FALSE(page->indicator()->isVisible());
        EXPECT_EQ(seen->title, text("PV022"));
        EXPECT_EQ(seen->message, c.message != nullptr ? text(c.message) : reason);
        EXPECT_EQ(delegate().onlineVersion, c.online);
        EXPECT_EQ(delegate().downloadPath, c.online.has_value() ? installer : QString());
        // The page was reloaded after the answer.
        EXPECT_EQ(!page->upgradeAvailableTextField()->isHidden(), c.lineShown);
        QTest::qWait(50);
        EXPECT_EQ(page->progressWC(), nullptr) << "no download after No";
        timers.advance(1.0);
    }
}

TEST_F(HelpPage, AnUpgradeFoundByTheCheckDownloadsFromTheAddressJustReceived)
{
    update.server.setReply("/pelvaro-2.0.0.deb", TestHttpsServer::Reply::ok("installer"));
    serveVersion("2.0.0", "/pelvaro-2.0.0.deb");
    const auto seen = answerAlert(2);
    pressUpgrade();
    ASSERT_TRUE(waitForAnswer(seen));
    EXPECT_EQ(seen->message, text("PV042"));
    ASSERT_TRUE(waitForDownloadEnd());
    EXPECT_EQ(update.server.requestedPaths(),
              (QStringList{LoopbackUpdateServer::kVersionPath, "/pelvaro-2.0.0.deb"}));
    ASSERT_EQ(opener.paths.size(), 1);
    EXPECT_EQ(QFileInfo(opener.paths[0]).fileName(), "pelvaro-2.0.0.deb");
    EXPECT_TRUE(page->upgradeAvailableTextField()->isVisible());
}

TEST_F(HelpPage, EachDownloadedKindIsUnpackedAndOpenedByItsName)
{
    // A name the shell would have run: it must arrive as it is.
    const QString hostile = QStringLiteral("it's; $(touch pwned) \"x\".deb");
    struct Case
    {
        const char* name;
        QString path;
        TestHttpsServer::Reply reply;
        QStringList opened; // relative to the download's folder
        QStringList left;   // what stays in the download's folder
    };
    const Case cases[] = {
        {"package", "/setup.deb", TestHttpsServer::Reply::ok("deb"), {"setup.deb"}, {"setup.deb"}},
        {"zip with two packages",
         "/bundle.zip",
         TestHttpsServer::Reply::ok(zipOf({{"a/one.deb", "1"}, {"b/c/two.deb", "2"}, {"README.txt", "r"}})),
         {"bundle/a/one.deb", "bundle/b/c/two.deb"},
         {"bundle"}},
        {"zip with a hostile name", "/hostile.zip", TestHttpsServer::Reply::ok(zipOf({{hostile, "h"}})),
         {"hostile/" + hostile}, {"hostile"}},
        {"package with a hostile name", "/get",
         TestHttpsServer::Reply::attachment(
             "deb", "attachment; filename*=UTF-8''it%27s%3B%20%24%28touch%20pwned%29%20%22x%22.deb"),
         {hostile}, {hostile}},
        {"neither", "/notes.txt", TestHttpsServer::Reply::ok("text"), {}, {"notes.txt"}},
        {"damaged zip", "/broken.zip", TestHttpsServer::Reply::ok("not a zip"), {}, {"broken.zip"}},
        // Without a name the archive would be unpacked over its own folder.
        {"zip named only by its extension", "/nameless",
         TestHttpsServer::Reply::attachment(zipOf({{"one.deb", "1"}}), "attachment; filename=\".zip\""),
         {}, {".zip"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        opener.paths.clear();
        update.server.setReply(c.path, c.reply);
        page->tryUpgradeAtPath(address(c.path));
        ASSERT_NE(page->progressWC(), nullptr);
        ASSERT_TRUE(waitForDownloadEnd());

        const QDir folder(page->downloadFolder());
        ASSERT_TRUE(page->downloadFolder().startsWith(update.tmp.path() + "/"));
        QStringList opened;
        for (const QString& path : opener.paths) {
            opened.append(folder.relativeFilePath(path));
        }
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), c.left);
        EXPECT_EQ(PVAlertViewController::currentAlert(), nullptr);
        EXPECT_FALSE(QFileInfo::exists(folder.filePath("pwned")));
        EXPECT_FALSE(QFileInfo::exists("pwned"));
    }
}

TEST_F(HelpPage, AFailedDownloadShowsItsReasonAfterTheDialogHasGone)
{
    update.server.setReply("/setup.deb", TestHttpsServer::Reply::withStatus(500, "broken"));
    page->tryUpgradeAtPath(address("/setup.deb"));
    ASSERT_NE(page->progressWC(), nullptr);
    QPointer<PVProgressWindow> window = page->progressWC()->window();
    bool answered = false;
    bool dialogShownWithAlert = true;
    QString title;
    QString message;
    pressWhenShown(2, 1, [&](PVAlertViewController* alert) {
        answered = true;
        dialogShownWithAlert = window != nullptr && window->isVisible();
        title = alert->titleTextField()->text();
        message = alert->textField()->text();
    });
    ASSERT_TRUE(QTest::qWaitFor(
        [&answered] { return answered && PVAlertViewController::currentAlert() == nullptr; }, kWaitMs));
    EXPECT_FALSE(dialogShownWithAlert);
    EXPECT_EQ(title, text("PV022"));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_NE(message, text("PV042"));
    EXPECT_EQ(page->progressWC(), nullptr);
    EXPECT_TRUE(opener.paths.isEmpty());
}

TEST_F(HelpPage, CancellingTheDialogCancelsTheDownloadSilently)
{
    update.server.setReply("/big.zip", TestHttpsServer::Reply::stalling(QByteArray(100'000, 'z'), 50'000));
    page->tryUpgradeAtPath(address("/big.zip"));
    PVProgressWindowController* dialog = page->progressWC();
    ASSERT_NE(dialog, nullptr);
    QPointer<PVProgressWindow> window = dialog->window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // Half the file arrived: the dialog shows it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->progressWC() == dialog && dialog->progress() == 0.5; },
                                kWaitMs));
    EXPECT_EQ(window->contentViewController()->progressTextField()->text(), "50%");
    grabWidget(window, QStringLiteral("help-page-download-progress"));

    QTest::mouseClick(window->contentViewController()->cancelButton(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(page->progressWC(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([] { return PVNetworkAPI::sharedInstance().downloadTask() == nullptr; },
                                kWaitMs));
    QTest::qWait(100);
    EXPECT_TRUE(window == nullptr || !window->isVisible());
    EXPECT_EQ(PVAlertViewController::currentAlert(), nullptr);
    EXPECT_TRUE(opener.paths.isEmpty());
    EXPECT_TRUE(QDir(update.tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(HelpPage, OnlyFilesInsideTheDownloadsFolderAreOpened)
{
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath("outside.deb");
    QFile(outside).open(QIODevice::WriteOnly);
    QString error;

    // Before any download no folder is trusted.
    page->launchThePKGAtPath(outside, &error);
    EXPECT_TRUE(opener.paths.isEmpty());
    EXPECT_FALSE(error.isEmpty());

    update.server.setReply("/notes.txt", TestHttpsServer::Reply::ok("text"));
    page->tryUpgradeAtPath(address("/notes.txt"));
    ASSERT_TRUE(waitForDownloadEnd());
    const QDir folder(page->downloadFolder());
    ASSERT_TRUE(folder.exists());
    QFile(folder.filePath("inside.deb")).open(QIODevice::WriteOnly);
    QFile::link(outside, folder.filePath("link.deb"));
    QFile(update.tmp.filePath("above.deb")).open(QIODevice::WriteOnly);
    folder.mkdir("folder.deb");

    struct Case
    {
        QString path;
        bool opened;
    };
    const Case cases[] = {
        {outside, false},
        {folder.filePath("link.deb"), false},
        {folder.filePath("folder.deb"), false},
        {folder.filePath("../above.deb"), false},
        {folder.filePath("missing.deb"), false},
        {folder.filePath("notes.txt"), false},
        {folder.filePath("inside.deb"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        opener.paths.clear();
        error.clear();
        page->launchThePKGAtPath(c.path, &error);
        EXPECT_EQ(opener.paths.size(), c.opened ? 1 : 0);
        // A file that is no package is not looked at at all.
        EXPECT_EQ(error.isEmpty(), c.opened || c.path.endsWith(".txt"));
    }

    // An opener that fails hands its reason to the caller.
    opener.succeed = false;
    page->launchThePKGAtPath(folder.filePath("inside.deb"), &error);
    EXPECT_EQ(error, "no installer");
}

} // namespace

#include "PVHelpPageTest.moc"
