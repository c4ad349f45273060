#include "runtime/PVScreenSelection.h"
#include "settings/PVPropertyList.h"
#include "support/FakeScreenProvider.h"
#include "support/LogCapture.h"
#include "support/RecordingPresentationBackend.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <plist/plist.h>

namespace {

using Op = PVPresentationOperation;
using Role = PVPresentationRole;
using S = PVScreenSelection;

QList<quint32> numbersOf(const QList<PVScreen>& screens)
{
    QList<quint32> numbers;
    for (const PVScreen& screen : screens) {
        numbers.append(screen.displayID);
    }
    return numbers;
}

TEST(ScreenSelection, PrimaryAndExtendedScreens)
{
    struct Case
    {
        const char* name;
        QList<PVScreen> screens;
        int mainIndex;
        std::optional<quint32> primary;
        QList<quint32> extended;
    };
    const auto screen = &FakeScreenProvider::screen;
    const Case cases[] = {
        {"laptop panel beside the external display that is main",
         {screen("HDMI-1", 1, {0, 0, 1920, 1080}), screen("eDP-1", 2, {1920, 0, 1440, 900})},
         0,
         2,
         {1}},
        {"two external displays",
         {screen("DP-1", 1, {1920, 0, 2560, 1440}), screen("DP-2", 2, {0, 0, 1920, 1080})},
         0,
         2,
         {1}},
        {"three displays keep the provider's order",
         {screen("DP-3", 3, {-1280, 0, 1280, 1024}), screen("DP-1", 1, {0, 0, 1920, 1080}),
          screen("HDMI-1", 2, {1920, 100, 1920, 1080})},
         1,
         1,
         {3, 2}},
        {"two built-in panels: the first",
         {screen("DSI-1", 4, {0, 0, 800, 1280}), screen("eDP-1", 5, {800, 0, 1920, 1080})},
         0,
         4,
         {5}},
        {"single screen", {screen("HDMI-1", 1, {0, 0, 1920, 1080})}, 0, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScreenProvider provider;
        provider.setScreens(c.screens, c.mainIndex);
        const std::optional<PVScreen> primary = S::primaryScreen(provider);
        ASSERT_TRUE(primary.has_value());
        EXPECT_EQ(primary->displayID, *c.primary);
        const std::optional<QList<PVScreen>> extended = S::extendedScreens(provider);
        ASSERT_TRUE(extended.has_value());
        EXPECT_EQ(numbersOf(*extended), c.extended);
    }
}

TEST(ScreenSelection, NoReasonableScreenFallsBackToTheMainOneWithAnAlert)
{
    FakeScreenProvider provider;
    provider.setScreens({FakeScreenProvider::screen("DP-1", 1, {100, 0, 1920, 1080}),
                         FakeScreenProvider::screen("DP-2", 2, {2020, 0, 1920, 1080})},
                        1);
    LogCapture log;
    EXPECT_EQ(S::primaryScreen(provider)->displayID, 2u);
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "No reasonable screen!"));
    EXPECT_EQ(numbersOf(*S::extendedScreens(provider)), QList<quint32>{1});
}

TEST(ScreenSelection, NoScreensAnswerNothing)
{
    FakeScreenProvider provider;
    LogCapture log;
    EXPECT_EQ(S::primaryScreen(provider), std::nullopt);
    EXPECT_EQ(S::extendedScreens(provider), std::nullopt);
    EXPECT_TRUE(log.entries().empty());
}

TEST(ScreenSelection, RemovingAScreenEmitsOneChange)
{
    FakeScreenProvider provider;
    provider.setScreens({FakeScreenProvider::screen("eDP-1", 1, {0, 0, 1440, 900}),
                         FakeScreenProvider::screen("HDMI-1", 2, {1440, 0, 1920, 1080})});
    QSignalSpy spy(&provider, &PVScreenProvider::changed);
    provider.removeScreen(2);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(S::extendedScreens(provider)->isEmpty());
}

TEST(KeynoteVersion, SevenOrLaterByTheFirstComponent)
{
    struct Case
    {
        PVBackendAnswer version;
        bool expected;
    };
    const Case cases[] = {
        {PVBackendAnswer::of(QString("6.6.2")), false},
        {PVBackendAnswer::of(QString("7.0")), true},
        {PVBackendAnswer::of(QString("10.1")), true},
        {PVBackendAnswer::of(QString("7")), true},
        {PVBackendAnswer::of(QString("")), false},
        {PVBackendAnswer::of(QString("beta")), false},
        {PVBackendAnswer::of(QString(" 8.2")), true},
        {PVBackendAnswer::of(QString("-9.0")), false},
        {PVBackendAnswer::of(QString("99999999999999999999.1")), true},
        {PVBackendAnswer::of(true), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.value->toString().toStdString());
        ScopedPresentationBackend first(Role::Keynote);
        first->setAnswer(Op::Version, c.version);
        LogCapture log;
        EXPECT_EQ(S::isLaterOrEqualsTo7_0(), c.expected);
        EXPECT_EQ(first->calls(), std::vector<Op>{Op::Version});
        EXPECT_TRUE(log.entries().empty());
    }
}

