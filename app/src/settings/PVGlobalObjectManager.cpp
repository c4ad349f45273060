#include "settings/PVGlobalObjectManager.h"

#include "platform/PVScreenProvider.h"
#include "runtime/PVScreenSelection.h"

#include <QCoreApplication>

PVGlobalObjectManager& PVGlobalObjectManager::sharedInstance()
{
    static PVGlobalObjectManager* manager = new PVGlobalObjectManager(PVScreenProvider::shared(), qApp);
    return *manager;
}

PVGlobalObjectManager::PVGlobalObjectManager(PVScreenProvider& screens, QObject* parent)
    : QObject(parent), screens_(screens)
{
    connect(&screens_, &PVScreenProvider::changed, this,
            &PVGlobalObjectManager::didChangeScreenParameterNotificationAction);
    updateScreenProperties();
}

void PVGlobalObjectManager::updateScreenProperties()
{
    allScreens_ = screens_.screens();
    primaryScreen_ = PVScreenSelection::primaryScreen(screens_);
    extendedScreens_ = PVScreenSelection::extendedScreens(screens_).value_or(QList<PVScreen>());
}

QPointF PVFlipPointOnPrimaryScreen(double x, double y)
{
    return PVFlipPointOnPrimaryScreen(x, y, PVGlobalObjectManager::sharedInstance());
}

QPointF PVFlipPointOnPrimaryScreen(double x, double y, const PVGlobalObjectManager& manager)
{
    const double height = manager.primaryScreen().has_value() ? manager.primaryScreen()->frame.height() : 0.0;
    return QPointF(x, height - y);
}
