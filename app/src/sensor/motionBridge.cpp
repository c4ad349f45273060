#include "sensor/motionBridge.h"

#include "device/hidCallback.h"
#include "device/presenterCodes.h"
#include "device/presenterState.h"
#include "sensor/defaultScd.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/valueEncoding.h"
#include "deviceDomain/DeviceRecords.h"
#include "extCommon/extModuleType.h"
#include "extendedBundle/ExtendedBundleRecords.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "extendedPipeBundle/ExtendedPipeBundleRecords.h"
#include "manualRecords/ManualDeviceRecords.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Pointing mode 3 hides the pointer off the display; curve 3 is the
// presenter's ballistics.
constexpr uint32_t kCurveSelector = 3;
constexpr uint32_t kPointingMode = 3;
// ActivityClassification statuses the application asks for.
constexpr uint8_t kActivityStatusEnable = 3;

uint8_t byteAt(const hidPacket& packet, size_t index)
{
    return reinterpret_cast<const uint8_t*>(&packet)[index];
}

// The little-endian 16-bit word at packet bytes index, index + 1.
uint16_t wordAt(const hidPacket& packet, size_t index)
{
    return static_cast<uint16_t>(byteAt(packet, index) | (byteAt(packet, index + 1) << 8));
}

int16_t signedWordAt(const hidPacket& packet, size_t index)
{
    return static_cast<int16_t>(wordAt(packet, index));
}

// Both records of a sample from the packet; `sampleNumber` goes to byte 16.
void fillSample(vnx_DeviceSupport6AG_Output_s& record, const hidPacket& packet, int32_t sampleNumber)
{
    record.sampleNumber = sampleNumber;
    record.temperature = signedWordAt(packet, 6);
    for (size_t axis = 0; axis < 3; ++axis) {
        record.accelerometer[axis] = signedWordAt(packet, 14 + 2 * axis);
        record.gyroscope[axis] = signedWordAt(packet, 8 + 2 * axis);
    }
    record.gyroscopeGlitch = 0;
}

// The event every report carries, with the presenter state as it stands.
PresenterEvent presenterEvent(int32_t dx, int32_t dy, uint8_t hotState, uint8_t pointerPressed)
{
    return PresenterEvent{1, presenterPairState.load(relaxed), dx, dy, hotState, pointerPressed,
                          presenterInfoWord.load(relaxed)};
}

int report(const PresenterEvent& event)
{
    return reportPresenterEvent(event) ? 0 : 1;
}

void takeIdentity(MotionBridgeState& bridge, const hidPacket& packet)
{
    bridge.deviceIdentity[0] = packet.deviceNumber;
    bridge.deviceIdentitySeen = 1;
    bridge.deviceIdentityPending = 1;
}

void takeFirstIdentity(MotionBridgeState& bridge, const hidPacket& packet)
{
    if (bridge.deviceIdentitySeen == 0) {
        takeIdentity(bridge, packet);
    }
}

int dispatchMotion(MotionBridgeState& bridge, const hidPacket& packet, vnx_DomainHandle_s* domain,
                   vnx_DeviceHandle_s* device)
{
    if (device == nullptr) {
        takeFirstIdentity(bridge, packet);
        return 0;
    }
    if (bridge.cursorResetPending != 0) {
        resetCursorBounds(device);
        sendCursorReset(device);
        bridge.cursorResetPending = 0;
        return 0;
    }
    sendSample(device, packet);
    vnx_Domain_process(domain);
    return 0;
}

int dispatchButton(MotionBridgeState& bridge, const hidPacket& packet, vnx_DeviceHandle_s* device)
{
    switch (byteAt(packet, 4)) {
    case presenterButtonPointerDown:
        hotButtonState.store(0, relaxed);
        pointerButtonDown.store(1, relaxed);
        if (device != nullptr) {
            resetCursorBounds(device);
            sendCursorReset(device);
        }
        bridge.cursorResetPending = device == nullptr ? 1 : 0;
        return report(presenterEvent(0, 0, 0, 1));
    case presenterButtonPointerUp:
        pointerButtonDown.store(0, relaxed);
        hotButtonState.store(0, relaxed);
        return report(presenterEvent(0, 0, 0, 0));
    case presenterButtonHotDown:
        pointerButtonDown.store(0, relaxed);
        hotButtonState.store(2, relaxed);
        return report(presenterEvent(0, 0, 2, 0));
    case presenterButtonHotUp:
        hotButtonState.store(0, relaxed);
        pointerButtonDown.store(0, relaxed);
        return report(presenterEvent(0, 0, 0, 0));
    case presenterButtonHotClick: {
        hotButtonState.store(1, relaxed);
        const int result = report(presenterEvent(0, 0, 1, 0));
        hotButtonState.store(0, relaxed);
        return result;
    }
    default:
        return 1;
    }
}

