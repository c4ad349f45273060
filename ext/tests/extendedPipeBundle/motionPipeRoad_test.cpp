// The bundle's records in the motion pipe, as an outside reader of the FIFO
// receives them.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/moduleType.h"
#include "gestureBundle/GestureBundleRecords.h"
#include "motionPipe/MotionPipeRecords.h"
#include "pipeBundleRig.h"
#include "support/fifoDirectory.h"
#include "support/scopedEnv.h"

namespace pipeBundleTest {
namespace {

using Bytes = std::vector<unsigned char>;

struct RecordKey
{
    uint8_t type;
    uint8_t kind;
    bool operator==(const RecordKey&) const = default;
};

class MotionPipeRoadTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { libraries_ = new Libraries; }
    static void TearDownTestSuite()
    {
        delete libraries_;
        libraries_ = nullptr;
    }

    MotionPipeRoadTest()
    {
        openReader();
        vnx_MotionPipe_Config_s pipe;
        vnx_MotionPipe_initConfig(&pipe);
        std::memcpy(pipe.pipeName, fifo_.data(), std::min(fifo_.size(), sizeof pipe.pipeName));
        EXPECT_LE(fifo_.size(), sizeof pipe.pipeName);
        EXPECT_EQ(rig_.module().setConfig(&pipe.config), 0);
        EXPECT_EQ(enablePipe(1), 0);
        EXPECT_EQ(rig_.init(), 0);
    }
    ~MotionPipeRoadTest() override { closeReader(); }

    int enablePipe(uint8_t on)
    {
        vnx_ExtendedPipeBundle_Config_s config;
        vnx_ExtendedPipeBundle_initConfig(&config);
        config.motionPipeEnabled = on;
        return rig_.module().setConfig(&config.config);
    }
    int addGesture(uint8_t type)
    {
        vnx_GestureBundle_Command_s command;
        vnx_GestureBundle_initCommand(&command);
        command.code = VNX_GESTURE_BUNDLE_COMMAND_ADD_MODULE;
        command.argument.instanceId = 0;
        command.argument.type = type;
        return rig_.module().sendCommand(&command.command);
    }

    void openReader() { reader_ = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK); }
    void closeReader()
    {
        if (reader_ >= 0) {
            ::close(reader_);
        }
        reader_ = -1;
    }
    Bytes drain() { return vnx::testsupport::readAvailable(reader_); }
    /// The records of a stream, read by their size fields.
    static std::vector<RecordKey> records(const Bytes& stream)
    {
        std::vector<RecordKey> keys;
        for (size_t at = 0; at + sizeof(vnx_Struct_s) <= stream.size();) {
            vnx_Struct_s header;
            std::memcpy(&header, stream.data() + at, sizeof header);
            if (header.size < sizeof header) {
                ADD_FAILURE() << "broken record at " << at;
                break;
            }
            keys.push_back({header.type, header.kind});
            at += header.size;
        }
        return keys;
    }
    static void append(Bytes& bytes, const void* record)
    {
        const auto* header = static_cast<const vnx_Struct_s*>(record);
        const auto* begin = static_cast<const unsigned char*>(record);
        bytes.insert(bytes.end(), begin, begin + header->size);
    }
    /// What one sample puts into the pipe without gestures.
    Bytes expectedSample()
    {
        Bytes bytes;
        append(bytes, rig_.outputRecord(3));
        append(bytes, rig_.formatRecord(2));
        append(bytes, rig_.outputRecord(2));
        append(bytes, rig_.outputRecord(4));
        return bytes;
    }

    static Libraries* libraries_;
    vnx::testsupport::FifoDirectory dir_;
    ScopedEnv noCreation_{"VNX_PERMISSION_CREATE_NAMED_PIPE", nullptr};
    std::string fifo_ = dir_.fifo("m");
    PipeBundleRig rig_;
    int reader_ = -1;
};

Libraries* MotionPipeRoadTest::libraries_ = nullptr;

TEST_F(MotionPipeRoadTest, EachSampleAddsTheButtonCursorAndFloatMotionRecords)
{
    ASSERT_GE(reader_, 0);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(rig_.step(i % 50 == 0 ? 1 : 0), 0);
        const Bytes got = drain();
        ASSERT_EQ(got.size(), 208u) << "sample " << i;
        EXPECT_EQ(got, expectedSample()) << "sample " << i;
    }
    EXPECT_EQ(records(expectedSample()), (std::vector<RecordKey>{{5, 5}, {9, 4}, {9, 5}, {13, 5}}));

    // Switched off, the pipe gets nothing.
    ASSERT_EQ(enablePipe(0), 0);
    ASSERT_EQ(rig_.step(), 0);
    EXPECT_TRUE(drain().empty());
}

TEST_F(MotionPipeRoadTest, AReaderThatLeavesNeitherStopsTheChainNorBreaksTheRecords)
{
    ASSERT_EQ(rig_.step(), 0);
    ASSERT_EQ(drain().size(), 208u);
    closeReader();
    auto& cursor = rig_.output<vnx_ExtendedCursor_Output_s>(2);
    for (int i = 0; i < 100; ++i) {
        const uint32_t before = cursor.sample;
        ASSERT_EQ(rig_.step(), 0);
        EXPECT_NE(cursor.sample, before) << "the chain goes on";
    }
    openReader();
    ASSERT_GE(reader_, 0);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(rig_.step(), 0);
        EXPECT_EQ(drain(), expectedSample()) << "whole records from the first byte";
    }
}

TEST_F(MotionPipeRoadTest, EveryLinearGestureOutputFollowsInSlotOrder)
{
    ASSERT_EQ(addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    ASSERT_EQ(addGesture(VNX_TYPE_MULTISTROKE_GESTURE), 0);
    ASSERT_EQ(addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    rig_.reshape();
    ASSERT_EQ(rig_.step(), 0);
    Bytes expected = expectedSample();
    append(expected, rig_.outputRecord(6));
    append(expected, rig_.outputRecord(8));
    EXPECT_EQ(drain(), expected) << "the MultistrokeGesture output is not piped";

    // Four LinearGestures: all four reach the pipe.
    vnx_GestureBundle_Command_s remove;
    vnx_GestureBundle_initCommand(&remove);
    remove.code = VNX_GESTURE_BUNDLE_COMMAND_REMOVE_MODULE;
    remove.argument.instanceId = rig_.outputRecord(7)->header.instanceId;
    ASSERT_EQ(rig_.module().sendCommand(&remove.command), 0);
    ASSERT_EQ(addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    ASSERT_EQ(addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    rig_.reshape();
    ASSERT_EQ(rig_.types().size(), 10u);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(rig_.step(), 0);
        const Bytes got = drain();
        const std::vector<RecordKey> keys = records(got);
        ASSERT_EQ(keys.size(), 8u);
        for (size_t k = 4; k < 8; ++k) {
            EXPECT_EQ(keys[k], (RecordKey{10, 5}));
        }
        // The gesture outputs are the slots' records, in slot order.
        expected = expectedSample();
        for (size_t slot = 6; slot < 10; ++slot) {
            append(expected, rig_.outputRecord(slot));
        }
        EXPECT_EQ(got, expected);
    }
}

} // namespace
} // namespace pipeBundleTest
