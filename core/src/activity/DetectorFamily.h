#pragma once

// The flat API of the detector family, written once for every member.
//
// Calling order of a client:
//   vnx_<Detector>_<defaults>(&config);           adjust fields if wanted
//   vnx_<Detector>_initialize(&handle, &config);
//   vnx_<Detector>_enableOutputPeriodsAndDeriveInputPeriods(handle, 1, &periods);
//       (once per detector, on the periods record then given to the mobile
//        fusion engine's own negotiation)
//   vnx_<Detector>_setInputPeriods(handle, &granted);
//   vnx_<Detector>_getEffectiveOutputPeriods(handle, &granted, &outputPeriod);
//   per fusion output record: vnx_<Detector>_process(handle, &record, &out, &flag);
//   vnx_<Detector>_finalize(handle);
// A new enable and setInputPeriods pair may come at any time.
//
// Instances come from a per-class pool (StaticMemoryManager): initialize
// answers -21 (handle untouched) when memory runs out, finalize answers 1
// for null or a live handle (destroyed now) and 0 for anything else. The
// other calls answer -2 for a handle that is not live or a null record
// pointer instead of following it. No exception leaves a call.
//
// Adding a member:
//   1. Its row in detectorMembers.h (defaults name, version, periods).
//   2. Its class, derived from EventDetector, with
//        using Config = vnx_<Detector>Config_s;  using Handle = vnx_<Detector>_Handle;
//        static constexpr DetectorId kId = DetectorId::<Member>;
//        void init(const Config&);            (all state fresh, disabled)
//        static void getDefaults(Config&);
//      and the hooks of DetectorBase and EventDetector it needs.
//   3. Its C header declaring the handle type, the Config record and the
//      functions; its api source defines them with the macros below:
//        extern "C" {
//        VNX_DETECTOR_EXPORT_ALL(vnx_TapDetector, vnx::activity::TapDetector)
//        int vnx_TapDetector_getTapDefaults(vnx_TapDetectorConfig_s* c) { ... }
//        }
//      A member whose period calls or process differ (pocket, significant
//      motion) takes only VNX_DETECTOR_EXPORT_LIFECYCLE and writes the rest.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/detectorRecords.h"
#include "common/statusCode.h"
#include "moduleFactory/StaticMemoryManager.h"
#include "moduleFactory/flatApiGuard.h"