TEST(KeynoteVersion, NoAnswerIsNoAndATaggedWarning)
{
    ScopedPresentationBackend first(Role::Keynote);
    first->setAnswer(Op::Version, PVBackendAnswer::none("Keynote got an error: not running"));
    LogCapture log;
    EXPECT_FALSE(S::isLaterOrEqualsTo7_0());
    const std::vector<DXLogEntry> entries = log.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].tagged);
    EXPECT_EQ(entries[0].tag, 1u);
    EXPECT_EQ(entries[0].level, DXLogLevelWarn);
    EXPECT_EQ(entries[0].text, "error to get keynote version, error: Keynote got an error: not running");
}

// A home folder with the preference files of the presentation programs.
class PreferenceHome
{
  public:
    PreferenceHome() : saved_(qgetenv("HOME")) { qputenv("HOME", dir_.path().toUtf8()); }
    ~PreferenceHome() { qputenv("HOME", saved_); }
    PreferenceHome(const PreferenceHome&) = delete;
    PreferenceHome& operator=(const PreferenceHome&) = delete;

    static QString keynote()
    {
        return "Library/Containers/com.apple.iWork.Keynote/Data/Library/Preferences/"
               "com.apple.iWork.Keynote.plist";
    }
    static QString pptContainer()
    {
        return "Library/Containers/com.microsoft.PowerPoint/Data/Library/Preferences/"
               "com.microsoft.PowerPoint.plist";
    }
    static QString pptPlain() { return "Library/Preferences/com.microsoft.Powerpoint.plist"; }

    void writeXml(const QString& relative, const QVariant& value)
    {
        write(relative, PVPropertyList::toXml(value));
    }

    void writeBinary(const QString& relative, const QVariant& value)
    {
        const QByteArray xml = PVPropertyList::toXml(value);
        plist_t root = nullptr;
        plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &root);
        char* bytes = nullptr;
        uint32_t length = 0;
        plist_to_bin(root, &bytes, &length);
        write(relative, QByteArray(bytes, static_cast<int>(length)));
        plist_to_bin_free(bytes);
        plist_free(root);
    }

    void write(const QString& relative, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

  private:
    QTemporaryDir dir_;
    QByteArray saved_;
};

QVariantMap allocations(const QVariantMap& keys)
{
    return QVariantMap{{"PlaybackDisplayAllocations", keys}};
}

QVariantList playbackOn(const QVariant& number)
{
    return QVariantList{QVariantMap{{"Playback", number}, {"Presenter", 9}}};
}

class PlayingScreen : public ::testing::Test
{
  protected:
    PlayingScreen()
    {
        provider_.setScreens({FakeScreenProvider::screen("DP-1", 1, {0, 0, 1920, 1080}),
                              FakeScreenProvider::screen("HDMI-1", 2, {1920, 280, 1280, 800})});
    }

    std::optional<quint32> keynoteScreen() const
    {
        const std::optional<PVScreen> screen = S::playingScreen(true, QString(), 1080, provider_);
        return screen.has_value() ? std::optional(screen->displayID) : std::nullopt;
    }

    std::optional<quint32> pptScreen(const QString& version) const
    {
        const std::optional<PVScreen> screen = S::playingScreen(false, version, 1080, provider_);
        return screen.has_value() ? std::optional(screen->displayID) : std::nullopt;
    }

    FakeScreenProvider provider_;
    PreferenceHome home_;
    ScopedPresentationBackend first_{Role::Keynote};
    ScopedPresentationBackend second_{Role::PowerPoint};
};

TEST_F(PlayingScreen, KeynoteSixPrefersTheRecordedShowsDisplayAndSevenThePlaybackOne)
{
    const QVariantMap both = allocations({{"RecordShow", playbackOn(2)}, {"ShowPlayback", playbackOn(1)}});
    home_.writeBinary(PreferenceHome::keynote(), both);
    first_->setAnswer(Op::Version, PVBackendAnswer::of(QString("6.6.2")));
    EXPECT_EQ(keynoteScreen(), 2u);

    home_.writeXml(PreferenceHome::keynote(), both);
    EXPECT_EQ(keynoteScreen(), 2u);
    first_->setAnswer(Op::Version, PVBackendAnswer::of(QString("7.0")));
    EXPECT_EQ(keynoteScreen(), 1u);
    first_->setAnswer(Op::Version, PVBackendAnswer::none("not running"));
    EXPECT_EQ(keynoteScreen(), 2u);
}

