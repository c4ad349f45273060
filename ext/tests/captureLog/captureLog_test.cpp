#include "captureLog/captureLog.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bundleCommon/bundleVersion.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/stringTable.h"
#include "common/version.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "extCommon/extVersion.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/ScdBuilder.h"
#include "support/fifoDirectory.h"
#include "support/logCapture.h"
#include "support/scopedEnv.h"
#include "support/steppedClock.h"

namespace {

using vnx::DsfWriter;
using vnx::testsupport::FifoDirectory;
using vnx::testsupport::LogCapture;
using vnx::testsupport::SteppedClock;

std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

// Lines that start with `prefix`, in order.
std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> result;
    for (const std::string& line : lines(text)) {
        if (line.rfind(prefix, 0) == 0) {
            result.push_back(line);
        }
    }
    return result;
}

// The local time of opening at the start of a capture file name
// ("2026-12-10-201455-<rest>"), or empty when `name` is not "<time>-<rest>".
std::string startedOf(const std::string& name, const std::string& rest)
{
    const std::string shape = "dddd-dd-dd-dddddd-";
    if (name.size() != shape.size() + rest.size() || name.compare(shape.size(), rest.size(), rest) != 0) {
        return "";
    }
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(name[i])) : name[i] != shape[i]) {
            return "";
        }
    }
    return name.substr(0, shape.size() - 1);
}

vnx_ExtendedCursor_SetBoundsData_s desktopBounds()
{
    return {{0, 0, 1920, 1080}, {-20, -10, 1960, 1100}};
}

class CaptureLogTest : public ::testing::Test
{
  protected:
    CaptureLogTest()
    {
        vnx_StringTable_initialize();
        vnx_Device_initConfig(&config_);
        config_.typeId = VNX_TYPE_SENSOR_FUSION;
        config_.maxBufferedSamplesToProcess = 4;
    }

    // The capture files in the directory, sorted by name.
    std::vector<std::filesystem::path> files() const
    {
        std::vector<std::filesystem::path> result;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            result.push_back(entry.path());
        }
        std::sort(result.begin(), result.end());
        return result;
    }

    vnx::capture::Subject subject() const { return {"Manual Device 1", VNX_TYPE_SENSOR_FUSION, &config_}; }

    // Opens the raw-input log and gives the name of its one file.
    std::filesystem::path openRaw(DsfWriter& writer, const vnx_dcdData_s* dcd = nullptr,
                                  const vnx_ExtendedCursor_SetBoundsData_s* bounds = nullptr)
    {
        EXPECT_TRUE(vnx::capture::openRawInputLog(writer, logger_, subject(), &scd_.head, dcd, bounds, 8000));
        const auto all = files();
        return all.empty() ? std::filesystem::path() : all.back();
    }

    FifoDirectory dir_;
    ScopedEnv loggingDir_{"VNX_LOGGING_DIR", dir_.path().c_str()};
    vnx::log::Logger logger_{"vnx_ext_ModuleManager", "dftLog", vnx::log::WARN, vnx::log::TYPE_CONSOLE};
    vnx_Device_Config_s config_;
    const scdGen4Float_s scd_ =
        vnx::testsupport::ScdBuilder().period(0.008).accelNoise(6, 6, 8).gyroNoise(2.5f, 2.5f, 3).build();
};