int dispatchStatus(MotionBridgeState& bridge, const hidPacket& packet)
{
    switch (byteAt(packet, 4)) {
    case receiverStatusPaired:
        presenterPairState.store(1, relaxed);
        break;
    case receiverStatusIdentity:
        takeIdentity(bridge, packet);
        return 0;
    case receiverStatusBattery:
        presenterInfoWord.store(byteAt(packet, 6), relaxed);
        break;
    case receiverStatusFirmware: {
        uint64_t info = 0;
        for (size_t i = 0; i < 8; ++i) {
            info |= static_cast<uint64_t>(byteAt(packet, 6 + i)) << (8 * i);
        }
        presenterInfoWord.store(info, relaxed);
        break;
    }
    default:
        return 1;
    }
    return report(presenterEvent(0, 0, 0, 0));
}

} // namespace

MotionBridgeState& motionBridge()
{
    static MotionBridgeState state;
    return state;
}

void resetMotionBridge()
{
    motionBridge() = MotionBridgeState{};
}

int dispatchPacket(const hidPacket& packet, vnx_DomainHandle_s* domain, vnx_DeviceHandle_s* device)
{
    MotionBridgeState& bridge = motionBridge();
    if (packet.kind == hidPacketKindButton || packet.kind == hidPacketKindStatus) {
        takeFirstIdentity(bridge, packet);
    }
    switch (packet.kind) {
    case hidPacketKindMotion:
        return dispatchMotion(bridge, packet, domain, device);
    case hidPacketKindButton:
        return dispatchButton(bridge, packet, device);
    case hidPacketKindStatus:
        return dispatchStatus(bridge, packet);
    default:
        return 1;
    }
}

void makeDeviceIdentity(uint8_t* identity, size_t size, uint8_t* scd)
{
    for (uint8_t i = 1; i < 8; ++i) {
        identity[i] = static_cast<uint8_t>(i + 1);
    }
    std::memset(scd, 0, size);
    std::memcpy(scd, kDefaultScd.data(), std::min(size, kDefaultScd.size()));
}

vnx_DeviceHandle_s* createManualDevice(vnx_DomainHandle_s* domain, const uint8_t* identity,
                                       const vnx_scdData_s* scd)
{
    vnx_ManualDevice_Config_s config;
    vnx_ManualDevice_initConfig(&config);
    if (scd == nullptr || identity == nullptr) {
        return nullptr;
    }
    uint16_t size = 0;
    std::memcpy(&size, scd, sizeof size);
    // A block that does not fit the Config would be cut and refused anyway.
    if (size >= sizeof config.scd) {
        return nullptr;
    }
    std::memcpy(config.id, identity, sizeof config.id);
    std::memcpy(config.scd.bytes, scd, size);
    return vnx_Domain_createDevice(domain, vnx_ManualDevice_upCastConfig(&config));
}

vnx_DeviceHandle_s* makePendingDevice(vnx_DomainHandle_s* domain)
{
    MotionBridgeState& bridge = motionBridge();
    uint8_t scd[kDefaultScdSize];
    makeDeviceIdentity(bridge.deviceIdentity, sizeof scd, scd);
    vnx_DeviceHandle_s* device =
        createManualDevice(domain, bridge.deviceIdentity, reinterpret_cast<const vnx_scdData_s*>(scd));
    bridge.currentDevice = device;
    bridge.deviceIdentityPending = 0;
    return device;
}

void onDomainStatus(vnx_DomainHandle_s*, const vnx_StructStatus_s*, void*) {}

void onDeviceAdded(vnx_DeviceHandle_s* device, void*)
{
    vnx_Device_Config_s config;
    vnx_Device_initConfig(&config);
    if (vnx_Device_getConfig(device, vnx_Device_upCastConfig(&config)) < 0) {
        return;
    }
    config.typeId = VNX_TYPE_EXTENDED_PIPE_BUNDLE;
    config.sampleBaseWidth = 8;
    config.logRawInput = 0;
    config.logOutput = 0;
    if (vnx_Device_setConfig(device, vnx_Device_upCastConfig(&config)) < 0) {
        return;
    }
    if (vnx_Device_open(device) < 0) {
        return;
    }
    vnx_Device_registerDeviceListener(device, isActivityStatus, onModuleReady, nullptr, onDeviceOutput, nullptr);
}

void onDeviceRemoved(vnx_DeviceHandle_s* device, void*)
{
    vnx_Device_unregisterDeviceListener(device, isActivityStatus, onModuleReady, nullptr, onDeviceOutput,
                                        nullptr);
}

