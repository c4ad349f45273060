#include "support/FakeScreenProvider.h"

PVScreen FakeScreenProvider::screen(const QString& name, quint32 displayID, const QRectF& frame)
{
    PVScreen result;
    result.name = name;
    result.displayID = displayID;
    result.frame = frame;
    result.visibleFrame = frame;
    result.builtIn = PVScreen::isBuiltInConnector(name);
    return result;
}

std::optional<PVScreen> FakeScreenProvider::mainScreen() const
{
    for (const PVScreen& screen : screens_) {
        if (mainID_ == screen.displayID) {
            return screen;
        }
    }
    return std::nullopt;
}

void FakeScreenProvider::setScreens(QList<PVScreen> screens, int mainIndex)
{
    screens_ = std::move(screens);
    mainID_ = mainIndex >= 0 && mainIndex < screens_.size() ? std::optional(screens_[mainIndex].displayID)
                                                            : std::nullopt;
    emit changed();
}

void FakeScreenProvider::addScreen(const PVScreen& screen)
{
    screens_.append(screen);
    emit changed();
}

void FakeScreenProvider::removeScreen(quint32 displayID)
{
    screens_.removeIf([displayID](const PVScreen& screen) { return screen.displayID == displayID; });
    emit changed();
}
