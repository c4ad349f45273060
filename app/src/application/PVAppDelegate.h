#pragma once

// The application's delegate: starts the presenter runtime at launch and
// keeps what the whole program shares about it, such as the result of the
// last look for a newer version. Main thread only.

#include <QString>
#include <optional>

class PVAppDelegate
{
  public:
    /// The program's delegate, created on first use.
    static PVAppDelegate& shareInstance();

    PVAppDelegate() = default;
    PVAppDelegate(const PVAppDelegate&) = delete;
    PVAppDelegate& operator=(const PVAppDelegate&) = delete;

    /// The newest version the update server announced at the last check;
    /// absent when the check found none (or could not ask).
    std::optional<QString> onlineVersion;
    /// Where that version's installer is downloaded from.
    QString downloadPath;
    /// The running program's version ("1.2.3").
    QString localVersion = QStringLiteral(PELVARO_VERSION);

    /// Whether onlineVersion is newer than localVersion.
    bool upgradeAvailable() const;

    /// Compares dotted versions component by component as numbers ("1.10"
    /// is newer than "1.9"). A component missing from the shorter version
    /// counts as 0, so "1.2" and "1.2.0" are the same version. Each
    /// component is read by its leading digits; one without any counts as 0.
    static bool isNewerVersion(const QString& online, const QString& local);
};