void isActivityStatus(vnx_DeviceHandle_s*, const vnx_StructStatus_s* status, void*)
{
    // The application takes nothing from activity statuses.
    if (status != nullptr) {
        (void)vnx_StructStatus_isA(&status->header, VNX_TYPE_ACTIVITY_CLASSIFICATION);
    }
}

void onModuleReady(vnx_DeviceHandle_s* device, void*)
{
    if (configureCursor(device) < 0 || setCursorConfigFloat(device, 1.0f) < 0 ||
        sendCursorBounds(device, 0, 0, static_cast<int32_t>(kCursorExtentX),
                         static_cast<int32_t>(kCursorExtentY)) < 0) {
        return;
    }
    vnx_ActivityClassification_Config_s activity;
    vnx_ActivityClassification_initConfig(&activity);
    if (vnx_Device_getConfig(device, vnx_ActivityClassification_upCastConfig(&activity)) < 0) {
        return;
    }
    activity.statusEnable = kActivityStatusEnable;
    vnx_Device_setConfig(device, vnx_ActivityClassification_upCastConfig(&activity));
}

void onDeviceOutput(vnx_DeviceHandle_s*, size_t count, const vnx_StructOutput_s** outputs,
                    const vnx_StructFormat_s**, int, void*)
{
    if (outputs == nullptr) {
        return;
    }
    MotionBridgeState& bridge = motionBridge();
    for (size_t i = 0; i < count; ++i) {
        const vnx_StructOutput_s* output = outputs[i];
        // x and y lie at bytes 20-27: a shorter record does not hold them.
        if (output == nullptr || output->header.type != VNX_TYPE_EXTENDED_CURSOR ||
            output->header.size < offsetof(vnx_ExtendedCursor_Output_s, y) + sizeof(int32_t)) {
            continue;
        }
        int32_t x = 0;
        int32_t y = 0;
        const auto* bytes = reinterpret_cast<const uint8_t*>(output);
        std::memcpy(&x, bytes + offsetof(vnx_ExtendedCursor_Output_s, x), sizeof x);
        std::memcpy(&y, bytes + offsetof(vnx_ExtendedCursor_Output_s, y), sizeof y);
        if (x == bridge.lastCursorX && y == bridge.lastCursorY) {
            continue;
        }
        const auto dx = static_cast<int32_t>(static_cast<uint32_t>(x) - static_cast<uint32_t>(bridge.lastCursorX));
        const auto dy = static_cast<int32_t>(static_cast<uint32_t>(bridge.lastCursorY) - static_cast<uint32_t>(y));
        bridge.lastCursorX = x;
        bridge.lastCursorY = y;
        reportPresenterEvent(presenterEvent(dx, dy, hotButtonState.load(relaxed), pointerButtonDown.load(relaxed)));
    }
}

int sendSample(vnx_DeviceHandle_s* device, const hidPacket& packet)
{
    MotionBridgeState& bridge = motionBridge();
    if (bridge.sampleNumberDevice != device) {
        bridge.sampleNumberDevice = device;
        bridge.sampleNumbers.restart();
    }
    vnx_DeviceSupport6AG_Output_s motion;
    vnx_DeviceSupport6AG_Format_s motionFormat;
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_Format_s buttonsFormat;
    vnx_DeviceSupport6AG_initOutput(&motion);
    vnx_DeviceSupport6AG_initFormat(&motionFormat);
    vnx_ButtonActivity_initOutput(&buttons);
    vnx_ButtonActivity_initFormat(&buttonsFormat);
    fillSample(motion, packet, bridge.sampleNumbers.next(wordAt(packet, 4)));
    // The presenter's buttons never reach the engine.
    buttons.activity = VNX_BUTTON_ACTIVITY_DERIVE;
    buttons.buttons = 0;
    buttons.wheel = 0;
    const vnx_StructOutput_s* outputs[] = {&motion.output, &buttons.output};
    const vnx_StructFormat_s* formats[] = {&motionFormat, &buttonsFormat};
    return vnx_Device_sendInput(device, 2, outputs, formats);
}

int configureCursor(vnx_DeviceHandle_s* device)
{
    vnx_ExtendedCursor_Config_s config;
    vnx_ExtendedCursor_initConfig(&config);
    resetCursorOrigin();
    int result = vnx_Device_getConfig(device, vnx_ExtendedCursor_upCastConfig(&config));
    if (result < 0) {
        return result;
    }
    // The angle the display spans seen from the presenter: its diagonal
    // direction's share of a 90-degree field at a distance of 138 units.
    const double diagonal = std::atan(static_cast<double>(kCursorExtentX) / kCursorExtentY);
    config.viewingAngle = static_cast<float>(2.0 * std::atan2(std::sin(diagonal) * 90.0 * 0.5, 138.0));
    config.curveSelector = kCurveSelector;
    config.pointingMode = kPointingMode;
    MotionBridgeState& bridge = motionBridge();
    result = sendCursorBounds(device, bridge.cursorLeft, bridge.cursorTop, bridge.cursorRight, bridge.cursorBottom);
    if (result < 0) {
        return result;
    }
    return vnx_Device_setConfig(device, vnx_ExtendedCursor_upCastConfig(&config));
}

