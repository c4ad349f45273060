// Finding LibreOffice's `soffice` and reading its version line, with stub
// programs on a test search path.

#include "StubPrograms.h"
#include "runtime/SofficeProgram.h"

#include <QFile>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr auto kLimit = 3000ms;

struct VersionCase
{
    const char* what;
    const char* body;
    std::optional<QString> line;
};

TEST(SofficeVersion, FirstLineOfASuccessfulRunKeptWhole)
{
    const VersionCase cases[] = {
        {"the line and the empty one after it",
         "printf 'LibreOffice 7.4.7.2 40(Build:2)\\n\\n'", QString("LibreOffice 7.4.7.2 40(Build:2)")},
        {"a line without its end", "printf 'LibreOffice 24.2.1.2 420(Build:2)'",
         QString("LibreOffice 24.2.1.2 420(Build:2)")},
        {"a line ended by a carriage return", "printf 'LibreOffice 7.4.7.2 40(Build:2)\\r\\nmore\\n'",
         QString("LibreOffice 7.4.7.2 40(Build:2)")},
        {"warnings on the error stream only",
         "echo 'javaldx failed' >&2; echo 'LibreOffice 7.4.7.2 40(Build:2)'",
         QString("LibreOffice 7.4.7.2 40(Build:2)")},
        {"a failing run", "echo 'LibreOffice 7.4.7.2 40(Build:2)'; exit 1", std::nullopt},
        {"no output", "exit 0", std::nullopt},
        {"an empty first line", "printf '\\nLibreOffice 7.4.7.2\\n'", std::nullopt},
        {"a run ended by a signal", "echo 'LibreOffice 7.4.7.2'; kill -9 $$", std::nullopt},
    };
    StubPrograms stubs;
    for (const VersionCase& c : cases) {
        const QString program = stubs.write("bin", "soffice", c.body);
        EXPECT_EQ(SofficeProgram::versionLine(program, kLimit), c.line) << c.what;
    }
}

TEST(SofficeVersion, RunsTheProgramWithItsArgumentAndNoShell)
{
    StubPrograms stubs;
    // A folder name a shell would expand and split.
    const QString program = stubs.write("Libre Office $HOME;x", "soffice", "printf '%s|' \"$@\"; echo");
    EXPECT_EQ(SofficeProgram::versionLine(program, kLimit), QString("--version|"));
}

bool processGone(qint64 pid)
{
    // A killed process that no one reaped yet is a zombie: gone as well.
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName >= 0 && line.mid(afterName + 2, 1) == "Z";
}

TEST(SofficeVersion, AnOverrunningRunIsKilledWithWhatItStarted)
{
    StubPrograms stubs;
    const QString pidFile = stubs.path("child.pid");
    const QString program =
        stubs.write("bin", "soffice", QString("sleep 30 & echo $! > '%1'; wait").arg(pidFile));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SofficeProgram::versionLine(program, 300ms), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const qint64 child = file.readAll().trimmed().toLongLong();
    ASSERT_GT(child, 0);
    // The kill reaches the whole group at once; give the system a moment to
    // reap the orphan.
    for (int i = 0; i < 100 && !processGone(child); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(processGone(child));
}

TEST(SofficeLocation, SearchPathFirstThenTheProgramFolders)
{
    StubPrograms stubs;
    stubs.write("plain", "soffice", "exit 0", false);
    const QString onPath = stubs.write("bin", "soffice", "exit 0");
    const QString inFolder = stubs.write("libreoffice/program", "soffice", "exit 0");
    const QString empty = stubs.path("empty");

    using Places = SofficeProgram::Places;
    // A file that is not executable does not count; empty entries of the
    // path (the current folder) are skipped.
    EXPECT_EQ(SofficeProgram::locate(Places{"::" + stubs.path("plain") + ":" + stubs.path("bin"), {}}), onPath);
    EXPECT_EQ(SofficeProgram::locate(Places{stubs.path("bin"), {stubs.path("libreoffice/program")}}), onPath);
    EXPECT_EQ(SofficeProgram::locate(Places{empty, {stubs.path("libreoffice/program")}}), inFolder);
    EXPECT_EQ(SofficeProgram::locate(Places{stubs.path("plain"), {empty}}), QString());
    EXPECT_EQ(SofficeProgram::locate(Places{QString(), {}}), QString());
}

} // namespace
