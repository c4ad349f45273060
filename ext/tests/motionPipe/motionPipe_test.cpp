#include "motionPipe/MotionPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/NodeManager.h"
#include "extCommon/extModuleType.h"
#include "support/fifoDirectory.h"
#include "support/logCapture.h"
#include "support/scopedEnv.h"

namespace {

using vnx::testsupport::LogCapture;

// A record of `size` bytes whose body bytes are `mark`.
std::vector<unsigned char> record(uint16_t size, uint8_t kind, uint8_t mark)
{
    std::vector<unsigned char> bytes(size, mark);
    vnx_Struct_s header = {};
    header.size = size;
    header.type = 3;
    header.kind = kind;
    header.version = 1;
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

class MotionPipeTest : public ::testing::Test
{
  protected:
    MotionPipeTest()
    {
        // The module's node, so that its logger can be captured.
        vnx::NodeManager::getInstance().addNode(nullptr, &pipe_, vnx::NodeInterface::NODE_MODULE,
                                                "MotionPipe");
    }
    ~MotionPipeTest() override
    {
        if (reader_ >= 0) {
            ::close(reader_);
        }
        vnx::NodeManager::getInstance().removeNode(&pipe_);
    }

    int configure(const std::string& name, uint8_t type = VNX_TYPE_MOTION_PIPE)
    {
        vnx_MotionPipe_Config_s config;
        vnx_MotionPipe_initConfig(&config);
        config.config.header.type = type;
        std::memcpy(config.pipeName, name.data(), std::min(name.size(), sizeof config.pipeName));
        return pipe_.setConfig(&config.config);
    }
    int init()
    {
        int offset = 0;
        return pipe_.init(nullptr, offset, nullptr, offset);
    }
    // Everything waiting in the FIFO.
    std::vector<unsigned char> drain()
    {
        std::vector<unsigned char> bytes;
        unsigned char chunk[4096];
        for (ssize_t got = ::read(reader_, chunk, sizeof chunk); got > 0;
             got = ::read(reader_, chunk, sizeof chunk)) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        return bytes;
    }
    void openReader(const std::string& fifo) { reader_ = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK); }

    vnx::testsupport::FifoDirectory dir_;
    ScopedEnv noCreation_{"VNX_PERMISSION_CREATE_NAMED_PIPE", nullptr};
    vnx::MotionPipe pipe_;
    LogCapture log_{LogCapture::defaultLoggerOf(&pipe_), vnx::log::INFO};
    int reader_ = -1;
};

TEST_F(MotionPipeTest, WithoutANameNothingIsOpenedOrWritten)
{
    ASSERT_TRUE(log_.attached());
    EXPECT_EQ(init(), 0);
    ASSERT_EQ(log_.lines().size(), 1u);
    EXPECT_EQ(log_.lines()[0].text, "No pipe specified");
    EXPECT_EQ(log_.lines()[0].level, vnx::log::NOTICE);
    const auto output = record(32, VNX_KIND_OUTPUT, 1);
    const vnx_StructOutput_s* inputs[] = {reinterpret_cast<const vnx_StructOutput_s*>(output.data())};
    EXPECT_EQ(pipe_.process(0, 1, inputs, nullptr, 0, 0, nullptr, nullptr), 0);
}

TEST_F(MotionPipeTest, EachSlotsRecordsWithABodyGoIntoThePipeBackToBack)
{
    const std::string fifo = dir_.fifo("motion");
    openReader(fifo);
    ASSERT_GE(reader_, 0);
    ASSERT_EQ(configure(fifo), 0);
    EXPECT_TRUE(log_.contains("Opening: " + fifo));

    const auto headerOnlyFormat = record(16, VNX_KIND_FORMAT, 0);
    const auto output0 = record(32, VNX_KIND_OUTPUT, 0xA0);
    const auto format2 = record(40, VNX_KIND_FORMAT, 0xF2);
    const auto output2 = record(48, VNX_KIND_OUTPUT, 0xA2);
    const vnx_StructOutput_s* inputs[] = {reinterpret_cast<const vnx_StructOutput_s*>(output0.data()),
                                          nullptr,
                                          reinterpret_cast<const vnx_StructOutput_s*>(output2.data())};
    const vnx_StructFormat_s* formats[] = {
        reinterpret_cast<const vnx_StructFormat_s*>(headerOnlyFormat.data()), nullptr,
        reinterpret_cast<const vnx_StructFormat_s*>(format2.data())};
    for (int sample = 0; sample < 3; ++sample) {
        ASSERT_EQ(pipe_.process(0, 3, inputs, formats, 0, 0, nullptr, nullptr), 0);
    }
    std::vector<unsigned char> expected;
    for (int sample = 0; sample < 3; ++sample) {
        expected.insert(expected.end(), output0.begin(), output0.end());
        expected.insert(expected.end(), format2.begin(), format2.end());
        expected.insert(expected.end(), output2.begin(), output2.end());
    }
    EXPECT_EQ(drain(), expected);

    // The same name again leaves the open pipe alone.
    log_.clear();
    ASSERT_EQ(configure(fifo), 0);
    EXPECT_TRUE(log_.lines().empty());
    ASSERT_EQ(pipe_.process(0, 1, inputs, formats, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(drain(), output0);

    // A departed reader is not a broken pipe: no reopening, the chain goes
    // on, and a new reader gets whole records from its first byte.
    ::close(reader_);
    reader_ = -1;
    log_.clear();
    EXPECT_EQ(pipe_.process(0, 3, inputs, formats, 0, 0, nullptr, nullptr), 0);
    EXPECT_FALSE(log_.contains("Opening: " + fifo));
    openReader(fifo);
    ASSERT_EQ(pipe_.process(0, 1, inputs, formats, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(drain(), output0);

    // An empty name closes the pipe.
    ASSERT_EQ(configure(""), 0);
    EXPECT_TRUE(log_.contains("No pipe specified"));
    ASSERT_EQ(pipe_.process(0, 1, inputs, formats, 0, 0, nullptr, nullptr), 0);
    EXPECT_TRUE(drain().empty());
}

TEST_F(MotionPipeTest, TheFloatPipeConfigIsTakenAndAFullNameIsReadWithinItsField)
{
    const std::string name = std::string(dir_.path() + "/") + std::string(40, 'n');
    const std::string field = name.substr(0, 32);
    ASSERT_EQ(configure(name, VNX_TYPE_MOTION_FLOAT_PIPE), 0);
    EXPECT_TRUE(log_.contains("Opening: " + field));
    vnx_MotionPipe_Config_s back;
    vnx_MotionPipe_initConfig(&back);
    ASSERT_EQ(pipe_.getConfig(&back.config), 0);
    EXPECT_EQ(back.config.header.type, VNX_TYPE_MOTION_FLOAT_PIPE);
    EXPECT_EQ(std::string(back.pipeName, 32), field);
}

TEST_F(MotionPipeTest, OtherRecordsAreNotForItAndItTakesAnyInput)
{
    vnx_StructConfig_s other = {};
    other.header.type = 9;
    other.header.kind = VNX_KIND_CONFIG;
    other.header.size = sizeof other;
    EXPECT_EQ(pipe_.setConfig(&other), -3);
    EXPECT_EQ(pipe_.getConfig(&other), -3);
    vnx_StructCommand_s command = {};
    EXPECT_EQ(pipe_.sendCommand(&command), -3);
    EXPECT_EQ(pipe_.getType(), VNX_TYPE_MOTION_PIPE);
    size_t count = 0;
    EXPECT_EQ(pipe_.getInputInterfaceCount(), 1);
    EXPECT_EQ(pipe_.getInputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, std::numeric_limits<size_t>::max());
    EXPECT_EQ(pipe_.getInputInterface(1, 0, nullptr, count), -17);
    EXPECT_EQ(pipe_.getOutputInterfaceCount(), 0);
    EXPECT_EQ(pipe_.getOutputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, 0u);
    vnx_MotionPipe_Config_s config;
    vnx_MotionPipe_initConfig(&config);
    EXPECT_EQ(config.config.header.size, 64);
    for (char c : config.pipeName) {
        EXPECT_EQ(c, 0);
    }
}

} // namespace
