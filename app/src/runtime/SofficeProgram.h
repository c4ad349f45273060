#pragma once

// LibreOffice's program on this machine: where its `soffice` executable is,
// and the version it reports. The version comes from running
// `soffice --version` directly (arguments, no shell), bounded in time: a
// program that overruns is killed with everything it started.

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

class SofficeProgram
{
  public:
    SofficeProgram() = delete;

    /// Where to look: the folders of a search path (PATH's form), then
    /// LibreOffice's own program folders.
    struct Places
    {
        QString searchPath;
        QStringList programFolders;
    };
    /// $PATH, then Debian's program folder of LibreOffice.
    static Places defaultPlaces();

    /// The first executable file named "soffice" in `places`; empty when
    /// there is none.
    static QString locate(const Places& places);

    /// The first line `program --version` prints, without its line end,
    /// kept whole ("LibreOffice 7.4.7.2 40(Build:2)"). Nothing when the
    /// program cannot start, overruns `limit` (it is then killed), exits
    /// with a failure or prints no text on its first line.
    static std::optional<QString> versionLine(const QString& program, std::chrono::milliseconds limit);
};
