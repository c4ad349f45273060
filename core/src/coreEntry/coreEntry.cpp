#include "coreEntry/coreEntry.h"

#include "common/coreLock.h"

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/NodeManager.h"
#include "common/coreStrings.h"
#include "common/properties.h"
#include "common/stringTable.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "deviceMotion/DeviceMotionRecords.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "gesture/LinearGestureRecords.h"
#include "gesture/CursorGestureRecords.h"
#include "gesture/MultistrokeGestureRecords.h"
#include "log/LogManager.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorFusionPerDevice/SensorFusionPerDeviceRecords.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "shakeDetector/ShakeDetectorRecords.h"
#include "standardCursor/StandardCursorRecords.h"
#include "testModule/TestModuleRecords.h"

namespace {

using FactoryStep = int (*)();

// Factories of the core module types, registered in this order. Modules of the
// core that join later take their place in both lists.
constexpr FactoryStep kRegisterOrder[] = {
    vnx_DeviceSupport_moduleFactoryRegister,
    vnx_DeviceSupport6AG_moduleFactoryRegister,
    vnx_DeviceSupport9AGM_moduleFactoryRegister,
    vnx_ActivityClassification_moduleFactoryRegister,
    vnx_ButtonActivity_moduleFactoryRegister,
    vnx_CursorGesture_moduleFactoryRegister,
    vnx_MultistrokeGesture_moduleFactoryRegister,
    vnx_DeviceMotion_moduleFactoryRegister,
    vnx_DeviceMotionFloat_moduleFactoryRegister,
    vnx_ExtendedCursor_moduleFactoryRegister,
    vnx_LinearGesture_moduleFactoryRegister,
    vnx_SensorFusion_moduleFactoryRegister,
    vnx_SensorFusionPerDevice_moduleFactoryRegister,
    vnx_SensorInterpretation_moduleFactoryRegister,
    vnx_SensorInterpretation9Axis_moduleFactoryRegister,
    vnx_ShakeDetector_moduleFactoryRegister,
    vnx_StandardCursor_moduleFactoryRegister,
    vnx_TestModule_moduleFactoryRegister,
};

// Unregistered in this order: the device input records last.
constexpr FactoryStep kUnregisterOrder[] = {
    vnx_ActivityClassification_moduleFactoryUnregister,
    vnx_ButtonActivity_moduleFactoryUnregister,
    vnx_CursorGesture_moduleFactoryUnregister,
    vnx_MultistrokeGesture_moduleFactoryUnregister,
    vnx_DeviceMotion_moduleFactoryUnregister,
    vnx_DeviceMotionFloat_moduleFactoryUnregister,
    vnx_ExtendedCursor_moduleFactoryUnregister,
    vnx_LinearGesture_moduleFactoryUnregister,
    vnx_SensorFusion_moduleFactoryUnregister,
    vnx_SensorFusionPerDevice_moduleFactoryUnregister,
    vnx_SensorInterpretation_moduleFactoryUnregister,
    vnx_SensorInterpretation9Axis_moduleFactoryUnregister,
    vnx_ShakeDetector_moduleFactoryUnregister,
    vnx_StandardCursor_moduleFactoryUnregister,
    vnx_TestModule_moduleFactoryUnregister,
    vnx_DeviceSupport_moduleFactoryUnregister,
    vnx_DeviceSupport6AG_moduleFactoryUnregister,
    vnx_DeviceSupport9AGM_moduleFactoryUnregister,
};

// Each step's own exceptions are caught by the step; this keeps anything else
// (a failing service start) inside the library as well.
template <class Body> int guarded(Body&& body) noexcept
{
    try {
        body();
    } catch (...) {
    }
    return 1;
}

} // namespace

extern "C" int vnx_core_initialize(void)
{
    vnx::CoreLock lock;
    return guarded([] {
        vnx_properties_initialize();
        vnx_StringTable_initialize();
        vnx_core_registerStrings();
        vnx::NodeManager::getInstance();
        vnx::log::LogManager::getInstance();
        for (FactoryStep step : kRegisterOrder) {
            step();
        }
    });
}

extern "C" int vnx_core_finalize(void)
{
    vnx::CoreLock lock;
    return guarded([] {
        for (FactoryStep step : kUnregisterOrder) {
            step();
        }
        vnx::NodeManager::getInstance().reset();
        vnx::log::LogManager::getInstance().reset();
        vnx_core_unregisterStrings();
        vnx_StringTable_finalize();
    });
}
