#pragma once

// Learns the hard-iron offset and the soft-iron matrix of a three-axis
// magnetometer and maps raw samples onto the unit sphere:
//
//     calibrated = (I + D) * m - offset
//
// (I + D) is a 3 x 3 matrix (symmetric for a well-formed fit) and the offset
// is taken after the matrix. Samples taken while the orientation stays put
// are averaged into points; the points are fitted to an ellipsoid around a
// pre-offset p, the fit is graded and, when it passes the acceptance test,
// becomes the active calibration. The class also estimates the field strength
// s (sensor units), the dip angle between field and gravity and two accuracy
// angles (radians; pi means that no calibration is known).
//
// process() is cheap and runs once per sample; the solve runs in stages
// through backgroundProcess(), spread over one to eight calls so that no call
// takes long. Nothing is allocated after construction.

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/RunningStats.h"

namespace vnx {

class MagnetometerAmplitudeCal
{
    VNX_LOG_DEFAULT(MagnetometerAmplitudeCal);

  public:
    using Fp = FloatingPoint<float>;
    using Vec3 = qdVectorFixed::Vector3;
    using Mat3 = qdVectorFixed::Matrix3;
    using Quat = qdVectorFixed::Quaternion;
    using Theta = qdVectorFixed::vector<Fp, 9>;

    /// What process() hands out for one sample.
    struct Output
    {
        Vec3 calibratedField; ///< ((I + D) m - offset) * s, sensor units
        Vec3 offset;          ///< offset * s, sensor units
        Fp fieldStrength;     ///< s, sensor units
        Fp externalAccuracy;  ///< heading error of this sample, rad; pi = no calibration
        Fp internalAccuracy;  ///< accuracy of the active calibration (the stored one), rad
    };

    /// Reasons left in the calibration status by the acceptance test; only
    /// kAccepted makes a candidate the active calibration.
    enum Status_e : std::uint32_t
    {
        kNoCandidate = 0,             ///< nothing solved since the last restart
        kAccepted = 1,                ///< fresh candidate passed (or a stored calibration is in use)
        kInvalidCandidate = 4,        ///< off-diagonal element at or below -10000
        kDiagonalTooLarge = 5,        ///< field far too weak for a plausible sensor
        kDiagonalNegative = 6,        ///< matrix not positive
        kTooAnisotropic = 7,          ///< smallest / largest diagonal below 0.3
        kOffDiagonalOverDiagonal = 8, ///< cross-axis term larger than an axis gain
        kOffDiagonalTooLarge = 9,     ///< cross-axis term above 1
        kTooSkewed = 11,              ///< cross-axis / largest diagonal above 0.3
        kAccuracyUnsteady = 13,       ///< recent candidate accuracies disagree
        kExtentTooSmall = 14,         ///< cube faces span too little of the sphere
        kExtentTooFlat = 15,          ///< cube faces span one axis much less than another
        kQualityDrop = 16,            ///< quality far below the active one
        kQualityZero = 17,
        kWorseThanExternal = 18, ///< worse than this sample's heading error
        kNotFresh = 20,          ///< no fresh candidate
        kWorseThanBoth = 25,     ///< worse than both active accuracies
        kWorseThanInternal = 19, ///< clearly worse than the active calibration
    };

    /// Values of the calibration that is in use (or of a candidate).
    struct Calibration
    {
        Mat3 eyePlusD;    ///< (I + D)
        Vec3 head;        ///< candidate: h; active: unused
        Fp fieldStrength; ///< s, sensor units
        Fp dip;           ///< rad, angle between field and gravity
        Fp sinDip;
        Fp accuracy;          ///< rad: internal accuracy (active) or candidate accuracy
        Fp amplitudeAccuracy; ///< rad
        Fp dipAccuracy;       ///< rad: active dip accuracy or candidate dip spread
        Fp quality;           ///< 0 = not calibrated; capped at 100000
    };

