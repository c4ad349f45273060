#pragma once

// One traits type per member of the detector family, so the family's shared
// behaviour is checked through each member's own exported functions. A
// member whose calls differ in shape (pocket, significant motion) is checked
// by its own tests instead.

#include <cstdint>

#include "activity/circleDetectorApi.h"
#include "activity/detectorMembers.h"
#include "activity/flipDetectorApi.h"
#include "activity/pickUpDetectorApi.h"
#include "activity/shakeDetectorAccApi.h"
#include "activity/sleepDetectorApi.h"
#include "activity/tapDetectorApi.h"
#include "activity/tiltDetectorApi.h"

namespace vnx::activitytest {

#define VNX_TEST_DETECTOR_API(Name, Prefix, ConfigT, Defaults, Id, LoggerBlock)                              \
    struct Name                                                                                              \
    {                                                                                                        \
        using Config = ConfigT;                                                                              \
        using Handle = Prefix##_Handle;                                                                      \
        static constexpr vnx::activity::DetectorId kId = Id;                                                 \
        static constexpr const char* kLoggerBlock = LoggerBlock;                                             \
        static int defaults(Config* c) { return Defaults(c); }                                               \
        static int version() { return Prefix##_getVersion(); }                                               \
        static int initialize(Handle* h, const Config* c) { return Prefix##_initialize(h, c); }              \
        static int finalize(Handle h) { return Prefix##_finalize(h); }                                       \
        static int enable(Handle h, std::int32_t outputPeriod, vnx_Mobile_VirtualSensorPeriods_s* p)         \
        {                                                                                                    \
            return Prefix##_enableOutputPeriodsAndDeriveInputPeriods(h, outputPeriod, p);                    \
        }                                                                                                    \
        static int setInputPeriods(Handle h, const vnx_Mobile_VirtualSensorPeriods_s* p)                     \
        {                                                                                                    \
            return Prefix##_setInputPeriods(h, p);                                                           \
        }                                                                                                    \
        static int effective(Handle h, const vnx_Mobile_VirtualSensorPeriods_s* p, std::int32_t* out)        \
        {                                                                                                    \
            return Prefix##_getEffectiveOutputPeriods(h, p, out);                                            \
        }                                                                                                    \
        static int process(Handle h, const vnx_Mobile_Output_s* in, vnx_Detector_Output_s* out,              \
                           std::uint8_t* flag)                                                               \
        {                                                                                                    \
            return Prefix##_process(h, in, out, flag);                                                       \
        }                                                                                                    \
    }

VNX_TEST_DETECTOR_API(TapApi, vnx_TapDetector, vnx_TapDetectorConfig_s, vnx_TapDetector_getTapDefaults,
                      vnx::activity::DetectorId::Tap, "vnx_core_TapDetector");
VNX_TEST_DETECTOR_API(SleepApi, vnx_SleepDetector, vnx_SleepDetectorConfig_s, vnx_SleepDetector_getDefaults,
                      vnx::activity::DetectorId::Sleep, "vnx_core_Interpret");
VNX_TEST_DETECTOR_API(ShakeAccApi, vnx_ShakeDetectorAcc, vnx_ShakeDetectorAccConfig_s,
                      vnx_ShakeDetectorAcc_getShakeDefaults, vnx::activity::DetectorId::ShakeAcc,
                      "vnx_core_ShakeDetectorAcc");
VNX_TEST_DETECTOR_API(FlipApi, vnx_FlipDetector, vnx_FlipDetectorConfig_s, vnx_FlipDetector_getFlipDefaults,
                      vnx::activity::DetectorId::Flip, "vnx_core_FlipDetector");
VNX_TEST_DETECTOR_API(TiltApi, vnx_TiltDetector, vnx_TiltDetectorConfig_s, vnx_TiltDetector_getConfigDefaults,
                      vnx::activity::DetectorId::Tilt, "vnx_core_TiltDetector");
VNX_TEST_DETECTOR_API(PickUpApi, vnx_PickUpDetector, vnx_PickUpDetector_Config_s,
                      vnx_PickUpDetector_getPickUpDefaults, vnx::activity::DetectorId::PickUp,
                      "vnx_core_PickUpDetector");
VNX_TEST_DETECTOR_API(CircleApi, vnx_CircleDetector, vnx_CircleDetectorConfig_s,
                      vnx_CircleDetector_getConfigDefaults, vnx::activity::DetectorId::Circle,
                      "vnx_core_CircleDetector");

} // namespace vnx::activitytest
