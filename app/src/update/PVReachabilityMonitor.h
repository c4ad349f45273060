#pragma once

// Whether the network can be reached. A monitor reports the state once soon
// after monitoring starts, and every change after that; the first report is
// what starts the application's version check, so it always comes, even when
// the state never changes. The shared monitor is the platform's unless a test
// installs its own.

#include <QObject>

enum class PVReachabilityStatus
{
    Unknown = -1,
    NotReachable = 0,
    Reachable = 1,
};

class PVReachabilityMonitor : public QObject
{
    Q_OBJECT

  public:
    /// The monitor installed by setSharedManager, else the platform's one,
    /// made on first use (main thread).
    static PVReachabilityMonitor& sharedManager();
    /// Installs `monitor` as the shared one (null restores the platform's);
    /// returns the one installed before, null for the platform's.
    static PVReachabilityMonitor* setSharedManager(PVReachabilityMonitor* monitor);

    explicit PVReachabilityMonitor(QObject* parent = nullptr);

    virtual PVReachabilityStatus status() const = 0;
    bool isReachable() const { return status() == PVReachabilityStatus::Reachable; }

    /// Starts watching and queues the first report of the state; a second
    /// call does nothing.
    void startMonitoring();
    bool isMonitoring() const { return monitoring_; }

  signals:
    /// The state, reported first after startMonitoring and then on changes.
    void reachabilityChanged(PVReachabilityStatus status);

  protected:
    /// Begins watching the source of the state; called once.
    virtual void startWatching() = 0;
    /// Subclasses call this when the state has changed; reported only while
    /// monitoring.
    void reportChange();

  private:
    bool monitoring_ = false;
};
