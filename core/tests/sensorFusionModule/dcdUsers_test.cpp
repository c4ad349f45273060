// Every user of a DCD at init (the interpretation modules and the mobile
// engine) takes and refuses the same blocks, through the one shared check;
// where they differ (no DCD at all is no warning for the mobile engine, and
// only the engine knows the length of its buffer) the table says so.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "calibration/dcdAcceptance.h"
#include "common/crc32.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorFusionMobile/mobileApi.h"
#include "support/ScdBuilder.h"
#include "support/dcdBlocks.h"

namespace {

using vnx::testsupport::gyroOnlyDcd;
using vnx::testsupport::I;
using vnx::testsupport::nineAxisDcd;
using vnx::testsupport::ScdBuilder;

scdGen4Float_s device()
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.001f) * I)
        .gyroNoise(4, 4, 4)
        .zroTerms(0.005f, 0.005f)
        .zroInitSigma(0.02f)
        .deviceKind(1)
        .build();
}

dcdAlg4MinFixedInnards_s learnedState()
{
    dcdAlg4MinFixedInnards_s innards;
    dcdAlg4MinFixedInnardsSetEmpty(&innards);
    innards.zro[0] = 0.01f;
    innards.zro[1] = -0.02f;
    innards.temperature = 25.0f;
    return innards;
}

dcdMagAmpCal_s magState()
{
    dcdMagAmpCal_s mag{};
    for (int i = 0; i < 3; ++i)
        mag.iPlusD[i * 4] = 1.0f;
    mag.fieldStrength = 1.0f;
    mag.accuracy = 3.14159265f;
    return mag;
}

template <class Block> std::vector<std::uint8_t> bytesOf(const Block& block)
{
    std::vector<std::uint8_t> bytes(sizeof block);
    std::memcpy(bytes.data(), &block, sizeof block);
    return bytes;
}

/// Re-seals a block after a field was changed, so that only that field is wrong.
template <class Block> std::vector<std::uint8_t> resealed(Block block)
{
    block.crc = crc32_process(&block, offsetof(Block, crc));
    return bytesOf(block);
}

struct Case
{
    const char* name;
    std::vector<std::uint8_t> bytes; ///< empty: no DCD (null)
    std::size_t engineBuffer;        ///< the length the mobile engine is told
    int modules;                     ///< status of both interpretation modules
    int engine;                      ///< status of the mobile engine
};

std::vector<Case> cases(std::uint32_t scdCrc)
{
    const dcdAlg4MinFixedInnards_s state = learnedState();
    const dcdAlg4MinFixed_s gyro = gyroOnlyDcd(scdCrc, state);
    const dcdAlg49AxisFixed_s full = nineAxisDcd(scdCrc, state, magState());
    dcdAlg4MinFixed_s wrongVersion = gyro;
    wrongVersion.head.version = 14;
    dcdAlg49AxisFixed_s shortSize = full;
    shortSize.head.size = 180;
    std::vector<std::uint8_t> badCrc = bytesOf(full);
    badCrc[100] ^= 0x01;
    const std::vector<std::uint8_t> zeros(260, 0);

    constexpr int ok = VNX_STATUS_SUCCESS;
    constexpr int other = VNX_STATUS_WARNING_DCD_SCD_MISMATCH;
    constexpr int invalid = VNX_STATUS_WARNING_INVALID_DCD;
    return {
        {"none", {}, 0, invalid, ok},
        {"184-byte form", bytesOf(gyro), 184, ok, ok},
        {"260-byte form", bytesOf(full), 260, ok, ok},
        {"184-byte form of another SCD", bytesOf(gyroOnlyDcd(scdCrc + 1, state)), 184, other, other},
        {"260-byte form of another SCD", bytesOf(nineAxisDcd(scdCrc ^ 0x80000000u, state, magState())), 260,
         other, other},
        {"wrong version", resealed(wrongVersion), 184, invalid, invalid},
        {"size word shorter than any form", resealed(shortSize), 260, invalid, invalid},
        {"wrong CRC", badCrc, 260, invalid, invalid},
        {"all zero", zeros, 260, invalid, ok},
        {"260-byte form in a 259-byte buffer", bytesOf(full), 259, ok, invalid},
    };
}

int moduleStatus(std::uint8_t type, const scdGen4Float_s& scd, const vnx_dcdData_s* dcd)
{
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(nullptr, type);
    EXPECT_NE(module, nullptr);
    if (module == nullptr)
        return VNX_STATUS_INTERNAL_ERROR;
    int scdOffset = 0;
    int dcdOffset = 0;
    const int status = module->init(&scd.head, scdOffset, dcd, dcdOffset);
    vnx::ModuleFactory::destroyModule(module);
    return status;
}

