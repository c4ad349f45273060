// The behaviour every member of the detector family shares, checked through
// each member's exported functions: period negotiation, enabling and
// disabling, the instance pool, the common steps of process and the
// instance's logger node.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "detectorApis.h"
#include "support/allocationCounter.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activity::DetectorMember;
using vnx::activity::detectorMember;
using vnx::testsupport::accelerometerRecord;
using namespace vnx::activitytest;

vnx_Mobile_VirtualSensorPeriods_s periodsWithAccelerometer(std::int32_t accelerometerUs)
{
    vnx_Mobile_VirtualSensorPeriods_s periods{};
    for (std::int32_t& p : periods.periodUs)
        p = 7777; // other slots belong to other sensors and must stay
    periods.periodUs[VNX_MOBILE_ACCELEROMETER] = accelerometerUs;
    return periods;
}

int occurrences(const std::string& text, const std::string& word)
{
    int count = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

template <class Api> class DetectorFamilyTest : public ::testing::Test
{
  protected:
    using Handle = typename Api::Handle;
    using Config = typename Api::Config;

    void SetUp() override
    {
        ASSERT_EQ(Api::defaults(&config_), VNX_STATUS_SUCCESS);
        ASSERT_EQ(Api::initialize(&handle_, &config_), VNX_STATUS_SUCCESS);
        ASSERT_NE(handle_, nullptr);
    }
    void TearDown() override { Api::finalize(handle_); }

    const DetectorMember& member() const { return detectorMember(Api::kId); }

    /// Enabled and running at the member's own period.
    void start()
    {
        auto periods = periodsWithAccelerometer(0);
        ASSERT_EQ(Api::enable(handle_, 1, &periods), VNX_STATUS_SUCCESS);
        ASSERT_EQ(Api::setInputPeriods(handle_, &periods), VNX_STATUS_SUCCESS);
    }

    std::int32_t effective(std::int32_t accelerometerUs)
    {
        const auto periods = periodsWithAccelerometer(accelerometerUs);
        std::int32_t out = -12345;
        EXPECT_EQ(Api::effective(handle_, &periods, &out), VNX_STATUS_SUCCESS);
        return out;
    }

    int processOne(std::uint32_t validBits = VNX_MOBILE_BIT_ACCELEROMETER)
    {
        vnx_Mobile_Output_s in = accelerometerRecord(0x12345678u, {0.0f, 0.0f, 9.81f});
        in.validBits = validBits;
        vnx_Detector_Output_s out{0, 0};
        std::uint8_t flag = 7;
        const int status = Api::process(handle_, &in, &out, &flag);
        EXPECT_EQ(flag, 0);
        EXPECT_EQ(out.timeUs, 0x12345678u);
        return status;
    }

    Config config_{};
    Handle handle_ = nullptr;
};

using Members = ::testing::Types<TapApi, SleepApi, ShakeAccApi, FlipApi, TiltApi, PickUpApi, CircleApi>;
TYPED_TEST_SUITE(DetectorFamilyTest, Members);

TYPED_TEST(DetectorFamilyTest, VersionIsTheMembersOwn)
{
    EXPECT_EQ(TypeParam::version(), this->member().version);
}

TYPED_TEST(DetectorFamilyTest, EnableAsksForTheMaximumUnlessAFasterPeriodIsRequested)
{
    const std::int32_t max = this->member().maxPeriodUs;
    const std::int32_t negativeAnswer = this->member().negativeRequestTakesMaximum ? max : -5;
    const struct
    {
        std::int32_t requested;
        std::int32_t written;
    } cases[] = {{0, max},       {1, 1},           {max / 2, max / 2},  {max, max},
                 {max + 1, max}, {INT32_MAX, max}, {-5, negativeAnswer}};
    for (const auto& c : cases) {
        auto periods = periodsWithAccelerometer(c.requested);
        EXPECT_EQ(TypeParam::enable(this->handle_, 1, &periods), VNX_STATUS_SUCCESS);
        EXPECT_EQ(periods.periodUs[VNX_MOBILE_ACCELEROMETER], c.written) << "requested " << c.requested;
        for (int slot = 1; slot < VNX_MOBILE_VIRTUAL_SENSOR_COUNT; ++slot)
            EXPECT_EQ(periods.periodUs[slot], 7777);
    }
}

TYPED_TEST(DetectorFamilyTest, SetInputPeriodsAcceptsOnlyTheMembersRange)
{
    const std::int32_t limit = this->member().acceptedMaxUs;
    const struct
    {
        std::int32_t periodUs;
        int status;
    } cases[] = {{1, VNX_STATUS_SUCCESS},
                 {limit, VNX_STATUS_SUCCESS},
                 {limit + 1, VNX_STATUS_ARRAY_SIZE_MISMATCH},
                 {0, VNX_STATUS_ARRAY_SIZE_MISMATCH},
                 {-1, VNX_STATUS_ARRAY_SIZE_MISMATCH},
                 {INT32_MIN, VNX_STATUS_ARRAY_SIZE_MISMATCH}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.periodUs);
        auto request = periodsWithAccelerometer(0);
        ASSERT_EQ(TypeParam::enable(this->handle_, 1, &request), VNX_STATUS_SUCCESS);
        const auto granted = periodsWithAccelerometer(c.periodUs);
        EXPECT_EQ(TypeParam::setInputPeriods(this->handle_, &granted), c.status);
        if (c.status == VNX_STATUS_SUCCESS) {
            EXPECT_EQ(this->effective(c.periodUs), c.periodUs);
        } else {
            // Refused: disabled until the next enable call.
            EXPECT_EQ(this->effective(c.periodUs), 0);
            EXPECT_EQ(this->processOne(), VNX_STATUS_ASYNC_PENDING);
        }
    }
}