TEST_F(CaptureLogTest, RawInputHeaderInItsOrder)
{
    dcdAlg49AxisFixed_s dcd;
    dcdAlg49AxisFixedStart(&dcd);
    dcdAlg49AxisFixedSeal(&dcd, 0x12345678u);
    const auto bounds = desktopBounds();
    DsfWriter writer;
    LogCapture log(&logger_, vnx::log::NOTICE);
    const auto path = openRaw(writer, &dcd.head, &bounds);
    writer.close();

    // Local time of opening, the device name with "_" for spaces, the log.
    const std::string name = path.filename().string();
    const std::string started = startedOf(name, "Manual_Device_1-rawInput.dsf");
    ASSERT_FALSE(started.empty()) << name;
    EXPECT_EQ(log.texts(), std::vector<std::string>{"Logging to: " + path.string()});

    std::string scdBytes;
    const auto* scdRaw = reinterpret_cast<const uint8_t*>(&scd_);
    for (size_t i = 0; i < 260; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : ",%02x", scdRaw[i]);
        scdBytes += hex;
    }
    const auto header = lines(readText(path));
    ASSERT_GE(header.size(), 10u);
    const std::vector<std::string> expectedStart = {
        "! logVersion=\"v1.2\"",
        std::string("! info.core.version=\"") + vnx_core_get_version() + "\"",
        std::string("! info.bundle.version=\"") + vnx_bundle_get_version() + "\"",
        std::string("! info.ext.version=\"") + vnx_ext_get_version() + "\"",
        std::string("! info.bundle=\"") + vnx_typeToString(VNX_TYPE_SENSOR_FUSION) + "\"",
        "! device.typeId=3",
        "! device.inputId=-1",
        "! device.outputId=-1",
        "! device.sampleBaseWidth=8",
        "! device.maxBufferedSamplesToProcess=4",
        "! info.device=\"Manual Device 1\"",
        "! info.started=\"" + started + "\"",
        "! scd=\"" + scdBytes + "\"",
    };
    ASSERT_GE(header.size(), expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(header.begin(), header.begin() + expectedStart.size()), expectedStart);

    const std::vector<std::string> expectedEnd = {
        "! device.command.ExtendedCursor.SetBounds.osdBounds.x=0",
        "! device.command.ExtendedCursor.SetBounds.osdBounds.y=0",
        "! device.command.ExtendedCursor.SetBounds.osdBounds.width=1920",
        "! device.command.ExtendedCursor.SetBounds.osdBounds.height=1080",
        "! device.command.ExtendedCursor.SetBounds.pointerLimits.x=-20",
        "! device.command.ExtendedCursor.SetBounds.pointerLimits.y=-10",
        "! device.command.ExtendedCursor.SetBounds.pointerLimits.width=1960",
        "! device.command.ExtendedCursor.SetBounds.pointerLimits.height=1100",
        "+1 TIME{s},SAMPLE_ID{samples},LIN_ACC_GRAVITY[xyz]{ADC}",
        "+2 TIME{s},SAMPLE_ID{samples},ANG_VEL[xyz]{ADC}",
        "+3 TIME{s},SAMPLE_ID{samples},MAG[xyz]{ADC}",
        "+4 TIME{s},SAMPLE_ID{samples},TEMPERATURE[x]{ADC}",
        "+5 TIME{s},SAMPLE_ID{samples},BUTTON_STATE[x]{}",
        "+6 TIME{s},SAMPLE_ID{samples},DELTA_WHEEL[x]{}",
        "+7 TIME{s},SAMPLE_ID{samples},TICK_INPUT[x]{}",
        "+8 TIME{s},SAMPLE_ID{samples},TICK_FUSION[x]{}",
        "$1 0.000000, period(0.008000, 0.008000)",
        "$2 0.000000, period(0.008000, 0.008000)",
        "$3 0.000000, period(0.008000, 0.008000)",
        "$4 0.000000, period(0.008000, 0.008000)",
        "$5 0.000000, period(0.008000, 0.008000)",
        "$6 0.000000, period(0.008000, 0.008000)",
        "$7 0.000000, period(0.008000, 0.008000)",
        "$8 0.000000, period(0.008000, 0.008000)",
    };
    // Between the SCD and the bounds: the DCD, 260 bytes.
    ASSERT_EQ(header.size(), expectedStart.size() + 1 + expectedEnd.size());
    const std::string& dcdLine = header[expectedStart.size()];
    EXPECT_EQ(dcdLine.rfind("! dcd=\"04,01,1b,00,", 0), 0u) << dcdLine;
    EXPECT_EQ(dcdLine.size(), std::string("! dcd=\"\"").size() + 260 * 3 - 1);
    EXPECT_EQ(std::vector<std::string>(header.end() - expectedEnd.size(), header.end()), expectedEnd);
}

TEST_F(CaptureLogTest, WithoutDcdOrBoundsTheHeaderHasNeither)
{
    DsfWriter writer;
    const auto path = openRaw(writer);
    writer.close();
    const std::string text = readText(path);
    EXPECT_TRUE(linesStartingWith(text, "! dcd=").empty());
    EXPECT_TRUE(linesStartingWith(text, "! device.command.").empty());
    EXPECT_EQ(linesStartingWith(text, "+").size(), 8u);
}