namespace vnx::activity {

template <class Detector> class DetectorFamily
{
  public:
    using Handle = typename Detector::Handle;
    using Config = typename Detector::Config;
    using Pool = StaticMemoryManager<Detector, -1>;

    static int getVersion() noexcept { return detectorMember(Detector::kId).version; }

    static int getDefaults(Config* config) noexcept
    {
        if (config == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
        Detector::getDefaults(*config);
        return VNX_STATUS_SUCCESS;
    }

    static int initialize(Handle* handle, const Config* config) noexcept
    {
        if (handle == nullptr || config == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
        Detector* detector = nullptr;
        const int status = guardStatus([&] {
            detector = pool().create();
            return detector != nullptr ? VNX_STATUS_SUCCESS : VNX_STATUS_OUT_OF_MEMORY;
        });
        if (status != VNX_STATUS_SUCCESS)
            return status;
        detector->init(*config);
        *handle = reinterpret_cast<Handle>(detector);
        return VNX_STATUS_SUCCESS;
    }

    static int finalize(Handle handle) noexcept
    {
        return pool().destroy(reinterpret_cast<Detector*>(handle)) ? 1 : 0;
    }

    static int enableOutputPeriodsAndDeriveInputPeriods(Handle handle, std::int32_t outputPeriod,
                                                        vnx_Mobile_VirtualSensorPeriods_s* periods) noexcept
    {
        Detector* detector = instance(handle);
        if (detector == nullptr || periods == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
        return detector->enableOutputPeriodsAndDeriveInputPeriods(outputPeriod, *periods);
    }

    static int setInputPeriods(Handle handle, const vnx_Mobile_VirtualSensorPeriods_s* periods) noexcept
    {
        Detector* detector = instance(handle);
        if (detector == nullptr || periods == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
        return detector->setInputPeriods(*periods);
    }

    static int getEffectiveOutputPeriods(Handle handle, const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                         std::int32_t* outputPeriod) noexcept
    {
        const Detector* detector = instance(handle);
        if (detector == nullptr || periods == nullptr || outputPeriod == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
        return detector->getEffectiveOutputPeriods(*periods, *outputPeriod);
    }

    static int process(Handle handle, const vnx_Mobile_Output_s* in, vnx_Detector_Output_s* out,
                       std::uint8_t* flag) noexcept
    {
        Detector* detector = instance(handle);
        if (detector == nullptr || in == nullptr || out == nullptr || flag == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
        return detector->process(*in, *out, *flag);
    }

    /// The instance behind a live handle, else null.
    static Detector* instance(Handle handle) noexcept
    {
        auto* detector = reinterpret_cast<Detector*>(handle);
        return detector != nullptr && pool().contains(detector) ? detector : nullptr;
    }

  private:
    /// Built on first use, so a client's static initialiser may already
    /// create instances; torn down at exit.
    static Pool& pool() noexcept
    {
        static Pool instances;
        return instances;
    }
};

} // namespace vnx::activity

/// getVersion, initialize and finalize of vnx_<Detector>_ (Prefix) for Class.
#define VNX_DETECTOR_EXPORT_LIFECYCLE(Prefix, Class)                                                         \
    int Prefix##_getVersion(void)                                                                            \
    {                                                                                                        \
        return ::vnx::activity::DetectorFamily<Class>::getVersion();                                         \
    }                                                                                                        \
    int Prefix##_initialize(Prefix##_Handle* handle, const Class::Config* config)                            \
    {                                                                                                        \
        return ::vnx::activity::DetectorFamily<Class>::initialize(handle, config);                           \
    }                                                                                                        \
    int Prefix##_finalize(Prefix##_Handle handle)                                                            \
    {                                                                                                        \
        return ::vnx::activity::DetectorFamily<Class>::finalize(handle);                                     \
    }

/// The three period calls of a member that reads the accelerometer only.
#define VNX_DETECTOR_EXPORT_PERIODS(Prefix, Class)                                                           \
    int Prefix##_enableOutputPeriodsAndDeriveInputPeriods(Prefix##_Handle handle, int32_t outputPeriod,      \
                                                          vnx_Mobile_VirtualSensorPeriods_s* periods)        \
    {                                                                                                        \
        return ::vnx::activity::DetectorFamily<Class>::enableOutputPeriodsAndDeriveInputPeriods(             \
            handle, outputPeriod, periods);                                                                  \
    }                                                                                                        \
    int Prefix##_setInputPeriods(Prefix##_Handle handle, const vnx_Mobile_VirtualSensorPeriods_s* periods)   \
    {                                                                                                        \
        return ::vnx::activity::DetectorFamily<Class>::setInputPeriods(handle, periods);                     \
    }                                                                                                        \
    int Prefix##_getEffectiveOutputPeriods(                                                                  \
        Prefix##_Handle handle, const vnx_Mobile_VirtualSensorPeriods_s* periods, int32_t* outputPeriod)     \
    {                                                                                                        \
        return ::vnx::activity::DetectorFamily<Class>::getEffectiveOutputPeriods(handle, periods,            \
                                                                                 outputPeriod);              \
    }

/// process on one fusion record.
#define VNX_DETECTOR_EXPORT_PROCESS(Prefix, Class)                                                           \
    int Prefix##_process(Prefix##_Handle handle, const vnx_Mobile_Output_s* in, vnx_Detector_Output_s* out,  \
                         uint8_t* flag)                                                                      \
    {                                                                                                        \
        return ::vnx::activity::DetectorFamily<Class>::process(handle, in, out, flag);                       \
    }

/// Every family function of a plain member except its defaults function.
#define VNX_DETECTOR_EXPORT_ALL(Prefix, Class)                                                               \
    VNX_DETECTOR_EXPORT_LIFECYCLE(Prefix, Class)                                                             \
    VNX_DETECTOR_EXPORT_PERIODS(Prefix, Class)                                                               \
    VNX_DETECTOR_EXPORT_PROCESS(Prefix, Class)
