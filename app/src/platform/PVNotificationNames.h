#pragma once

// Names of the notifications the application's parts post to each other
// through the default notification centre, and the user info keys they carry.

#include <QString>

inline const QString kPVDongleNotificationNameInsert = QStringLiteral("kPVDongleNotificationNameInsert");
inline const QString kPVDongleNotificationNameHasWaked = QStringLiteral("kPVDongleNotificationNameHasWaked");
inline const QString kPVDongleNotificationNameBattery = QStringLiteral("kPVDongleNotificationNameBattery");
inline const QString kPVDongleNotificationNameFirmwareVersion =
    QStringLiteral("kPVDongleNotificationNameFirmwareVersion");
inline const QString kPVDongleNotificationNameWindowOpen =
    QStringLiteral("kPVDongleNotificationNameWindowOpen");
inline const QString kPVNotificationNameChangeTab = QStringLiteral("kPVNotificationNameChangeTab");
inline const QString kPVNotificationUserInfoChangeTabIndex =
    QStringLiteral("kPVNotificationUserInfoChangeTabIndex");
inline const QString kPVUINotificationNamePopTutorial = QStringLiteral("kPVUINotificationNamePopTutorial");
inline const QString kPVUINotificationNameChangeStyle = QStringLiteral("kPVUINotificationNameChangeStyle");
inline const QString kPVUINotificationNameChangeSize = QStringLiteral("kPVUINotificationNameChangeSize");

/// Posted by the platform layer, with the window as object, when a top-level
/// window of the application closes.
inline const QString kPVWindowWillCloseNotification = QStringLiteral("PVWindowWillCloseNotification");
/// Posted by the platform layer when screens are added, removed or changed.
inline const QString kPVApplicationDidChangeScreenParametersNotification =
    QStringLiteral("PVApplicationDidChangeScreenParametersNotification");
