// What the host writes on its own: the capture logs a Device config asks
// for, and the learned DCD every `dcdSaveInterval` seconds of sample time
// (or of the engine clock for inputs without sample numbers).

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "dcdStore/ZephraDcdManager.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "hostFixture.h"
#include "support/FakeModule.h"
#include "support/MotionTrace.h"
#include "support/fusionScenarios.h"
#include "support/steppedClock.h"

namespace vnx::testsupport {
namespace {

constexpr uint8_t kExtendedBundle = 65;

size_t lineCount(const std::filesystem::path& path)
{
    std::ifstream in(path);
    size_t lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    return lines;
}

bool fileContains(const std::filesystem::path& path, const std::string& text)
{
    std::ifstream in(path);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return content.find(text) != std::string::npos;
}

class HostWrites : public HostTest
{
  protected:
    /// Runs `seconds` of a still presenter, one stored sample and one tick
    /// each; the number of samples.
    int runStill(double seconds)
    {
        MotionTrace trace(scd_, realisticNoise(21, {0.002, 0.0, -0.001}));
        trace.still(seconds);
        int samples = 0;
        for (const MotionSample* sample = trace.next(); sample != nullptr; sample = trace.next()) {
            vnx_ButtonActivity_Output_s buttons;
            vnx_ButtonActivity_initOutput(&buttons);
            buttons.activity = 0;
            const vnx_StructOutput_s* outputs[] = {&sample->output6AG.output, &buttons.output};
            const vnx_StructFormat_s* formats[] = {&sample->format6AG, nullptr};
            EXPECT_EQ(host_->process(2, outputs, formats), 0);
            EXPECT_LE(host_->process(), 0);
            ++samples;
        }
        return samples;
    }

    bool dcdFileExists() const
    {
        vnx_DomainGuid_s guid;
        device_.getGuid(&guid);
        char path[ZephraDcdManager::kPathSize];
        return ZephraDcdManager::createPath(guid, path) && std::filesystem::exists(path);
    }

    const scdGen4Float_s scd_ = realisticDevice().build();
    FifoDirectory logs_;
    ScopedEnv loggingDir_{"VNX_LOGGING_DIR", logs_.path().c_str()};
};

TEST_F(HostWrites, CaptureLogsFollowTheDeviceConfig)
{
    host_->setScd(&scd_.head);
    vnx_Device_Config_s config = deviceConfig(kExtendedBundle);
    config.logRawInput = 1;
    config.logOutput = 1;
    ASSERT_EQ(setDeviceConfig(config), 0);
    const int samples = runStill(1.0);

    vnx_ExtendedCursor_Command_s bounds;
    vnx_ExtendedCursor_initCommand(&bounds);
    bounds.code = ZEPHRA_CURSOR_COMMAND_SET_BOUNDS;
    vnx_ExtendedCursor_initSetBoundsData(&bounds.data.setBounds);
    bounds.data.setBounds.osdBounds.width = 1920;
    bounds.data.setBounds.osdBounds.height = 1080;
    host_->sendCommand(&bounds.command);
    runStill(0.2);
    // Switching both off closes the files.
    config.logRawInput = 0;
    config.logOutput = 0;
    ASSERT_EQ(setDeviceConfig(config), 0);

    std::filesystem::path raw;
    std::filesystem::path output;
    for (const auto& entry : std::filesystem::directory_iterator(logs_.path())) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with("-StubDevice-01-rawInput.dsf")) {
            raw = entry.path();
        } else if (name.ends_with("-StubDevice-01-Output.dsf")) {
            output = entry.path();
        }
    }
    ASSERT_FALSE(raw.empty());
    ASSERT_FALSE(output.empty());
    // Every sample gives its sensor, button and tick lines, and one output
    // line once the fusion runs.
    EXPECT_GT(lineCount(raw), static_cast<size_t>(3 * samples));
    EXPECT_GT(lineCount(output), static_cast<size_t>(samples / 2));
    EXPECT_TRUE(fileContains(raw, "device.command.ExtendedCursor.SetBounds.osdBounds.width"));

    // Logging stays off for the next module.
    const auto before = std::distance(std::filesystem::directory_iterator(logs_.path()),
                                      std::filesystem::directory_iterator());
    vnx_Device_Command_s restart;
    vnx_Device_initCommand(&restart);
    restart.code = 1;
    ASSERT_EQ(host_->sendCommand(&restart.command), 0);
    runStill(0.1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(logs_.path()),
                            std::filesystem::directory_iterator()),
              before);
}

TEST_F(HostWrites, TheLearnedDcdIsSavedEachIntervalOfSampleTime)
{
    host_->setScd(&scd_.head);
    vnx_Device_Config_s config = deviceConfig(kExtendedBundle);
    config.dcdSaveInterval = 1;
    ASSERT_EQ(setDeviceConfig(config), 0);
    // 120 samples of 8 ms: under a second of sample time.
    runStill(0.96);
    EXPECT_FALSE(dcdFileExists());
    runStill(0.1);
    EXPECT_TRUE(dcdFileExists());
}

TEST_F(HostWrites, InputsWithoutSampleNumbersAreSavedOnTheEngineClock)
{
    SteppedClock clock;
    FakeModuleScript script;
    script.type = kFakeType;
    script.inputInterfaces = {{5}};
    script.outputInterfaces = {{5}};
    FakeModuleType& fake = useFake(script);
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.dcdSaveInterval = 1;
    ASSERT_EQ(setDeviceConfig(config), 0);
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_initOutput(&buttons);
    const vnx_StructOutput_s* outputs[] = {&buttons.output};
    auto send = [&](uint64_t afterMs) {
        clock.advanceMs(afterMs);
        ASSERT_EQ(host_->process(1, outputs, nullptr), 0);
        ASSERT_EQ(host_->process(), 0);
    };
    // The clock of the saves starts when the Device config replaced the
    // (absent) module.
    send(0);
    EXPECT_TRUE(fake.calls("getDcd").empty());
    send(600);
    EXPECT_TRUE(fake.calls("getDcd").empty());
    send(500);
    EXPECT_EQ(fake.calls("getDcd").size(), 1u);
    send(900);
    EXPECT_EQ(fake.calls("getDcd").size(), 1u);
    send(200);
    EXPECT_EQ(fake.calls("getDcd").size(), 2u);
}

} // namespace
} // namespace vnx::testsupport
