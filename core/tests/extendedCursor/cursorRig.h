#pragma once

// Feeds an ExtendedCursor with SensorFusion, ButtonActivity and
// ShakeDetector records as the extended bundle does.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "buttonActivity/ButtonActivityRecords.h"
#include "extendedCursor/ExtendedCursor.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "shakeDetector/ShakeDetectorRecords.h"

namespace extendedCursorTest {

class CursorRig
{
  public:
    CursorRig()
    {
        vnx_SensorFusion_initOutput(&motion);
        vnx_SensorFusion_initFormat(&format);
        format.periodUs = 8000;
        format.angularVelocityQ = 127;
        format.quaternionQ = 127;
        setOrientation(1.0f, 0.0f, 0.0f, 0.0f);
        vnx_ButtonActivity_initOutput(&buttons);
        buttons.activity = 0;
        vnx_ShakeDetector_initOutput(&shake);
        shake.outputValue = 1.0f;
        vnx_ExtendedCursor_initOutput(&out);
        vnx_ExtendedCursor_initFormat(&outFormat);
    }

    int init()
    {
        int a = 0, b = 0;
        return cursor.init(nullptr, a, nullptr, b);
    }
    void setRates(float y, float z)
    {
        std::memcpy(&motion.angularVelocity[1], &y, 4);
        std::memcpy(&motion.angularVelocity[2], &z, 4);
    }
    void setOrientation(float w, float x, float y, float z)
    {
        const float q[4] = {w, x, y, z};
        for (int i = 0; i < 4; ++i)
            std::memcpy(&motion.quaternion[i], &q[i], 4);
    }
    int step()
    {
        ++motion.sampleNumber;
        return process(motion, format);
    }
    int process(const vnx_SensorFusion_Output_s& m, const vnx_SensorFusion_Format_s& f)
    {
        const vnx_StructOutput_s* inputs[] = {&m.output, &buttons.output, &shake.output};
        const vnx_StructFormat_s* formats[] = {&f.format, nullptr, nullptr};
        vnx_StructOutput_s* outputs[] = {&out.output};
        vnx_StructFormat_s* outFormats[] = {&outFormat.format};
        return cursor.process(0, 3, inputs, formats, 0, 1, outputs, outFormats);
    }
    int command(uint32_t code, uint32_t value = 0)
    {
        vnx_ExtendedCursor_Command_s c;
        vnx_ExtendedCursor_initCommand(&c);
        c.code = code;
        c.data.value = value;
        return cursor.sendCommand(&c.command);
    }
    int setBounds(int32_t x, int32_t y, int32_t w, int32_t h)
    {
        vnx_ExtendedCursor_Command_s c;
        vnx_ExtendedCursor_initCommand(&c);
        c.code = ZEPHRA_CURSOR_COMMAND_SET_BOUNDS;
        c.data.setBounds = {{x, y, w, h}, {x, y, w, h}};
        return cursor.sendCommand(&c.command);
    }
    /// The desktop client's settings: pointer scale, PointerResponse gain,
    /// absolute pointing that hides off-screen, its viewing angle and display.
    void desktopSettings(int32_t pointerScale = 65536)
    {
        vnx_ExtendedCursor_Config_s config;
        vnx_ExtendedCursor_initConfig(&config);
        config.standardCursor.pointerScale = pointerScale;
        config.curveSelector = 3;
        config.pointingMode = 3;
        config.viewingAngle = 0.5395598f;
        ASSERT_EQ(cursor.setConfig(&config.config), 0);
        ASSERT_EQ(setBounds(0, 0, 5120, 3200), 0);
    }

    vnx::ExtendedCursor cursor;
    vnx_SensorFusion_Output_s motion;
    vnx_SensorFusion_Format_s format;
    vnx_ButtonActivity_Output_s buttons;
    vnx_ShakeDetector_Output_s shake;
    vnx_ExtendedCursor_Output_s out;
    vnx_ExtendedCursor_Format_s outFormat;
};

} // namespace extendedCursorTest
