#include "update/PVNetworkReachability.h"

#include <QNetworkInformation>

PVNetworkReachability::PVNetworkReachability(QObject* parent) : PVReachabilityMonitor(parent) {}

void PVNetworkReachability::startWatching()
{
    // The default backend of Linux is NetworkManager's; any backend that
    // knows reachability will do when that one cannot load.
    hasBackend_ = QNetworkInformation::loadDefaultBackend() ||
                  QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    if (hasBackend_) {
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
                [this] { reportChange(); });
    }
}

PVReachabilityStatus PVNetworkReachability::status() const
{
    const QNetworkInformation* information = hasBackend_ ? QNetworkInformation::instance() : nullptr;
    if (information == nullptr) {
        return isMonitoring() ? PVReachabilityStatus::Reachable : PVReachabilityStatus::Unknown;
    }
    switch (information->reachability()) {
    case QNetworkInformation::Reachability::Unknown:
        return PVReachabilityStatus::Unknown;
    case QNetworkInformation::Reachability::Disconnected:
        return PVReachabilityStatus::NotReachable;
    case QNetworkInformation::Reachability::Local:
    case QNetworkInformation::Reachability::Site:
    case QNetworkInformation::Reachability::Online:
        return PVReachabilityStatus::Reachable;
    }
    return PVReachabilityStatus::Unknown;
}
