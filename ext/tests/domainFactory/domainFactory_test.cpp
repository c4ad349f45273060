#include <gtest/gtest.h>

#include "common/NodeManager.h"
#include "common/coreStrings.h"
#include "common/stringTable.h"
#include "deviceDomain/DomainInterface.h"
#include "domainFactory/DomainFactory.h"
#include "extCommon/extStrings.h"
#include "fakeDomain.h"
#include "support/logCapture.h"

namespace {

using vnx::DomainFactory;
using vnx::testsupport::FakeDomainFactory;
using vnx::testsupport::LogCapture;

const void* nodeObject(vnx::DomainInterface* domain)
{
    return static_cast<vnx::ModuleConfigInterface*>(domain);
}

// Every test leaves the registry empty of its factories and the names
// registered as the libraries' start leaves them.
class DomainFactoryTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vnx_StringTable_initialize();
        vnx_core_registerStrings();
        vnx_ext_registerStrings();
    }
    void TearDown() override
    {
        DomainFactory::unregisterDomain(&testDomains);
        DomainFactory::unregisterDomain(&otherDomains);
        vnx_StringTable_finalize();
    }

    FakeDomainFactory testDomains{116, "TestDomain"};
    FakeDomainFactory otherDomains{116, "OtherDomain"};
};

TEST_F(DomainFactoryTest, UnknownTypeIsLoggedWithItsName)
{
    // The logger exists once the registry was used.
    DomainFactory::unregisterDomain(&testDomains);
    LogCapture log("sys", "DomainFactory");
    ASSERT_TRUE(log.attached());

    EXPECT_EQ(DomainFactory::createDomain(200), nullptr);
    EXPECT_EQ(DomainFactory::createDomain(5), nullptr);
    EXPECT_EQ(DomainFactory::createDomain(117), nullptr);
    ASSERT_EQ(log.lines().size(), 3u);
    EXPECT_EQ(log.texts()[0], "Domain not available 200 (<Unknown Type (200)>)");
    EXPECT_EQ(log.texts()[1], "Domain not available   5 (ButtonActivity)");
    EXPECT_EQ(log.texts()[2], "Domain not available 117 (ManualDevice)");
    EXPECT_EQ(log.lines()[0].level, vnx::log::WARN);
}

TEST_F(DomainFactoryTest, CreatedDomainIsADomainNodeUnderTheRoot)
{
    ASSERT_EQ(DomainFactory::registerDomain(&testDomains), 0);
    vnx::DomainInterface* domain = DomainFactory::createDomain(116);
    ASSERT_NE(domain, nullptr);
    EXPECT_EQ(domain->getType(), 116);

    vnx::NodeInterface* node = vnx::NodeManager::getInstance().getNode(nodeObject(domain));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getNodeType(), vnx::NodeInterface::NODE_DOMAIN);
    EXPECT_EQ(node->getName("."), "TestDomain");
    EXPECT_EQ(vnx::NodeManager::getInstance().getNode("TestDomain"), node);

    EXPECT_EQ(DomainFactory::destroyDomain(domain), 0);
    EXPECT_EQ(testDomains.destroyed, 1);
    EXPECT_EQ(testDomains.live, 0);
    EXPECT_EQ(vnx::NodeManager::getInstance().getNode("TestDomain"), nullptr);
}

TEST_F(DomainFactoryTest, FirstFactoryOfATypeStays)
{
    ASSERT_EQ(DomainFactory::registerDomain(&testDomains), 0);
    ASSERT_EQ(DomainFactory::registerDomain(&otherDomains), 0);
    vnx::DomainInterface* domain = DomainFactory::createDomain(116);
    ASSERT_NE(domain, nullptr);
    EXPECT_EQ(testDomains.created, 1);
    EXPECT_EQ(otherDomains.created, 0);
    EXPECT_EQ(DomainFactory::destroyDomain(domain), 0);

    // Unregistering through the second factory removes the type's entry.
    EXPECT_EQ(DomainFactory::unregisterDomain(&otherDomains), 0);
    EXPECT_EQ(DomainFactory::createDomain(116), nullptr);
    EXPECT_EQ(testDomains.created, 1);

    // With the type free again, the second one takes it.
    ASSERT_EQ(DomainFactory::registerDomain(&otherDomains), 0);
    domain = DomainFactory::createDomain(116);
    ASSERT_NE(domain, nullptr);
    EXPECT_EQ(otherDomains.created, 1);
    EXPECT_EQ(vnx::NodeManager::getInstance().getNode(nodeObject(domain))->getLocalName(), "OtherDomain");
    EXPECT_EQ(DomainFactory::destroyDomain(domain), 0);
}

TEST_F(DomainFactoryTest, NullArgumentsChangeNothing)
{
    EXPECT_EQ(DomainFactory::destroyDomain(nullptr), 0);
    EXPECT_EQ(DomainFactory::registerDomain(nullptr), 0);
    EXPECT_EQ(DomainFactory::unregisterDomain(nullptr), 0);
    EXPECT_EQ(DomainFactory::createDomain(0), nullptr);
}

TEST_F(DomainFactoryTest, DomainWhoseTypeLeftTheRegistryIsNotDestroyed)
{
    ASSERT_EQ(DomainFactory::registerDomain(&testDomains), 0);
    vnx::DomainInterface* domain = DomainFactory::createDomain(116);
    ASSERT_NE(domain, nullptr);
    DomainFactory::unregisterDomain(&testDomains);

    EXPECT_EQ(DomainFactory::destroyDomain(domain), -2);
    EXPECT_EQ(testDomains.live, 1);
    EXPECT_EQ(vnx::NodeManager::getInstance().getNode(nodeObject(domain)), nullptr);
    testDomains.destroyDomain(domain);
}

TEST_F(DomainFactoryTest, FactoryThatMakesNoDomainLeavesNoNode)
{
    testDomains.failCreation = true;
    ASSERT_EQ(DomainFactory::registerDomain(&testDomains), 0);
    EXPECT_EQ(DomainFactory::createDomain(116), nullptr);
    EXPECT_EQ(testDomains.created, 1);
    EXPECT_EQ(vnx::NodeManager::getInstance().getNode("TestDomain"), nullptr);
}

TEST_F(DomainFactoryTest, RegistryHasItsNodeAndLoggerUnderSys)
{
    DomainFactory::registerDomain(&testDomains);
    vnx::NodeInterface* sys = vnx::NodeManager::getInstance().getNode("sys");
    ASSERT_NE(sys, nullptr);
    int subnodes = 0;
    int logs = 0;
    for (vnx::Node* child : static_cast<vnx::Node*>(sys)->getChildren()) {
        if (child->getLocalName() != "DomainFactory") {
            continue;
        }
        if (child->getNodeType() == vnx::NodeInterface::NODE_SUBNODE) {
            ++subnodes;
            EXPECT_NE(LogCapture::defaultLoggerOf(**child), nullptr);
        } else if (child->getNodeType() == vnx::NodeInterface::NODE_LOG) {
            ++logs;
        }
    }
    EXPECT_EQ(subnodes, 1);
    EXPECT_EQ(logs, 1);
}

} // namespace
