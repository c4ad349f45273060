#pragma once

#include "calibration/scdData.h"

namespace vnx {

/// Sample period assumed when an SCD carries none: 125 Hz.
inline constexpr float kDefaultScdPeriodS = 0.008f;

/// Shortest and longest usable sample periods, in seconds: 50 us up to (not
/// including) 1 s. Below, every orientation step underflows to nothing; from
/// 1 s on, rotation between samples is no longer tracked.
inline constexpr float kShortestScdPeriodS = 50e-6f;
inline constexpr float kLongestScdPeriodS = 1.0f;

/// Sample period of an SCD in seconds: the period field when the format word
/// marks it present and it is a usable period (finite, at least
/// kShortestScdPeriodS and below kLongestScdPeriodS); else
/// kDefaultScdPeriodS. Any other period would make every output of the
/// fusion invalid or meaningless.
float scdSamplePeriodS(const scdGen4FloatInnards_s& innards);

} // namespace vnx
