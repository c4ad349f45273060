#pragma once

// Base of the event detectors (tap, sleep, shake, pick-up, flip, tilt,
// circle, pocket, significant motion): the common steps of process on one
// fusion record, around the member's own decision on one acceleration
// sample.
//
//   process(in, out, flag):
//       *flag = 0 (no member sets it), out.timeUs = in.timeUs, and the event
//       word as eventWordAtStart makes it from the caller's (cleared by
//       default). Then, when the detector is disabled or the record carries
//       no new accelerometer sample (bit 0 of in.validBits clear): 3, and no
//       state changes. Otherwise processSample decides: 0, or 3 for members
//       that report "no decision" that way.
//
// A member whose process takes more inputs (significant motion reads the
// step detector's output too) calls beginProcess itself and then does its
// own step.

#include <cstdint>

#include "activity/DetectorBase.h"

namespace vnx::activity {

class EventDetector : public DetectorBase
{
  public:
    using DetectorBase::DetectorBase;

    int process(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out, std::uint8_t& flag);

  protected:
    /// The common steps above; true when `in` is a sample to process.
    bool beginProcess(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out, std::uint8_t& flag) const;

    /// The event word a call starts from, given the caller's word.
    virtual std::uint32_t eventWordAtStart(std::uint32_t /*callerWord*/) const { return 0; }
    /// One acceleration sample of an enabled detector.
    virtual int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) = 0;
};

} // namespace vnx::activity
