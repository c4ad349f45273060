// The Logger module: captures its input records into "./<name>-<time>.log",
// one block per process call (time, count, the records whole), once a Config
// has armed it.

#include "loggerModule/Logger.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/statusCode.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "standardCursor/StandardCursorRecords.h"
#include "support/extLibraries.h"
#include "support/recordBytes.h"
#include "support/scopedTempDir.h"
#include "support/steppedClock.h"

namespace {

using vnx::testsupport::valueAt;

class LoggerModuleTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { libraries_ = new vnx::testsupport::ExtLibraries; }
    static void TearDownTestSuite()
    {
        delete libraries_;
        libraries_ = nullptr;
    }

    void SetUp() override
    {
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_LOGGER);
        ASSERT_NE(module_, nullptr);
        vnx_ButtonActivity_initOutput(&buttons_);
        vnx_StandardCursor_initOutput(&cursor_);
    }
    void TearDown() override { vnx::ModuleFactory::destroyModule(module_); }

    int configure(const char* name, uint32_t mode)
    {
        vnx_Logger_Config_s config;
        vnx_Logger_initConfig(&config);
        config.name = name;
        config.mode = mode;
        return module_->setConfig(&config.config);
    }

    /// One process call with the button and cursor records (or none).
    int process(bool withRecords = true)
    {
        const vnx_StructOutput_s* inputs[] = {&buttons_.output, &cursor_.output};
        return module_->process(0, withRecords ? 2 : 0, withRecords ? inputs : nullptr, nullptr, 0, 0, nullptr,
                                nullptr);
    }

    vnx::Logger& logger() { return *dynamic_cast<vnx::Logger*>(module_); }

    /// The names of the files in the working directory.
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    /// The block a call at `time` with the button and cursor records writes.
    std::vector<uint8_t> block(uint64_t time, bool withRecords = true) const
    {
        std::vector<uint8_t> bytes(16);
        const uint64_t count = withRecords ? 2 : 0;
        std::memcpy(bytes.data(), &time, 8);
        std::memcpy(bytes.data() + 8, &count, 8);
        if (withRecords) {
            const auto* b = reinterpret_cast<const uint8_t*>(&buttons_);
            const auto* c = reinterpret_cast<const uint8_t*>(&cursor_);
            bytes.insert(bytes.end(), b, b + sizeof buttons_);
            bytes.insert(bytes.end(), c, c + sizeof cursor_);
        }
        return bytes;
    }

    static vnx::testsupport::ExtLibraries* libraries_;
    ScopedTempDir dir_;
    vnx::testsupport::SteppedClock clock_{123'456'789'000ull};
    vnx::ModuleInterface* module_ = nullptr;
    vnx_ButtonActivity_Output_s buttons_;
    vnx_StandardCursor_Output_s cursor_;
};

vnx::testsupport::ExtLibraries* LoggerModuleTest::libraries_ = nullptr;

TEST_F(LoggerModuleTest, IsASinkThatWritesNothingUntilConfigured)
{
    EXPECT_EQ(module_->getType(), VNX_TYPE_LOGGER);
    EXPECT_EQ(module_->getInputInterfaceCount(), 1);
    size_t count = 0;
    EXPECT_EQ(module_->getInputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, std::numeric_limits<size_t>::max());
    EXPECT_EQ(module_->getInputInterface(1, 0, nullptr, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module_->getOutputInterfaceCount(), 0);
    count = 5;
    EXPECT_EQ(module_->getOutputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, 0u);

    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(process(), 0);
    }
    EXPECT_TRUE(files().empty());
    EXPECT_FALSE(logger().writing());

    vnx_Logger_Command_s command;
    vnx_Logger_initCommand(&command);
    command.code = 77;
    EXPECT_EQ(module_->sendCommand(&command.command), 0);
}

