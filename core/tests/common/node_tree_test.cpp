#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/Node.h"
#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleConfigInterface.h"

namespace {

using vnx::NodeInterface;
using vnx::NodeManager;
using vnx::NodeManagerListener;

const char* const kFreshTree = "ROOT tree\n    sys [subnode]\n        NodeManager [log]\n";

struct Heard
{
    int event;
    std::string name;
    int type;
    bool operator==(const Heard&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Heard& h)
{
    return out << "{" << h.event << ", \"" << h.name << "\", " << h.type << "}";
}

class RecordingListener : public NodeManagerListener
{
  public:
    void nodeManagerEvent(NodeInterface* node, NodeEvent_e event) override
    {
        heard.push_back({event, node->getName("."), node->getNodeType()});
    }
    std::vector<Heard> heard;
};

// A member object with a logger of its own, built before its owner.
class Detector
{
    VNX_LOG_DEFAULT(IsStable);

  public:
    const vnx::log::Logger& logger() const { return dftLog_; }
};

// A module-like owner: its logger and member are built first; it names its
// member in its constructor, and is itself added later by whoever owns it.
class Fusion
{
    VNX_LOG_DEFAULT(SensorFusion);

  public:
    Fusion()
    {
        NodeManager::getInstance().addNode(this, &detector_, NodeInterface::NODE_SUBNODE, "IsStable");
    }
    ~Fusion() { NodeManager::getInstance().removeNode(&detector_); }
    const vnx::log::Logger& logger() const { return dftLog_; }
    Detector detector_;
};

std::string address(const void* object)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%p", object);
    return text;
}

class NodeTree : public ::testing::Test
{
  protected:
    void TearDown() override { nodes.reset(); }
    NodeManager& nodes = NodeManager::getInstance();
};

TEST_F(NodeTree, FreshManagerHoldsSysAndItsLogger)
{
    EXPECT_EQ(nodes.toString(), kFreshTree);
    int a = 0;
    ASSERT_NE(nodes.addNode(nullptr, &a, NodeInterface::NODE_DOMAIN, "D"), nullptr);
    RecordingListener listener;
    ASSERT_TRUE(nodes.addListener(&listener));
    nodes.reset();
    EXPECT_EQ(nodes.toString(), kFreshTree);
    EXPECT_EQ(nodes.getNode(&a), nullptr);
    // The reset dropped the listener after telling it of the removal.
    EXPECT_FALSE(nodes.removeListener(&listener));
    EXPECT_EQ(listener.heard.back(), (Heard{NodeManagerListener::NODE_REMOVED, "", 0}));
}

TEST_F(NodeTree, AddListenerReplaysTheRootTreeOnce)
{
    RecordingListener listener;
    ASSERT_TRUE(nodes.addListener(&listener));
    const std::vector<Heard> replay = {
        {NodeManagerListener::NODE_ADDED, "", NodeInterface::NODE_UNKNOWN},
        {NodeManagerListener::NODE_ADDED, "sys", NodeInterface::NODE_SUBNODE},
        {NodeManagerListener::NODE_ADDED, "sys.NodeManager", NodeInterface::NODE_LOG},
    };
    EXPECT_EQ(listener.heard, replay);
    EXPECT_FALSE(nodes.addListener(&listener));
    EXPECT_EQ(listener.heard.size(), 3u);

    listener.heard.clear();
    ASSERT_TRUE(nodes.removeListener(&listener));
    const std::vector<Heard> removal = {
        {NodeManagerListener::NODE_REMOVED, "sys.NodeManager", NodeInterface::NODE_LOG},
        {NodeManagerListener::NODE_REMOVED, "sys", NodeInterface::NODE_SUBNODE},
        {NodeManagerListener::NODE_REMOVED, "", NodeInterface::NODE_UNKNOWN},
    };
    EXPECT_EQ(listener.heard, removal);
    EXPECT_FALSE(nodes.removeListener(&listener));
    EXPECT_FALSE(nodes.addListener(nullptr));
}

TEST_F(NodeTree, LookupByFullName)
{
    NodeInterface* root = nodes.getNode("");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getNodeType(), NodeInterface::NODE_UNKNOWN);
    EXPECT_EQ(root->getName("."), "");
    NodeInterface* sys = nodes.getNode("sys");
    ASSERT_NE(sys, nullptr);