TEST_F(CaptureLogTest, SixAxisBatchWritesSensorButtonAndTickLinesWithTheSampleId)
{
    SteppedClock clock;
    const int64_t start = static_cast<int64_t>(clock.now());
    DsfWriter writer;
    const auto path = openRaw(writer);

    vnx_DeviceSupport6AG_Output_s motion;
    vnx_DeviceSupport6AG_initOutput(&motion);
    motion.sampleNumber = 7;
    motion.temperature = -312;
    motion.accelerometer[0] = 12;
    motion.accelerometer[1] = -40;
    motion.accelerometer[2] = 16384;
    motion.gyroscope[0] = -3;
    motion.gyroscope[1] = 0;
    motion.gyroscope[2] = 5;
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_initOutput(&buttons);
    buttons.buttons = 0x5;
    buttons.wheel = -2;
    const vnx_StructOutput_s* outputs[] = {vnx_DeviceSupport6AG_upCastOutput(&motion),
                                           vnx_ButtonActivity_upCastOutput(&buttons)};
    const vnx_StructFormat_s* formats[] = {nullptr, nullptr};

    clock.advanceMs(1500);
    vnx::capture::logRawInput(writer, start, 2, outputs, formats, 7u);
    clock.advanceMs(8);
    vnx::capture::logFusionTick(writer, start, 7);
    writer.close();

    EXPECT_EQ(linesStartingWith(readText(path), "."),
              (std::vector<std::string>{".1 1.500000, 7,12,-40,16384", ".2 1.500000, 7,-3,0,5",
                                        ".4 1.500000, 7, -312", ".5 1.500000, 7, 5", ".6 1.500000, 7, -2",
                                        ".7 1.500000, 7, 1", ".8 1.508000, 7, 1"}));
}

TEST_F(CaptureLogTest, NineAxisAndSingleSensorBatches)
{
    SteppedClock clock;
    const int64_t start = static_cast<int64_t>(clock.now());
    DsfWriter writer;
    const auto path = openRaw(writer);

    vnx_DeviceSupport9AGM_Output_s nine;
    vnx_DeviceSupport9AGM_initOutput(&nine);
    nine.sampleNumber = 300;
    nine.temperature = 25;
    for (int i = 0; i < 3; ++i) {
        nine.accelerometer[i] = static_cast<int16_t>(100 + i);
        nine.gyroscope[i] = static_cast<int16_t>(-10 - i);
        nine.magnetometer[i] = static_cast<int16_t>(1000 * (i + 1));
    }
    const vnx_StructOutput_s* nineOutputs[] = {vnx_DeviceSupport9AGM_upCastOutput(&nine)};
    vnx::capture::logRawInput(writer, start, 1, nineOutputs, nullptr, 300u);

    // One record per sensor; each Format carries the sample counter, the
    // gyroscope's also the temperature. A batch without a sample number
    // ticks with 0.
    vnx_DeviceSupport_Output_s sensors[3];
    vnx_DeviceSupport_Format_s sensorFormats[3];
    const vnx_StructOutput_s* outputs[3];
    const vnx_StructFormat_s* formats[3];
    for (int i = 0; i < 3; ++i) {
        vnx_DeviceSupport_initOutput(&sensors[i]);
        vnx_DeviceSupport_initFormat(&sensorFormats[i]);
        sensors[i].sensor = static_cast<uint8_t>(3 - i); // magnetometer first
        sensors[i].x = static_cast<int16_t>(i);
        sensors[i].y = static_cast<int16_t>(-i);
        sensors[i].z = 9;
        sensorFormats[i].sampleNumber = 40u + static_cast<uint32_t>(i);
        sensorFormats[i].temperature = static_cast<int16_t>(-7 * i);
        outputs[i] = vnx_DeviceSupport_upCastOutput(&sensors[i]);
        formats[i] = vnx_DeviceSupport_upCastFormat(&sensorFormats[i]);
    }
    clock.advanceMs(20);
    vnx::capture::logRawInput(writer, start, 3, outputs, formats, std::nullopt);
    writer.close();

    EXPECT_EQ(
        linesStartingWith(readText(path), "."),
        (std::vector<std::string>{".1 0.000000, 300,100,101,102", ".2 0.000000, 300,-10,-11,-12",
                                  ".3 0.000000, 300,1000,2000,3000", ".4 0.000000, 300, 25",
                                  ".7 0.000000, 300, 1", ".3 0.020000, 40,0,0,9", ".2 0.020000, 41,1,-1,9",
                                  ".4 0.020000, 41, -7", ".1 0.020000, 42,2,-2,9", ".7 0.020000, 0, 1"}));
}

