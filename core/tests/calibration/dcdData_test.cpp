#include "calibration/dcdData.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "common/crc32.h"

namespace {

/// A block of `size` bytes with head (size, version), varied contents and the
/// CRC-32 of bytes 0 .. crcOffset - 1 stored at crcOffset.
std::vector<unsigned char> sealedDcd(uint16_t size, uint16_t version, uint32_t crcOffset)
{
    std::vector<unsigned char> block(size);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 7 + 3);
    std::memcpy(block.data(), &size, 2);
    std::memcpy(block.data() + 2, &version, 2);
    const uint32_t crc = crc32_process(block.data(), crcOffset);
    std::memcpy(block.data() + crcOffset, &crc, 4);
    return block;
}

const vnx_dcdData_s* asDcd(const std::vector<unsigned char>& block)
{
    return reinterpret_cast<const vnx_dcdData_s*>(block.data());
}

using Validator = bool (*)(const vnx_dcdData_s*);

struct DcdFormCase
{
    const char* name;
    uint16_t size;
    uint16_t version;
    uint32_t crcOffset;
    Validator validates;
};

const DcdFormCase kForms[] = {
    {"Alg4MinFixed", 184, 13, 180,
     [](const vnx_dcdData_s* d) { return dcdAlg4MinFixedValidateAndCast(d) != nullptr; }},
    {"Alg49AxisFixed", 260, 27, 256,
     [](const vnx_dcdData_s* d) { return dcdAlg49AxisFixedValidateAndCast(d) != nullptr; }},
    {"Gen4Fixed", 44, 6, 40,
     [](const vnx_dcdData_s* d) { return dcdGen4FixedValidateAndCast(d) != nullptr; }},
    {"SensorFusionFixed", 84, 25, 80,
     [](const vnx_dcdData_s* d) { return dcdSensorFusionFixedValidateAndCast(d) != nullptr; }},
};

TEST(DcdRecord, EachFormAcceptsItsSealedBlockAndNoOther)
{
    for (const DcdFormCase& form : kForms) {
        SCOPED_TRACE(form.name);
        const auto block = sealedDcd(form.size, form.version, form.crcOffset);
        for (const DcdFormCase& validator : kForms)
            EXPECT_EQ(validator.validates(asDcd(block)), &validator == &form) << validator.name;
        EXPECT_FALSE(form.validates(nullptr));
    }
}

TEST(DcdRecord, ChangingAnyByteUpToTheCrcMakesTheBlockAbsent)
{
    for (const DcdFormCase& form : kForms) {
        SCOPED_TRACE(form.name);
        const auto sealed = sealedDcd(form.size, form.version, form.crcOffset);
        for (uint32_t i = 0; i < form.crcOffset + 4; ++i) {
            auto block = sealed;
            block[i] ^= 0x01;
            EXPECT_FALSE(form.validates(asDcd(block))) << "byte " << i;
        }
    }
}

TEST(DcdRecord, SealedBlockOfTheWrongVersionIsRefused)
{
    for (const DcdFormCase& form : kForms) {
        SCOPED_TRACE(form.name);
        const auto block = sealedDcd(form.size, static_cast<uint16_t>(form.version + 1), form.crcOffset);
        EXPECT_FALSE(form.validates(asDcd(block)));
    }
}

TEST(DcdRecord, CastGivesTheBlockItselfWithItsFieldsInPlace)
{
    dcdAlg49AxisFixed_s dcd{};
    dcd.head = {260, 27};
    dcd.accOffsetCal.offset[1] = 0.25f;
    dcd.scdCrc = 0x12345678;
    dcd.crc = crc32_process(&dcd, 256);
    const dcdAlg49AxisFixed_s* cast = dcdAlg49AxisFixedValidateAndCast(&dcd.head);
    ASSERT_EQ(cast, &dcd);
    EXPECT_EQ(cast->accOffsetCal.offset[1], 0.25f);

    dcdAlg4MinFixed_s small{};
    small.head = {184, 13};
    small.innards.state = VNX_DCD_STATE_EMPTY;
    small.crc = crc32_process(&small, 180);
    EXPECT_EQ(dcdAlg4MinFixedValidateAndCast(&small.head), &small);
}

TEST(DcdRecord, SizeAndVersionAcceptOnlyThe184ByteForm)
{
    EXPECT_TRUE(vnx_dcdIsSizeAndVersionValid(184, 13));
    EXPECT_FALSE(vnx_dcdIsSizeAndVersionValid(260, 27));
    EXPECT_FALSE(vnx_dcdIsSizeAndVersionValid(184, 27));
    EXPECT_FALSE(vnx_dcdIsSizeAndVersionValid(260, 13));
}

TEST(DcdRecord, EmptyInnardsMarkEveryLearnedValueUnset)
{
    dcdAlg4MinFixedInnards_s innards;
    std::memset(&innards, 0xA5, sizeof innards);
    dcdAlg4MinFixedInnardsSetEmpty(&innards);

    unsigned char bytes[172];
    std::memcpy(bytes, &innards, sizeof bytes);
    for (int i = 0; i < 156; ++i) {
        if (i >= 40 && i < 44)
            continue;
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    }
    uint32_t state;
    std::memcpy(&state, bytes + 40, 4);
    EXPECT_EQ(state, 1u);
    float unset[4];
    std::memcpy(unset, bytes + 156, sizeof unset);
    EXPECT_EQ(unset[0], 2147483648.0f);
    EXPECT_EQ(unset[1], 2147483648.0f);
    EXPECT_EQ(unset[2], 2147483648.0f);
    EXPECT_EQ(unset[3], -2147483648.0f);
}

} // namespace