int engineStatus(const scdGen4Float_s& scd, const vnx_dcdData_s* dcd, std::size_t size)
{
    vnx_Mobile_Configuration_s config;
    vnx_Mobile_getDefaults(&config);
    config.scd = &scd.head;
    config.scdSize = sizeof scd;
    config.dcd = dcd;
    config.dcdSize = size;
    vnx_Mobile_Handle handle = nullptr;
    const int status = vnx_Mobile_initialize(&handle, &config);
    vnx_Mobile_finalize(handle);
    return status;
}

class DcdUsers : public ::testing::Test
{
  protected:
    void SetUp() override { vnx_core_initialize(); }
    void TearDown() override { vnx_core_finalize(); }
};

TEST_F(DcdUsers, EveryUserTakesAndRefusesTheSameBlocks)
{
    const scdGen4Float_s scd = device();
    const std::uint32_t scdCrc = crc32_process(&scd, sizeof scd);
    for (const Case& c : cases(scdCrc)) {
        // At an aligned address and two bytes further on: blocks in files
        // and client buffers lie at any even offset.
        for (const std::size_t shift : {std::size_t{0}, std::size_t{2}}) {
            alignas(8) std::uint8_t buffer[272] = {};
            if (!c.bytes.empty())
                std::memcpy(buffer + shift, c.bytes.data(), c.bytes.size());
            const auto* dcd =
                c.bytes.empty() ? nullptr : reinterpret_cast<const vnx_dcdData_s*>(buffer + shift);
            SCOPED_TRACE(testing::Message() << c.name << ", shifted by " << shift);
            EXPECT_EQ(moduleStatus(VNX_TYPE_SENSOR_INTERPRETATION, scd, dcd), c.modules);
            EXPECT_EQ(moduleStatus(VNX_TYPE_SENSOR_INTERPRETATION_9AXIS, scd, dcd), c.modules);
            EXPECT_EQ(engineStatus(scd, dcd, c.engineBuffer), c.engine);
        }
    }
}

TEST(DcdAcceptance, PartsAreGivenOnlyForAMatchingForm)
{
    const scdGen4Float_s scd = device();
    const std::uint32_t scdCrc = crc32_process(&scd, sizeof scd);
    const dcdAlg4MinFixedInnards_s state = learnedState();
    const dcdAlg49AxisFixed_s full = nineAxisDcd(scdCrc, state, magState());
    const dcdAlg4MinFixed_s gyro = gyroOnlyDcd(scdCrc, state);

    const vnx::AcceptedDcd nine = vnx::acceptDcd(&full.head, SIZE_MAX, scdCrc);
    EXPECT_EQ(nine.form(), vnx::AcceptedDcd::Form::NineAxis);
    ASSERT_NE(nine.innards(), nullptr);
    EXPECT_EQ(nine.innards()->zro[1], -0.02f);
    ASSERT_NE(nine.magnetometer(), nullptr);
    EXPECT_EQ(nine.magnetometer()->accuracy, 3.14159265f);
    EXPECT_NE(nine.accelerometer(), nullptr);
    // A copy: the offered block may go away.
    EXPECT_NE(static_cast<const void*>(nine.nineAxis()), static_cast<const void*>(&full));

    const vnx::AcceptedDcd gyroOnly = vnx::acceptDcd(&gyro.head, sizeof gyro, scdCrc);
    EXPECT_EQ(gyroOnly.form(), vnx::AcceptedDcd::Form::GyroOnly);
    ASSERT_NE(gyroOnly.innards(), nullptr);
    EXPECT_EQ(gyroOnly.innards()->temperature, 25.0f);
    EXPECT_EQ(gyroOnly.magnetometer(), nullptr);
    EXPECT_EQ(gyroOnly.accelerometer(), nullptr);
    EXPECT_EQ(gyroOnly.nineAxis(), nullptr);

    const vnx::AcceptedDcd mismatch = vnx::acceptDcd(&full.head, sizeof full, scdCrc + 1);
    EXPECT_EQ(mismatch.form(), vnx::AcceptedDcd::Form::NineAxis);
    EXPECT_EQ(mismatch.status(), VNX_STATUS_WARNING_DCD_SCD_MISMATCH);
    EXPECT_EQ(mismatch.innards(), nullptr);
    EXPECT_EQ(mismatch.magnetometer(), nullptr);
    EXPECT_EQ(mismatch.nineAxis(), nullptr);
}

} // namespace
