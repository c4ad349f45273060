// The relative-motion pipe bundle (type 105) hosted on a device: its
// StandardBundle has no fusion in this system, so the host's first sample
// ends in a failed initialisation, and samples pass the module by.

#include <gtest/gtest.h>

#include "common/moduleType.h"
#include "extCommon/extModuleType.h"
#include "hostFixture.h"

namespace vnx::testsupport {
namespace {

using MoverBundleHost = HostTest;

TEST_F(MoverBundleHost, TheMissingFusionFailsTheInitialisationAndSamplesPassItBy)
{
    ASSERT_EQ(host(VNX_TYPE_STANDARD_MOVER_BUNDLE), 0);
    PresenterSample first(1);
    EXPECT_EQ(store(first), VNX_STATUS_NOT_ACTIVE);
    const std::vector<StubStatus> failed = device_.deviceStatuses(VNX_DEVICE_STATUS_MODULE_FAILED);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].result, VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(device_.readyCalls, 0);

    for (int32_t i = 2; i < 6; ++i) {
        PresenterSample sample(i);
        EXPECT_EQ(store(sample), 0);
        EXPECT_EQ(host_->process(), 0);
    }
    ASSERT_EQ(device_.outputs.size(), 4u);
    EXPECT_EQ(device_.outputs.back().types,
              (std::vector<uint8_t>{VNX_TYPE_DEVICE_SUPPORT_6AG, VNX_TYPE_BUTTON_ACTIVITY}));
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_MODULE_FAILED).size(), 1u) << "reported once";
}

} // namespace
} // namespace vnx::testsupport
