// The ExtendedBundle on the main road: SensorFusion, shake detection, float
// motion and the cursor engine behind one module, and the cursor that hides
// while the device rests and wakes on a shake.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "extendedBundle/extendedRig.h"
#include "shakeDetector/ShakeDetectorRecords.h"
#include "support/allocationCounter.h"
#include "support/logCapture.h"
#include "support/recordBytes.h"

namespace bundleTest {
namespace {

constexpr int kSamplesPerSecond = 125;

/// A quick back-and-forth turn about z, well above the shake threshold:
/// 3 rad/s, reversing every 10 samples (80 ms).
Counts shakeRate(int sample)
{
    const int16_t rate = (sample / 10) % 2 == 0 ? 3000 : -3000;
    return {0, 0, rate};
}

TEST(ExtendedBundle, StillDeviceFillsAllFiveSlotsAndKeepsThePointerInPlace)
{
    BundleLibraries libraries;
    ExtendedRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), 0);

    ASSERT_EQ(rig.step(kFlat, kNoRotation, 0x2), 0);
    const int32_t x = rig.cursor.x;
    const int32_t y = rig.cursor.y;
    for (int i = 2; i <= 1250; ++i) {
        rig.clearOutputs();
        rig.activity.flags = 0x0F; // bits every sample of the activity child clears
        const uint32_t pressed = static_cast<uint32_t>(i) & 0x3u;
        ASSERT_EQ(rig.step(kFlat, kNoRotation, pressed), 0) << i;
        ASSERT_EQ(rig.activity.flags & 0x0F, 0) << i;
        ASSERT_EQ(rig.fusion.sampleNumber, static_cast<uint32_t>(i));
        ASSERT_EQ(rig.fusionFormat.quaternionQ, 127) << "orientation present";
        ASSERT_EQ(rig.cursor.sample, static_cast<uint32_t>(i));
        ASSERT_EQ(rig.cursor.x, x) << i;
        ASSERT_EQ(rig.cursor.y, y) << i;
        ASSERT_EQ(rig.cursor.dx, 0) << i;
        ASSERT_EQ(rig.cursor.dy, 0) << i;
        ASSERT_EQ(rig.cursor.pointerState, 0u) << "wake-on-shake is off after init";
        ASSERT_EQ(rig.cursorFormat.periodUs, 8000u);
        ASSERT_EQ(rig.buttons.buttons, pressed) << "the sample's button record is handed on";
        ASSERT_EQ(rig.motionFloat.sampleNumber, static_cast<uint32_t>(i));
        ASSERT_FLOAT_EQ(rig.motionFloat.period, 0.008f);
    }
    EXPECT_FALSE(rig.bundle().cursorHidden());
}

TEST(ExtendedBundle, BadInterfacesAndCountsWriteNothing)
{
    BundleLibraries libraries;
    ExtendedRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), 0);
    vnx_DeviceSupport6AG_Output_s sample = freshRecord(vnx_DeviceSupport6AG_initOutput);
    sample.accelerometer[2] = -16384;
    vnx_ButtonActivity_Output_s button = freshRecord(vnx_ButtonActivity_initOutput);
    const vnx_StructOutput_s* inputs[] = {&sample.output, &button.output, &button.output, &button.output,
                                          &button.output};
    const vnx_StructFormat_s* formats[] = {nullptr, nullptr, nullptr, nullptr, nullptr};

    struct Case
    {
        int inputInterface;
        size_t inputCount;
        int outputInterface;
        size_t outputCount;
    };
    const Case cases[] = {{5, 2, 0, 4},  {5, 2, 0, 6}, {5, 2, 1, 5}, {7, 2, 0, 5},
                          {-1, 2, 0, 5}, {5, 0, 0, 5}, {5, 5, 0, 5}};
    for (const Case& c : cases) {
        rig.clearOutputs();
        const auto before = rig.cursor;
        const auto fusionBefore = rig.fusion;
        EXPECT_EQ(
            rig.process(c.inputInterface, c.inputCount, inputs, formats, c.outputInterface, c.outputCount),
            -2)
            << c.inputInterface << " " << c.inputCount << " " << c.outputInterface << " " << c.outputCount;
        EXPECT_EQ(std::memcmp(&before, &rig.cursor, sizeof before), 0);
        EXPECT_EQ(std::memcmp(&fusionBefore, &rig.fusion, sizeof fusionBefore), 0);
    }
}

TEST(ExtendedBundle, UnusableScdForTheFusionDoesNotFailTheBundleInit)
{
    BundleLibraries libraries;
    scdGen4Float_s broken = testDevice().build();
    broken.checkWord += 1; // no longer sums to zero

    sensorFusionTest::FusionRig fusionAlone;
    ASSERT_EQ(fusionAlone.init(broken), VNX_STATUS_INVALID_SCD) << "the fusion itself refuses it";

    ExtendedRig rig;
    EXPECT_EQ(rig.init(broken), 0);
}

