#include "deviceTemplates/CoordinatorTemplate.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/allocationCounter.h"
#include "support/testDomain.h"

namespace {

using vnx::DeviceInterface;
using vnx::DomainInterface;
using vnx::testsupport::TestCoordinator;
using vnx::testsupport::TestDevice;

// Writes down every call it gets, as text.
class RecordingListener : public vnx::DomainListenerInterface
{
  public:
    explicit RecordingListener(std::vector<std::string>* log, const char* name) : log_(log), name_(name) {}

    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override
    {
        const auto* domainStatus = reinterpret_cast<const vnx_Domain_Status_s*>(status);
        std::string line = name_ + " status " + std::to_string(domainStatus->statusKind);
        if (domainStatus->statusKind <= 2) {
            line += ' ';
            line += idOf(static_cast<DeviceInterface*>(domainStatus->subject.device.device));
            line += " type ";
            line += std::to_string(domainStatus->subject.device.deviceType);
        } else {
            line += " fd ";
            line += std::to_string(domainStatus->subject.fileHandle);
        }
        EXPECT_EQ(domainStatus->status.header.instanceId, reinterpret_cast<uintptr_t>(source));
        EXPECT_EQ(domainStatus->status.result, 0u);
        EXPECT_EQ(domainStatus->status.extra, 0);
        log_->push_back(line);
        if (onStatus) {
            onStatus();
        }
    }
    void deviceAdded(DeviceInterface* device) override
    {
        log_->push_back(name_ + " added " + idOf(device));
        if (onDeviceAdded) {
            onDeviceAdded();
        }
    }
    void deviceRemoved(DeviceInterface* device) override
    {
        log_->push_back(name_ + " removed " + idOf(device));
    }
    void fileHandleAdded(DomainInterface*, int fd, short events) override
    {
        log_->push_back(name_ + " fd added " + std::to_string(fd) + "/" + std::to_string(events));
    }
    void fileHandleRemoved(DomainInterface*, int fd) override
    {
        log_->push_back(name_ + " fd removed " + std::to_string(fd));
    }

    std::function<void()> onDeviceAdded;
    std::function<void()> onStatus;

  private:
    static std::string idOf(DeviceInterface* device)
    {
        std::string id = "#";
        id += std::to_string(static_cast<TestDevice*>(device)->id());
        return id;
    }

