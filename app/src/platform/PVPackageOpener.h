#pragma once

// Hands a downloaded installer package to the desktop, whose software
// installer then takes over and asks the user to confirm. The application's
// opener runs xdg-open; tests put their own in its place to record what
// would have been opened.

#include <QString>

class PVPackageOpener
{
  public:
    /// The application's opener.
    static PVPackageOpener& shared();

    virtual ~PVPackageOpener() = default;

    /// Opens the file at `path`, which reaches the desktop as one argument,
    /// whatever characters it holds. NO when it could not be handed over;
    /// `error` (when given) then receives the reason.
    virtual bool open(const QString& path, QString* error) = 0;
};