TEST_F(CaptureLogTest, OutputLogDefinesItsColumnsAndWritesOneLinePerSample)
{
    SteppedClock clock;
    const int64_t start = static_cast<int64_t>(clock.now());
    DsfWriter writer;
    ASSERT_TRUE(vnx::capture::openOutputLog(writer, logger_, subject()));
    const auto path = files().back();
    EXPECT_FALSE(startedOf(path.filename().string(), "Manual_Device_1-Output.dsf").empty()) << path;

    vnx_SensorFusion_Output_s fusion;
    vnx_SensorFusion_Format_s fusionFormat;
    vnx_SensorFusion_initOutput(&fusion);
    vnx_SensorFusion_initFormat(&fusionFormat);
    fusionFormat.accelerationQ = VNX_QPOINT_FLOAT;
    fusion.acceleration[0].real = 0.5f;
    fusion.acceleration[1].real = -0.25f;
    fusion.acceleration[2].real = 9.80665f;
    // Linear acceleration absent: written as zeros.
    fusionFormat.angularVelocityQ = 16;
    fusion.angularVelocity[0].fixed = 1 << 15; // 0.5 rad/s
    fusion.angularVelocity[1].fixed = -(1 << 14);
    fusion.angularVelocity[2].fixed = 0;
    fusionFormat.magneticFieldQ = VNX_QPOINT_FLOAT;
    fusion.magneticField[0].real = 20.0f;
    fusion.magneticField[1].real = 0.0f;
    fusion.magneticField[2].real = -40.0f;
    fusionFormat.quaternionQ = 30;
    fusion.quaternion[0].fixed = 1 << 30;
    fusionFormat.periodUs = 8000;
    vnx_ExtendedCursor_Output_s cursor;
    vnx_ExtendedCursor_initOutput(&cursor);
    cursor.sample = 80000;
    cursor.x = 960;
    cursor.y = 540;
    cursor.dx = -3;
    cursor.dy = 4;
    cursor.pointerState = 1;
    cursor.distance = 12.5f;
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_initOutput(&buttons);
    buttons.buttons = 2;
    buttons.wheel = -1;
    const vnx_StructOutput_s* outputs[] = {vnx_SensorFusion_upCastOutput(&fusion),
                                           vnx_ExtendedCursor_upCastOutput(&cursor),
                                           vnx_ButtonActivity_upCastOutput(&buttons)};
    const vnx_StructFormat_s* formats[] = {vnx_SensorFusion_upCastFormat(&fusionFormat), nullptr, nullptr};

    clock.advanceMs(250);
    vnx::capture::logMotionOutput(writer, start, 8000, 3, outputs, formats);
    // While no period is known the sample id is 0.
    vnx::capture::logMotionOutput(writer, start, 0, 3, outputs, formats);
    // Without the cursor output, or without the fusion format: no line.
    vnx::capture::logMotionOutput(writer, start, 8000, 2, outputs, formats);
    const vnx_StructFormat_s* noFormats[] = {nullptr, nullptr, nullptr};
    vnx::capture::logMotionOutput(writer, start, 8000, 3, outputs, noFormats);
    writer.close();

    const std::string values = "9.806650, 0.000000,0.000000,0.000000, 0.500000,-0.250000,0.000000, "
                               "20.000000,0.000000,-40.000000, 1.000000,0.000000,0.000000,0.000000, "
                               "960,540, 12.500000, -3,4, 1, 2, -1";
    EXPECT_EQ(linesStartingWith(readText(path), "+"),
              std::vector<std::string>{"+1 TIME[x]{s}, SAMPLE_ID[x]{samples}, LIN_ACC_GRAVITY[xyz]{m/s^2}, "
                                       "LIN_ACC[xyz]{m/s^2}, ANG_VEL[xyz]{rad/s}, MAG[xyz]{uT}, "
                                       "ANG_POS_GLOBAL[wxyz]{quaternion}, CURSOR_POS[xy]{px}, "
                                       "CURSOR_OFFSCREEN_DISTANCE[x]{px}, CURSOR_VEL[xy]{mickeys}, "
                                       "POINTER_STATE[x]{}, BUTTON_STATE[x]{}, DELTA_WHEEL[x]{}"});
    EXPECT_EQ(linesStartingWith(readText(path), "."),
              (std::vector<std::string>{".1 0.250000, 10, 0.500000,-0.250000," + values,
                                        ".1 0.250000, 0, 0.500000,-0.250000," + values}));
    // The output log has the common header and no SCD.
    EXPECT_EQ(linesStartingWith(readText(path), "!").size(), 12u);
}