    MagnetometerAmplitudeCal();
    ~MagnetometerAmplitudeCal();
    MagnetometerAmplitudeCal(const MagnetometerAmplitudeCal&) = delete;
    MagnetometerAmplitudeCal& operator=(const MagnetometerAmplitudeCal&) = delete;

    /// Starts afresh: noise threshold from the magnetometer noise levels of
    /// `cal` (rsStableParam); restores `dcd` when it is non-null and its
    /// accuracy is below pi/2, otherwise ignores it.
    void init(const FixedPointCal::Output& cal, const dcdMagAmpCal_s* dcd);
    /// Makes the stored calibration the active one.
    void setDcd(const dcdMagAmpCal_s* dcd);
    void getDcd(dcdMagAmpCal_s* dcd) const;

    /// Restarts learning (candidate, accumulated points, cube faces, accuracy
    /// history); the next averaged point becomes the pre-offset. The active
    /// calibration stays in use.
    void reset();
    /// Clears the accumulated points only.
    void resetMeasurements();
    /// Pauses learning for one second of samples.
    void startInterferenceCountdown();

    /// One sample. periodS: sample period (s); useOrientation: collect points
    /// by orientation q (else by the noise level `noise`); m: raw
    /// magnetometer sample; q: current orientation; g: gravity reference
    /// (accelerometer) for the dip angle, used when referenceValid. Writes
    /// `out` unless periodS <= 0. The fourth vector is not used.
    void process(Fp periodS, bool useOrientation, Fp noise, const Vec3& m, const Vec3& unused, const Quat& q,
                 const Vec3& g, bool referenceValid, Output* out);

    /// Runs pending solver stages; `stages` is the number of calls one solve
    /// is spread over (0 and 1: all at once; 6 or more: eight calls). With
    /// run false the pending stage is dropped. True while work remains.
    bool backgroundProcess(unsigned char stages, bool run);

    /// out = (I + D) in - offset (saturated).
    void applyCalUnitSphere(const Vec3& in, Vec3* out) const;
    /// The same, times the field strength s.
    void applyCalExternal(const Vec3& in, Vec3* out) const;
    /// The candidate's mapping: (I + D)c in - ((I + D)c p + h).
    void applyCalInternal(const Vec3& in, Vec3* out) const;

    const Vec3& getOffset() const { return offset_; }
    const Mat3& getEyePlusD() const { return active_.eyePlusD; }
    bool isMagAmplitudeCaled() const { return active_.quality > Fp(0.0f); }

    // Solver stages; backgroundProcess() runs them in order, each may also be
    // called alone.

    /// Takes the averaged point out of the point statistics, seeds the
    /// pre-offset when due, updates the cube faces and adds the point to the
    /// least-squares system.
    void doAccumulation();
    /// Keeps six points near the extremes of each axis for the quality checks.
    void accumulateCubeFaces(const Vec3& a, const Vec3& g);
    /// Adds the regression row of d = a - p to the system.
    void magnetometerAccumCovPInvAndZ(const Vec3& d);
    /// Solves the normal equations for theta and |det P|.
    void doCalibrationA();
    /// Square root of the ellipsoid matrix V(theta).
    void doCalibrationB();
    /// Scales the fit to the unit sphere, grades it and accepts it when the
    /// acceptance test passes.
    void doCalibrationC();
    /// Cube extents and candidate accuracy of the current candidate.
    void updateCube(const Vec3& sample, const Vec3& reference);
    void updateAccuracyInternal(const Vec3& sample, const Vec3& reference);
    /// The acceptance test: leaves its code in the calibration status and is
    /// true only for kAccepted.
    bool checkUpdateOutputCondition();
    /// Makes the candidate the active calibration.
    void assignOutputCal();

    /// p = M^-1 v (saturated).
    void computePreOffset(const Mat3& M, const Vec3& v);
    /// The seed rule of doAccumulation for the point v.
    void pickGoodSeedForPreOffset(const Vec3& v);