    std::vector<std::string>* log_;
    std::string name_;
};

// Listeners outlive the domain: it tells them of its devices as it closes.
class CoordinatorTemplateTest : public ::testing::Test
{
  protected:
    std::vector<std::string> log_;
    RecordingListener l_{&log_, "l"};
    RecordingListener late_{&log_, "late"};
    RecordingListener stays_{&log_, "stays"};
    RecordingListener stranger_{&log_, "stranger"};
    RecordingListener a_{&log_, "a"};
    RecordingListener b_{&log_, "b"};
    RecordingListener newcomer_{&log_, "new"};
    int liveDevices_ = 0;
    TestCoordinator domain_{&liveDevices_};
};

TEST_F(CoordinatorTemplateTest, ALateListenerGetsTheDevicesReplayedOldestFirst)
{
    domain_.addDevice();
    domain_.addDevice();
    ASSERT_EQ(domain_.registerDomainListener(&late_), 0);
    EXPECT_EQ(log_, (std::vector<std::string>{"late added #1", "late status 1 #1 type 119", "late added #2",
                                              "late status 1 #2 type 119"}));

    // A second registration replays again but keeps one entry.
    log_.clear();
    domain_.registerDomainListener(&late_);
    EXPECT_EQ(log_.size(), 4u);
    log_.clear();
    domain_.addDevice();
    EXPECT_EQ(log_, (std::vector<std::string>{"late added #3", "late status 1 #3 type 119"}));
    EXPECT_EQ(domain_.registerDomainListener(nullptr), -2);
}

TEST_F(CoordinatorTemplateTest, UnregisteringTellsTheListenerAloneThatEverythingGoes)
{
    domain_.registerDomainListener(&stays_);
    domain_.addDevice();
    domain_.addFileHandle(7, 1);
    log_.clear();

    // Never registered: still told.
    ASSERT_EQ(domain_.unregisterDomainListener(&stranger_), 0);
    EXPECT_EQ(log_, (std::vector<std::string>{"stranger removed #1", "stranger status 2 #1 type 119",
                                              "stranger fd removed 7", "stranger status 4 fd 7"}));
    log_.clear();
    domain_.unregisterDomainListener(&stays_);
    domain_.addDevice();
    EXPECT_EQ(log_.size(), 4u) << "the departed listener hears nothing more";
}

TEST_F(CoordinatorTemplateTest, ProcessRemovesTheDevicesThatAskAfterTheWalkLastFirst)
{
    TestDevice* first = domain_.addDevice();
    TestDevice* second = domain_.addDevice();
    TestDevice* third = domain_.addDevice();
    TestDevice* fourth = domain_.addDevice();
    first->processAnswer = -5; // other errors are ignored
    second->processAnswer = VNX_STATUS_DEVICE_REMOVED;
    third->processAnswer = VNX_STATUS_DEVICE_REMOVED;
    domain_.registerDomainListener(&l_);
    log_.clear();

    EXPECT_EQ(domain_.process(), 0);
    EXPECT_EQ(fourth->processCount, 1) << "devices after a removed one are processed in the same pass";
    EXPECT_EQ(log_, (std::vector<std::string>{"l removed #3", "l status 2 #3 type 119", "l removed #2",
                                              "l status 2 #2 type 119"}));
    EXPECT_EQ(domain_.deviceCount(), 2u);
    EXPECT_EQ(liveDevices_, 2);
    EXPECT_EQ(first->processCount, 1);
}

TEST_F(CoordinatorTemplateTest, CloseDomainTellsRemovalWithoutStatusAndDeletes)
{
    domain_.registerDomainListener(&l_);
    TestDevice* device = domain_.addDevice();
    domain_.addDevice();
    log_.clear();
    EXPECT_EQ(domain_.deviceRemove(nullptr), VNX_STATUS_DEVICE_NOT_FOUND);
    auto outsider = std::make_unique<TestDevice>(&domain_, 99, &liveDevices_);
    EXPECT_EQ(domain_.deviceRemove(outsider.get()), VNX_STATUS_DEVICE_NOT_FOUND);
    EXPECT_TRUE(log_.empty());

    EXPECT_EQ(domain_.deviceRemove(device), 0);
    EXPECT_EQ(log_, (std::vector<std::string>{"l removed #1", "l status 2 #1 type 119"}));
    log_.clear();
    domain_.closeDomain();
    EXPECT_EQ(log_, std::vector<std::string>{"l removed #2"});
    EXPECT_EQ(liveDevices_, 1) << "only the outsider is left";
    EXPECT_EQ(domain_.deviceCount(), 0u);
}

TEST_F(CoordinatorTemplateTest, FileHandlesAreListedAndReportedWithTheirDescriptor)
{
    domain_.registerDomainListener(&l_);
    EXPECT_TRUE(domain_.addFileHandle(5, 1));
    EXPECT_TRUE(domain_.addFileHandle(5, 4));
    EXPECT_TRUE(domain_.removeFileHandle(9)); // unknown: still reported
    EXPECT_TRUE(domain_.removeFileHandle(5));
    EXPECT_EQ(log_, (std::vector<std::string>{"l fd added 5/1", "l status 3 fd 5", "l fd added 5/4",
                                              "l status 3 fd 5", "l fd removed 9", "l status 4 fd 9",
                                              "l fd removed 5", "l status 4 fd 5"}));
    log_.clear();
    domain_.registerDomainListener(&late_);
    EXPECT_EQ(log_, (std::vector<std::string>{"late fd added 5/4", "late status 3 fd 5"}));
}

TEST_F(CoordinatorTemplateTest, AListenerMayLeaveOrBringAnotherDuringAFanOut)
{
    // Listeners are visited in ascending order of address.
    RecordingListener* low = &a_ < &b_ ? &a_ : &b_;
    RecordingListener* high = low == &a_ ? &b_ : &a_;
    domain_.registerDomainListener(low);
    domain_.registerDomainListener(high);
    log_.clear();

    // The first one unregisters itself and registers a new one when told of
    // a device: it hears nothing more, the other one still does, the new one
    // starts with its replay.
    low->onDeviceAdded = [&] {
        low->onDeviceAdded = nullptr;
        domain_.unregisterDomainListener(low);
        domain_.registerDomainListener(&newcomer_);
    };
    domain_.addDevice();
    const std::string lowName = low == &a_ ? "a" : "b";
    const std::string highName = low == &a_ ? "b" : "a";
    EXPECT_EQ(log_, (std::vector<std::string>{lowName + " added #1", lowName + " removed #1",
                                              lowName + " status 2 #1 type 119", "new added #1",
                                              "new status 1 #1 type 119", highName + " added #1",
                                              highName + " status 1 #1 type 119"}));
    log_.clear();
    domain_.addDevice();
    EXPECT_EQ(log_.size(), 4u) << "two listeners now: the newcomer and the one that stayed";
}

TEST_F(CoordinatorTemplateTest, StatusOfAnotherSourceIsPassedOnAsTheDomains)
{
    struct SourceCheck : vnx::DomainListenerInterface
    {
        void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override
        {
            seenSource = source;
            seenStatus = status;
        }
        void deviceAdded(DeviceInterface*) override {}
        void deviceRemoved(DeviceInterface*) override {}
        void fileHandleAdded(DomainInterface*, int, short) override {}
        void fileHandleRemoved(DomainInterface*, int) override {}
        vnx::ModuleConfigInterface* seenSource = nullptr;
        const vnx_StructStatus_s* seenStatus = nullptr;
    } check;
    domain_.registerDomainListener(&check);
    vnx_StructStatus_s status = {};
    TestDevice* device = domain_.addDevice();
    domain_.statusCallback(device, &status);
    EXPECT_EQ(check.seenSource, static_cast<DomainInterface*>(&domain_));
    EXPECT_EQ(check.seenStatus, &status);
    domain_.unregisterDomainListener(&check);
}

TEST_F(CoordinatorTemplateTest, ProcessingAllocatesNothingOnceWarm)
{
    domain_.registerDomainListener(&l_);
    for (int i = 0; i < 3; ++i) {
        domain_.addDevice();
    }
    domain_.process();
    EXPECT_EQ(vnx::test::allocationsDuring([&] {
                  for (int i = 0; i < 100; ++i) {
                      domain_.process();
                  }
              }),
              0);
}

} // namespace
