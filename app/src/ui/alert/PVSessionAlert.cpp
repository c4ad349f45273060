#include "ui/alert/PVSessionAlert.h"

#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVMainQueue.h"
#include "platform/PVSessionEnvironment.h"
#include "platform/X11InputLayer.h"
#include "ui/alert/PVAlertViewController.h"
#include "ui/window/PVWindow.h"

bool PVSessionAlertAtLaunch(const PVSessionEnvironment& session)
{
    if (!session.isWayland()) {
        return false;
    }
    PVMainQueue::async([] {
        const QString title = PVLocalizedStringManager::sharedInstance().localizedStringAtKey(
            QString::fromLatin1(kPVSessionAlertTitleKey));
        const QString message =
            QString::fromStdString(X11InputLayer::unavailableLine(X11InputLayer::kWaylandReason));
        PVAlertViewController::showWithOKButtonAlertTitle(title, message, {});
    });
    return true;
}