    struct Case
    {
        const char* name;
        NodeInterface* expected;
    };
    NodeInterface* manager = nodes.getNode("sys.NodeManager");
    ASSERT_NE(manager, nullptr);
    const Case cases[] = {
        {"sys.NodeManager", manager},
        {"sys.", sys},
        {"sys", sys},
        {"", root},
        {".sys", root},
        {"sys.nodemanager", nullptr},
        {"Sys", nullptr},
        {"sys.NodeManager.x", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nodes.getNode(c.name), c.expected) << '"' << c.name << '"';
    }
    EXPECT_EQ(manager->getNodeType(), NodeInterface::NODE_LOG);
    EXPECT_EQ(manager->getLocalName(), "NodeManager");
    EXPECT_EQ(nodes.getNode(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(nodes.getNode(manager->getInstanceId()), manager);
    EXPECT_EQ(nodes.getNode(**manager), manager);
}

TEST_F(NodeTree, OwnerBuiltAfterItsMembersCollectsThemFromTheOrphanTree)
{
    RecordingListener listener;
    ASSERT_TRUE(nodes.addListener(&listener));
    listener.heard.clear();

    auto* fusion = new Fusion();
    const std::string orphan = "ORPHAN tree\n    Parent of dftLog @ " + address(&fusion->logger()) +
                               " {log in vnx_core_SensorFusion} [unknown]\n        dftLog [log]\n" +
                               "        IsStable [subnode]\n            dftLog [log]\n";
    EXPECT_EQ(nodes.toString(), std::string(kFreshTree) + orphan);
    EXPECT_TRUE(listener.heard.empty()) << "orphans are not announced";

    int domain = 0;
    int device = 0;
    ASSERT_NE(nodes.addNode(nullptr, &domain, NodeInterface::NODE_DOMAIN, "D"), nullptr);
    ASSERT_NE(nodes.addNode(&domain, &device, NodeInterface::NODE_DEVICE, "V"), nullptr);
    listener.heard.clear();
    NodeInterface* module = nodes.addNode(&device, fusion, NodeInterface::NODE_MODULE, "M");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(**module, static_cast<void*>(fusion));

    using E = NodeManagerListener;
    const std::vector<Heard> added = {
        {E::NODE_ADDED, "D.V.M", NodeInterface::NODE_MODULE},
        {E::NODE_ADDED, "D.V.M.dftLog", NodeInterface::NODE_LOG},
        {E::NODE_ADDED, "D.V.M.IsStable", NodeInterface::NODE_SUBNODE},
        {E::NODE_ADDED, "D.V.M.IsStable.dftLog", NodeInterface::NODE_LOG},
    };
    EXPECT_EQ(listener.heard, added);
    EXPECT_EQ(nodes.toString(), std::string(kFreshTree) +
                                    "    D [domain]\n        V [device]\n            M [module]\n"
                                    "                dftLog [log]\n                IsStable [subnode]\n"
                                    "                    dftLog [log]\n");
    EXPECT_EQ(nodes.addNode(&device, fusion, NodeInterface::NODE_MODULE, "M2"), nullptr) << "already in ROOT";

    listener.heard.clear();
    const void* objects[] = {fusion, &fusion->detector_, &fusion->logger(), &fusion->detector_.logger()};
    ASSERT_TRUE(nodes.removeNode(module));
    const std::vector<Heard> removed = {
        {E::NODE_REMOVED, "D.V.M.dftLog", NodeInterface::NODE_LOG},
        {E::NODE_REMOVED, "D.V.M.IsStable.dftLog", NodeInterface::NODE_LOG},
        {E::NODE_REMOVED, "D.V.M.IsStable", NodeInterface::NODE_SUBNODE},
        {E::NODE_REMOVED, "D.V.M", NodeInterface::NODE_MODULE},
    };
    EXPECT_EQ(listener.heard, removed);
    for (const void* object : objects) {
        EXPECT_EQ(nodes.getNode(object), nullptr);
    }
    delete fusion; // removals of objects without a node are harmless
    EXPECT_EQ(nodes.toString(), std::string(kFreshTree) + "    D [domain]\n        V [device]\n");
    nodes.removeListener(&listener);
}

TEST_F(NodeTree, DestroyedOwnerTakesItsLoggersOutOfTheTree)
{
    int device = 0;
    ASSERT_NE(nodes.addNode(nullptr, &device, NodeInterface::NODE_DEVICE, "V"), nullptr);
    const void* fusionAddress = nullptr;
    {
        Fusion fusion;
        fusionAddress = &fusion;
        ASSERT_NE(nodes.addNode(&device, &fusion, NodeInterface::NODE_MODULE, "M"), nullptr);
        ASSERT_NE(nodes.getNode("V.M.IsStable.dftLog"), nullptr);
    }
    // The module's own node is left to whoever added it (the factory does
    // that); everything the object placed itself is gone.
    EXPECT_EQ(nodes.toString(), std::string(kFreshTree) + "    V [device]\n        M [module]\n");
    EXPECT_TRUE(nodes.removeNode(fusionAddress));
}

TEST_F(NodeTree, PlaceholderTakesTheParentsTypeAndNameWhenItArrives)
{
    int parent = 0;
    int child = 0;
    ASSERT_NE(nodes.addNode(&parent, &child, NodeInterface::NODE_SUBNODE, "child"), nullptr);
    NodeInterface* placeholder = nodes.getNode(&parent);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->getLocalName(), "Parent of child @ " + address(&child) + " {subnode}");
    EXPECT_EQ(placeholder->getNodeType(), NodeInterface::NODE_UNKNOWN);

    // Added under another orphan: it stays in the ORPHAN tree, renamed.
    int grandParent = 0;
    NodeInterface* moved = nodes.addNode(&grandParent, &parent, NodeInterface::NODE_MODULE, "parent");
    EXPECT_EQ(moved, placeholder);
    EXPECT_EQ(placeholder->getLocalName(), "parent");
    EXPECT_EQ(placeholder->getNodeType(), NodeInterface::NODE_MODULE);
    EXPECT_EQ(nodes.toString(), std::string(kFreshTree) + "ORPHAN tree\n    Parent of parent @ " +
                                    address(&parent) + " {module} [unknown]\n        parent [module]\n" +
                                    "            child [subnode]\n");
}

TEST_F(NodeTree, AddNodeRefusesLinksThatWouldMakeACycle)
{
    int owner = 0;
    int member = 0;
    ASSERT_NE(nodes.addNode(&owner, &member, NodeInterface::NODE_SUBNODE, "member"), nullptr);
    // The owner's placeholder is the member's parent: putting it under the
    // member would detach both from every root.
    EXPECT_EQ(nodes.addNode(&member, &owner, NodeInterface::NODE_SUBNODE, "owner"), nullptr);
    EXPECT_EQ(nodes.addNode(&owner, &owner, NodeInterface::NODE_SUBNODE, "self"), nullptr);
    EXPECT_NE(nodes.getNode(&owner), nullptr);
    EXPECT_EQ(nodes.getNode(&member)->getName("."), nodes.getNode(&owner)->getLocalName() + ".member");
    ASSERT_NE(nodes.addNode(nullptr, &owner, NodeInterface::NODE_SUBNODE, "owner"), nullptr);
    EXPECT_NE(nodes.getNode("owner.member"), nullptr);
}

TEST_F(NodeTree, RemoveNodeResults)
{
    int unknown = 0;
    EXPECT_TRUE(nodes.removeNode(static_cast<NodeInterface*>(nullptr)));
    EXPECT_TRUE(nodes.removeNode(&unknown));
    EXPECT_FALSE(nodes.removeNode(nodes.getNode("")));
    EXPECT_FALSE(nodes.removeNode(static_cast<const void*>(nullptr))) << "the null object is the ROOT root";
    EXPECT_EQ(nodes.toString(), kFreshTree);
}

class FakeModule : public vnx::ModuleConfigInterface
{
  public:
    int setModuleListener(vnx::ModuleListenerInterface*) override { return 0; }
    int getConfig(vnx_StructConfig_s* config) const override
    {
        lastConfig = config;
        return 11;
    }
    int setConfig(const vnx_StructConfig_s*) override { return 12; }
    int sendCommand(const vnx_StructCommand_s*) override { return 13; }
    uint8_t getType() const override { return 7; }
    mutable vnx_StructConfig_s* lastConfig = nullptr;
};

TEST_F(NodeTree, ConfigurationCallsReachOnlyDomainsDevicesAndModules)
{
    struct Case
    {
        NodeInterface::NodeType_e type;
        bool reachesObject;
    };
    const Case cases[] = {
        {NodeInterface::NODE_DOMAIN, true},   {NodeInterface::NODE_DEVICE, true},
        {NodeInterface::NODE_MODULE, true},   {NodeInterface::NODE_SUBNODE, false},
        {NodeInterface::NODE_UNKNOWN, false},
    };
    for (const Case& c : cases) {
        FakeModule module;
        NodeInterface* node =
            nodes.addNode(nullptr, static_cast<vnx::ModuleConfigInterface*>(&module), c.type, "m");
        ASSERT_NE(node, nullptr);
        vnx_StructConfig_s config{};
        vnx_StructCommand_s command{};
        EXPECT_EQ(node->getConfig(&config), c.reachesObject ? 11 : VNX_STATUS_FEATURE_DENIED) << c.type;
        EXPECT_EQ(node->setConfig(&config), c.reachesObject ? 12 : VNX_STATUS_FEATURE_DENIED) << c.type;
        EXPECT_EQ(node->sendCommand(&command), c.reachesObject ? 13 : VNX_STATUS_FEATURE_DENIED) << c.type;
        EXPECT_EQ(module.lastConfig, c.reachesObject ? &config : nullptr);
        nodes.removeNode(node);
    }
    NodeInterface* sys = nodes.getNode("sys");
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(sys->getConfig(nullptr), VNX_STATUS_FEATURE_DENIED);
}

TEST_F(NodeTree, SequenceNumberSourceIsTheNearestNodeThatKeepsItsOwn)
{
    int device = 0;
    int module = 0;
    int helper = 0;
    NodeInterface* deviceNode = nodes.addNode(nullptr, &device, NodeInterface::NODE_DEVICE, "V");
    NodeInterface* moduleNode = nodes.addNode(&device, &module, NodeInterface::NODE_MODULE, "M");
    NodeInterface* helperNode = nodes.addNode(&module, &helper, NodeInterface::NODE_SUBNODE, "H");
    NodeInterface* root = nodes.getNode("");

    EXPECT_EQ(helperNode->getSequenceNumberSource(), root) << "a node without a parent is its own source";
    deviceNode->setSequenceNumber(17, false);
    EXPECT_EQ(helperNode->getSequenceNumberSource(), deviceNode);
    EXPECT_EQ(helperNode->getSequenceNumberSource()->getSequenceNumber(), 17u);
    moduleNode->setSequenceNumber(5, false);
    EXPECT_EQ(helperNode->getSequenceNumberSource(), moduleNode);
    moduleNode->setSequenceNumber(6, true);
    EXPECT_EQ(helperNode->getSequenceNumberSource(), deviceNode);
    EXPECT_EQ(moduleNode->getSequenceNumber(), 6u);
}

TEST_F(NodeTree, SetLevelReachesTheLoggersOfTheSubtreeByType)
{
    int owner = 0;
    vnx::log::Logger console("vnx_core_Test", "console", vnx::log::WARN, vnx::log::TYPE_CONSOLE);
    vnx::log::Logger capture("vnx_core_Test", "capture", vnx::log::WARN, vnx::log::TYPE_CAPTURE);
    vnx::log::Logger outside("vnx_core_Test", "outside", vnx::log::WARN, vnx::log::TYPE_CONSOLE);
    NodeInterface* ownerNode = nodes.addNode(nullptr, &owner, NodeInterface::NODE_MODULE, "owner");
    nodes.addNode(&owner, &console, NodeInterface::NODE_LOG, "console");
    nodes.addNode(&owner, &capture, NodeInterface::NODE_LOG, "capture");
    nodes.addNode(nullptr, &outside, NodeInterface::NODE_LOG, "outside");

    ownerNode->setLevel(vnx::log::TRACE, vnx::log::TYPE_CONSOLE);
    EXPECT_EQ(console.getLevel(), vnx::log::TRACE);
    EXPECT_EQ(capture.getLevel(), vnx::log::WARN);
    EXPECT_EQ(outside.getLevel(), vnx::log::WARN);
    ownerNode->setLevel(vnx::log::ERROR, vnx::log::TYPE_ANY);
    EXPECT_EQ(console.getLevel(), vnx::log::ERROR);
    EXPECT_EQ(capture.getLevel(), vnx::log::ERROR);
    EXPECT_EQ(outside.getLevel(), vnx::log::WARN);
    nodes.getNode(&console)->setLevel(vnx::log::FINE, vnx::log::TYPE_CONSOLE);
    EXPECT_EQ(console.getLevel(), vnx::log::FINE);
}

TEST_F(NodeTree, CloneCopiesTheSubtreeDetached)
{
    int owner = 0;
    int member = 0;
    nodes.addNode(nullptr, &owner, NodeInterface::NODE_MODULE, "owner");
    nodes.addNode(&owner, &member, NodeInterface::NODE_SUBNODE, "member");
    auto* original = static_cast<vnx::Node*>(nodes.getNode(&owner));
    vnx::Node* copy = original->cloneTreeNode();
    EXPECT_EQ(copy->getTree(), nullptr);
    EXPECT_EQ(copy->getParent(), nullptr);
    EXPECT_EQ(**copy, static_cast<void*>(&owner));
    ASSERT_EQ(copy->getChildren().size(), 1u);
    EXPECT_EQ(copy->getChildren()[0]->getName("."), "owner.member");
    delete copy;
    EXPECT_EQ(nodes.getNode(&member), original->getChildren()[0]) << "the copy never entered the map";
}

TEST(NodeType, Names)
{
    const char* expected[] = {"unknown", "root", "domain", "device", "module", "subnode", "log", "unknown"};
    for (int type = 0; type <= 7; ++type) {
        EXPECT_STREQ(NodeInterface::nodeTypeToString(type), expected[type]) << type;
    }
    EXPECT_STREQ(NodeInterface::nodeTypeToString(-1), "unknown");
}

} // namespace
