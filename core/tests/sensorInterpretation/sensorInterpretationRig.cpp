#include "sensorInterpretationRig.h"

#include "common/crc32.h"

namespace vnx::sitest {

dcdAlg49AxisFixed_s sealedFullDcd(const dcdAlg4MinFixedInnards_s& innards, const dcdAccOffsetCal_s& acc,
                                  std::uint32_t scdCrc)
{
    dcdAlg49AxisFixed_s dcd;
    std::memset(&dcd, 0, sizeof dcd);
    dcd.head = {VNX_DCD_ALG49AXISFIXED_SIZE, VNX_DCD_ALG49AXISFIXED_VERSION};
    dcd.innards = innards;
    dcd.accOffsetCal = acc;
    dcd.scdCrc = scdCrc;
    dcd.crc = crc32_process(&dcd, offsetof(dcdAlg49AxisFixed_s, crc));
    return dcd;
}

dcdAlg4MinFixed_s sealedShortDcd(const dcdAlg4MinFixedInnards_s& innards, std::uint32_t scdCrc)
{
    dcdAlg4MinFixed_s dcd;
    std::memset(&dcd, 0, sizeof dcd);
    dcd.head = {VNX_DCD_ALG4MINFIXED_SIZE, VNX_DCD_ALG4MINFIXED_VERSION};
    dcd.innards = innards;
    dcd.scdCrc = scdCrc;
    dcd.crc = crc32_process(&dcd, offsetof(dcdAlg4MinFixed_s, crc));
    return dcd;
}

dcdAlg4MinFixedInnards_s learnedInnards(float zro, float temperature)
{
    dcdAlg4MinFixedInnards_s innards;
    dcdAlg4MinFixedInnardsSetEmpty(&innards);
    for (int i = 0; i < 3; ++i) {
        innards.zro[i] = zro;
        innards.zroVariance[i] = 1e-6f;
        innards.zro2[i] = zro;
    }
    innards.temperature = temperature;
    innards.state = 28;
    return innards;
}

std::uint32_t scdCrcOf(const scdGen4Float_s& scd)
{
    return crc32_process(&scd, sizeof scd);
}

namespace {

// The records that carry a whole sample share their field names.
template <class Record> void fillCombined(Record& record, const RawSample& s)
{
    record.sampleNumber = static_cast<std::int32_t>(s.sampleNumber);
    record.temperature = s.temperature;
    for (int i = 0; i < 3; ++i) {
        record.accelerometer[i] = s.acc[i];
        record.gyroscope[i] = s.gyro[i];
    }
    record.gyroscopeGlitch = s.glitch ? 1 : 0;
}

} // namespace

SensorInterpretationRig::SensorInterpretationRig()
{
    module_ = vnx::ModuleFactory::createModule(VNX_TYPE_SENSOR_INTERPRETATION);
    vnx_SensorInterpretation_initOutput(&output);
    vnx_SensorInterpretation_initFormat(&format);
}

SensorInterpretationRig::~SensorInterpretationRig()
{
    vnx::ModuleFactory::destroyModule(module_);
}

int SensorInterpretationRig::init(const scdGen4Float_s& scd, const void* dcd)
{
    int scdOffset = 0;
    int dcdOffset = 0;
    return module_->init(&scd.head, scdOffset, static_cast<const vnx_dcdData_s*>(dcd), dcdOffset);
}

int SensorInterpretationRig::run(int index, std::size_t count, const vnx_StructOutput_s** inputs,
                                 const vnx_StructFormat_s** formats)
{
    vnx_StructOutput_s* outputs[] = {vnx_SensorInterpretation_upCastOutput(&output)};
    vnx_StructFormat_s* outputFormats[] = {vnx_SensorInterpretation_upCastFormat(&format)};
    return module_->process(index, count, inputs, formats, 0, 1, outputs, outputFormats);
}

int SensorInterpretationRig::feed(const RawSample& sample)
{
    return feedThrough(2, sample);
}

int SensorInterpretationRig::feedThrough(int index, const RawSample& s)
{
    switch (index) {
    case 0:
    case 1: {
        vnx_DeviceSupport_Format_s format;
        vnx_DeviceSupport_initFormat(&format);
        format.sampleNumber = s.sampleNumber;
        format.flags = s.glitch ? VNX_DEVICE_SUPPORT_FLAG_GYROSCOPE_GLITCH : 0u;
        format.temperature = s.temperature;
        vnx_DeviceSupport_Output_s records[3];
        const std::uint8_t sensors[3] = {VNX_DEVICE_SUPPORT_GYROSCOPE, VNX_DEVICE_SUPPORT_MAGNETOMETER,
                                         VNX_DEVICE_SUPPORT_ACCELEROMETER};
        const vnx_StructOutput_s* inputs[3];
        const vnx_StructFormat_s* formats[3];
        for (int i = 0; i < 3; ++i) {
            vnx_DeviceSupport_initOutput(&records[i]);
            records[i].sensor = sensors[i];
            const Raw3& raw = sensors[i] == VNX_DEVICE_SUPPORT_GYROSCOPE ? s.gyro : s.acc;
            records[i].x = raw[0];
            records[i].y = raw[1];
            records[i].z = raw[2];
            inputs[i] = vnx_DeviceSupport_upCastConstOutput(&records[i]);
            formats[i] = vnx_DeviceSupport_upCastConstFormat(&format);
        }
        if (index == 0) {
            // Accelerometer and gyroscope only, in that order.
            inputs[1] = inputs[2];
            return run(0, 2, inputs, formats);
        }
        return run(1, 3, inputs, formats);
    }
    case 2: {
        vnx_DeviceSupport6AG_Output_s record;
        vnx_DeviceSupport6AG_initOutput(&record);
        fillCombined(record, s);
        const vnx_StructOutput_s* inputs[] = {vnx_DeviceSupport6AG_upCastConstOutput(&record)};
        return run(2, 1, inputs, nullptr);
    }
    default: {
        vnx_DeviceSupport9AGM_Output_s record;
        vnx_DeviceSupport9AGM_initOutput(&record);
        fillCombined(record, s);
        const vnx_StructOutput_s* inputs[] = {vnx_DeviceSupport9AGM_upCastConstOutput(&record)};
        return run(index, 1, inputs, nullptr);
    }
    }
}

int SensorInterpretationRig::getDcd(dcdAlg49AxisFixed_s& dcd)
{
    int offset = 0;
    return module_->getDcd(&dcd.head, sizeof dcd, offset);
}

} // namespace vnx::sitest
