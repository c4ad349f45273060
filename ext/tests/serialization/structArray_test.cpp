#include <gtest/gtest.h>

#include <vector>

#include "serialization/SerializationRecords.h"
#include "support/sampleBatch.h"

namespace {

const vnx_Struct_s* headerOf(const void* record)
{
    return static_cast<const vnx_Struct_s*>(record);
}

using Batch = vnx::testsupport::SampleBatch;

TEST(StructArraySerialize, TwoSlotsWithFormatsGiveSixRecordsInOrder)
{
    Batch b;
    b.header.trailerValue = 0xCAFE;
    const vnx_StructOutput_s* outputs[] = {&b.gyro.output, &b.acc.output};
    const vnx_StructFormat_s* formats[] = {&b.gyroFormat.format, &b.accFormat.format};
    const vnx_Struct_s* sequence[8];
    size_t count = 99;
    ASSERT_EQ(vnx_structArraySerialize(2, outputs, formats, &b.header, &b.trailer, 8, sequence, &count), 0);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(b.header.slotCount, 2u);
    EXPECT_EQ(b.header.recordCount, 6u);
    EXPECT_EQ(b.trailer.headerValue, 0xCAFEu);
    const vnx_Struct_s* expected[] = {headerOf(&b.header),
                                      headerOf(&b.gyro),
                                      headerOf(&b.gyroFormat),
                                      headerOf(&b.acc),
                                      headerOf(&b.accFormat),
                                      headerOf(&b.trailer),
                                      nullptr,
                                      nullptr};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(sequence[i], expected[i]) << i;
    }
}

TEST(StructArraySerialize, TooSmallCapacityKeepsWhatFitsAndTellsTheNeed)
{
    Batch b;
    const vnx_StructOutput_s* outputs[] = {&b.gyro.output, &b.acc.output};
    const vnx_StructFormat_s* formats[] = {&b.gyroFormat.format, &b.accFormat.format};
    const vnx_Struct_s* sequence[4];
    size_t count = 0;
    EXPECT_EQ(vnx_structArraySerialize(2, outputs, formats, &b.header, &b.trailer, 4, sequence, &count), -11);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(b.header.recordCount, 6u);
    EXPECT_EQ(sequence[0], headerOf(&b.header));
    EXPECT_EQ(sequence[1], headerOf(&b.gyro));
    EXPECT_EQ(sequence[2], headerOf(&b.gyroFormat));
    EXPECT_EQ(sequence[3], headerOf(&b.acc));
}

TEST(StructArraySerialize, RefusesMissingArguments)
{
    Batch b;
    const vnx_StructOutput_s* outputs[] = {&b.gyro.output};
    const vnx_StructFormat_s* formats[] = {&b.gyroFormat.format};
    const vnx_Struct_s* sequence[4];
    size_t count = 7;
    EXPECT_EQ(vnx_structArraySerialize(1, outputs, formats, &b.header, &b.trailer, 4, sequence, nullptr), -2);
    EXPECT_EQ(vnx_structArraySerialize(1, outputs, formats, nullptr, &b.trailer, 4, sequence, &count), -2);
    EXPECT_EQ(count, 0u);
    count = 7;
    EXPECT_EQ(vnx_structArraySerialize(1, outputs, formats, &b.header, nullptr, 4, sequence, &count), -2);
    EXPECT_EQ(vnx_structArraySerialize(1, outputs, formats, &b.header, &b.trailer, 1, sequence, &count), -2);
    EXPECT_EQ(vnx_structArraySerialize(1, outputs, formats, &b.header, &b.trailer, 4, nullptr, &count), -2);
    EXPECT_EQ(vnx_structArraySerialize(1, nullptr, formats, &b.header, &b.trailer, 4, sequence, &count), -2);
    EXPECT_EQ(vnx_structArraySerialize(1, outputs, nullptr, &b.header, &b.trailer, 4, sequence, &count), -2);
    // An empty batch is head and closing record.
    EXPECT_EQ(vnx_structArraySerialize(0, nullptr, nullptr, &b.header, &b.trailer, 2, sequence, &count), 0);
    EXPECT_EQ(count, 2u);
}

TEST(StructArrayDeserialize, CapacityZeroTellsTheSlotCountThenTheBatchComesBack)
{
    Batch b;
    const vnx_StructOutput_s* outputs[] = {&b.gyro.output, &b.acc.output, &b.buttons.output};
    const vnx_StructFormat_s* formats[] = {&b.gyroFormat.format, nullptr, nullptr};
    const vnx_Struct_s* sequence[6];
    size_t count = 0;
    ASSERT_EQ(vnx_structArraySerialize(3, outputs, formats, &b.header, &b.trailer, 6, sequence, &count), 0);
    ASSERT_EQ(count, 6u);

    size_t n = 0;
    EXPECT_EQ(vnx_structArrayDeserialize(count, sequence, 0, nullptr, nullptr, &n), -11);
    EXPECT_EQ(n, 3u);

    std::vector<const vnx_StructOutput_s*> outs(n, &b.buttons.output);
    std::vector<const vnx_StructFormat_s*> fmts(n, &b.accFormat.format);
    ASSERT_EQ(vnx_structArrayDeserialize(count, sequence, n, outs.data(), fmts.data(), &n), 0);
    EXPECT_EQ(n, 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(outs[i], outputs[i]) << i;
        EXPECT_EQ(fmts[i], formats[i]) << i;
    }
}

