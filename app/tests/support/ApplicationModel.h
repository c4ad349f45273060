#pragma once

// The application's real settings model on a fresh temporary document folder
// ($XDG_DATA_HOME points into it while the object lives): the store, the
// pointer styles, the model manager with its settings device and receiver,
// and the run-time facts over scripted screens.

#include "settings/PVGlobalObjectManager.h"
#include "settings/PVModelManager.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"
#include "support/FakeScreenProvider.h"
#include "support/SettingsFolder.h"

#include <QVariantMap>

struct ApplicationModel
{
    PVDevice& settingDevice() const { return models.settingDevice(); }

    /// The record "General" as the settings file holds it now, read by a
    /// store of its own.
    QVariantMap storedGeneral() const
    {
        const PVPlistManager reader;
        const QVariantList records = reader.queryDevices({QStringLiteral("General")});
        return records.size() == 1 ? records.first().toMap() : QVariantMap();
    }

    SettingsFolder folder;
    PVPlistManager store;
    PVPointerStyleManager styles{store};
    PVModelManager models{store, styles};
    FakeScreenProvider screens;
    PVGlobalObjectManager globals{screens};
};