TEST_F(PlayingScreen, KeynotePreferencesOfEveryShape)
{
    first_->setAnswer(Op::Version, PVBackendAnswer::of(QString("6.6.2")));
    const std::pair<const char*, QVariant> cases[] = {
        {"only ShowPlayback", allocations({{"ShowPlayback", playbackOn(1)}})},
        {"Playback is text", allocations({{"RecordShow", playbackOn(QString("2"))}})},
        {"Playback is a boolean", allocations({{"RecordShow", playbackOn(true)}})},
        {"Playback is a real", allocations({{"RecordShow", playbackOn(2.0)}})},
        {"no screen of that number", allocations({{"RecordShow", playbackOn(7)}})},
        {"empty list", allocations({{"RecordShow", QVariantList{}}})},
        {"list of numbers", allocations({{"RecordShow", QVariantList{2}}})},
        {"allocations not a dictionary", QVariantMap{{"PlaybackDisplayAllocations", QVariantList{}}}},
        {"root not a dictionary", QVariantList{1}},
    };
    const std::optional<quint32> expected[] = {1u,           std::nullopt, std::nullopt,
                                               2u,           std::nullopt, std::nullopt,
                                               std::nullopt, std::nullopt, std::nullopt};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].first);
        home_.writeXml(PreferenceHome::keynote(), cases[i].second);
        EXPECT_EQ(keynoteScreen(), expected[i]);
    }
    home_.write(PreferenceHome::keynote(), "not a property list");
    EXPECT_EQ(keynoteScreen(), std::nullopt);
}

TEST_F(PlayingScreen, KeynoteWithoutPreferencesIsNotAsked)
{
    EXPECT_EQ(keynoteScreen(), std::nullopt);
    EXPECT_TRUE(first_->calls().empty());
}

TEST_F(PlayingScreen, PowerPointFifteenFindsTheScreenUnderTheRunningShow)
{
    const std::pair<QVariantList, std::optional<quint32>> cases[] = {
        {{1920, 0, 3200, 800}, 2u},
        {{0, 0, 1920, 1080}, 1u},
        {{-99, -99, -99, -99}, std::nullopt},
        {{100, 0, 900, 600}, std::nullopt},
    };
    for (const auto& [bounds, expected] : cases) {
        second_->setAnswer(Op::WindowBounds, PVBackendAnswer::of(bounds));
        EXPECT_EQ(pptScreen("15.41"), expected);
    }
    second_->setAnswer(Op::WindowBounds, PVBackendAnswer::none("no show"));
    EXPECT_EQ(pptScreen("15.41"), std::nullopt);
}

TEST_F(PlayingScreen, PowerPointFourteenReadsTheContainerFileFirst)
{
    const QString key = "14\\Options\\Options\\Slideshow Screen";
    EXPECT_EQ(pptScreen("14.7.7"), std::nullopt);

    home_.writeBinary(PreferenceHome::pptPlain(), QVariantMap{{key, 1}});
    EXPECT_EQ(pptScreen("14.7.7"), 1u);
    home_.writeXml(PreferenceHome::pptContainer(), QVariantMap{{key, 2}});
    EXPECT_EQ(pptScreen("14.7.7"), 2u);
    home_.writeXml(PreferenceHome::pptContainer(), QVariantMap{{"Slideshow Screen", 1}});
    EXPECT_EQ(pptScreen("14.7.7"), std::nullopt);
    home_.writeXml(PreferenceHome::pptContainer(), QVariantMap{{key, QString("2")}});
    EXPECT_EQ(pptScreen("14.7.7"), std::nullopt);
    EXPECT_TRUE(second_->calls().empty());
}

TEST_F(PlayingScreen, PowerPointPlainFileSpelledWithACapitalPIsNotRead)
{
    home_.writeXml("Library/Preferences/com.microsoft.PowerPoint.plist",
                   QVariantMap{{"14\\Options\\Options\\Slideshow Screen", 1}});
    EXPECT_EQ(pptScreen("14.0"), std::nullopt);
}

TEST_F(PlayingScreen, OtherPowerPointVersionsAnswerNothingAndAskNothing)
{
    const QString key = "14\\Options\\Options\\Slideshow Screen";
    home_.writeXml(PreferenceHome::pptContainer(), QVariantMap{{key, 2}});
    second_->setAnswer(Op::WindowBounds, PVBackendAnswer::of(QVariantList{0, 0, 1920, 1080}));
    for (const char* version : {"16.0", "", "LibreOffice 7.4.7.2 40(Build:2)", " 15.0", "1.14"}) {
        EXPECT_EQ(pptScreen(version), std::nullopt) << version;
    }
    EXPECT_TRUE(second_->calls().empty());
}

} // namespace
