#include "calibration/scdPeriod.h"

#include <cstdint>

#include "calibration/scdAcceptance.h"

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
    return vnx::acceptScd(scd, SIZE_MAX).periodUs();
}