TEST(ExtendedBundle, InterfacesAreDescribedAsDeclared)
{
    BundleLibraries libraries;
    ExtendedRig rig;
    vnx::ModuleInterface& m = *rig.module();
    EXPECT_EQ(m.getInputInterfaceCount(), 7);
    EXPECT_EQ(m.getOutputInterfaceCount(), 1);

    uint8_t ids[8] = {};
    size_t count = 0;
    ASSERT_EQ(m.getInputInterface(3, 8, ids, count), 0);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(std::vector<uint8_t>(ids, ids + 2), (std::vector<uint8_t>{3, 5}));
    ASSERT_EQ(m.getInputInterface(1, 8, ids, count), 0);
    EXPECT_EQ(std::vector<uint8_t>(ids, ids + 4), (std::vector<uint8_t>{1, 1, 1, 5}));

    count = 0;
    EXPECT_EQ(m.getOutputInterface(0, 4, ids, count), -11);
    EXPECT_EQ(count, 5u) << "the count is stored before the capacity is checked";
    ASSERT_EQ(m.getOutputInterface(0, 5, ids, count), 0);
    EXPECT_EQ(std::vector<uint8_t>(ids, ids + 5), (std::vector<uint8_t>{4, 3, 9, 5, 13}));

    count = 99;
    EXPECT_EQ(m.getInputInterface(7, 8, ids, count), -17);
    EXPECT_EQ(m.getOutputInterface(1, 8, ids, count), -17);
    EXPECT_EQ(count, 99u);
}

TEST(ExtendedBundle, RestingCursorHidesAndAShakeWakesIt)
{
    BundleLibraries libraries;
    ExtendedRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), 0);
    ASSERT_EQ(rig.setStillTime(1), 0);
    ASSERT_EQ(rig.setWakeMode(3), 0);
    vnx::testsupport::LogCapture log(vnx::testsupport::LogCapture::defaultLoggerOf(rig.module()),
                                     vnx::log::INFO);
    ASSERT_TRUE(log.attached());

    // Rest until the activity child reports the device still.
    int sample = 0;
    bool hidden = false;
    for (; sample < 10 * kSamplesPerSecond && !hidden; ++sample) {
        ASSERT_GE(rig.step(kFlat, kNoRotation), 0);
        hidden = (rig.activity.flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL) != 0;
    }
    ASSERT_TRUE(hidden) << "never still";
    EXPECT_TRUE(rig.bundle().cursorHidden());
    EXPECT_EQ(rig.cursor.pointerState, 1u);
    EXPECT_EQ(vnx::testsupport::valueAt<int32_t>(&rig.cursor, 28), 0);
    EXPECT_EQ(vnx::testsupport::valueAt<int32_t>(&rig.cursor, 32), 0);
    EXPECT_TRUE(log.contains("Hiding Cursor"));

    // Shake: the wake-on-shake detector flags it within a few reversals.
    bool woken = false;
    for (int k = 0; k < 2 * kSamplesPerSecond && !woken; ++k) {
        ASSERT_GE(rig.step(kFlat, shakeRate(k)), 0);
        if (!rig.bundle().cursorHidden()) {
            woken = true;
            EXPECT_EQ(rig.cursor.pointerState, 0u) << "the engine's own state again";
        } else {
            EXPECT_EQ(rig.cursor.pointerState, 1u);
            EXPECT_EQ(rig.cursor.dx, 0);
            EXPECT_EQ(rig.cursor.dy, 0);
        }
    }
    EXPECT_TRUE(woken);
    EXPECT_TRUE(log.contains("Showing Cursor"));
}

TEST(ExtendedBundle, ShowAndHideFollowCommandsAndTheWakeMode)
{
    BundleLibraries libraries;
    ExtendedRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), 0);
    vnx::ExtendedBundle& bundle = rig.bundle();

    // Wake-on-shake off: a force hide reaches the cursor but not the bundle.
    EXPECT_EQ(rig.cursorCommand(ZEPHRA_CURSOR_COMMAND_FORCE_HIDE), 0);
    EXPECT_FALSE(bundle.cursorHidden());

    ASSERT_EQ(rig.setWakeMode(3), 0);
    EXPECT_EQ(rig.cursorCommand(ZEPHRA_CURSOR_COMMAND_FORCE_HIDE), 0);
    EXPECT_TRUE(bundle.cursorHidden());
    ASSERT_GE(rig.step(kFlat, kNoRotation), 0);
    EXPECT_EQ(rig.cursor.pointerState, 1u);
    EXPECT_EQ(rig.cursorCommand(ZEPHRA_CURSOR_COMMAND_FORCE_SHOW), 0);
    EXPECT_FALSE(bundle.cursorHidden());

    // A Config with mode 0 shows a hidden cursor from the next sample on.
    EXPECT_EQ(rig.cursorCommand(ZEPHRA_CURSOR_COMMAND_FORCE_HIDE), 0);
    ASSERT_TRUE(bundle.cursorHidden());
    ASSERT_EQ(rig.setWakeMode(0), 0);
    EXPECT_FALSE(bundle.cursorHidden());

    // Force show clears the state whatever the mode.
    ASSERT_EQ(rig.setWakeMode(3), 0);
    EXPECT_EQ(rig.cursorCommand(ZEPHRA_CURSOR_COMMAND_FORCE_HIDE), 0);
    ASSERT_EQ(rig.setWakeMode(0), 0);
    EXPECT_EQ(rig.cursorCommand(ZEPHRA_CURSOR_COMMAND_FORCE_SHOW), 0);
    EXPECT_FALSE(bundle.cursorHidden());

    // Bundle Commands are accepted and change nothing.
    vnx_ExtendedBundle_Command_s own = freshRecord(vnx_ExtendedBundle_initCommand);
    EXPECT_EQ(rig.module()->sendCommand(&own), 0);
}

