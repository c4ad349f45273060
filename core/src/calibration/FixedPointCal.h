#pragma once

#include <cstdint>

#include "calibration/scdAcceptance.h"
#include "calibration/scdData.h"
#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Turns the calibration fields of an SCD into the constants every sensor
/// algorithm reads: how raw 16-bit samples become physical values, the noise
/// of each sensor, the zero-rate-offset constants, the sample period and the
/// device variant. Holds nothing beyond its Output.
class FixedPointCal
{
    // Belongs to no module class: its logger sits in the orphan block.
    VNX_LOG_DEFAULT_BLOCK("vnxLogOrphan");

  public:
    /// Calibration constants of one SCD. Matrices keep the SCD's element
    /// order: element 3i + j (row i, column j) takes input axis i into output
    /// axis j. "raw" means counts of a 16-bit sample.
    struct Output
    {
        qdVectorFixed::Vector3 accOffset;       ///< full-scale units
        qdVectorFixed::Vector3 accSecondOrder;  ///< zero in variant 24601
        qdVectorFixed::Vector3 accThirdOrder;   ///< zero in variant 24601
        qdVectorFixed::Matrix3 accMatrix;       ///< full-scale units to m/s^2
        qdVectorFixed::Matrix3 rsAccSensMatrix; ///< m/s^2 to raw rotation units; zero in variant 24601
        qdVectorFixed::Vector3 rsOffset;        ///< raw
        qdVectorFixed::Matrix3 rsMatrix;        ///< raw to rad/s
        bool hasRsAccSens = false;              ///< some rsAccSensMatrix element is not negligible
        bool hasAccNonlinear = false;           ///< some accSecondOrder element is not negligible
        qdVectorFixed::Matrix3 magMatrix;       ///< raw to calibrated magnetometer units
        qdVectorFixed::Vector3 magOffset;       ///< raw; zero except in variant 24601
        float tempOffset = 0;                   ///< raw
        float tempScale = 0;                    ///< degC per count; 0 = no temperature input
        float tempNoise = 0;                    ///< degC
        qdVectorFixed::Vector3 rsNoise;         ///< rad/s per output axis
        qdVectorFixed::Vector3 accNoise;        ///< m/s^2 per output axis
        float zroNominalSigma = 0;              ///< rad/s, offset uncertainty of a nominal calibration
        float zroMinTerm = 0;                   ///< smallest zero-rate-offset term
        float zroTempCoef = 0;                  ///< largest offset temperature coefficient, rad/s per degC
        float agingRate = 0;                    ///< offset growth, rad/s per hour
        float zroInitSigma = 0;                 ///< rad/s, initial offset uncertainty
        std::uint16_t deviceKind = 0;           ///< value 1 and flag bits 2, 4 and 8 are consulted
        std::int32_t variant = 0;               ///< device variant
        bool isNominalCal = false;              ///< the SCD holds nominal values
        float nominalLevel = 0;
        float period = 0; ///< s
        float rate = 0;   ///< Hz, 1 / period
        qdVectorFixed::Vector3
            rsStableParam;           ///< still-detection parameter, also the magnetometer noise levels
        float rsFullScale = 0;       ///< rad/s, magnitude for raw (32767, 0, 0)
        float accFullScale = 0;      ///< m/s^2, magnitude for raw (32767, 0, 0)
        float magFullScale = 0;      ///< magnitude for 4096 counts along x
        float rsScaleErrorRatio = 0; ///< 0.015: relative gyro scale error assumed by the fusion
        float periodScale = 0;       ///< 1.0: factor on the period in time-stamp rounding
        std::uint32_t scdCrc = 0;    ///< CRC-32 of the whole SCD (set by verifyAndInit only)
    };

    FixedPointCal() = default;

    /// VNX_STATUS_INVALID_SCD (-13) when the SCD is refused (Output then
    /// unchanged); else keeps its CRC-32, runs init on its fields and gives 0.
    /// The block is taken through acceptScd, so it may lie at any address.
    int verifyAndInit(const vnx_scdData_s* scd);
    /// The same for a block already accepted.
    int verifyAndInit(const AcceptedScd& scd);
    /// Fills Output from the calibration fields; always 0.
    int init(const scdGen4FloatInnards_s& innards);

    /// Sample period in seconds (see scdSamplePeriodS).
    static float getPeriod(const scdGen4FloatInnards_s& innards);

    /// Nominal calibration with a known nominal offset uncertainty.
    bool isNominal() const;
    /// Some diagonal element of the magnetometer matrix is non-zero.
    bool is9Axis() const;
    /// Turns every calibration matrix into the frame of q: K becomes K * R,
    /// R the direction-cosine matrix of q. Offsets, noise and scalars stay.
    void applyReorientation(const qdVectorFixed::Quaternion& q);

    const Output& output() const { return out_; }

  private:
    Output out_;
};

} // namespace vnx
