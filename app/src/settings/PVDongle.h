#pragma once

// The USB receiver and the presenters paired through it: one device for every
// stored record but "General", in stored order. Main thread only.

#include "settings/PVDevice.h"

#include <QString>
#include <memory>
#include <vector>

class PVDongle
{
  public:
    /// A receiver over the application's shared store and styles.
    PVDongle();
    PVDongle(PVPlistManager& store, PVPointerStyleManager& styles);

    void reloadPairedDevices();
    const std::vector<std::shared_ptr<PVDevice>>& pairedDevices() const { return pairedDevices_; }

    /// The paired device of that serial id: null (Warn) when none is, the
    /// first (Warn) when several are.
    std::shared_ptr<PVDevice> deviceWithSerialID(const QString& serialId) const;
    /// Stores a bare record for `serialId` when it has none, then reloads.
    void addDevice(const QString& serialId);
    void removeDevice(const QString& serialId);
    /// Sets the battery level of that paired device in memory.
    void updateBattery(quint64 level, const QString& serialId);

  private:
    PVPlistManager& store_;
    PVPointerStyleManager& styles_;
    std::vector<std::shared_ptr<PVDevice>> pairedDevices_;
};
