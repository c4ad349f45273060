#include "runtime/PVAppleScriptHelper.h"
#include "runtime/PVPresentationBackend.h"
#include "support/RecordingPresentationBackend.h"

#include <QElapsedTimer>
#include <QStringList>
#include <gtest/gtest.h>
#include <limits>

namespace {

using H = PVAppleScriptHelper;
using Op = PVPresentationOperation;
using Role = PVPresentationRole;
using Calls = std::vector<Op>;

QVariantList integers(std::initializer_list<qlonglong> values)
{
    QVariantList list;
    for (qlonglong v : values) {
        list.append(v);
    }
    return list;
}

// Frame of a source: "\n" first and "\n    " last unless said otherwise;
// every line starts with four spaces and ends with a space, except the
// lines the scripts write otherwise.
struct SourceShape
{
    const char* name;
    const QString& (*source)();
    int lines;
    int length;
    const char* firstLine;
    const char* lastLine;
};

const SourceShape kShapes[] = {
    {"keynoteIsOpenOrNot", &H::keynoteIsOpenOrNot, 16, 518, "    set appID to \"com.apple.iWork.Keynote\" ",
     "    end if "},
    {"keynoteIsPlayingOrNot", &H::keynoteIsPlayingOrNot, 5, 156,
     "    if running of application \"Keynote\" is true then ", "    end if "},
    {"keynoteIsFrontmost", &H::keynoteIsFrontmost, 4, 176, "    tell application \"System Events\" ",
     "    end tell "},
    {"keynotePlay", &H::keynotePlay, 8, 246, "    if running of application \"Keynote\" is true then ",
     "    end if"},
    {"keynoteStop", &H::keynoteStop, 6, 240, "    -- IF KEYNOTE IS ACTIVE AND PLAYING THEN STOP IT ",
     "    end if "},
    {"keynoteBlack", &H::keynoteBlack, 10, 435,
     "    -- IF KEYNOTE IS ACTIVE AND PLAYING THEN SHOW BLANK SLIDE IT, JUST PRESS KEYBOARD `b' ",
     "    end if "},
    {"pptIsInstalledOrNot", &H::pptIsInstalledOrNot, 9, 266, "    set appID to \"com.microsoft.Powerpoint\" ",
     "    return doesExist "},
    {"pptVersion", &H::pptVersion, 4, 108, "    tell application \"Microsoft PowerPoint\" ",
     "    return ver "},
    {"pptIsOpenOrNot", &H::pptIsOpenOrNot, 6, 246, "    -- check if the application is running ",
     "    end if "},
    {"pptIsPlayingOrNot", &H::pptIsPlayingOrNot, 9, 523,
     "    if running of application \"Microsoft PowerPoint\" is true then ", "    end if "},
    {"pptIsFrontmost", &H::pptIsFrontmost, 4, 193, "    tell application \"System Events\" ",
     "    end tell "},
    {"pptPlay", &H::pptPlay, 8, 335, "    if running of application \"Microsoft PowerPoint\" is true then ",
     "    end if "},
    {"pptStop", &H::pptStop, 18, 961, "    -- IF POWER POINT IS ACTIVE AND PLAYING THEN STOP IT ",
     "    end if "},
    {"pptBlack", &H::pptBlack, 16, 763,
     "    if running of application \"Microsoft PowerPoint\" is true then ", "    end if "},
    {"pptPointerModeAuto", &H::pptPointerModeAuto, 6, 270,
     "    -- IF POWER POINT IS ACTIVE AND PLAYING THEN SHOW/HIDE A BLANK SLIDE IT, JUST PRESS KEYBOARD `u' ",
     "    end tell "},
    {"pptPointerModePaint", &H::pptPointerModePaint, 5, 168, "    tell application \"System Events\" ",
     "    end tell "},
    {"pptWindowBounds", &H::pptWindowBounds, 22, 942, "set windowBounds to {0, 0, 0, 0} ",
     "    return windowBounds "},
};

TEST(ScriptSources, EachHasItsLinesFrameAndLength)
{
    for (const SourceShape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        const QString source = shape.source();
        const QString name = shape.name;
        EXPECT_EQ(source.size(), shape.length);
        EXPECT_EQ(source.startsWith('\n'), name != "pptWindowBounds");
        EXPECT_EQ(source.endsWith("\n    "), name != "keynotePlay");

        QStringList lines = source.split('\n');
        if (source.startsWith('\n')) {
            lines.removeFirst();
        }
        if (source.endsWith("\n    ")) {
            lines.removeLast();
        }
        ASSERT_EQ(lines.size(), shape.lines);
        EXPECT_EQ(lines.first(), QString(shape.firstLine));
        EXPECT_EQ(lines.last(), QString(shape.lastLine));
        for (int i = 0; i < lines.size(); ++i) {
            const bool bare =
                (name == "keynoteIsPlayingOrNot" && i == 1) || (name == "keynotePlay" && i == 7);
            EXPECT_EQ(lines[i].endsWith(' '), !bare) << "line " << i + 1;
            const bool unindented = name == "pptWindowBounds" && i == 0;
            EXPECT_EQ(lines[i].startsWith("    "), !unindented) << "line " << i + 1;
        }
    }
}

TEST(ScriptSources, ExactTextsOfTheVersionScriptsAndTheUnspacedLine)
{
    EXPECT_EQ(H::pptVersion(),
              QString("\n    tell application \"Microsoft PowerPoint\" \n        set ver to version \n    "
                      "end tell \n    return ver \n    "));
    EXPECT_EQ(H::keynoteVersion(), QString("return version of application \"Keynote\""));
    EXPECT_TRUE(H::pptWindowBounds().startsWith("set windowBounds"));
    EXPECT_TRUE(H::keynotePlay().endsWith("    end tell \n    end if"));
    EXPECT_EQ(H::keynoteIsPlayingOrNot().split('\n')[2],
              QString("        tell application \"Keynote\" to return playing"));
}

struct Route
{
    const QString& (*source)();
    Role role;
    Op operation;
};

TEST(ScriptRunner, EachSourceRunsItsOperationOnItsRolesBackend)
{
    const Route routes[] = {
        {&H::keynoteIsOpenOrNot, Role::Keynote, Op::Open},
        {&H::keynoteIsPlayingOrNot, Role::Keynote, Op::Playing},
        {&H::keynoteIsFrontmost, Role::Keynote, Op::Frontmost},
        {&H::keynotePlay, Role::Keynote, Op::Play},
        {&H::keynoteStop, Role::Keynote, Op::Stop},
        {&H::keynoteBlack, Role::Keynote, Op::Black},
        {&H::keynoteVersion, Role::Keynote, Op::Version},
        {&H::pptIsInstalledOrNot, Role::PowerPoint, Op::Installed},
        {&H::pptVersion, Role::PowerPoint, Op::Version},
        {&H::pptIsOpenOrNot, Role::PowerPoint, Op::Open},
        {&H::pptIsPlayingOrNot, Role::PowerPoint, Op::Playing},
        {&H::pptIsFrontmost, Role::PowerPoint, Op::Frontmost},
        {&H::pptPlay, Role::PowerPoint, Op::Play},
        {&H::pptStop, Role::PowerPoint, Op::Stop},
        {&H::pptBlack, Role::PowerPoint, Op::Black},
        {&H::pptPointerModeAuto, Role::PowerPoint, Op::AutomaticPointer},
        {&H::pptPointerModePaint, Role::PowerPoint, Op::Pen},
        {&H::pptWindowBounds, Role::PowerPoint, Op::WindowBounds},
    };
    for (const Route& route : routes) {
        ScopedPresentationBackend first(Role::Keynote);
        ScopedPresentationBackend second(Role::PowerPoint);
        RecordingPresentationBackend& target = route.role == Role::Keynote ? *first : *second;
        RecordingPresentationBackend& other = route.role == Role::Keynote ? *second : *first;
        target.setAnswer(route.operation, PVBackendAnswer::of(QStringLiteral("answer")));

        const std::optional<PVScriptResult> result = H::runProcess(route.source(), nullptr);
        SCOPED_TRACE(route.source().toStdString());
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->stringValue(), QString("answer"));
        EXPECT_EQ(target.calls(), Calls{route.operation});
        EXPECT_TRUE(other.calls().empty());
    }
}

