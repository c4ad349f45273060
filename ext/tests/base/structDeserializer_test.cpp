#include <gtest/gtest.h>

#include <vector>

#include "base/StructDeserializer.h"
#include "support/sampleBatch.h"

namespace {

using vnx::StructDeserializer;
using vnx::testsupport::SampleBatch;

const vnx_Struct_s* asRecord(const void* record)
{
    return static_cast<const vnx_Struct_s*>(record);
}

// Offers every record; the answers in order.
std::vector<int> offer(StructDeserializer& deserializer, const std::vector<const vnx_Struct_s*>& records)
{
    std::vector<int> answers;
    for (const vnx_Struct_s* record : records) {
        answers.push_back(deserializer.handle(record));
    }
    return answers;
}

TEST(StructDeserializer, CollectsABatchAndHandsItBackAsCopies)
{
    SampleBatch batch;
    StructDeserializer deserializer;
    EXPECT_EQ(deserializer.handle(asRecord(&batch.buttons)), 981) << "no batch yet";
    EXPECT_EQ(offer(deserializer, batch.serialized()), (std::vector<int>{980, 980, 980, 980, 980, 0}));
    EXPECT_EQ(deserializer.getStart().slotCount, 2u);
    EXPECT_EQ(deserializer.getStart().recordCount, 6u);

    size_t n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    ASSERT_EQ(deserializer.retrieve(n, outputs, formats), 0);
    ASSERT_EQ(n, 2u);
    // Copies, not the offered records: the batch outlives its sender.
    EXPECT_NE(outputs[0], &batch.gyro.output);
    batch.gyro.x = 0;
    const auto* gyro = reinterpret_cast<const vnx_DeviceSupport_Output_s*>(outputs[0]);
    EXPECT_EQ(gyro->x, 120 + 77);
    EXPECT_EQ(gyro->sensor, 2);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport_Format_s*>(formats[0])->temperature, 2410);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport_Output_s*>(outputs[1])->z, 4096);
    EXPECT_NE(formats[1], nullptr);

    // After the batch, records are outside any batch again, a closing record
    // included, and the batch stays retrievable.
    EXPECT_EQ(deserializer.handle(asRecord(&batch.acc)), 981);
    EXPECT_EQ(deserializer.handle(asRecord(&batch.trailer)), 981);
    vnx_StructOutput_s** mutableOutputs = nullptr;
    vnx_StructFormat_s** mutableFormats = nullptr;
    ASSERT_EQ(deserializer.retrieve(n, mutableOutputs, mutableFormats), 0);
    EXPECT_EQ(n, 2u);
}

TEST(StructDeserializer, NewHeadRecordThrowsTheUnfinishedBatchAway)
{
    SampleBatch first(1);
    SampleBatch second(2);
    const auto one = first.serialized();
    const auto two = second.serialized();
    StructDeserializer deserializer;
    EXPECT_EQ(offer(deserializer, {one.begin(), one.begin() + 3}), (std::vector<int>{980, 980, 980}));
    EXPECT_EQ(offer(deserializer, two).back(), 0);
    size_t n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    ASSERT_EQ(deserializer.retrieve(n, outputs, formats), 0);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport_Format_s*>(formats[0])->sampleNumber, 2u);
}

TEST(StructDeserializer, RefusesBatchesThatDoNotKeepToTheirCount)
{
    SampleBatch batch;
    auto records = batch.serialized();
    StructDeserializer deserializer;

    // One record more than announced before the closing record.
    batch.header.recordCount = 4;
    EXPECT_EQ(offer(deserializer, records), (std::vector<int>{980, 980, 980, 980, -1030, -1030}));

    const struct
    {
        uint64_t recordCount;
        int answer;
    } counts[] = {{0, -1030}, {1, -1030}, {2, 980}, {4096, 980}, {4097, -1030}, {UINT64_MAX, -1030}};
    for (const auto& c : counts) {
        batch.header.recordCount = c.recordCount;
        EXPECT_EQ(deserializer.handle(asRecord(&batch.header)), c.answer) << c.recordCount;
        // A refused head leaves no batch open.
        EXPECT_EQ(deserializer.handle(asRecord(&batch.gyro)), c.answer == 980 ? 980 : 981) << c.recordCount;
    }

    // A head record too short to hold its counts.
    batch.header.recordCount = 6;
    batch.header.output.header.size = 16;
    EXPECT_EQ(deserializer.handle(asRecord(&batch.header)), -1030);
    EXPECT_EQ(deserializer.handle(nullptr), -2);
}

TEST(StructDeserializer, BatchWhoseRecordsDoNotMatchItsHeadIsNotHandedOut)
{
    SampleBatch batch;
    auto records = batch.serialized();
    // Four records announced as one slot: two Outputs do not fit.
    batch.header.slotCount = 1;
    StructDeserializer deserializer;
    ASSERT_EQ(offer(deserializer, records).back(), 0);
    size_t n = 9;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    EXPECT_EQ(deserializer.retrieve(n, outputs, formats), -2);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(outputs, nullptr);
    EXPECT_EQ(formats, nullptr);

    // So many slots are announced that no batch would have them.
    batch.header.slotCount = 1u << 30;
    ASSERT_EQ(offer(deserializer, records).back(), 0);
    EXPECT_EQ(deserializer.retrieve(n, outputs, formats), -1030);
    EXPECT_EQ(n, 0u);

    deserializer.clear();
    EXPECT_EQ(deserializer.retrieve(n, outputs, formats), -2) << "nothing collected";
}

} // namespace
