#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/record.h"

namespace {

// A record of any kind: header plus room for module fields, filled with a
// pattern so that a copy or a stray write shows.
struct TestRecord
{
    alignas(8) unsigned char bytes[48];

    TestRecord(uint16_t size, uint8_t type, uint8_t kind, uint8_t version, unsigned char fill = 0x5A)
    {
        std::memset(bytes, fill, sizeof bytes);
        header()->size = size;
        header()->type = type;
        header()->kind = kind;
        header()->version = version;
        header()->instanceId = 0;
    }

    vnx_Struct_s* header() { return reinterpret_cast<vnx_Struct_s*>(bytes); }
};

TEST(RecordHeader, TypeAndKindReadAsOneLittleEndianWord)
{
    TestRecord config(32, 5, VNX_KIND_CONFIG, 1);
    TestRecord output(40, 22, VNX_KIND_OUTPUT, 1);
    EXPECT_EQ(config.bytes[2] | (config.bytes[3] << 8), 261);
    EXPECT_EQ(output.bytes[2] | (output.bytes[3] << 8), 1302);
}

TEST(RecordIsSimilar, ComparesSizeTypeKindAndVersionOnly)
{
    struct Case
    {
        const char* name;
        uint16_t size;
        uint8_t type;
        uint8_t kind;
        uint8_t version;
        bool similar;
    };
    const Case cases[] = {
        {"same header", 32, 5, 1, 1, true},    {"other size", 40, 5, 1, 1, false},
        {"other type", 32, 6, 1, 1, false},    {"other kind", 32, 5, 2, 1, false},
        {"other version", 32, 5, 1, 2, false},
    };
    TestRecord reference(32, 5, 1, 1, 0x11);
    reference.header()->instanceId = 7;
    for (const Case& c : cases) {
        TestRecord other(c.size, c.type, c.kind, c.version, 0x22);
        other.header()->instanceId = 99;
        EXPECT_EQ(vnx_Struct_isSimilar(reference.header(), other.header()), c.similar) << c.name;
        EXPECT_EQ(vnx_Struct_copy(reference.header(), other.header()), c.similar ? 1 : 0) << c.name;
    }
}

TEST(RecordCopy, RecordsDifferingOnlyInInstanceIdAreCopiedWhole)
{
    TestRecord source(40, 22, VNX_KIND_OUTPUT, 1, 0x11);
    source.header()->instanceId = 0x0102030405060708u;
    TestRecord destination(40, 22, VNX_KIND_OUTPUT, 1, 0x22);
    destination.header()->instanceId = 42;

    EXPECT_EQ(vnx_Struct_copy(source.header(), destination.header()), 1);
    EXPECT_EQ(destination.header()->instanceId, 0x0102030405060708u);
    EXPECT_EQ(std::memcmp(source.bytes, destination.bytes, 40), 0);
    // Only `size` bytes are copied.
    EXPECT_EQ(destination.bytes[40], 0x22);
}

TEST(RecordCopy, VersionMismatchLeavesDestinationUnchanged)
{
    TestRecord source(32, 5, VNX_KIND_CONFIG, 2, 0x11);
    TestRecord destination(32, 5, VNX_KIND_CONFIG, 1, 0x22);
    TestRecord before = destination;

    EXPECT_EQ(vnx_Struct_copy(source.header(), destination.header()), 0);
    EXPECT_EQ(vnx_StructConfig_copy(source.header(), destination.header()), 0);
    EXPECT_EQ(std::memcmp(before.bytes, destination.bytes, sizeof before.bytes), 0);
}

TEST(RecordCopy, NullRecordsCopyNothing)
{
    TestRecord record(32, 5, VNX_KIND_CONFIG, 1);
    EXPECT_EQ(vnx_Struct_copy(nullptr, record.header()), 0);
    EXPECT_EQ(vnx_Struct_copy(record.header(), nullptr), 0);
    EXPECT_FALSE(vnx_Struct_isSimilar(nullptr, record.header()));
}

TEST(RecordFind, ReturnsFirstRecordOfTheTypeWhateverItsKind)
{
    TestRecord other(32, 3, VNX_KIND_CONFIG, 1);
    TestRecord firstMatch(16, 5, VNX_KIND_FORMAT, 1);
    TestRecord secondMatch(32, 5, VNX_KIND_OUTPUT, 4);
    const vnx_Struct_s* records[] = {other.header(), firstMatch.header(), secondMatch.header()};

    int index = 99;
    EXPECT_EQ(vnx_Struct_find(3, records, 5, &index), 1);
    EXPECT_EQ(index, 1);

    EXPECT_EQ(vnx_Struct_find(3, records, 9, &index), 0);
    EXPECT_EQ(index, -1);

    // The count bounds the scan.
    index = 99;
    EXPECT_EQ(vnx_Struct_find(1, records, 5, &index), 0);
    EXPECT_EQ(index, -1);
}

TEST(RecordFind, EmptyArraySetsIndexToMinusOne)
{
    int index = 3;
    EXPECT_EQ(vnx_Struct_find(0, nullptr, 5, &index), 0);
    EXPECT_EQ(index, -1);
}

TEST(RecordFind, SkipsNullElements)
{
    TestRecord match(32, 5, VNX_KIND_CONFIG, 1);
    const vnx_Struct_s* records[] = {nullptr, match.header()};
    int index = 99;
    EXPECT_EQ(vnx_Struct_find(2, records, 5, &index), 1);
    EXPECT_EQ(index, 1);
}

// One row per kind: the generic per-kind functions, called through pointers so
// that every kind is checked against every kind value.
struct KindFunctions
{
    const char* name;
    uint8_t kind;
    const void* (*dynamicCast)(vnx_Struct_s*);
    const void* (*dynamicCastConst)(const vnx_Struct_s*);
    const void* (*downCast)(vnx_Struct_s*);
    const vnx_Struct_s* (*upCastConstOfDown)(const vnx_Struct_s*);
    bool (*isA)(const vnx_Struct_s*, uint8_t);
    int (*copy)(const vnx_Struct_s*, vnx_Struct_s*);
};

#define KIND_ROW(Kind, value)                                                                                \
    KindFunctions                                                                                            \
    {                                                                                                        \
#Kind,                                                                                  \
        value,                                                                                  \
        [](vnx_Struct_s* r) -> const void* { return vnx_Struct_dynamicDownCast##Kind(r); },     \
        [](const vnx_Struct_s* r) -> const void* {                                              \
            return vnx_Struct_dynamicDownCastConst##Kind(r);                                    \
        },                                                                                      \
        [](vnx_Struct_s* r) -> const void* {                                                    \
            vnx_Struct##Kind##_s* down = vnx_Struct_downCast##Kind(r);                          \
            return vnx_Struct_upCast##Kind(down) == r ? down : nullptr;                         \
        },                                                                                      \
        [](const vnx_Struct_s* r) {                                                             \
            return vnx_Struct_upCastConst##Kind(vnx_Struct_downCastConst##Kind(r));             \
        },                                                                                      \
        vnx_Struct##Kind##_isA,                                                                 \
        vnx_Struct##Kind##_copy,                    \
    }

const KindFunctions kKinds[] = {
    KIND_ROW(Config, VNX_KIND_CONFIG), KIND_ROW(Command, VNX_KIND_COMMAND), KIND_ROW(Status, VNX_KIND_STATUS),
    KIND_ROW(Format, VNX_KIND_FORMAT), KIND_ROW(Output, VNX_KIND_OUTPUT),
};

TEST(RecordKindCasts, DynamicCastChecksOnlyTheKindByte)
{
    for (const KindFunctions& f : kKinds) {
        for (uint8_t kind = 0; kind <= 6; ++kind) {
            // Odd size, type and version: none of them may matter.
            TestRecord record(31, 200, kind, 9);
            const void* expected = kind == f.kind ? record.header() : nullptr;
            EXPECT_EQ(f.dynamicCast(record.header()), expected) << f.name << " of kind " << int(kind);
            EXPECT_EQ(f.dynamicCastConst(record.header()), expected) << f.name << " of kind " << int(kind);
        }
        EXPECT_EQ(f.dynamicCast(nullptr), nullptr) << f.name;
    }
}

TEST(RecordKindCasts, UpAndDownCastsAreIdentity)
{
    for (const KindFunctions& f : kKinds) {
        TestRecord record(16, 1, 0, 1); // unchecked: even a kind-0 record passes
        EXPECT_EQ(f.downCast(record.header()), record.header()) << f.name;
        EXPECT_EQ(f.upCastConstOfDown(record.header()), record.header()) << f.name;
    }
}

TEST(RecordKindCasts, IsAMatchesKindAndType)
{
    for (const KindFunctions& f : kKinds) {
        TestRecord record(32, 12, f.kind, 1);
        EXPECT_TRUE(f.isA(record.header(), 12)) << f.name;
        EXPECT_FALSE(f.isA(record.header(), 13)) << f.name;
        EXPECT_TRUE(vnx_Struct_isA(record.header(), 12, f.kind)) << f.name;
        record.header()->kind = f.kind == VNX_KIND_OUTPUT ? VNX_KIND_CONFIG : f.kind + 1;
        EXPECT_FALSE(f.isA(record.header(), 12)) << f.name;
    }
    EXPECT_FALSE(vnx_Struct_isA(nullptr, 12, VNX_KIND_CONFIG));
}

TEST(RecordKindCasts, KindCopyIsTheGenericCopy)
{
    for (const KindFunctions& f : kKinds) {
        TestRecord source(32, 12, f.kind, 1, 0x11);
        TestRecord destination(32, 12, f.kind, 1, 0x22);
        EXPECT_EQ(f.copy(source.header(), destination.header()), 1) << f.name;
        EXPECT_EQ(std::memcmp(source.bytes, destination.bytes, 32), 0) << f.name;
        destination.header()->version = 2;
        EXPECT_EQ(f.copy(source.header(), destination.header()), 0) << f.name;
    }
}

TEST(RecordKindNames, NamesKindsOneToFive)
{
    const struct
    {
        int kind;
        const char* name;
    } cases[] = {
        {-1, "<Unknown>"}, {0, "<Unknown>"}, {1, "Config"},    {2, "Command"},     {3, "Status"},
        {4, "Format"},     {5, "Output"},    {6, "<Unknown>"}, {261, "<Unknown>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(vnx_structToString(c.kind)), c.name) << c.kind;
    }
}

TEST(RecordFormat, SamplingPeriodIsUnknownAtHeaderLevel)
{
    vnx_StructFormat_s format{};
    const vnx_StructFormat_s* formats[] = {&format};
    EXPECT_EQ(vnx_StructFormat_getSamplingPeriod(&format), -1);
    EXPECT_EQ(vnx_StructFormat_findSamplingPeriod(1, formats, 0), -1);
}

} // namespace