    // Pure parts of the solve.
    static Mat3 magnetometerformV(const Theta& theta);
    static Mat3 magnetometerComputeSqrtV(const Theta& theta);
    /// M^-1 (theta5, theta6, theta7) (saturated).
    static Vec3 magnetometerComputeOffsetHead(const Mat3& M, const Theta& theta);
    /// 1 / (|c|^2 - theta8) (saturated).
    static Fp magnetometerComputeCo(const Vec3& c, Fp theta8);
    /// 3 / (|M00| + |M11| + |M22|); 10000 when that sum is <= 0.37500012.
    static Fp computeFieldStrength(const Mat3& M);
    /// ||v| - 1|.
    static Fp computeAmplitudeErr(const Vec3& v);

    // Read access for owners and tests.
    std::uint32_t getCalibrationStatus() const { return status_; }
    std::uint32_t getStage() const { return stage_; }
    const Calibration& getActive() const { return active_; }
    const Calibration& getCandidate() const { return candidate_; }
    Fp getExternalAccuracy() const { return externalAccuracy_; }
    const Vec3& getPreOffset() const { return preOffset_; }
    /// Number of points in the least-squares system.
    Fp getPointCount() const { return covP_[kCovSize - 1]; }
    Fp getExtentProduct() const { return extentProduct_; }
    Fp getExtentRatio() const { return extentRatio_; }
    const RunningStats<Fp, 3, 8>& getPointStatistics() const { return stats_; }

  private:
    static constexpr int kCovSize = 45; // upper triangle of the 9 x 9 normal matrix
    static constexpr int kFaces = 6;
    static constexpr int kHistory = 5;

    static Calibration initialCalibration();
    void updateExternalAccuracy(const Vec3& c, const Vec3& g);
    void collectWithOrientation(const Vec3& m, const Quat& q, Fp* variance);
    void collectByNoise(Fp noise, const Vec3& m, Fp* variance);
    void requestAccumulation();
    bool acceptanceCode(std::uint32_t* code) const;
    Fp historyVariance() const;

    // Point statistics (node "MagInStats"), built first after the logger.
    RunningStats<Fp, 3, 8> stats_;
    Quat q1_; ///< orientation at which the current point started
    Quat q2_; ///< orientation at which the current group of points started

    // Timing.
    Fp periodS_;
    Fp lowPassCoef_;
    std::uint32_t interferenceCountdown_ = 0; ///< samples

    // Seed of the pre-offset.
    std::uint32_t seedState_ = 1; ///< 1: the next averaged point becomes p
    bool seedPending_ = true;
    Vec3 preOffset_; ///< p, raw units

    // Least-squares system: upper triangle, row by row, of sum(phi phi^T)
    // (its last element is the point count N) and sum(phi r).
    Fp covP_[kCovSize];
    Fp z_[9];

    // Cube faces: +x, +y, +z, -x, -y, -z.
    bool firstPoint_ = true;
    bool referenceValid_ = false;
    Vec3 facePoint_[kFaces];
    Vec3 faceReference_[kFaces];
    std::uint32_t faceCountdown_[kFaces];
    std::uint32_t skipIndex_ = 0;
    Fp extentProduct_;
    Fp extentRatio_;

    // Candidate accuracies of the last solves.
    Fp accuracyHistory_[kHistory];
    std::uint32_t historyIndex_ = 0;

    std::uint32_t status_ = kNoCandidate;

    Calibration active_;
    Vec3 offset_;         ///< active offset, unit-sphere scale
    Fp externalAccuracy_; ///< rad, of the last processed sample
    Calibration candidate_;

    // Solver values.
    Theta theta_;
    Fp detP_; ///< |det P| of the last solve
    Mat3 sqrtV_;
    Fp noiseThreshold_; ///< (3 sigma)^2

    // Background work.
    std::uint32_t stage_ = 0;
    std::uint8_t accumulatedSinceStart_ = 0;

    // The latest learned sample and its gravity reference.
    Vec3 lastSample_;
    Vec3 lastReference_;
};

} // namespace vnx
