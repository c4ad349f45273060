#include "calibration/scdPeriod.h"

#include <cstdint>

float vnx::scdSamplePeriodS(const scdGen4FloatInnards_s& innards)
{
    if (innards.formatWord != VNX_SCD_FORMAT_WORD)
        return kDefaultScdPeriodS;
    const float period = innards.period;
    // Written so that NaN fails too.
    if (!(period >= kShortestScdPeriodS && period < kLongestScdPeriodS))
        return kDefaultScdPeriodS;
    return period;
}

extern "C" int32_t vnx_scdGetPeriod(const vnx_scdData_s* scd)
{
    const scdGen4Float_s* valid = scdGen4FloatValidateAndCast(scd);
    const float periodS = valid ? vnx::scdSamplePeriodS(valid->innards) : vnx::kDefaultScdPeriodS;
    // In float, as the period is stored: 0.00875f x 1e6 rounds to 8750. A
    // usable period is below 1 s, so the count fits.
    return static_cast<int32_t>(periodS * 1000000.0f);
}