TEST_F(LoggerModuleTest, AConfiguredNameGetsOneFilePerArmingWithOneBlockPerCall)
{
    ASSERT_EQ(configure("cap", 1), 0);
    EXPECT_TRUE(logger().writing());
    EXPECT_TRUE(files().empty()) << "the file is opened by the next process call";

    const uint64_t first = clock_.now();
    buttons_.buttons = 0x5;
    cursor_.dx = -12;
    ASSERT_EQ(process(), 0);
    std::vector<uint8_t> expected = block(first);
    clock_.advanceMs(8);
    cursor_.dx = 40;
    ASSERT_EQ(process(), 0);
    std::vector<uint8_t> second = block(clock_.now());
    expected.insert(expected.end(), second.begin(), second.end());
    clock_.advanceMs(8);
    ASSERT_EQ(process(false), 0);
    std::vector<uint8_t> empty = block(clock_.now(), false);
    ASSERT_EQ(empty.size(), 16u);
    expected.insert(expected.end(), empty.begin(), empty.end());

    const std::string name = "cap-" + std::to_string(first) + ".log";
    ASSERT_EQ(files(), std::vector<std::string>{name});
    ASSERT_EQ(module_->term(), 0);
    EXPECT_EQ(readFileBytes(dir_.path() / name), expected);
    EXPECT_FALSE(logger().fileOpen());
}

TEST_F(LoggerModuleTest, ModesSwitchBetweenOffArmedAndWriting)
{
    // Mode 4 arms too; mode 0 while armed (no file yet) leaves it armed.
    ASSERT_EQ(configure("a", 4), 0);
    ASSERT_EQ(configure(nullptr, 0), 0);
    EXPECT_TRUE(logger().writing());
    const uint64_t firstTime = clock_.now();
    ASSERT_EQ(process(), 0);
    EXPECT_TRUE(logger().fileOpen());

    // Mode 0 while writing closes the file and stops: later calls add nothing.
    ASSERT_EQ(configure(nullptr, 0), 0);
    EXPECT_FALSE(logger().writing());
    EXPECT_FALSE(logger().fileOpen());
    clock_.advanceMs(1);
    ASSERT_EQ(process(), 0);
    const std::string firstFile = "a-" + std::to_string(firstTime) + ".log";
    EXPECT_EQ(files(), std::vector<std::string>{firstFile});
    EXPECT_EQ(readFileBytes(dir_.path() / firstFile), block(firstTime)) << "flushed by the close";

    // A name of null keeps the stem; a new arming makes a new file.
    ASSERT_EQ(configure(nullptr, 1), 0);
    clock_.advanceMs(1);
    const uint64_t secondTime = clock_.now();
    ASSERT_EQ(process(), 0);
    EXPECT_EQ(files().size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / ("a-" + std::to_string(secondTime) + ".log")));

    // A Config while writing closes the file even when it re-arms; init
    // closes and stops.
    ASSERT_EQ(configure("b", 1), 0);
    EXPECT_FALSE(logger().fileOpen());
    EXPECT_TRUE(logger().writing());
    int scdOffset = 0;
    int dcdOffset = 0;
    ASSERT_EQ(process(), 0);
    ASSERT_EQ(module_->init(nullptr, scdOffset, nullptr, dcdOffset), 0);
    EXPECT_FALSE(logger().writing());
    EXPECT_FALSE(logger().fileOpen());
    EXPECT_EQ(files().size(), 3u);
}