TEST(ScriptRunner, ASourceOneCharacterOffIsUnsupported)
{
    ScopedPresentationBackend first(Role::Keynote);
    ScopedPresentationBackend second(Role::PowerPoint);
    second->setAnswer(Op::Installed, PVBackendAnswer::of(true));
    QString changed = H::pptIsInstalledOrNot();
    changed[10] = QChar('A');
    const QString variants[] = {
        H::pptIsInstalledOrNot() + " ",
        H::pptIsInstalledOrNot().chopped(1),
        H::pptIsInstalledOrNot().mid(1),
        changed,
        QString(),
        QStringLiteral("return true"),
    };
    for (const QString& source : variants) {
        QString error = QStringLiteral("untouched");
        EXPECT_FALSE(H::runProcess(source, &error).has_value());
        EXPECT_EQ(error, QString("unsupported script"));
    }
    EXPECT_TRUE(first->calls().empty());
    EXPECT_TRUE(second->calls().empty());
}

TEST(ScriptRunner, AFailureStoresTheReasonOnlyThroughAPointerAndOnlyWhenThereIsOne)
{
    ScopedPresentationBackend second(Role::PowerPoint);
    second->setAnswer(Op::Play, PVBackendAnswer::none(QStringLiteral("the program refused")));
    EXPECT_FALSE(H::runProcess(H::pptPlay(), nullptr).has_value());
    QString error;
    EXPECT_FALSE(H::runProcess(H::pptPlay(), &error).has_value());
    EXPECT_EQ(error, QString("the program refused"));

    second->setAnswer(Op::Play, PVBackendAnswer::none(QString()));
    error = QStringLiteral("earlier");
    EXPECT_FALSE(H::runProcess(H::pptPlay(), &error).has_value());
    EXPECT_EQ(error, QString("earlier"));

    second->setAnswer(Op::Play, PVBackendAnswer::done());
    const std::optional<PVScriptResult> done = H::runProcess(H::pptPlay(), &error);
    ASSERT_TRUE(done.has_value());
    EXPECT_FALSE(done->value().isValid());
    EXPECT_EQ(error, QString("earlier"));
}