TYPED_TEST(DetectorFamilyTest, DisabledDetectorIgnoresPeriodsAndSamples)
{
    const auto valid = periodsWithAccelerometer(this->member().maxPeriodUs);
    // Fresh from initialize, and again after the enable call with 0.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(TypeParam::setInputPeriods(this->handle_, &valid), VNX_STATUS_SUCCESS);
        EXPECT_EQ(this->effective(this->member().maxPeriodUs), 0);
        EXPECT_EQ(this->processOne(), VNX_STATUS_ASYNC_PENDING);
        this->start();
        auto periods = periodsWithAccelerometer(0);
        EXPECT_EQ(TypeParam::enable(this->handle_, 0, &periods), VNX_STATUS_SUCCESS);
        EXPECT_EQ(periods.periodUs[VNX_MOBILE_ACCELEROMETER], 0) << "disabling asks for nothing";
    }
}

TYPED_TEST(DetectorFamilyTest, RecordWithoutAccelerometerSampleIsNotProcessed)
{
    this->start();
    EXPECT_EQ(this->processOne(VNX_MOBILE_BIT_GRAVITY | VNX_MOBILE_BIT_ROTATION_VECTOR),
              VNX_STATUS_ASYNC_PENDING);
}

TYPED_TEST(DetectorFamilyTest, FinalizeAnswersOnceForALiveHandle)
{
    typename TypeParam::Handle other = nullptr;
    ASSERT_EQ(TypeParam::initialize(&other, &this->config_), VNX_STATUS_SUCCESS);
    ASSERT_NE(other, this->handle_);
    EXPECT_EQ(TypeParam::finalize(other), 1);
    EXPECT_EQ(TypeParam::finalize(other), 0);
    EXPECT_EQ(TypeParam::finalize(nullptr), 1);
    int notADetector = 0;
    EXPECT_EQ(TypeParam::finalize(reinterpret_cast<typename TypeParam::Handle>(&notADetector)), 0);
}

TYPED_TEST(DetectorFamilyTest, CallsOnAHandleThatIsNotLiveAreRefused)
{
    typename TypeParam::Handle gone = nullptr;
    ASSERT_EQ(TypeParam::initialize(&gone, &this->config_), VNX_STATUS_SUCCESS);
    ASSERT_EQ(TypeParam::finalize(gone), 1);
    auto periods = periodsWithAccelerometer(0);
    std::int32_t outputPeriod = 0;
    vnx_Mobile_Output_s in = accelerometerRecord(1, {0, 0, 9.81f});
    vnx_Detector_Output_s out{};
    std::uint8_t flag = 0;
    for (typename TypeParam::Handle h : {gone, static_cast<typename TypeParam::Handle>(nullptr)}) {
        EXPECT_EQ(TypeParam::enable(h, 1, &periods), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(TypeParam::setInputPeriods(h, &periods), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(TypeParam::effective(h, &periods, &outputPeriod), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(TypeParam::process(h, &in, &out, &flag), VNX_STATUS_INVALID_PARAMETER);
    }
    EXPECT_EQ(periods.periodUs[VNX_MOBILE_ACCELEROMETER], 0);
    // Null records on a live handle are refused too.
    EXPECT_EQ(TypeParam::enable(this->handle_, 1, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(TypeParam::process(this->handle_, nullptr, &out, &flag), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(TypeParam::process(this->handle_, &in, nullptr, &flag), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(TypeParam::defaults(nullptr), VNX_STATUS_INVALID_PARAMETER);
}

TYPED_TEST(DetectorFamilyTest, RunningOutOfMemoryLeavesTheHandleAlone)
{
    auto* const marker = reinterpret_cast<typename TypeParam::Handle>(0x1234);
    typename TypeParam::Handle handle = marker;
    int status = 0;
    {
        vnx::test::FailingAllocations failing;
        status = TypeParam::initialize(&handle, &this->config_);
    }
    EXPECT_EQ(status, VNX_STATUS_OUT_OF_MEMORY);
    EXPECT_EQ(handle, marker);
}

TYPED_TEST(DetectorFamilyTest, EachInstanceHasALoggerNodeThatGoesWithIt)
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    const std::string block = std::string("{log in ") + TypeParam::kLoggerBlock + "}";
    const int before = occurrences(nodes.toString(), block);
    typename TypeParam::Handle other = nullptr;
    ASSERT_EQ(TypeParam::initialize(&other, &this->config_), VNX_STATUS_SUCCESS);
    EXPECT_NE(nodes.getNode(static_cast<const void*>(other)), nullptr);
    EXPECT_EQ(occurrences(nodes.toString(), block), before + 1);
    ASSERT_EQ(TypeParam::finalize(other), 1);
    EXPECT_EQ(nodes.getNode(static_cast<const void*>(other)), nullptr);
    EXPECT_EQ(occurrences(nodes.toString(), block), before);
}

} // namespace