TEST_F(LoggerModuleTest, GetConfigAlwaysAnswersTheDefaultsAndOtherTypesAreNotForIt)
{
    ASSERT_EQ(configure("kept", 0), 0);
    vnx_Logger_Config_s config;
    vnx_Logger_initConfig(&config);
    config.name = "other";
    config.mode = 9;
    ASSERT_EQ(module_->getConfig(&config.config), 0);
    EXPECT_EQ(config.name, nullptr);
    EXPECT_EQ(config.mode, 1u);

    vnx_ButtonActivity_Config_s foreign;
    vnx_ButtonActivity_initConfig(&foreign);
    EXPECT_EQ(module_->getConfig(&foreign), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module_->setConfig(&foreign), VNX_STATUS_NOT_FOR_ME);
    EXPECT_FALSE(logger().writing());

    // A Logger Config of the wrong size is refused without a change.
    config.mode = 1;
    config.config.header.size = 40;
    EXPECT_EQ(module_->setConfig(&config.config), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_FALSE(logger().writing());
}

TEST_F(LoggerModuleTest, AFileThatCannotBeOpenedIsRetriedAtTheNextCallWithItsOwnTime)
{
    ASSERT_EQ(configure("later/cap", 1), 0);
    EXPECT_EQ(process(), VNX_STATUS_INTERNAL_ERROR);
    EXPECT_TRUE(logger().writing()) << "still armed";
    EXPECT_FALSE(logger().fileOpen());

    std::filesystem::create_directory(dir_.path() / "later");
    clock_.advanceMs(3);
    ASSERT_EQ(process(), 0);
    const auto path = dir_.path() / "later" / ("cap-" + std::to_string(clock_.now()) + ".log");
    ASSERT_EQ(module_->term(), 0);
    EXPECT_EQ(readFileBytes(path), block(clock_.now()));
}

TEST_F(LoggerModuleTest, ABatchThatCannotBeWrittenWholeIsRefusedWithNothingWritten)
{
    ASSERT_EQ(configure("bad", 1), 0);
    vnx_StructOutput_s shortRecord;
    std::memset(&shortRecord, 0, sizeof shortRecord);
    shortRecord.header.size = 8;
    struct Case
    {
        const char* what;
        size_t count;
        std::vector<const vnx_StructOutput_s*> inputs;
        bool nullArray;
    };
    const Case cases[] = {
        {"no array", 2, {}, true},
        {"a missing record", 2, {&buttons_.output, nullptr}, false},
        {"a size below the header", 2, {&buttons_.output, &shortRecord}, false},
    };
    for (const Case& c : cases) {
        std::vector<const vnx_StructOutput_s*> inputs = c.inputs;
        EXPECT_EQ(module_->process(0, c.count, c.nullArray ? nullptr : inputs.data(), nullptr, 0, 0, nullptr, nullptr),
                  VNX_STATUS_INVALID_PARAMETER)
            << c.what;
    }
    EXPECT_TRUE(files().empty()) << "not even opened";
    ASSERT_EQ(process(), 0);
    ASSERT_EQ(module_->term(), 0);
    ASSERT_EQ(files().size(), 1u);
    EXPECT_EQ(readFileBytes(dir_.path() / files()[0]), block(clock_.now()));
}

TEST_F(LoggerModuleTest, TermAndDestructionKeepEveryBlockThatWasWritten)
{
    // Far more than a stream buffer holds, so most of it is written before
    // the close and the tail only by it.
    constexpr int kCalls = 3000;
    std::vector<uint8_t> expected;
    ASSERT_EQ(configure("long", 1), 0);
    for (int i = 0; i < kCalls; ++i) {
        cursor_.dx = static_cast<int16_t>(i % 300 - 150);
        buttons_.buttons = static_cast<uint32_t>(i & 3);
        clock_.advanceNs(7'812'500);
        ASSERT_EQ(process(), 0);
        const std::vector<uint8_t> one = block(clock_.now());
        expected.insert(expected.end(), one.begin(), one.end());
    }
    ASSERT_EQ(files().size(), 1u);
    const auto path = dir_.path() / files()[0];
    ASSERT_EQ(module_->term(), 0);
    EXPECT_FALSE(logger().writing());
    EXPECT_EQ(readFileBytes(path), expected);

    // Destroyed while writing: the file is closed and complete as well.
    ASSERT_EQ(configure("gone", 1), 0);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(process(), 0);
    }
    const uint64_t time = clock_.now();
    vnx::ModuleFactory::destroyModule(module_);
    module_ = nullptr;
    std::vector<uint8_t> gone;
    for (int i = 0; i < 50; ++i) {
        const std::vector<uint8_t> one = block(time);
        gone.insert(gone.end(), one.begin(), one.end());
    }
    EXPECT_EQ(readFileBytes(dir_.path() / ("gone-" + std::to_string(time) + ".log")), gone);
}

TEST_F(LoggerModuleTest, ANameIsReadUpTo255CharactersAndNeverPastThem)
{
    // 255 characters without a terminator, right before a page that cannot
    // be read: a read past the bound faults.
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* pages = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    char* guard = static_cast<char*>(pages) + page;
    ASSERT_EQ(mprotect(guard, page, PROT_NONE), 0);
    char* name = guard - 255;
    std::memset(name, 'n', 255);

    EXPECT_EQ(configure(name, 1), 0);
    EXPECT_EQ(process(), 0);
    ASSERT_EQ(module_->term(), 0);
    munmap(pages, 2 * page);

    // The path "./" + stem + "-T.log" is cut to 255 characters.
    EXPECT_EQ(files(), std::vector<std::string>{std::string(253, 'n')});
}

} // namespace
