#pragma once

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Keeps a relative pointer aligned with where the device points: holds a map
/// from device orientation (yaw and pitch against a reference orientation) to
/// screen coordinates and bends each relative motion slightly toward the
/// mapped point, so the pointer drifts back under the aim without jumps.
///
/// The map is either bounded (a fixed gain per axis, re-anchored when the
/// pointer has been pushed against a screen bound) or learned (a least-squares
/// fit over up to 200 remembered samples). Fixed-size state, no allocation.
class PointerAlignment
{
    VNX_LOG_DEFAULT(PointerAlignment);

  public:
    using Quaternion = qdVectorFixed::quaternion<float>;

    static constexpr int kBufferSize = 200;
    static constexpr int kYawCells = 72;   // 5 degrees over 360
    static constexpr int kPitchCells = 36; // 5 degrees over 180

    /// Everything the learned and the bounded map keep; cleared by
    /// resetAlignment.
    struct MapState
    {
        float yaw[kBufferSize]; ///< radians, relative to the learned reference
        float pitch[kBufferSize];
        float x[kBufferSize]; ///< screen point of the sample, pixels
        float y[kBufferSize];
        float weight[kBufferSize];
        float map[9]; ///< row-major; x = m0 yaw + m1 pitch + m2, y = m3 yaw + m4 pitch + m5
        std::uint32_t coverage[kYawCells * kPitchCells]; ///< samples seen per 5 x 5 degree cell
        Quaternion learnedReference;
        float headingOffset; ///< radians
        float drift[2];      ///< yaw and pitch drift terms, radians
        Quaternion previousOrientation;
        std::uint32_t sampleCounter;
        std::uint8_t established;
        std::uint8_t recentring;
        std::uint8_t spreadCheck;
        std::uint8_t driftActive;
    };

    explicit PointerAlignment(const int screen[2]);
    ~PointerAlignment();
    PointerAlignment(const PointerAlignment&) = delete;
    PointerAlignment& operator=(const PointerAlignment&) = delete;

    /// Clears the map state (map, buffer, sample counter) so the map is unset
    /// and the next bounded update anchors both axes. Returns true.
    bool resetAlignment();

    const MapState* getState() const { return &state_; }
    void getXyRef(float out[2]) const;
    void getError(float out[2]) const;
    float screenWidth() const { return width_; }
    float screenHeight() const { return height_; }
    const Quaternion& referenceOrientation() const { return reference_; }

    /// Screen point of orientation q against ref through the map.
    static void applyMap(const Quaternion& q, const Quaternion& ref, const float map[6], float out[2]);
    /// The same with only the diagonal of the map (x from yaw, y from pitch).
    static void applyMapScaleOffset(const Quaternion& q, const Quaternion& ref, const float map[6],
                                    float out[2]);

    /// False while the map is unset; else the screen point of q.
    bool mapOrientationToScreen(const float q[4], float out[2]) const;

    /// Corrects the motion vel at pos toward the mapped point of q: turned by
    /// at most `angle`, length changed by at most `scale` either way (both
    /// weakened while the error is small, when maxError is within 100).
    /// flags[0] or flags[1] set passes the motion unchanged. Returns true.
    bool alignPointer(const Quaternion& q, const float pos[2], const float vel[2], float scale, float angle,
                      float maxError, const bool flags[2], float out[2]);
    /// The same toward the point (target[0], target[2]); an error beyond
    /// maxError jumps to the target.
    bool alignPointerDirect(const float target[3], const float pos[2], const float vel[2], float scale,
                            float angle, float maxError, const bool flags[2], float out[2]);
    /// One correction step; the gain is limited to [1 / scale, scale].
    bool adjustVeloctiy2d(const float pos[2], const float vel[2], const float target[2], float scale,
                          float angle, float out[2]) const;

    /// Learned map: records the sample (orientation q, screen point pos +
    /// delta) and refits. gain is the fallback per axis, counts per radian.
    bool updateMap(const Quaternion& q, const float pos[2], const float delta[2], const bool enable[2],
                   const float gain[2], bool fixedWeight);
    /// Bounded map: fixed gains anchored where the pointer left a bound.
    /// filterValue > 0 feeds a running mean that replaces both gains once
    /// more than 100 values came in.
    bool updateMap(const Quaternion& q, const float pos[2], const float push[2], const bool atBound[2],
                   float gain[2], bool unused, float filterValue, bool mode);

    /// The bounded map's running mean and its count.
    float filterMean() const { return filterMean_; }
    std::uint32_t filterCount() const { return filterCount_; }

  private:
    void orientationMapping(const Quaternion& q, const float pos[2], const float delta[2], bool learn,
                            const bool enable[2], const float gain[2], bool fixedWeight, float target[2]);
    void clearLearned();
    void recordSample(float yaw, float pitch, float x, float y, float weight);
    bool fitMap();
    void provisionalMap(const float gain[2]);

    float width_;
    float height_;
    float error_[2] = {0.0f, 0.0f};
    float mappedPoint_[2] = {0.0f, 0.0f};
    Quaternion reference_{1.0f, 0.0f, 0.0f, 0.0f};
    MapState state_{};

    // Bounded map, kept across resetAlignment.
    float filterMean_ = 0.0f;
    std::uint32_t filterCount_ = 0;
    bool previousMode_ = true;
    float pushAccumulator_[2] = {0.0f, 0.0f};
    std::uint8_t edgeState_[2] = {4, 4};
    float anchor_[4] = {0.0f, 0.0f, 0.0f, 0.0f}; ///< screen x, screen y, yaw, pitch
};

} // namespace vnx
