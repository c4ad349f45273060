#include "activity/tapDetectorApi.h"

#include "activity/DetectorFamily.h"
#include "activity/TapDetector.h"

using vnx::activity::DetectorFamily;
using vnx::activity::TapDetector;

extern "C" {

VNX_DETECTOR_EXPORT_ALL(vnx_TapDetector, TapDetector)

int vnx_TapDetector_getTapDefaults(vnx_TapDetectorConfig_s* config)
{
    return DetectorFamily<TapDetector>::getDefaults(config);
}

int vnx_TapDetector_decodeTapField(uint32_t field, int8_t* x, int8_t* y, int8_t* z)
{
    if (x == nullptr || y == nullptr || z == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    // Indexed by an axis's two bits: tapped (bit 0) and positive (bit 1).
    static constexpr int8_t kDirection[4] = {0, -1, 0, 1};
    const int8_t scale = (field & TapDetector::kDoubleTapBit) != 0 ? 2 : 1;
    *x = static_cast<int8_t>(scale * kDirection[field & 3u]);
    *y = static_cast<int8_t>(scale * kDirection[(field >> 2) & 3u]);
    *z = static_cast<int8_t>(scale * kDirection[(field >> 4) & 3u]);
    return VNX_STATUS_SUCCESS;
}

} // extern "C"
