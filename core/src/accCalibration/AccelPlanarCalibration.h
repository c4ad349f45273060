#pragma once

// Learns the accelerometer's zero-g offset from a device that lies still on
// a surface and is turned about its vertical axis, without turning it over.
//
// The samples are low-passed and cut into quiet one-second windows (yaw
// steady within 3 degrees, every axis within 0.2 m/s^2). The mean of each
// window that finds the device roughly flat is kept with its orientation in
// a ring of eight. Two windows whose orientations differ by a half turn about
// an axis n near the device z axis see the surface tilt from opposite sides,
// so the tilt cancels in the midpoint of their means:
//
//     offset = (m1 + m2) / 2 - g n     (n pointing along the measured up)
//
// Each such pair gives an estimate; estimates merge into a weighted mean
// whose total weight is capped, so later pairs keep moving it.

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/RunningStats.h"

namespace vnx {

class AccelPlanarCalibration
{
    VNX_LOG_DEFAULT(AccelPlanarCalibration);

  public:
    using AccStats = RunningStats<Fp32, 3, 9>;
    using YawStats = RunningStats<Fp32, 1, 9>;
    using Vector2 = qdVectorFixed::vector<Fp32, 2>;

    /// Quiet windows kept for pairing.
    static constexpr std::uint32_t kRecords = 8;
    /// Standard gravity, m/s^2.
    static constexpr float kGravity = 9.80665f;

    /// Result of one quiet window.
    struct WindowRecord
    {
        std::uint32_t time;          ///< caller's time stamp of the window's last sample (us)
        qdVectorFixed::Quaternion q; ///< orientation at that sample
        qdVectorFixed::Vector3 mean; ///< mean filtered acceleration, m/s^2
        Fp32 noise;                  ///< largest per-axis range of the filtered acceleration, m/s^2
    };

    AccelPlanarCalibration();
    ~AccelPlanarCalibration();
    AccelPlanarCalibration(const AccelPlanarCalibration&) = delete;
    AccelPlanarCalibration& operator=(const AccelPlanarCalibration&) = delete;

    /// Starts afresh at a 0.01 s period with a zero offset; a non-null `dcd`
    /// whose values are not all zero becomes the offset with a small weight
    /// (0.1), so that the first pair moves it most of the way. The SCD
    /// constants are not needed.
    void init(const FixedPointCal::Output& cal, const dcdAccOffsetCal_s* dcd);

    /// Filter coefficient and window length (samples) for a sample period in
    /// seconds. A period that is not positive is ignored; a change of the
    /// window length restarts the window.
    void updatePeriod(Fp32 periodS);

    /// One sample: a (m/s^2) without this calibration, q the device
    /// orientation, time the caller's time stamp (us), periodS the sample
    /// period (s).
    void process(std::uint32_t time, Fp32 periodS, const qdVectorFixed::Quaternion& q,
                 const qdVectorFixed::Vector3& a);

    /// out = in - zero-g offset; out may be &in.
    void applyCal(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3* out) const;
    /// out = in + zero-g offset; out may be &in.
    void undoCal(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3* out) const;
    /// Writes the zero-g offset; nothing for null.
    void getDcd(dcdAccOffsetCal_s* dcd) const;

    /// Adds the yaw of q and the filtered acceleration f to the window.
    void updateRunningStats(const qdVectorFixed::Quaternion& q, const qdVectorFixed::Vector3& f);

    /// Offset estimate from the means m1, m2 of two windows a half turn
    /// about the unit axis n apart (n is flipped to point down as needed).
    static qdVectorFixed::Vector3 calculateZgo(const qdVectorFixed::Vector3& m1,
                                               const qdVectorFixed::Vector3& m2, qdVectorFixed::Vector3 n);
    /// Weight in [0, 1] of a pair with window noises r (m/s^2) and
    /// quaternion dot product d: near 1 for quiet windows an exact half turn
    /// apart, falling with noise and with the departure from a half turn.
    static Fp32 computeWeight(const Vector2& r, Fp32 d);
    /// y moved by whole turns to within pi of ref (rad).
    static Fp32 unwrapYaw(Fp32 y, Fp32 ref);
    /// Rotation Rz * Ry built from the unit vector n (flipped into the upper
    /// half first, in place): Ry turns by the tilt of n from z (cosine n.z,
    /// sine s = sqrt(1 - n.z^2)), Rz by the direction of that tilt (cosine
    /// -n.x / s, sine n.y / s). Identity when n is along z. Not applied by
    /// this class: only the offset is.
    static void calculateMisalignment(qdVectorFixed::Vector3* n, qdVectorFixed::Matrix3* M);

    const qdVectorFixed::Vector3& zgo() const { return zgo_; }
    Fp32 totalWeight() const { return totalWeight_; }
    std::uint16_t rate() const { return rate_; }
    Fp32 filterCoefficient() const { return filterCoef_; }
    std::uint32_t recordCount() const { return recordCount_; }
    /// k = 0 is the newest record, k < recordCount().
    const WindowRecord& record(std::uint32_t k) const { return records_[slotBack(k)]; }
    const AccStats& accStats() const { return accStats_; }
    const YawStats& yawStats() const { return yawStats_; }

  private:
    qdVectorFixed::Vector3 lowPass(const qdVectorFixed::Vector3& a);
    void restartWindow();
    /// Stores a complete window; false when an older, quieter record of the
    /// same orientation stays instead.
    bool storeWindow(const WindowRecord& w);
    void pairNewestWindow();
    void merge(const qdVectorFixed::Vector3& candidate, Fp32 w);
    /// Slot of the record k places back from the newest.
    std::uint32_t slotBack(std::uint32_t k) const { return (writeIndex_ + kRecords - 1 - k) % kRecords; }

    WindowRecord records_[kRecords];
    std::uint32_t writeIndex_ = 0;
    std::uint32_t recordCount_ = 0;
    std::uint16_t rate_ = 100;            // samples per window
    Fp32 filterCoef_ = Fp32(-0.9090909f); // -0.1 / (period + 0.1)
    AccStats accStats_;
    YawStats yawStats_;
    bool firstEstimate_ = true;    // before init the first pair replaces the mean
    Fp32 weightCap_ = Fp32(16.0f); // 15.9 from init on
    Fp32 totalWeight_ = Fp32(0.0f);
    qdVectorFixed::Vector3 zgo_{}; // m/s^2
    bool restartFilter_ = true;
    qdVectorFixed::Vector3 stage1_{}; // first low-pass stage per axis
    qdVectorFixed::Vector3 stage2_{}; // second stage: the filtered sample
    Fp32 periodS_ = Fp32(0.01f);
};

} // namespace vnx
