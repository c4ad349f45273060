// The Impress backend against stand-in windows on the test's own X server:
// queries, the keys each action types and where they land, activation with
// and without a window manager, windows that vanish on the way, installation
// and version from stub `soffice` programs, and the runner of the
// presentation control on top.

#include "FakeWindowManager.h"
#include "StandInWindows.h"
#include "StubPrograms.h"
#include "runtime/ImpressBackend.h"
#include "runtime/PVAppleScriptHelper.h"
#include "runtime/PVScreenSelection.h"
#include "settings/PVPropertyList.h"
#include "support/FakeScreenProvider.h"

#include <QFile>
#include <QVariantList>
#include <gtest/gtest.h>

// Xlib last: its macros (None, Bool, Status...) would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace std::chrono_literals;

namespace {

const QString kVersionLine = QStringLiteral("LibreOffice 7.4.7.2 40(Build:2)");
const QVariantList kNoShowBounds{-99, -99, -99, -99};

using Typed = std::vector<std::pair<unsigned long, unsigned long>>;

/// The keys the stand-ins received since the last look: (window, keysym).
Typed typedInto(StandInWindows& windows)
{
    Typed typed;
    for (const StandInWindows::Key& key : windows.pressedKeys()) {
        typed.emplace_back(key.window, key.keysym);
    }
    return typed;
}

unsigned long inputFocus(StandInWindows& windows)
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(windows.display(), &focus, &revertTo);
    return focus;
}

class ImpressBackendTest : public ::testing::Test
{
  protected:
    ImpressBackendTest()
    {
        stubs.write("bin", "soffice",
                    QString("echo run >> '%1'; printf '%2\\n\\n'").arg(stubs.path("runs"), kVersionLine));
        ImpressBackend::Settings settings;
        settings.places = SofficeProgram::Places{stubs.path("bin"), {}};
        backend = std::make_shared<ImpressBackend>(keys, settings);
    }

    void SetUp() override { ASSERT_TRUE(keys->available()) << keys->unavailableReason(); }

    QVariant answer(PVBackendAnswer result)
    {
        EXPECT_TRUE(result.value.has_value()) << result.error.toStdString();
        return result.value.value_or(QVariant());
    }

    StubPrograms stubs;
    std::shared_ptr<X11InputLayer> keys = std::make_shared<X11InputLayer>(PVSessionEnvironment{"x11", false});
    std::shared_ptr<ImpressBackend> backend;
    StandInWindows windows;
};

TEST_F(ImpressBackendTest, WithoutImpressWindowsNothingIsOpenOrPlayingAndNoKeyIsTyped)
{
    const unsigned long other = windows.window({"XTerm", "shell"});
    windows.focus(other);

    EXPECT_EQ(answer(backend->open()), false);
    EXPECT_EQ(answer(backend->playing()), false);
    EXPECT_EQ(answer(backend->frontmost()), false);
    EXPECT_EQ(answer(backend->windowBounds()), kNoShowBounds);
    for (PVPresentationOperation action : {PVPresentationOperation::Play, PVPresentationOperation::Stop,
                                           PVPresentationOperation::Black}) {
        EXPECT_TRUE(backend->perform(action).value.has_value());
    }
    EXPECT_TRUE(typedInto(windows).empty());
    EXPECT_EQ(inputFocus(windows), other);
}

TEST_F(ImpressBackendTest, PenAndAutomaticPointerHaveNoKeyInImpress)
{
    windows.document();
    windows.placedShow(QRect(0, 0, 1920, 1080));
    EXPECT_FALSE(backend->pen().value.has_value());
    EXPECT_FALSE(backend->automaticPointer().value.has_value());
    EXPECT_TRUE(typedInto(windows).empty());
}

TEST_F(ImpressBackendTest, PlayActivatesTheDocumentAndTypesF5)
{
    const unsigned long other = windows.window({"XTerm", "shell"});
    const unsigned long document = windows.document();
    windows.focus(other);

    EXPECT_EQ(answer(backend->open()), true);
    EXPECT_EQ(answer(backend->playing()), false);
    EXPECT_EQ(answer(backend->windowBounds()), kNoShowBounds);

    EXPECT_TRUE(backend->play().value.has_value());
    EXPECT_EQ(inputFocus(windows), document);
    EXPECT_EQ(typedInto(windows), (Typed{{document, XK_F5}}));
}

