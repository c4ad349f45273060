#pragma once

// The only channel to the presentation programs. Each action and query is a
// fixed script source; the runner recognises the source and has the backend
// of the program's role (PVPresentationBackends) carry it out. No state: every
// call runs anew, synchronously, on the caller's thread (the main thread).

#include "runtime/PVScriptResult.h"

#include <QRectF>
#include <QString>
#include <optional>

class PVAppleScriptHelper
{
  public:
    PVAppleScriptHelper() = delete;

    /// Runs `source`: the result, or nothing when it failed. On failure the
    /// reason is stored through `errorDescription` when there is one to store
    /// and the pointer is not null; otherwise the variable stays untouched.
    /// A source that is none of the scripts below fails as "unsupported
    /// script".
    static std::optional<PVScriptResult> runProcess(const QString& source, QString* errorDescription);

    // The first program (Keynote): booleans, then actions.
    static const QString& keynoteIsOpenOrNot();
    static const QString& keynoteIsPlayingOrNot();
    static const QString& keynoteIsFrontmost();
    static const QString& keynotePlay();
    static const QString& keynoteStop();
    static const QString& keynoteBlack();
    /// Its version as text.
    static const QString& keynoteVersion();

    // The second program (PowerPoint): booleans, the version text, actions,
    // and the bounds of the show's window as a list of four integers.
    static const QString& pptIsInstalledOrNot();
    static const QString& pptVersion();
    static const QString& pptIsOpenOrNot();
    static const QString& pptIsPlayingOrNot();
    static const QString& pptIsFrontmost();
    static const QString& pptPlay();
    static const QString& pptStop();
    static const QString& pptBlack();
    static const QString& pptPointerModeAuto();
    static const QString& pptPointerModePaint();
    static const QString& pptWindowBounds();

    // Queries; a failed run answers NO, or nothing.
    static bool isKeynoteOpen();
    static bool isKeynotePlay();
    static bool isKeynoteFrontmost();
    /// Asks whether the program is installed first; only then whether a
    /// document is open.
    static bool isPPTOpen();
    /// Nothing when the program is not installed (then it is not asked).
    static std::optional<QString> getPPTVersion();
    static bool isPPTPlay();
    static bool isPPTFrontmost();
    /// The show's window as (left, top, right - left, bottom - top), taken
    /// as the program gives it (top-left origin); (-99, -99, 0, 0) while no
    /// show runs, (0, 0, 0, 0) when the query failed with a reason.
    static QRectF pptWindowSize();

  private:
    static bool booleanOf(const QString& source);
};