TEST(ExtendedBundle, ConfigsReachTheirChildInOrder)
{
    BundleLibraries libraries;
    ExtendedRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), 0);
    ASSERT_EQ(rig.setWakeMode(2), 0);

    // A ShakeDetector Config reaches the first detector only.
    vnx_ShakeDetector_Config_s shake = freshRecord(vnx_ShakeDetector_initConfig);
    shake.mode = 4;
    EXPECT_EQ(rig.module()->setConfig(&shake.config), 0);
    vnx_ShakeDetector_Config_s readBack = freshRecord(vnx_ShakeDetector_initConfig);
    EXPECT_EQ(rig.module()->getConfig(&readBack.config), 0);
    EXPECT_EQ(readBack.mode, 4u);

    vnx_ExtendedBundle_Config_s own = freshRecord(vnx_ExtendedBundle_initConfig);
    own.config.header.instanceId = 77;
    EXPECT_EQ(rig.module()->getConfig(&own.config), 0);
    EXPECT_EQ(own.cursorWakeOnShakeConfig.mode, 2u) << "the wake detector keeps the bundle's setting";
    EXPECT_EQ(own.config.header.instanceId, 77u) << "the caller's own header stays";
    EXPECT_EQ(own.config.header.size, 104);

    // An embedded record without a detector header is not for the detector.
    vnx_ExtendedBundle_Config_s noHeader = freshRecord(vnx_ExtendedBundle_initConfig);
    std::memset(&noHeader.cursorWakeOnShakeConfig, 0, sizeof noHeader.cursorWakeOnShakeConfig);
    EXPECT_EQ(rig.module()->setConfig(&noHeader.config), -3);

    // A bundle Config with a wrong size is refused before anything is read.
    vnx_ExtendedBundle_Config_s shortConfig = freshRecord(vnx_ExtendedBundle_initConfig);
    shortConfig.config.header.size = 32;
    EXPECT_EQ(rig.module()->setConfig(&shortConfig.config), -2);
    EXPECT_EQ(rig.module()->getConfig(&shortConfig.config), -2);

    // A Config nobody claims: the last child's NOT_FOR_ME.
    vnx_StructConfig_s stranger = freshRecord(vnx_ExtendedBundle_initConfig).config;
    stranger.header.type = 42;
    EXPECT_EQ(rig.module()->setConfig(&stranger), -3);
    EXPECT_EQ(rig.module()->getConfig(&stranger), -3);
}

TEST(ExtendedBundle, MissingFusionFactoryAnswersNotActiveInsteadOfCrashing)
{
    BundleLibraries libraries;
    vnx_SensorFusion_moduleFactoryUnregister();
    ExtendedRig rig;
    ASSERT_NE(rig.module(), nullptr);
    EXPECT_EQ(rig.init(testDevice().build()), -14);
    EXPECT_EQ(rig.step(kFlat, kNoRotation), -14);
    int offset = 0;
    EXPECT_EQ(rig.module()->getDcd(nullptr, 0, offset), -14);
    EXPECT_EQ(rig.module()->setModuleListener(nullptr), -14);
    vnx_SensorFusion_Config_s fusionConfig = freshRecord(vnx_SensorFusion_initConfig);
    EXPECT_EQ(rig.module()->setConfig(&fusionConfig.config), -14);
    // The wake-on-shake detector is there: the bundle's own Config works.
    EXPECT_EQ(rig.setWakeMode(3), 0);
    vnx_SensorFusion_moduleFactoryRegister();
}

TEST(ExtendedBundle, ProcessAllocatesNothingPerSample)
{
    BundleLibraries libraries;
    ExtendedRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), 0);
    ASSERT_EQ(rig.setWakeMode(3), 0);
    for (int i = 0; i < 10; ++i) {
        ASSERT_GE(rig.step(kFlat, kNoRotation), 0);
    }
    const long allocations = vnx::test::allocationsDuring([&] {
        for (int i = 0; i < 3 * kSamplesPerSecond; ++i) {
            const Counts rate = i < kSamplesPerSecond ? kNoRotation : shakeRate(i);
            rig.step(kFlat, rate, static_cast<uint32_t>(i / 100) & 1u);
        }
    });
    EXPECT_EQ(allocations, 0);
}

} // namespace
} // namespace bundleTest
