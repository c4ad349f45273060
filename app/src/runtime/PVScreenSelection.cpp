#include "runtime/PVScreenSelection.h"

#include "log/DXLog.h"
#include "runtime/PVAppleScriptHelper.h"
#include "settings/PVGlobalObjectManager.h"

namespace {

/// The leading integer of `text` as the scripting world reads it: blanks,
/// an optional sign, digits; 0 when there are none.
long long leadingInteger(const QString& text)
{
    int i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 1'000'000'000'000LL; ++i) {
        value = value * 10 + (text[i].unicode() - '0');
    }
    return negative ? -value : value;
}

} // namespace

std::optional<PVScreen> PVScreenSelection::primaryScreen(const PVScreenProvider& provider)
{
    const QList<PVScreen> screens = provider.screens();
    if (screens.isEmpty()) {
        return std::nullopt;
    }
    for (const PVScreen& screen : screens) {
        if (screen.builtIn) {
            return screen;
        }
    }
    for (const PVScreen& screen : screens) {
        if (screen.frame.x() == 0.0 && screen.frame.y() == 0.0) {
            return screen;
        }
    }
    DXLogAlert("No reasonable screen!");
    return provider.mainScreen();
}

std::optional<QList<PVScreen>> PVScreenSelection::extendedScreens(const PVScreenProvider& provider)
{
    const QList<PVScreen> screens = provider.screens();
    if (screens.isEmpty()) {
        return std::nullopt;
    }
    const std::optional<PVScreen> primary = primaryScreen(provider);
    QList<PVScreen> extended;
    for (const PVScreen& screen : screens) {
        if (!primary.has_value() || screen.displayID != primary->displayID) {
            extended.append(screen);
        }
    }
    return extended;
}

bool PVScreenSelection::isLaterOrEqualsTo7_0()
{
    QString error;
    const std::optional<PVScriptResult> result =
        PVAppleScriptHelper::runProcess(PVAppleScriptHelper::keynoteVersion(), &error);
    if (!result.has_value()) {
        DXLogTaggedWarn(1, "error to get keynote version, error: %s", qPrintable(error));
    }
    const std::optional<QString> version = result.has_value() ? result->stringValue() : std::nullopt;
    if (!version.has_value()) {
        return false;
    }
    // Splitting always gives at least one component: "" reads as version 0.
    return leadingInteger(version->split('.').first()) > 6;
}

std::optional<PVScreen> PVScreenSelection::playingScreen(bool keynote, const QString& pptVersion,
                                                         double primaryScreenHeight,
                                                         const PVScreenProvider& provider)
{
    return keynote ? keynotePlayingScreen(provider)
                   : pptPlayingScreen(pptVersion, primaryScreenHeight, provider);
}

std::optional<PVScreen> PVScreenSelection::playingScreen(bool keynote)
{
    const PVGlobalObjectManager& manager = PVGlobalObjectManager::sharedInstance();
    // The flip of a point at y 0 gives the primary screen's height.
    return playingScreen(keynote, manager.pptVersion(), PVFlipPointOnPrimaryScreen(0, 0, manager).y());
}
