#include "moduleManager/SampleCounter.h"

#include <algorithm>
#include <cstdlib>

namespace vnx {

uint32_t SampleCounter::widen(uint32_t counter, int64_t nowNs, uint32_t periodUs)
{
    counter &= 0xFFu;
    if (first_) {
        first_ = false;
        widened_ = counter;
    } else {
        const int64_t distance = static_cast<int64_t>(counter) - static_cast<int64_t>(lastCounter_);
        int64_t step = distance > 0 && distance <= 128 ? distance : distance + 256;
        // Without a period the clock says nothing about the number of samples.
        if (periodUs > 0) {
            const int64_t periodNs = static_cast<int64_t>(periodUs) * 1000;
            const int64_t elapsedNs = nowNs - lastNs_;
            if (std::llabs(elapsedNs - step * periodNs) > kToleranceNs) {
                step = std::clamp<int64_t>(elapsedNs / periodNs, 0, kMaxStep);
            }
        }
        widened_ = static_cast<uint32_t>(widened_ + static_cast<uint64_t>(step));
    }
    lastCounter_ = counter;
    lastNs_ = nowNs;
    return widened_;
}

} // namespace vnx
