#pragma once

// Test helper: one sample batch as the presenter's reader makes it (a
// gyroscope and an accelerometer reading with their formats, and the
// buttons), with the head and closing records that serialize it.

#include <vector>

#include "buttonActivity/ButtonActivityRecords.h"
#include "deviceSupport/DeviceSupport.h"
#include "serialization/SerializationRecords.h"

namespace vnx::testsupport {

struct SampleBatch
{
    explicit SampleBatch(int sample = 77)
    {
        vnx_DeviceSupport_initOutput(&gyro);
        gyro.sensor = 2;
        gyro.x = static_cast<int16_t>(120 + sample);
        gyro.y = -35;
        vnx_DeviceSupport_initFormat(&gyroFormat);
        gyroFormat.sampleNumber = static_cast<uint32_t>(sample);
        gyroFormat.temperature = 2410;
        vnx_DeviceSupport_initOutput(&acc);
        acc.sensor = 1;
        acc.z = 4096;
        vnx_DeviceSupport_initFormat(&accFormat);
        accFormat.sampleNumber = static_cast<uint32_t>(sample);
        vnx_ButtonActivity_initOutput(&buttons);
        buttons.buttons = 3;
        vnx_SerializationModule_initOutput(&header);
        vnx_SerializationModule_initFormat(&trailer);
    }

    SampleBatch(const SampleBatch&) = delete;
    SampleBatch& operator=(const SampleBatch&) = delete;

    /// The two sensor slots, each with its format.
    const vnx_StructOutput_s* outputs[2] = {&gyro.output, &acc.output};
    const vnx_StructFormat_s* formats[2] = {&gyroFormat.format, &accFormat.format};

    /// The sensor slots as one record sequence (6 records).
    std::vector<const vnx_Struct_s*> serialized()
    {
        std::vector<const vnx_Struct_s*> sequence(6);
        size_t count = 0;
        vnx_structArraySerialize(2, outputs, formats, &header, &trailer, sequence.size(), sequence.data(),
                                 &count);
        sequence.resize(count);
        return sequence;
    }

    vnx_DeviceSupport_Output_s gyro;
    vnx_DeviceSupport_Format_s gyroFormat;
    vnx_DeviceSupport_Output_s acc;
    vnx_DeviceSupport_Format_s accFormat;
    vnx_ButtonActivity_Output_s buttons;
    vnx_SerializationModule_Output_s header;
    vnx_SerializationModule_Format_s trailer;
};

} // namespace vnx::testsupport
