// The desktop client's chain in the host: an ExtendedBundle on a still
// presenter, one stored sample and one tick at a time.

#include <gtest/gtest.h>

#include "hostFixture.h"
#include "support/MotionTrace.h"
#include "support/allocationCounter.h"
#include "support/fusionScenarios.h"

namespace vnx::testsupport {
namespace {

constexpr uint8_t kExtendedBundle = 65;

class BundleRoad : public HostTest
{
  protected:
    int send(const MotionSample& sample)
    {
        vnx_ButtonActivity_initOutput(&buttons_);
        buttons_.activity = 0;
        const vnx_StructOutput_s* outputs[] = {&sample.output6AG.output, &buttons_.output};
        const vnx_StructFormat_s* formats[] = {&sample.format6AG, nullptr};
        return host_->process(2, outputs, formats);
    }

    const scdGen4Float_s scd_ = realisticDevice().build();
    vnx_ButtonActivity_Output_s buttons_;
};

TEST_F(BundleRoad, EverySampleGivesOneOutputBatchOfTheBundlesFiveRecords)
{
    host_->setScd(&scd_.head);
    ASSERT_EQ(host(kExtendedBundle), 0);
    MotionTrace trace(scd_, realisticNoise(11, {0.002, 0.001, -0.003}));
    trace.still(4.0);
    int samples = 0;
    for (const MotionSample* sample = trace.next(); sample != nullptr; sample = trace.next()) {
        ASSERT_EQ(send(*sample), 0);
        ASSERT_EQ(device_.outputs.size(), static_cast<size_t>(samples)) << "reported at the tick only";
        ASSERT_LE(host_->process(), 0);
        ++samples;
        ASSERT_EQ(device_.outputs.size(), static_cast<size_t>(samples));
        ASSERT_EQ(device_.outputs.back().types, (std::vector<uint8_t>{4, 3, 9, 5, 13}));
    }
    EXPECT_EQ(samples, trace.sampleCount());
    EXPECT_EQ(device_.readyCalls, 1);
    EXPECT_TRUE(device_.deviceStatuses(VNX_DEVICE_STATUS_SAMPLES_OVERWRITTEN).empty());
}

TEST_F(BundleRoad, ASampleAllocatesNothingOnceTheStoresHaveTheirShape)
{
    host_->setScd(&scd_.head);
    ASSERT_EQ(host(kExtendedBundle), 0);
    MotionTrace trace(scd_, realisticNoise(12, {0.001, 0.0, 0.002}));
    trace.still(1.0).turn({0, 0, 1}, 0.8, 2.0).still(1.0);
    const MotionSample* sample = trace.next();
    for (int warmUp = 0; warmUp < 10 && sample != nullptr; ++warmUp, sample = trace.next()) {
        send(*sample);
        host_->process();
    }
    // The device asks for the interface to be matched on every sample.
    ASSERT_EQ(deviceConfig(0).inputId, -1);
    device_.keepBatches = false;
    long allocations = 0;
    int samples = 0;
    for (; sample != nullptr; sample = trace.next()) {
        allocations += vnx::test::allocationsDuring([&] {
            send(*sample);
            host_->process();
        });
        ++samples;
    }
    EXPECT_GT(samples, 400);
    EXPECT_EQ(device_.outputCalls, samples + 10);
    EXPECT_EQ(allocations, 0) << (vnx::test::countsCAllocations() ? "operator new, malloc and calloc"
                                                                  : "operator new");
}

} // namespace
} // namespace vnx::testsupport
