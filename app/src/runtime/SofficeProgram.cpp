#include "runtime/SofficeProgram.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace {

const QString kExecutable = QStringLiteral("soffice");

} // namespace

SofficeProgram::Places SofficeProgram::defaultPlaces()
{
    return Places{qEnvironmentVariable("PATH"), {QStringLiteral("/usr/lib/libreoffice/program")}};
}

QString SofficeProgram::locate(const Places& places)
{
    // An empty entry of a search path means the current folder, which is no
    // place to take a program from here.
    QStringList folders = places.searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders += places.programFolders;
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder).filePath(kExecutable));
        if (candidate.isFile() && candidate.isExecutable()) {
            return candidate.absoluteFilePath();
        }
    }
    return QString();
}

std::optional<QString> SofficeProgram::versionLine(const QString& program, std::chrono::milliseconds limit)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments({QStringLiteral("--version")});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // A group of its own, so that an overrun kills what the program started
    // too (the wrapper script's children).
    process.setChildProcessModifier([] { setpgid(0, 0); });
    const auto deadline = std::chrono::steady_clock::now() + limit;
    process.start();
    const auto remainingMs = [&deadline] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()));
    };
    if (!process.waitForStarted(remainingMs())) {
        return std::nullopt;
    }
    if (!process.waitForFinished(remainingMs())) {
        ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
        process.kill();
        process.waitForFinished(-1);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    const QByteArray output = process.readAllStandardOutput();
    const qsizetype lineEnd = output.indexOf('\n');
    const QString firstLine = QString::fromUtf8(lineEnd < 0 ? output : output.first(lineEnd)).trimmed();
    if (firstLine.isEmpty()) {
        return std::nullopt;
    }
    return firstLine;
}