TEST_F(CaptureLogTest, LogsOpenedWithinOneSecondAreSeparateFiles)
{
    DsfWriter first;
    DsfWriter second;
    ASSERT_TRUE(vnx::capture::openRawInputLog(first, logger_, subject(), &scd_.head, nullptr, nullptr, 8000));
    ASSERT_TRUE(
        vnx::capture::openRawInputLog(second, logger_, subject(), &scd_.head, nullptr, nullptr, 8000));
    first.addComment("first");
    second.addComment("second");
    // Reopening a writer closes its file and starts another one.
    ASSERT_TRUE(vnx::capture::openRawInputLog(first, logger_, subject(), &scd_.head, nullptr, nullptr, 8000));
    first.close();
    second.close();

    const auto all = files();
    ASSERT_EQ(all.size(), 3u);
    std::vector<std::string> comments;
    for (const auto& path : all) {
        const std::string text = readText(path);
        EXPECT_EQ(linesStartingWith(text, "+").size(), 8u) << path;
        for (const std::string& line : linesStartingWith(text, "#")) {
            comments.push_back(line);
        }
    }
    std::sort(comments.begin(), comments.end());
    EXPECT_EQ(comments, (std::vector<std::string>{"# first", "# second"}));
    // A name already taken gets a number before ".dsf".
    for (const auto& path : all) {
        const std::string name = path.filename().string();
        const std::string tail = name.substr(name.find("-rawInput"));
        EXPECT_TRUE(tail == "-rawInput.dsf" || tail == "-rawInput-1.dsf" || tail == "-rawInput-2.dsf")
            << name;
    }
}

TEST_F(CaptureLogTest, AnUnusableDirectoryLeavesTheWriterClosed)
{
    ScopedEnv missing("VNX_LOGGING_DIR", (dir_.path() + "/missing").c_str());
    DsfWriter writer;
    LogCapture log(&logger_, vnx::log::NOTICE);
    EXPECT_FALSE(
        vnx::capture::openRawInputLog(writer, logger_, subject(), &scd_.head, nullptr, nullptr, 8000));
    EXPECT_FALSE(vnx::capture::openOutputLog(writer, logger_, subject()));
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(log.texts(),
              std::vector<std::string>(2, "Error creating log file: check LOGGING_DIR property"));
    EXPECT_EQ(log.lines()[0].level, vnx::log::WARN);

    // A name longer than 255 characters is not cut to another name.
    ScopedEnv deep("VNX_LOGGING_DIR", (dir_.path() + "/" + std::string(230, 'd')).c_str());
    std::filesystem::create_directory(dir_.path() + "/" + std::string(230, 'd'));
    EXPECT_FALSE(vnx::capture::openOutputLog(writer, logger_, subject()));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path() + "/" + std::string(230, 'd')));

    const auto bounds = desktopBounds();
    vnx::capture::logBoundsData(writer, bounds);
    vnx::capture::logFusionTick(writer, 0, 1);
    EXPECT_FALSE(writer.isOpen());
}

TEST_F(CaptureLogTest, BoundsPropertiesMayFollowSampleLines)
{
    DsfWriter writer;
    const auto path = openRaw(writer);
    vnx::capture::logFusionTick(writer, 0, 3);
    auto bounds = desktopBounds();
    bounds.osdBounds.width = 2560;
    vnx::capture::logBoundsData(writer, bounds);
    writer.close();
    const auto all = lines(readText(path));
    ASSERT_GE(all.size(), 9u);
    EXPECT_EQ(all[all.size() - 9].rfind(".8 ", 0), 0u);
    EXPECT_EQ(all[all.size() - 8], "! device.command.ExtendedCursor.SetBounds.osdBounds.x=0");
    EXPECT_EQ(all[all.size() - 6], "! device.command.ExtendedCursor.SetBounds.osdBounds.width=2560");
    EXPECT_EQ(all.back(), "! device.command.ExtendedCursor.SetBounds.pointerLimits.height=1100");
}

} // namespace