int setCursorConfigFloat(vnx_DeviceHandle_s* device, float value)
{
    vnx_ExtendedCursor_Config_s config;
    vnx_ExtendedCursor_initConfig(&config);
    const int result = vnx_Device_getConfig(device, vnx_ExtendedCursor_upCastConfig(&config));
    if (result < 0) {
        return result;
    }
    vnx_Number32_u word{};
    vnx_setFloat32(value, 16, &word);
    config.standardCursor.pointerScale = word.fixed;
    return vnx_Device_setConfig(device, vnx_ExtendedCursor_upCastConfig(&config));
}

int sendCursorBounds(vnx_DeviceHandle_s* device, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    vnx_ExtendedCursor_Command_s command;
    vnx_ExtendedCursor_initCommand(&command);
    command.code = ZEPHRA_CURSOR_COMMAND_SET_BOUNDS;
    command.data.setBounds.osdBounds = {left, top, right, bottom};
    command.data.setBounds.pointerLimits = {left, top, right, bottom};
    return vnx_Device_sendCommand(device, vnx_ExtendedCursor_upCastCommand(&command));
}

int sendCursorReset(vnx_DeviceHandle_s* device)
{
    vnx_ExtendedCursor_Command_s command;
    vnx_ExtendedCursor_initCommand(&command);
    command.code = ZEPHRA_CURSOR_COMMAND_RECENTER;
    return vnx_Device_sendCommand(device, vnx_ExtendedCursor_upCastCommand(&command));
}

int resetCursorBounds(vnx_DeviceHandle_s* device)
{
    resetCursorOrigin();
    const MotionBridgeState& bridge = motionBridge();
    return sendCursorBounds(device, bridge.cursorLeft, bridge.cursorTop, bridge.cursorRight, bridge.cursorBottom);
}

void resetCursorOrigin()
{
    MotionBridgeState& bridge = motionBridge();
    bridge.cursorLeft = 0;
    bridge.cursorTop = 0;
    bridge.cursorRight = static_cast<int32_t>(kCursorExtentX);
    bridge.cursorBottom = static_cast<int32_t>(kCursorExtentY);
}

int reconfigureCursor(int)
{
    configureCursor(motionBridge().currentDevice);
    return 0;
}

void onDeviceEvent(vnx_DeviceHandle_s* device, int value)
{
    if (value == 2) {
        configureCursor(device);
    }
}

const char* getDeviceName(vnx_DeviceHandle_s* device)
{
    static char name[40];
    name[0] = '\0';
    vnx_Device_getName(device, sizeof name, name);
    return name;
}

int setBundleConfigField(vnx_DeviceHandle_s* device, uint32_t value)
{
    vnx_ExtendedBundle_Config_s config;
    vnx_ExtendedBundle_initConfig(&config);
    const int result = vnx_Device_getConfig(device, vnx_ExtendedBundle_upCastConfig(&config));
    if (result < 0) {
        return result;
    }
    config.cursorWakeOnShakeConfig.mode = value;
    return vnx_Device_setConfig(device, vnx_ExtendedBundle_upCastConfig(&config));
}

int setPipeBundleConfigField(vnx_DeviceHandle_s* device, uint8_t value)
{
    vnx_ExtendedPipeBundle_Config_s config;
    vnx_ExtendedPipeBundle_initConfig(&config);
    const int result = vnx_Device_getConfig(device, vnx_ExtendedPipeBundle_upCastConfig(&config));
    if (result < 0) {
        return result;
    }
    config.motionPipeEnabled = value;
    return vnx_Device_setConfig(device, vnx_ExtendedPipeBundle_upCastConfig(&config));
}

void unpackSample(vnx_DeviceSupport6AG_Output_s* record, const hidPacket& packet)
{
    if (record != nullptr) {
        fillSample(*record, packet, signedWordAt(packet, 4));
    }
}

int32_t swapBytes16(uint16_t value)
{
    return static_cast<int16_t>(static_cast<uint16_t>((value >> 8) | (value << 8)));
}

int initSampleTime(vnx_StructConfig_s* record)
{
    if (record == nullptr) {
        return 0;
    }
    record->result = 0x80000000u;
    record->extra = 0;
    return 1;
}
