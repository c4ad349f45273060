#pragma once

// Screens for tests: the test sets the list and the main screen; every
// change emits `changed` once.

#include "platform/PVScreenProvider.h"

class FakeScreenProvider final : public PVScreenProvider
{
    Q_OBJECT

  public:
    /// A screen of that connector and number with its frame in the runtime's
    /// coordinates (visible frame alike, scale 1).
    static PVScreen screen(const QString& name, quint32 displayID, const QRectF& frame);

    QList<PVScreen> screens() const override { return screens_; }
    std::optional<PVScreen> mainScreen() const override;

    /// Replaces the list; the main screen is the one at `mainIndex` (none
    /// when out of range).
    void setScreens(QList<PVScreen> screens, int mainIndex = 0);
    void addScreen(const PVScreen& screen);
    /// Removes the screen of that number (the main one too).
    void removeScreen(quint32 displayID);

  private:
    QList<PVScreen> screens_;
    std::optional<quint32> mainID_;
};
