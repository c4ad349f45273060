#pragma once

// What every member of the detector family shares below its flat API: the
// enabled flag, the accepted accelerometer period and the negotiation of
// that period with the mobile fusion engine's periods record (slot 0 only).
//
//   enableOutputPeriodsAndDeriveInputPeriods(outputPeriod, periods):
//       outputPeriod < 1 disables (onDisabled); otherwise enables and asks
//       for the member's period: periods[0] of 0 or above the member's
//       maximum becomes the maximum, a shorter request stays (faster input
//       is fine). Always 0.
//   setInputPeriods(periods): the period the engine really delivers.
//       Disabled: 0, nothing changes. periods[0] outside 1 .. acceptedMaxUs:
//       disabled, onPeriodRejected, -24. Otherwise the period is stored and
//       onInputPeriod derives the member's per-sample coefficients; 0.
//   getEffectiveOutputPeriods(periods, out): periods[0] when enabled, else 0.
//       A detector reports at its input rate.
//
// The limits come from the member table (detectorMembers.h). A member adds
// its configuration, its state and its decision rule, and overrides only
// the hooks it needs. Each member also declares its own default logger
// (VNX_LOG_DEFAULT) so that the logger's block carries the member's name;
// this base removes the instance's node, and what waits under it, when the
// instance goes.

#include <cstdint>

#include "activity/detectorMembers.h"
#include "activity/detectorRecords.h"

namespace vnx::activity {

class DetectorBase
{
  public:
    explicit DetectorBase(DetectorId id) : member_(detectorMember(id)) {}
    virtual ~DetectorBase();
    DetectorBase(const DetectorBase&) = delete;
    DetectorBase& operator=(const DetectorBase&) = delete;

    const DetectorMember& member() const { return member_; }
    bool isEnabled() const { return enabled_; }
    /// The last accepted accelerometer period in us; 0 before the first.
    std::int32_t inputPeriodUs() const { return periodUs_; }

    int enableOutputPeriodsAndDeriveInputPeriods(std::int32_t outputPeriod,
                                                 vnx_Mobile_VirtualSensorPeriods_s& periods);
    int setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods);
    int getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods,
                                  std::int32_t& outputPeriod) const;

  protected:
    /// The period the member asks for, given a request (the enable rule above).
    std::int32_t askedPeriod(std::int32_t requestedUs) const;
    /// Whether setInputPeriods accepts periodUs.
    bool acceptsPeriod(std::int32_t periodUs) const
    {
        return periodUs >= 1 && periodUs <= member_.acceptedMaxUs;
    }
    /// Refuses a period: disabled, onPeriodRejected, -24.
    int rejectPeriod();

    /// Back to the state after construction: disabled, no period.
    void resetNegotiation()
    {
        enabled_ = false;
        periodUs_ = 0;
    }

    /// The enable call with outputPeriod >= 1; wasEnabled tells a fresh start
    /// from a repeated enable.
    virtual void onEnabled(bool /*wasEnabled*/) {}
    /// The enable call with outputPeriod < 1 (the flag is already cleared).
    virtual void onDisabled() {}
    /// setInputPeriods refused the period (the flag is already cleared).
    virtual void onPeriodRejected() {}
    /// setInputPeriods accepted periodUs (already stored); previousPeriodUs
    /// is the one accepted before, 0 for none.
    virtual void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) = 0;

  private:
    const DetectorMember& member_;
    bool enabled_ = false;
    std::int32_t periodUs_ = 0;
};

} // namespace vnx::activity
