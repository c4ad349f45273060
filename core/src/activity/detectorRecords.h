#pragma once

// Records shared by the exported event detectors (vnx_TapDetector_* and the
// other members of the detector family): the 8-byte output every event
// detector writes, plus the mobile fusion records they read (its output
// record and its periods record). The layouts are a byte format.

#include <stddef.h>
#include <stdint.h>

#include "sensorFusionMobile/mobileRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// What an event detector reports for one fusion record.
typedef struct vnx_Detector_Output_s
{
    uint32_t event;  ///< 0 = nothing; otherwise the member's event code or bit set
    uint32_t timeUs; ///< copied from the fusion record's time stamp
} vnx_Detector_Output_s;

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_Detector_Output_s) == 8);
static_assert(offsetof(vnx_Detector_Output_s, event) == 0);
static_assert(offsetof(vnx_Detector_Output_s, timeUs) == 4);
#endif
