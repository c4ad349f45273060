#include "common/moduleType.h"

namespace {

constexpr unsigned kFirstId = VNX_TYPE_DEVICE_SUPPORT;
constexpr unsigned kLastId = VNX_TYPE_MULTISTROKE_GESTURE;

// Indexed by id - kFirstId.
const char* const kTypeNames[] = {
    "DeviceSupport",
    "SensorInterpretation",
    "SensorFusion",
    "ActivityClassification",
    "ButtonActivity",
    "StandardCursor",
    "TestModule",
    "StandardCursorSixteen",
    "ExtendedCursor",
    "LinearGesture",
    "CursorGesture",
    "DeviceMotion",
    "DeviceMotionFloat",
    "ShakeDetector",
    "SensorInterpretationSixteen",
    "SensorInterpretation9Axis",
    "SensorFusion9Axis",
    nullptr, // 18
    "SensorFusionExperimental",
    "SensorFusionNominal",
    "SensorFusionPerDevice",
    "DeviceSupport6AG",
    "DeviceSupport9AGM",
    "MultistrokeGesture",
};
static_assert(sizeof(kTypeNames) / sizeof(kTypeNames[0]) == kLastId - kFirstId + 1);

} // namespace

extern "C" const char* vnx_core_typeToString(uint8_t id)
{
    if (id < kFirstId || id > kLastId) {
        return nullptr;
    }
    return kTypeNames[id - kFirstId];
}