TEST_F(ImpressBackendTest, ShowOfEitherToolkitPlaysBlanksAndStops)
{
    struct Style
    {
        const char* what;
        unsigned long (StandInWindows::*make)(const QRect&);
    };
    for (const Style& style : {Style{"X11 toolkit", &StandInWindows::placedShow},
                               Style{"GTK toolkit", &StandInWindows::fullScreenShow}}) {
        SCOPED_TRACE(style.what);
        StandInWindows program;
        const unsigned long document = program.document();
        const unsigned long show = (program.*style.make)(QRect(0, 0, 1920, 1080));
        program.focus(document);

        EXPECT_EQ(answer(backend->playing()), true);
        EXPECT_EQ(answer(backend->windowBounds()), (QVariantList{0, 0, 1920, 1080}));

        // A running show is not started over.
        EXPECT_TRUE(backend->play().value.has_value());
        EXPECT_TRUE(typedInto(program).empty());

        EXPECT_TRUE(backend->black().value.has_value());
        EXPECT_EQ(inputFocus(program), show);
        EXPECT_EQ(typedInto(program), (Typed{{show, XK_b}}));

        // The stand-in stays after Escape, as a blanked show does: it gets
        // a second one.
        program.focus(document);
        EXPECT_TRUE(backend->stop().value.has_value());
        EXPECT_EQ(typedInto(program), (Typed{{show, XK_Escape}, {show, XK_Escape}}));
    }
}

TEST_F(ImpressBackendTest, BoundsAreTheShowWindowsPlaceOnTheRoot)
{
    windows.document();
    windows.fullScreenShow(QRect(1920, 0, 1280, 800));
    EXPECT_EQ(answer(backend->windowBounds()), (QVariantList{1920, 0, 3200, 800}));
}

TEST_F(ImpressBackendTest, AnotherProgramsFullScreenWindowIsNoShow)
{
    windows.document();
    StandInWindows player;
    player.window({"mpv", "film", QRect(0, 0, 1920, 1080), false, true});
    EXPECT_EQ(answer(backend->playing()), false);
    EXPECT_EQ(answer(backend->windowBounds()), kNoShowBounds);
}

TEST_F(ImpressBackendTest, FrontmostFollowsTheFocus)
{
    const unsigned long document = windows.document();
    StandInWindows others;
    const unsigned long other = others.window({"XTerm", "shell"});

    windows.focus(document);
    EXPECT_EQ(answer(backend->frontmost()), true);
    others.focus(other);
    EXPECT_EQ(answer(backend->frontmost()), false);

    const unsigned long show = windows.placedShow(QRect(0, 0, 1920, 1080));
    windows.focus(show);
    EXPECT_EQ(answer(backend->frontmost()), true);

    // A dialog over the document is Impress's too.
    StandInWindows::Spec dialogSpec{"Soffice", "Slide Show Settings"};
    dialogSpec.transientFor = document;
    const unsigned long dialog = windows.window(dialogSpec);
    windows.focus(dialog);
    EXPECT_EQ(answer(backend->frontmost()), true);
}

TEST_F(ImpressBackendTest, UnderAWindowManagerActivationIsRequestedAndFrontmostIsItsActiveWindow)
{
    FakeWindowManager manager;
    const unsigned long document = windows.document();
    StandInWindows others;
    const unsigned long other = others.window({"XTerm", "shell"});

    EXPECT_TRUE(backend->play().value.has_value());
    EXPECT_EQ(manager.requests(), std::vector<unsigned long>{document});
    EXPECT_EQ(typedInto(windows), (Typed{{document, XK_F5}}));
    EXPECT_EQ(answer(backend->frontmost()), true);

    // The window manager's active window decides, not the input focus.
    X11Desktop desktop;
    ASSERT_TRUE(desktop.activate(other, 1s));
    EXPECT_EQ(answer(backend->frontmost()), false);
    windows.focus(document);
    EXPECT_EQ(answer(backend->frontmost()), false);
}

TEST_F(ImpressBackendTest, BlackTypesItsKeyAtLeastATenthOfASecondAfterActivation)
{
    FakeWindowManager manager;
    windows.document();
    const unsigned long show = windows.fullScreenShow(QRect(0, 0, 1920, 1080));
    windows.pressedKeys();

    EXPECT_TRUE(backend->black().value.has_value());
    const std::vector<StandInWindows::Key> keys = windows.pressedKeys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].window, show);
    EXPECT_EQ(keys[0].keysym, static_cast<unsigned long>(XK_b));
    ASSERT_EQ(windows.activeWindowChanges().size(), 1u);
    EXPECT_GE(keys[0].serverTimeMs - windows.activeWindowChanges()[0], 100u);
}

TEST_F(ImpressBackendTest, AWindowThatNeverTakesTheFocusGetsNoKey)
{
    FakeWindowManager manager;
    manager.refuse();
    const unsigned long other = windows.window({"XTerm", "shell"});
    windows.focus(other);
    windows.document();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(backend->play().value.has_value());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, ImpressBackend::kActivationLimit);
    EXPECT_LT(took, std::chrono::milliseconds(PVPresentationBackend::kLongestWaitMs));
    EXPECT_TRUE(typedInto(windows).empty());
}

