#pragma once

#include "calibration/scdData.h"

namespace vnx {

/// Sample period assumed when an SCD carries none: 125 Hz.
inline constexpr float kDefaultScdPeriodS = 0.008f;

/// Sample period of an SCD in seconds: the period field when the format word
/// marks it present and it is a usable period (positive, finite, with a
/// finite rate); else kDefaultScdPeriodS. A period that cannot be inverted
/// would make the sample rate and every later conversion meaningless.
float scdSamplePeriodS(const scdGen4FloatInnards_s& innards);

} // namespace vnx
