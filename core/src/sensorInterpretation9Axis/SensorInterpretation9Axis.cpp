#include "sensorInterpretation9Axis/SensorInterpretation9Axis.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "calibration/dcdAcceptance.h"
#include "calibration/dcdData.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"
#include "sensorFusionModule/SensorFusionRecords.h"

using vnx::Fp32;
using vnx::NodeInterface;
using vnx::NodeManager;

namespace {

constexpr uint8_t kOutputTypes[] = {VNX_TYPE_SENSOR_INTERPRETATION_9AXIS};

// SensorFusion commands this module accepts without acting on them.
constexpr std::uint32_t kAcceptedFusionCodes[] = {5, 9};

/// Whole microseconds of a period in seconds, as the time stamps count them.
std::uint32_t wholeMicroseconds(float periodS)
{
    const float us = std::floor(periodS * 1000000.0f);
    if (!(us > 0.0f)) {
        return 0;
    }
    constexpr float kLimit = static_cast<float>(std::numeric_limits<std::uint32_t>::max());
    return us >= kLimit ? std::numeric_limits<std::uint32_t>::max() : static_cast<std::uint32_t>(us);
}

} // namespace

SensorInterpretation9Axis::SensorInterpretation9Axis()
{
    // The module's node is added by the factory after construction; until
    // then these wait in the orphan tree.
    const void* self = static_cast<vnx::ModuleConfigInterface*>(this);
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(self, &stateManagement_, NodeInterface::NODE_SUBNODE, "StateManagement");
    nodes.addNode(self, &interpret_, NodeInterface::NODE_SUBNODE, "Interpret");
    nodes.addNode(self, &zroFromStable_, NodeInterface::NODE_SUBNODE, "ZroFromStable");
    nodes.addNode(self, &cal_, NodeInterface::NODE_SUBNODE, "Cal");
    nodes.addNode(self, &magCal_, NodeInterface::NODE_SUBNODE, "MagCal");
    nodes.addNode(self, &accFilter_, NodeInterface::NODE_SUBNODE, "accFilt");
    nodes.addNode(self, &magFilter_, NodeInterface::NODE_SUBNODE, "magFilt");
}

SensorInterpretation9Axis::~SensorInterpretation9Axis()
{
    NodeManager& nodes = NodeManager::getInstance();
    for (const void* member :
         {static_cast<const void*>(&magFilter_), static_cast<const void*>(&accFilter_),
          static_cast<const void*>(&magCal_), static_cast<const void*>(&cal_),
          static_cast<const void*>(&zroFromStable_), static_cast<const void*>(&interpret_),
          static_cast<const void*>(&stateManagement_)}) {
        nodes.removeNode(member);
    }
}

int SensorInterpretation9Axis::setModuleListener(vnx::ModuleListenerInterface* listener)
{
    listener_ = listener;
    return VNX_STATUS_SUCCESS;
}

int SensorInterpretation9Axis::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_NOT_FOR_ME;
}

int SensorInterpretation9Axis::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

int SensorInterpretation9Axis::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (command->header.type) {
    case VNX_TYPE_SENSOR_INTERPRETATION_9AXIS:
        return VNX_STATUS_SUCCESS;
    case VNX_TYPE_SENSOR_FUSION: {
        // The code sits past the generic part: only a whole SensorFusion
        // Command is read.
        const auto* fusion = vnx_SensorFusion_dynamicDownCastConstCommand(command);
        if (fusion == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        if (fusion->code == VNX_SENSOR_FUSION_RESTART_MAG_CALIBRATION) {
            restartMagnetometerCalibration();
        }
        return VNX_STATUS_SUCCESS;
    }
    default:
        return VNX_STATUS_NOT_FOR_ME;
    }
}

int SensorInterpretation9Axis::executeSensorFusionCommand(std::uint32_t code)
{
    if (code == VNX_SENSOR_FUSION_RESTART_MAG_CALIBRATION) {
        restartMagnetometerCalibration();
        return VNX_STATUS_SUCCESS;
    }
    for (std::uint32_t accepted : kAcceptedFusionCodes) {
        if (code == accepted) {
            return VNX_STATUS_SUCCESS;
        }
    }
    return VNX_STATUS_NOT_FOR_ME;
}

void SensorInterpretation9Axis::restartMagnetometerCalibration()
{
    // Forgets the learned and the restored calibration alike.
    magCal_.init(cal_.output(), nullptr);
}

uint8_t SensorInterpretation9Axis::getType() const
{
    return VNX_TYPE_SENSOR_INTERPRETATION_9AXIS;
}

int SensorInterpretation9Axis::init(const vnx_scdData_s* scd, int&, const vnx_dcdData_s* dcd, int&)
{
    if (cal_.verifyAndInit(scd) != VNX_STATUS_SUCCESS) {
        initialised_ = false;
        return VNX_STATUS_INVALID_SCD;
    }
    initialised_ = true;
    const vnx::FixedPointCal::Output& cal = cal_.output();
    periodUs_ = wholeMicroseconds(cal.period);

    // Learned state counts only when it was learned with this SCD; the
    // block's own size word is all that is known of its length.
    const vnx::AcceptedDcd accepted = vnx::acceptDcd(dcd, SIZE_MAX, cal.scdCrc);
    const dcdAlg4MinFixedInnards_s* innards = accepted.innards();
    const dcdMagAmpCal_s* magPart = accepted.magnetometer();

    const Fp32 periodS(cal.period);
    stateManagement_.init();
    interpret_.init();
    zroFromStable_.init(cal, innards, true);
    // The estimator's stillness filters, its 60-second rotation mean and its
    // on-table decimation all run on the sensor periods; without them the
    // long-stillness mean would be the last sample alone.
    zroFromStable_.updatePeriods(periodS, periodS, periodS, periodS);
    magCal_.init(cal, magPart);
    integrator_.init();
    accFilter_.init();
    accDelayS_ = periodS;
    magFilter_.init();
    magDelayS_ = periodS;
    return accepted.status();
}

int SensorInterpretation9Axis::term()
{
    return VNX_STATUS_SUCCESS;
}

int SensorInterpretation9Axis::getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const
{
    if (!initialised_) {
        return VNX_STATUS_INVALID_SCD;
    }
    if (static_cast<long long>(dcdOffset) + VNX_DCD_ALG49AXISFIXED_SIZE > capacity) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    if (dcdOffset != 0 || dcd == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    // Built aside and copied out: the caller's block need not be aligned
    // for the words inside it.
    dcdAlg49AxisFixed_s block;
    dcdAlg49AxisFixedStart(&block);
    zroFromStable_.getDcd(&block.innards);
    magCal_.getDcd(&block.magAmpCal);
    dcdAlg49AxisFixedSeal(&block, cal_.output().scdCrc);
    std::memcpy(dcd, &block, sizeof block);
    dcdOffset = VNX_DCD_ALG49AXISFIXED_SIZE;
    return VNX_STATUS_SUCCESS;
}

int SensorInterpretation9Axis::getInputInterfaceCount() const
{
    return vnx::kNineAxisInterfaceCount;
}

int SensorInterpretation9Axis::getInputInterface(int index, size_t capacity, uint8_t* typeIds,
                                                 size_t& count) const
{
    if (index < 0 || index >= vnx::kNineAxisInterfaceCount) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(vnx::nineAxisInterfaceTypes(index), capacity, typeIds, count);
}

int SensorInterpretation9Axis::getOutputInterfaceCount() const
{
    return 1;
}

int SensorInterpretation9Axis::getOutputInterface(int index, size_t capacity, uint8_t* typeIds,
                                                  size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}
