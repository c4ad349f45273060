#pragma once

// The platform's reachability monitor on Qt's network information: the
// NetworkManager backend, or the GLib one where NetworkManager is missing.
// With no backend at all (a machine without either) the state is reported
// as reachable: a request's own failure then tells the actual problem, and
// the version check is never skipped for want of a monitor.

#include "update/PVReachabilityMonitor.h"

class PVNetworkReachability : public PVReachabilityMonitor
{
    Q_OBJECT

  public:
    explicit PVNetworkReachability(QObject* parent = nullptr);

    PVReachabilityStatus status() const override;
    /// Whether a backend was found (known once monitoring has started).
    bool hasBackend() const { return hasBackend_; }

  protected:
    void startWatching() override;

  private:
    bool hasBackend_ = false;
};
