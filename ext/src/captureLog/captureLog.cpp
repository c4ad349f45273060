#include "captureLog/captureLog.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string>

#include "bundleCommon/bundleVersion.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/properties.h"
#include "common/stringTable.h"
#include "common/timeSource.h"
#include "common/valueEncoding.h"
#include "common/version.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "extCommon/extVersion.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace vnx::capture {

namespace {

using Column = DsfWriter::ColumnType_e;
using Unit = DsfWriter::Units_e;

// Raw-input channels, numbered in the order they are defined.
enum RawChannel : int
{
    RAW_ACCELEROMETER = 1,
    RAW_GYROSCOPE = 2,
    RAW_MAGNETOMETER = 3,
    RAW_TEMPERATURE = 4,
    RAW_BUTTONS = 5,
    RAW_WHEEL = 6,
    RAW_TICK_INPUT = 7,
    RAW_TICK_FUSION = 8,
};

struct ChannelDefinition
{
    Column type;
    Unit unit;
};

constexpr ChannelDefinition kRawChannels[] = {
    {DsfWriter::LIN_ACC_GRAVITY, DsfWriter::UNIT_ADC},
    {DsfWriter::ANG_VEL, DsfWriter::UNIT_ADC},
    {DsfWriter::MAG, DsfWriter::UNIT_ADC},
    {DsfWriter::TEMPERATURE, DsfWriter::UNIT_ADC},
    {DsfWriter::BUTTON_STATE, DsfWriter::UNIT_NONE},
    {DsfWriter::DELTA_WHEEL, DsfWriter::UNIT_NONE},
    {DsfWriter::TICK_INPUT, DsfWriter::UNIT_NONE},
    {DsfWriter::TICK_FUSION, DsfWriter::UNIT_NONE},
};

constexpr ChannelDefinition kOutputColumns[] = {
    {DsfWriter::TIME, DsfWriter::UNIT_S},
    {DsfWriter::SAMPLE_ID, DsfWriter::UNIT_SAMPLES},
    {DsfWriter::LIN_ACC_GRAVITY, DsfWriter::UNIT_M_PER_S2},
    {DsfWriter::LIN_ACC, DsfWriter::UNIT_M_PER_S2},
    {DsfWriter::ANG_VEL, DsfWriter::UNIT_RAD_PER_S},
    {DsfWriter::MAG, DsfWriter::UNIT_MICROTESLA},
    {DsfWriter::ANG_POS_GLOBAL, DsfWriter::UNIT_QUATERNION},
    {DsfWriter::CURSOR_POS, DsfWriter::UNIT_PX},
    {DsfWriter::CURSOR_OFFSCREEN_DISTANCE, DsfWriter::UNIT_PX},
    {DsfWriter::CURSOR_VEL, DsfWriter::UNIT_MICKEYS},
    {DsfWriter::POINTER_STATE, DsfWriter::UNIT_NONE},
    {DsfWriter::BUTTON_STATE, DsfWriter::UNIT_NONE},
    {DsfWriter::DELTA_WHEEL, DsfWriter::UNIT_NONE},
};

// Names of the bound properties, in the order of the SetBounds data.
constexpr const char* kBoundNames[] = {
    "device.command.ExtendedCursor.SetBounds.osdBounds.x",
    "device.command.ExtendedCursor.SetBounds.osdBounds.y",
    "device.command.ExtendedCursor.SetBounds.osdBounds.width",
    "device.command.ExtendedCursor.SetBounds.osdBounds.height",
    "device.command.ExtendedCursor.SetBounds.pointerLimits.x",
    "device.command.ExtendedCursor.SetBounds.pointerLimits.y",
    "device.command.ExtendedCursor.SetBounds.pointerLimits.width",
    "device.command.ExtendedCursor.SetBounds.pointerLimits.height",
};

// Largest SCD and DCD a host keeps.
constexpr uint16_t kMaxScdSize = 272;
constexpr uint16_t kMaxDcdSize = 260;
// Names tried after the first one is taken ("-1" ... before ".dsf").
constexpr unsigned kMaxNameSuffix = 999;

double secondsSince(int64_t startNs)
{
    return static_cast<double>(static_cast<int64_t>(vnx_time_ns()) - startNs) * 1e-9;
}

// The record of `type` among the first n, at least as large as T; its index
// in `index`.
template <class T, class Record>
const T* findRecord(size_t n, const Record* const* records, uint8_t type, size_t* index = nullptr)
{
    for (size_t i = 0; records != nullptr && i < n; ++i) {
        const Record* record = records[i];
        if (record != nullptr && record->header.type == type && record->header.size >= sizeof(T)) {
            if (index != nullptr) {
                *index = i;
            }
            return reinterpret_cast<const T*>(record);
        }
    }
    return nullptr;
}

// The Format beside output `index`, when it is a T of `type`.
template <class T> const T* formatAt(size_t index, const vnx_StructFormat_s* const* formats, uint8_t type)
{
    if (formats == nullptr) {
        return nullptr;
    }
    const vnx_StructFormat_s* format = formats[index];
    if (format == nullptr || format->header.type != type || format->header.size < sizeof(T)) {
        return nullptr;
    }
    return reinterpret_cast<const T*>(format);
}

struct OpenedFile
{
    std::tm local{};
    char started[32] = "";
};

// Makes the next free file name of the log and opens it exclusively: a log
// re-created within the same second gets "-1", "-2", ... and never replaces
// the file just closed.
bool openNewFile(DsfWriter& writer, const log::Logger& log, const char* deviceName, const char* suffix,
                 OpenedFile& opened)
{
    writer.close();
    const std::time_t now = std::time(nullptr);
    if (localtime_r(&now, &opened.local) != nullptr) {
        std::strftime(opened.started, sizeof opened.started, "%Y-%m-%d-%H%M%S", &opened.local);
    }
    std::string name = deviceName != nullptr ? deviceName : "";
    std::replace(name.begin(), name.end(), ' ', '_');
    const std::string stem = std::string(vnx_properties_getAsString("LOGGING_DIR", ".")) + "/" +
                             opened.started + "-" + name + "-" + suffix;
    for (unsigned attempt = 0; attempt <= kMaxNameSuffix; ++attempt) {
        const std::string path = attempt == 0 ? stem + ".dsf" : stem + "-" + std::to_string(attempt) + ".dsf";
        if (path.size() > kMaxPathLength) {
            break;
        }
        const int result = writer.openNew(path.c_str(), kStreamBufferSize);
        if (result == 0) {
            VNX_LOGF(log, log::NOTICE, "Logging to: %s", path.c_str());
            return true;
        }
        if (result != -3) {
            break;
        }
    }
    VNX_LOGF(log, log::WARN, "Error creating log file: check LOGGING_DIR property");
    return false;
}

int clampToInt(uint64_t value)
{
    return value > static_cast<uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

void writeCommonHeader(DsfWriter& writer, const Subject& subject, const OpenedFile& opened)
{
    writer.setProperty("logVersion", "v1.2");
    writer.setProperty("info.core.version", vnx_core_get_version());
    writer.setProperty("info.bundle.version", vnx_bundle_get_version());
    writer.setProperty("info.ext.version", vnx_ext_get_version());
    writer.setProperty("info.bundle", vnx_typeToString(subject.moduleType));
    vnx_Device_Config_s defaults;
    const vnx_Device_Config_s* config = subject.config;
    if (config == nullptr) {
        vnx_Device_initConfig(&defaults);
        config = &defaults;
    }
    writer.setProperty("device.typeId", static_cast<int>(config->typeId));
    writer.setProperty("device.inputId", static_cast<int>(config->inputId));
    writer.setProperty("device.outputId", static_cast<int>(config->outputId));
    writer.setProperty("device.sampleBaseWidth", static_cast<int>(config->sampleBaseWidth));
    writer.setProperty("device.maxBufferedSamplesToProcess", clampToInt(config->maxBufferedSamplesToProcess));
    writer.setProperty("info.device", subject.deviceName != nullptr ? subject.deviceName : "");
    writer.setProperty("info.started", opened.started);
}

// The three words of a SensorFusion group as reals (0 when absent).
struct Triple
{
    double x, y, z;
};

Triple group(const vnx_Number32_u* words, int8_t q)
{
    float values[3];
    for (int i = 0; i < 3; ++i) {
        vnx_getFloat32WithDefault(words[i], q, &values[i], 0.0f);
    }
    return {values[0], values[1], values[2]};
}

} // namespace

bool openRawInputLog(DsfWriter& writer, const log::Logger& log, const Subject& subject,
                     const vnx_scdData_s* scd, const vnx_dcdData_s* dcd,
                     const vnx_ExtendedCursor_SetBoundsData_s* bounds, uint32_t periodUs)
{
    OpenedFile opened;
    if (!openNewFile(writer, log, subject.deviceName, "rawInput", opened)) {
        return false;
    }
    writeCommonHeader(writer, subject, opened);
    if (scd != nullptr) {
        writer.setProperty("scd", reinterpret_cast<const unsigned char*>(scd),
                           std::min(scd->size, kMaxScdSize));
    }
    if (dcd != nullptr) {
        writer.setProperty("dcd", reinterpret_cast<const unsigned char*>(dcd),
                           std::min(dcd->size, kMaxDcdSize));
    }
    if (bounds != nullptr) {
        logBoundsData(writer, *bounds);
    }
    for (const ChannelDefinition& channel : kRawChannels) {
        writer.addChannel(channel.type, channel.unit, true);
    }
    const double periodS = static_cast<double>(periodUs) * 1e-6;
    for (int channel = RAW_ACCELEROMETER; channel <= RAW_TICK_FUSION; ++channel) {
        writer.reportEvent(channel, 0.0, "period", periodS, periodS);
    }
    return true;
}

bool openOutputLog(DsfWriter& writer, const log::Logger& log, const Subject& subject)
{
    OpenedFile opened;
    if (!openNewFile(writer, log, subject.deviceName, "Output", opened)) {
        return false;
    }
    writeCommonHeader(writer, subject, opened);
    int channel = -1;
    writer.addMultiColumnChannel(&channel);
    for (const ChannelDefinition& column : kOutputColumns) {
        writer.addColumn(column.type, column.unit, nullptr);
    }
    writer.addMultiColumnChannelEnd();
    return true;
}

void logRawInput(DsfWriter& writer, int64_t startNs, size_t n, const vnx_StructOutput_s* const* outputs,
                 const vnx_StructFormat_s* const* formats, std::optional<uint32_t> sampleNumber)
{
    if (!writer.isOpen()) {
        return;
    }
    const double time = secondsSince(startNs);
    if (const auto* six =
            findRecord<vnx_DeviceSupport6AG_Output_s>(n, outputs, VNX_TYPE_DEVICE_SUPPORT_6AG)) {
        const int id = static_cast<int>(static_cast<uint32_t>(six->sampleNumber));
        writer.reportChannel(RAW_ACCELEROMETER, time, six->accelerometer[0], six->accelerometer[1],
                             six->accelerometer[2], true, id);
        writer.reportChannel(RAW_GYROSCOPE, time, six->gyroscope[0], six->gyroscope[1], six->gyroscope[2],
                             true, id);
        writer.reportChannel(RAW_TEMPERATURE, time, static_cast<int>(six->temperature), true, id);
    } else if (const auto* nine =
                   findRecord<vnx_DeviceSupport9AGM_Output_s>(n, outputs, VNX_TYPE_DEVICE_SUPPORT_9AGM)) {
        const int id = static_cast<int>(static_cast<uint32_t>(nine->sampleNumber));
        writer.reportChannel(RAW_ACCELEROMETER, time, nine->accelerometer[0], nine->accelerometer[1],
                             nine->accelerometer[2], true, id);
        writer.reportChannel(RAW_GYROSCOPE, time, nine->gyroscope[0], nine->gyroscope[1], nine->gyroscope[2],
                             true, id);
        writer.reportChannel(RAW_MAGNETOMETER, time, nine->magnetometer[0], nine->magnetometer[1],
                             nine->magnetometer[2], true, id);
        writer.reportChannel(RAW_TEMPERATURE, time, static_cast<int>(nine->temperature), true, id);
    } else {
        for (size_t i = 0; outputs != nullptr && i < n; ++i) {
            const vnx_StructOutput_s* record = outputs[i];
            if (record == nullptr || record->header.type != VNX_TYPE_DEVICE_SUPPORT ||
                record->header.size < sizeof(vnx_DeviceSupport_Output_s)) {
                continue;
            }
            const auto* sensor = reinterpret_cast<const vnx_DeviceSupport_Output_s*>(record);
            const auto* format = formatAt<vnx_DeviceSupport_Format_s>(i, formats, VNX_TYPE_DEVICE_SUPPORT);
            const int id = format != nullptr ? static_cast<int>(format->sampleNumber) : 0;
            int channel = 0;
            switch (sensor->sensor) {
            case 1:
                channel = RAW_ACCELEROMETER;
                break;
            case 2:
                channel = RAW_GYROSCOPE;
                break;
            case 3:
                channel = RAW_MAGNETOMETER;
                break;
            default:
                continue;
            }
            writer.reportChannel(channel, time, sensor->x, sensor->y, sensor->z, true, id);
            if (channel == RAW_GYROSCOPE && format != nullptr) {
                writer.reportChannel(RAW_TEMPERATURE, time, static_cast<int>(format->temperature), true, id);
            }
        }
    }
    const int batchId = static_cast<int>(sampleNumber.value_or(0));
    if (const auto* buttons = findRecord<vnx_ButtonActivity_Output_s>(n, outputs, VNX_TYPE_BUTTON_ACTIVITY)) {
        writer.reportChannel(RAW_BUTTONS, time, static_cast<int>(buttons->buttons), true, batchId);
        writer.reportChannel(RAW_WHEEL, time, static_cast<int>(buttons->wheel), true, batchId);
    }
    writer.reportChannel(RAW_TICK_INPUT, time, 1, true, batchId);
}

void logFusionTick(DsfWriter& writer, int64_t startNs, uint32_t sampleNumber)
{
    if (writer.isOpen()) {
        writer.reportChannel(RAW_TICK_FUSION, secondsSince(startNs), 1, true, static_cast<int>(sampleNumber));
    }
}

void logMotionOutput(DsfWriter& writer, int64_t startNs, uint32_t periodUs, size_t n,
                     const vnx_StructOutput_s* const* outputs, const vnx_StructFormat_s* const* formats)
{
    if (!writer.isOpen()) {
        return;
    }
    size_t fusionIndex = 0;
    const auto* fusion =
        findRecord<vnx_SensorFusion_Output_s>(n, outputs, VNX_TYPE_SENSOR_FUSION, &fusionIndex);
    const auto* fusionFormat =
        fusion != nullptr ? formatAt<vnx_SensorFusion_Format_s>(fusionIndex, formats, VNX_TYPE_SENSOR_FUSION)
                          : nullptr;
    const auto* cursor = findRecord<vnx_ExtendedCursor_Output_s>(n, outputs, VNX_TYPE_EXTENDED_CURSOR);
    const auto* buttons = findRecord<vnx_ButtonActivity_Output_s>(n, outputs, VNX_TYPE_BUTTON_ACTIVITY);
    if (fusionFormat == nullptr || cursor == nullptr || buttons == nullptr) {
        return;
    }
    writer.reportMultiColumnBegin(1);
    writer.nextColumn(secondsSince(startNs));
    // No period yet (no SCD with one and no fusion format seen): no sample id.
    writer.nextColumn(periodUs != 0 ? cursor->sample / periodUs : 0u);
    const Triple acceleration = group(fusion->acceleration, fusionFormat->accelerationQ);
    writer.nextColumn(acceleration.x, acceleration.y, acceleration.z);
    const Triple linear = group(fusion->linearAcceleration, fusionFormat->linearAccelerationQ);
    writer.nextColumn(linear.x, linear.y, linear.z);
    const Triple rate = group(fusion->angularVelocity, fusionFormat->angularVelocityQ);
    writer.nextColumn(rate.x, rate.y, rate.z);
    const Triple field = group(fusion->magneticField, fusionFormat->magneticFieldQ);
    writer.nextColumn(field.x, field.y, field.z);
    float q[4];
    for (int i = 0; i < 4; ++i) {
        vnx_getFloat32WithDefault(fusion->quaternion[i], fusionFormat->quaternionQ, &q[i], 0.0f);
    }
    writer.nextColumn(q[0], q[1], q[2], q[3]);
    writer.nextColumn(static_cast<int>(cursor->x), static_cast<int>(cursor->y));
    writer.nextColumn(static_cast<double>(cursor->distance));
    writer.nextColumn(static_cast<int>(cursor->dx), static_cast<int>(cursor->dy));
    writer.nextColumn(static_cast<unsigned>(cursor->pointerState));
    writer.nextColumn(static_cast<unsigned>(buttons->buttons));
    writer.nextColumn(static_cast<int>(buttons->wheel));
    writer.reportMultiColumnEnd();
}

void logBoundsData(DsfWriter& writer, const vnx_ExtendedCursor_SetBoundsData_s& bounds)
{
    const int32_t values[] = {bounds.osdBounds.x,         bounds.osdBounds.y,         bounds.osdBounds.width,
                              bounds.osdBounds.height,    bounds.pointerLimits.x,     bounds.pointerLimits.y,
                              bounds.pointerLimits.width, bounds.pointerLimits.height};
    static_assert(std::size(values) == std::size(kBoundNames));
    for (size_t i = 0; i < std::size(values); ++i) {
        writer.setProperty(kBoundNames[i], static_cast<int>(values[i]));
    }
}

} // namespace vnx::capture
