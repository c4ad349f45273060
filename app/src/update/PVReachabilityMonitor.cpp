#include "update/PVReachabilityMonitor.h"

#include "update/PVNetworkReachability.h"

#include <QPointer>
#include <QTimer>

namespace {

PVReachabilityMonitor* installed = nullptr;

} // namespace

PVReachabilityMonitor& PVReachabilityMonitor::sharedManager()
{
    if (installed != nullptr) {
        return *installed;
    }
    // Never destroyed: the platform's backend may outlive the application
    // object at exit.
    static PVNetworkReachability* platform = new PVNetworkReachability;
    return *platform;
}

PVReachabilityMonitor* PVReachabilityMonitor::setSharedManager(PVReachabilityMonitor* monitor)
{
    PVReachabilityMonitor* previous = installed;
    installed = monitor;
    return previous;
}

PVReachabilityMonitor::PVReachabilityMonitor(QObject* parent) : QObject(parent) {}

void PVReachabilityMonitor::startMonitoring()
{
    if (monitoring_) {
        return;
    }
    monitoring_ = true;
    startWatching();
    QTimer::singleShot(0, this, [this] { emit reachabilityChanged(status()); });
}

void PVReachabilityMonitor::reportChange()
{
    if (monitoring_) {
        emit reachabilityChanged(status());
    }
}