TEST(ScriptRunner, ARunReturnsOnlyOnceTheProgramHasAnswered)
{
    ScopedPresentationBackend second(Role::PowerPoint);
    second->setAnswer(Op::Stop, PVBackendAnswer::done());
    second->setDelay(Op::Stop, std::chrono::milliseconds(150));
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(H::runProcess(H::pptStop(), nullptr).has_value());
    EXPECT_GE(timer.elapsed(), 150);
}

TEST(PresentationQueries, SecondProgramNotInstalledIsAskedNothingElse)
{
    ScopedPresentationBackend second(Role::PowerPoint);
    second->setAnswer(Op::Installed, PVBackendAnswer::of(false));
    second->setAnswer(Op::Open, PVBackendAnswer::of(true));
    second->setAnswer(Op::Version, PVBackendAnswer::of(QStringLiteral("16.0")));
    EXPECT_FALSE(H::isPPTOpen());
    EXPECT_EQ(H::getPPTVersion(), std::nullopt);
    EXPECT_EQ(second->calls(), (Calls{Op::Installed, Op::Installed}));
}

TEST(PresentationQueries, TwoStepQueriesAskTheSecondQuestionOnlyWhenInstalled)
{
    struct Case
    {
        const char* name;
        PVBackendAnswer installed;
        PVBackendAnswer open;
        PVBackendAnswer version;
        bool expectOpen;
        std::optional<QString> expectVersion;
        Calls expectCalls;
    };
    const Case cases[] = {
        {"no document",
         PVBackendAnswer::of(true),
         PVBackendAnswer::of(false),
         PVBackendAnswer::of(QString("16.0")),
         false,
         QString("16.0"),
         {Op::Installed, Op::Open, Op::Installed, Op::Version}},
        {"open document",
         PVBackendAnswer::of(true),
         PVBackendAnswer::of(true),
         PVBackendAnswer::of(QString("15.41")),
         true,
         QString("15.41"),
         {Op::Installed, Op::Open, Op::Installed, Op::Version}},
        {"failed second runs",
         PVBackendAnswer::of(true),
         PVBackendAnswer::none("timed out"),
         PVBackendAnswer::none("timed out"),
         false,
         std::nullopt,
         {Op::Installed, Op::Open, Op::Installed, Op::Version}},
        {"answers of the wrong type",
         PVBackendAnswer::of(true),
         PVBackendAnswer::of(QString("true")),
         PVBackendAnswer::of(16),
         false,
         std::nullopt,
         {Op::Installed, Op::Open, Op::Installed, Op::Version}},
        {"installed answered as text",
         PVBackendAnswer::of(QString("true")),
         PVBackendAnswer::of(true),
         PVBackendAnswer::of(QString("16.0")),
         false,
         std::nullopt,
         {Op::Installed, Op::Installed}},
        {"installed query failed",
         PVBackendAnswer::none("no answer"),
         PVBackendAnswer::of(true),
         PVBackendAnswer::of(QString("16.0")),
         false,
         std::nullopt,
         {Op::Installed, Op::Installed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedPresentationBackend second(Role::PowerPoint);
        second->setAnswer(Op::Installed, c.installed);
        second->setAnswer(Op::Open, c.open);
        second->setAnswer(Op::Version, c.version);
        EXPECT_EQ(H::isPPTOpen(), c.expectOpen);
        EXPECT_EQ(H::getPPTVersion(), c.expectVersion);
        EXPECT_EQ(second->calls(), c.expectCalls);
    }
}

TEST(PresentationQueries, BooleanQueriesReadOnlyABooleanTrueAsYes)
{
    const std::pair<PVBackendAnswer, bool> answers[] = {
        {PVBackendAnswer::of(true), true},
        {PVBackendAnswer::of(false), false},
        {PVBackendAnswer::of(1), false},
        {PVBackendAnswer::of(QString("true")), false},
        {PVBackendAnswer::none("no answer"), false},
        {PVBackendAnswer::done(), false},
    };
    for (const auto& [answer, expected] : answers) {
        ScopedPresentationBackend second(Role::PowerPoint);
        second->setAnswer(Op::Playing, answer);
        second->setAnswer(Op::Frontmost, answer);
        EXPECT_EQ(H::isPPTPlay(), expected);
        EXPECT_EQ(H::isPPTFrontmost(), expected);
        EXPECT_EQ(second->calls(), (Calls{Op::Playing, Op::Frontmost}));
    }
}

TEST(PresentationQueries, WindowSizeFromTheBoundsList)
{
    constexpr qlonglong kMin = std::numeric_limits<qint32>::min();
    constexpr qlonglong kMax = std::numeric_limits<qint32>::max();
    struct Case
    {
        const char* name;
        PVBackendAnswer bounds;
        QRectF expected;
    };
    QVariantList mixed = integers({10, 20});
    mixed.append(QString("30"));
    mixed.append(2.5);
    const Case cases[] = {
        {"running show", PVBackendAnswer::of(integers({0, 0, 1920, 1080})), QRectF(0, 0, 1920, 1080)},
        {"screen to the right", PVBackendAnswer::of(integers({1920, 0, 3200, 800})),
         QRectF(1920, 0, 1280, 800)},
        {"right and bottom before left and top", PVBackendAnswer::of(integers({10, 20, 5, 2})),
         QRectF(10, 20, -5, -18)},
        {"no show running", PVBackendAnswer::of(integers({-99, -99, -99, -99})), QRectF(-99, -99, 0, 0)},
        {"two items", PVBackendAnswer::of(integers({7, 9})), QRectF(7, 9, -7, -9)},
        {"items of the wrong type read as 0", PVBackendAnswer::of(mixed), QRectF(10, 20, -10, -20)},
        {"items beyond 32 bits read as 0", PVBackendAnswer::of(integers({kMax + 1, 5, 10, 6})),
         QRectF(0, 5, 10, 1)},
        {"extremes give their true extent", PVBackendAnswer::of(integers({kMin, kMin, kMax, kMax})),
         QRectF(kMin, kMin, 4294967295.0, 4294967295.0)},
        {"no list", PVBackendAnswer::of(true), QRectF(0, 0, 0, 0)},
        {"failed with a reason", PVBackendAnswer::none("not reachable"), QRectF(0, 0, 0, 0)},
        {"failed without a reason", PVBackendAnswer::none(QString()), QRectF(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedPresentationBackend second(Role::PowerPoint);
        second->setAnswer(Op::WindowBounds, c.bounds);
        const QRectF size = H::pptWindowSize();
        EXPECT_EQ(size.x(), c.expected.x());
        EXPECT_EQ(size.y(), c.expected.y());
        EXPECT_EQ(size.width(), c.expected.width());
        EXPECT_EQ(size.height(), c.expected.height());
        EXPECT_EQ(second->calls(), Calls{Op::WindowBounds});
    }
}

TEST(PresentationQueries, FirstProgramIsNotInstalledAndItsQueriesTouchNoOtherRole)
{
    ScopedPresentationBackend second(Role::PowerPoint);
    second->setAnswer(Op::Open, PVBackendAnswer::of(true));
    second->setAnswer(Op::Playing, PVBackendAnswer::of(true));
    second->setAnswer(Op::Frontmost, PVBackendAnswer::of(true));
    EXPECT_FALSE(H::isKeynoteOpen());
    EXPECT_FALSE(H::isKeynotePlay());
    EXPECT_FALSE(H::isKeynoteFrontmost());
    QString error;
    EXPECT_FALSE(H::runProcess(H::keynoteVersion(), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    for (const QString& action : {H::keynotePlay(), H::keynoteStop(), H::keynoteBlack()}) {
        EXPECT_FALSE(H::runProcess(action, nullptr).has_value());
    }
    EXPECT_TRUE(second->calls().empty());
}

TEST(PresentationQueries, SecondRoleWithoutABackendIsNotInstalled)
{
    QString error;
    EXPECT_FALSE(H::isPPTOpen());
    EXPECT_EQ(H::getPPTVersion(), std::nullopt);
    EXPECT_FALSE(H::isPPTPlay());
    EXPECT_EQ(H::pptWindowSize(), QRectF(0, 0, 0, 0));
    EXPECT_FALSE(H::runProcess(H::pptPlay(), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
