#pragma once

// Two events from one accelerometer stream, each on its own reoriented and
// low-passed copy of it.
//   Flat exit: the cosine between the filtered acceleration and the z axis,
//   with a hysteresis around the flat angle; leaving flat is the event.
//   Pick-up: the acceleration's direction (scaled to 9.8 m/s^2) is filtered;
//   a deviation of the direction from the filtered one beyond the movement
//   level opens a window, and coming to rest (deviation below the rest level)
//   in the viewing pose (pitch and roll of the filtered direction within
//   their limits) while it is open is the event.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/pickUpDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class PickUpDetector : public EventDetector
{
    VNX_LOG_DEFAULT(PickUpDetector);

  public:
    using Config = vnx_PickUpDetector_Config_s;
    using Handle = vnx_PickUpDetector_Handle;
    static constexpr DetectorId kId = DetectorId::PickUp;

    static constexpr std::uint32_t kLeftFlat = 0x1;
    static constexpr std::uint32_t kPickedUp = 0x2;

    PickUpDetector() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    /// All state fresh from `config`: disabled, no period, not flat, no window.
    void init(const Config& config);

  protected:
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    /// A path's reorientation: a unit quaternion, or none.
    struct Orientation
    {
        bool rotates = false;
        float w = 1, x = 0, y = 0, z = 0;
    };

    struct Settings
    {
        std::uint8_t mode = 0;
        Orientation flatOrientation;
        float flatTimeConstantS = 0;
        float cosEnterFlat = 0; ///< flat above this cosine
        float cosLeaveFlat = 0; ///< not flat below this cosine
        Orientation pickUpOrientation;
        float pickUpTimeConstantS = 0;
        float pitchLowRad = 0;
        float pitchHighRad = 0;
        float sinRollLow = 0;
        float sinRollHigh = 0;
        float restLevelMs2 = 0;
        float movementLevelMs2 = 0;
        std::int64_t windowUs = 0;
    };

    /// Low-pass factors of the accepted period: y = alpha y + oneMinusAlpha x.
    struct Derived
    {
        float flatAlpha = 0;
        float flatOneMinusAlpha = 0;
        float pickUpAlpha = 0;
        float pickUpOneMinusAlpha = 0;
    };

    struct State
    {
        // The next sample starts a path's filter with that path's own input
        // (the flat path its reoriented sample, the pick-up path its
        // reoriented direction), so no filter starts in another frame.
        bool reseedFlat = true;
        bool reseedPickUp = true;
        float flatFiltered[3] = {0, 0, 0};   ///< m/s^2
        float pickUpFiltered[3] = {0, 0, 0}; ///< m/s^2, length about 9.8
        bool flat = false;
        std::int64_t windowLeftUs = 0;
    };

    static Orientation orientationOf(const vnx_PickUpDetector_Quaternion_s& q);
    static void rotate(const Orientation& q, const float* v, float* out);

    std::uint32_t flatExit(const float* a);
    std::uint32_t pickUp(const float* a);

    Settings settings_;
    Derived derived_;
    std::int32_t periodUs_ = 0;
    State state_;
};

} // namespace vnx::activity