TEST(StructArrayDeserialize, MissingOutputsCloseUpAndHeadAloneGivesEmptySlots)
{
    Batch b;
    const vnx_StructOutput_s* outputs[] = {&b.gyro.output, nullptr, &b.acc.output};
    const vnx_StructFormat_s* formats[] = {nullptr, nullptr, &b.accFormat.format};
    const vnx_Struct_s* sequence[8];
    size_t count = 0;
    ASSERT_EQ(vnx_structArraySerialize(3, outputs, formats, &b.header, &b.trailer, 8, sequence, &count), 0);
    const vnx_StructOutput_s* outs[3];
    const vnx_StructFormat_s* fmts[3];
    size_t n = 0;
    ASSERT_EQ(vnx_structArrayDeserialize(count, sequence, 3, outs, fmts, &n), 0);
    EXPECT_EQ(outs[0], &b.gyro.output);
    EXPECT_EQ(fmts[0], nullptr);
    EXPECT_EQ(outs[1], &b.acc.output);
    EXPECT_EQ(fmts[1], &b.accFormat.format);
    EXPECT_EQ(outs[2], nullptr);
    EXPECT_EQ(fmts[2], nullptr);

    // Head and closing record alone announcing two slots.
    const vnx_Struct_s* bare[] = {headerOf(&b.header), headerOf(&b.trailer)};
    b.header.slotCount = 2;
    b.header.recordCount = 2;
    ASSERT_EQ(vnx_structArrayDeserialize(2, bare, 3, outs, fmts, &n), 0);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(outs[0], nullptr);
    EXPECT_EQ(fmts[1], nullptr);
    EXPECT_EQ(outs[2], nullptr) << "past the slot count nothing is touched";
}

// Sequences whose head lies about them, or whose records do not fit their
// slots, are refused before anything is written.
TEST(StructArrayDeserialize, RefusesLyingSequencesWithoutWriting)
{
    struct Case
    {
        const char* what;
        void (*spoil)(Batch& b, std::vector<const vnx_Struct_s*>& sequence);
        size_t m; // 0: the sequence's own length
    };
    const Case cases[] = {
        {"record count above m", [](Batch& b, auto&) { b.header.recordCount = 7; }, 0},
        {"record count 1", [](Batch& b, auto&) { b.header.recordCount = 1; }, 0},
        {"record count 0", [](Batch& b, auto&) { b.header.recordCount = 0; }, 0},
        {"last record no closing record", [](Batch& b, auto&) { b.header.recordCount = 5; }, 0},
        {"more Outputs than slots", [](Batch& b, auto&) { b.header.slotCount = 1; }, 0},
        {"Format before the first Output",
         [](Batch& b, auto& s) {
             s.erase(s.begin() + 1);
             b.header.recordCount = 5;
         },
         0},
        {"null record", [](Batch&, auto& s) { s[3] = nullptr; }, 0},
        {"head of another type", [](Batch& b, auto& s) { s[0] = headerOf(&b.buttons); }, 0},
        {"head too short for its fields", [](Batch& b, auto&) { b.header.output.header.size = 16; }, 0},
        {"head a Format", [](Batch& b, auto&) { b.header.output.header.kind = VNX_KIND_FORMAT; }, 0},
        {"empty sequence", [](Batch&, auto&) {}, SIZE_MAX},
    };
    for (const Case& c : cases) {
        Batch b;
        const vnx_StructOutput_s* outputs[] = {&b.gyro.output, &b.acc.output};
        const vnx_StructFormat_s* formats[] = {&b.gyroFormat.format, &b.accFormat.format};
        std::vector<const vnx_Struct_s*> sequence(6);
        size_t count = 0;
        ASSERT_EQ(
            vnx_structArraySerialize(2, outputs, formats, &b.header, &b.trailer, 6, sequence.data(), &count),
            0);
        c.spoil(b, sequence);
        const size_t m = c.m == SIZE_MAX ? 0 : sequence.size();

        const vnx_StructOutput_s* outs[4] = {&b.buttons.output, &b.buttons.output, &b.buttons.output,
                                             &b.buttons.output};
        const vnx_StructFormat_s* fmts[4] = {&b.accFormat.format, &b.accFormat.format, &b.accFormat.format,
                                             &b.accFormat.format};
        size_t n = 0;
        EXPECT_EQ(vnx_structArrayDeserialize(m, sequence.data(), 4, outs, fmts, &n), -2) << c.what;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(outs[i], &b.buttons.output) << c.what;
            EXPECT_EQ(fmts[i], &b.accFormat.format) << c.what;
        }
    }
    size_t n = 5;
    EXPECT_EQ(vnx_structArrayDeserialize(0, nullptr, 0, nullptr, nullptr, &n), -2);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(vnx_structArrayDeserialize(0, nullptr, 0, nullptr, nullptr, nullptr), -2);
}

} // namespace
