#pragma once

// Which screen counts as the presenter's primary one, which screens extend
// it, and where the presentation programs play their shows. Nothing is kept:
// every call reads the provider's current screens and the files anew. Main
// thread only.

#include "platform/PVScreen.h"
#include "platform/PVScreenProvider.h"

#include <QList>
#include <QString>
#include <optional>

class PVScreenSelection
{
  public:
    PVScreenSelection() = delete;

    /// A laptop's own panel first, else the screen at the origin, else (with
    /// the Alert "No reasonable screen!") the main screen; nothing without
    /// screens.
    static std::optional<PVScreen>
    primaryScreen(const PVScreenProvider& provider = PVScreenProvider::shared());
    /// Every screen but the primary one, in the provider's order; nothing
    /// without screens.
    static std::optional<QList<PVScreen>>
    extendedScreens(const PVScreenProvider& provider = PVScreenProvider::shared());

    /// Whether the first presentation program's major version is 7 or later.
    static bool isLaterOrEqualsTo7_0();

    /// The screen the show of the first program (`keynote`) or of the second
    /// plays on, with the version text and the primary screen the global
    /// object manager holds.
    static std::optional<PVScreen> playingScreen(bool keynote);
    /// The screen the show of the first program (`keynote`) or of the second
    /// plays on, as their preferences or the running show say; nothing when
    /// that cannot be told. `pptVersion` is the second program's version
    /// text, `primaryScreenHeight` the height of the primary screen (0 when
    /// there is none).
    static std::optional<PVScreen>
    playingScreen(bool keynote, const QString& pptVersion, double primaryScreenHeight,
                  const PVScreenProvider& provider = PVScreenProvider::shared());

    /// The user's Library folder: "$HOME/Library".
    static QString libraryFolder();

  private:
    static std::optional<PVScreen> keynotePlayingScreen(const PVScreenProvider& provider);
    static std::optional<PVScreen> pptPlayingScreen(const QString& pptVersion, double primaryScreenHeight,
                                                    const PVScreenProvider& provider);
};