TEST_F(ImpressBackendTest, AStandInDestroyedBetweenLookupAndActivationAnswersNoResult)
{
    // Xlib's own handler ends the process on the first X error.
    const XErrorHandler previous = XSetErrorHandler(nullptr);
    const unsigned long document = windows.document();
    const ImpressWindows::Scene scene = ImpressWindows::sceneOf(X11Desktop().topLevels());
    ASSERT_EQ(scene.documents.size(), 1u);
    ASSERT_EQ(scene.documents[0].window, document);

    windows.destroy(document);
    EXPECT_FALSE(backend->activateAndType(document, XK_F5).value.has_value());
    EXPECT_FALSE(X11Desktop().factsOf(document).has_value());

    // Still alive, and still working.
    EXPECT_EQ(answer(backend->open()), false);
    const unsigned long next = windows.document();
    EXPECT_TRUE(backend->play().value.has_value());
    EXPECT_EQ(typedInto(windows), (Typed{{next, XK_F5}}));
    XSetErrorHandler(previous);
}

TEST_F(ImpressBackendTest, WithoutSofficeNotInstalledAndNothingRuns)
{
    const QString marker = stubs.path("ran");
    // Not executable, so no program.
    stubs.write("plain", "soffice", QString("touch '%1'; echo LibreOffice").arg(marker), false);
    ImpressBackend::Settings settings;
    settings.places = SofficeProgram::Places{stubs.path("plain") + ":" + stubs.path("empty"), {}};
    ImpressBackend missing(keys, settings);

    EXPECT_EQ(answer(missing.installed()), false);
    EXPECT_FALSE(missing.version().value.has_value());
    EXPECT_FALSE(QFile::exists(marker));
}

TEST_F(ImpressBackendTest, VersionIsAskedOnceAndKeptWhole)
{
    EXPECT_EQ(answer(backend->installed()), true);
    EXPECT_EQ(answer(backend->version()), kVersionLine);
    EXPECT_EQ(answer(backend->version()), kVersionLine);
    QFile runs(stubs.path("runs"));
    ASSERT_TRUE(runs.open(QIODevice::ReadOnly));
    EXPECT_EQ(runs.readAll(), QByteArray("run\n"));
}

TEST_F(ImpressBackendTest, VersionOfAnOverrunningSofficeIsNoResultWithinItsLimit)
{
    stubs.write("slow", "soffice", "exec sleep 30");
    ImpressBackend::Settings settings;
    settings.places = SofficeProgram::Places{stubs.path("slow"), {}};
    settings.versionLimit = 200ms;
    ImpressBackend slow(keys, settings);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(slow.version().value.has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

// The backend serving the second program's role for the runner.
class ImpressThroughTheRunner : public ImpressBackendTest
{
  protected:
    ImpressThroughTheRunner()
        : previous_(PVPresentationBackends::setBackend(PVPresentationRole::PowerPoint, backend))
    {
    }
    ~ImpressThroughTheRunner() override
    {
        PVPresentationBackends::setBackend(PVPresentationRole::PowerPoint, previous_);
    }

  private:
    std::shared_ptr<PVPresentationBackend> previous_;
};

TEST_F(ImpressThroughTheRunner, QueriesAnswerFromTheWindows)
{
    using H = PVAppleScriptHelper;
    EXPECT_FALSE(H::isPPTOpen());
    EXPECT_EQ(H::pptWindowSize(), QRectF(-99, -99, 0, 0));

    const unsigned long document = windows.document();
    EXPECT_TRUE(H::isPPTOpen());
    EXPECT_FALSE(H::isPPTPlay());
    windows.focus(document);
    EXPECT_TRUE(H::isPPTFrontmost());

    windows.placedShow(QRect(0, 0, 1920, 1080));
    EXPECT_TRUE(H::isPPTPlay());
    EXPECT_EQ(H::pptWindowSize(), QRectF(0, 0, 1920, 1080));
    EXPECT_EQ(H::getPPTVersion(), kVersionLine);

    QString error;
    EXPECT_FALSE(H::runProcess(H::pptPointerModePaint(), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(typedInto(windows).empty());
}

TEST_F(ImpressThroughTheRunner, ItsVersionFindsNoPlayingScreenWithoutReadingAFile)
{
    // A home whose preferences would name screen 2 to a program of
    // version 14.
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    const QString preferences = home.filePath("Library/Preferences/com.microsoft.Powerpoint.plist");
    QDir().mkpath(QFileInfo(preferences).path());
    QFile file(preferences);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PVPropertyList::toXml(QVariantMap{{"14\\Options\\Options\\Slideshow Screen", 2}}));
    file.close();
    FakeScreenProvider provider;
    provider.setScreens({FakeScreenProvider::screen("DP-1", 1, {0, 0, 1920, 1080}),
                         FakeScreenProvider::screen("HDMI-1", 2, {1920, 0, 1280, 800})});

    const std::optional<QString> version = PVAppleScriptHelper::getPPTVersion();
    ASSERT_EQ(version, kVersionLine);
    EXPECT_FALSE(PVScreenSelection::playingScreen(false, *version, 1080, provider).has_value());
    // The same home does answer a program of version 14.
    const std::optional<PVScreen> screen = PVScreenSelection::playingScreen(false, "14.7.2", 1080, provider);
    ASSERT_TRUE(screen.has_value());
    EXPECT_EQ(screen->displayID, 2u);
    qputenv("HOME", savedHome);
}

} // namespace
