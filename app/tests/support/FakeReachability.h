#pragma once

// A reachability monitor whose state the test sets. It installs itself as
// the shared monitor while it lives, and reports like the platform's: once
// soon after monitoring starts, then on every change.

#include "update/PVReachabilityMonitor.h"

class FakeReachability final : public PVReachabilityMonitor
{
  public:
    explicit FakeReachability(PVReachabilityStatus status = PVReachabilityStatus::Unknown)
        : status_(status), previous_(setSharedManager(this))
    {
    }
    ~FakeReachability() override { setSharedManager(previous_); }
    FakeReachability(const FakeReachability&) = delete;
    FakeReachability& operator=(const FakeReachability&) = delete;

    PVReachabilityStatus status() const override { return status_; }
    /// Changes the state and reports it when monitoring.
    void setStatus(PVReachabilityStatus status)
    {
        status_ = status;
        reportChange();
    }

    /// How often monitoring began watching.
    int watchCount() const { return watchCount_; }

  protected:
    void startWatching() override { ++watchCount_; }

  private:
    PVReachabilityStatus status_;
    PVReachabilityMonitor* previous_;
    int watchCount_ = 0;
};
