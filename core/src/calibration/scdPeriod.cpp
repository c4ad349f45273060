#include "calibration/scdPeriod.h"

#include <cmath>
#include <cstdint>

float vnx::scdSamplePeriodS(const scdGen4FloatInnards_s& innards)
{
    if (innards.formatWord != VNX_SCD_FORMAT_WORD)
        return kDefaultScdPeriodS;
    const float period = innards.period;
    if (!(period > 0.0f) || !std::isfinite(period) || !std::isfinite(1.0f / period))
        return kDefaultScdPeriodS;
    return period;
}

extern "C" int32_t vnx_scdGetPeriod(const vnx_scdData_s* scd)
{
    const scdGen4Float_s* valid = scdGen4FloatValidateAndCast(scd);
    const float periodS = valid ? vnx::scdSamplePeriodS(valid->innards) : vnx::kDefaultScdPeriodS;
    // In float, as the period is stored: 0.00875f x 1e6 rounds to 8750.
    const float periodUs = periodS * 1000000.0f;
    constexpr float kLimit = 2147483648.0f; // 2^31, first value past INT32_MAX
    if (periodUs >= kLimit)
        return INT32_MAX;
    return static_cast<int32_t>(periodUs);
}
