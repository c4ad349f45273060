#pragma once

// The list of screens the runtime sees, in the platform's order, and the main
// screen. `changed` is emitted when a screen is added or removed, the main
// screen changes or a screen's geometry changes. Main thread only.

#include "platform/PVScreen.h"

#include <QList>
#include <QObject>
#include <optional>

class PVScreenProvider : public QObject
{
    Q_OBJECT

  public:
    /// The application's provider: the screens of the Qt application.
    static PVScreenProvider& shared();

    using QObject::QObject;

    virtual QList<PVScreen> screens() const = 0;
    /// The screen that holds the menu bar (Qt's primary screen); nothing when
    /// there are no screens.
    virtual std::optional<PVScreen> mainScreen() const = 0;

  signals:
    void changed();
};
