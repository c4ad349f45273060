#include "common/NodeManager.h"

#include "common/coreLock.h"

#include <cstdio>
#include <memory>
#include <set>
#include <vector>

#include "common/Node.h"
#include "log/Logger.h"

namespace vnx {

namespace {

// Where the unnamed-node warning is reported from; fixed so that log files of
// every build name the same site.
constexpr const char* kSourceFile = "core/src/common/NodeManager.cpp";
constexpr int kUnnamedNodeLine = 212;

// Name of the placeholder that stands in for the missing parent of `object`:
// "Parent of <name> @ <object address> {<type>[ in <logger block>]}".
std::string placeholderName(const void* object, NodeInterface::NodeType_e type, const std::string& name)
{
    char address[32];
    std::snprintf(address, sizeof(address), "%p", object);
    std::string text = "Parent of " + name + " @ " + address + " {" + NodeInterface::nodeTypeToString(type);
    if (type == NodeInterface::NODE_LOG && object != nullptr) {
        text += " in ";
        text += static_cast<const log::Logger*>(object)->getBlockName();
    }
    return text + "}";
}

// Calls one listener for every node it visits.
class ListenerReplayFunctor : public Node::FunctorInterface
{
  public:
    ListenerReplayFunctor(NodeManagerListener* listener, NodeManagerListener::NodeEvent_e event)
        : listener_(listener), event_(event)
    {
    }
    void operator()(Node* node) override { listener_->nodeManagerEvent(node, event_); }

  private:
    NodeManagerListener* listener_;
    NodeManagerListener::NodeEvent_e event_;
};

void appendLines(const Node& parent, int depth, std::string& out)
{
    for (const Node* child : parent.getChildren()) {
        out.append(static_cast<size_t>(4 * depth), ' ');
        out += child->getLocalName();
        out += " [";
        out += NodeInterface::nodeTypeToString(child->getNodeType());
        out += "]\n";
        appendLines(*child, depth + 1, out);
    }
}

} // namespace

class NodeManager::Impl : public Tree<Node, void*>, public TreeListener<Node>
{
  public:
    Impl()
    {
        addNode(nullptr, &sysObject_, NodeInterface::NODE_SUBNODE, "sys");
        logger_ =
            std::make_unique<log::Logger>("VNX_CORE_NODE_MANAGER", "dftLog", log::WARN, log::TYPE_CONSOLE);
        addNode(&sysObject_, logger_.get(), NodeInterface::NODE_LOG, "NodeManager");
        setListener(this);
        constructing_ = false;
    }

    NodeInterface* addNode(const void* parentObject, const void* object, NodeInterface::NodeType_e type,
                           const char* name)
    {
        const std::string localName = name != nullptr ? name : "";
        if (!constructing_ && localName.empty() && logger_->isEnabled(log::WARN)) {
            logger_->log(kSourceFile, kUnnamedNodeLine, log::WARN, "WARNING: addNode with unspecified name.");
        }
        if (object == parentObject) {
            return nullptr; // an object cannot be its own parent
        }
        Node* parent = find(const_cast<void*>(parentObject));
        if (parent == nullptr) {
            parent = new Node(const_cast<void*>(parentObject), Node::NO_TREE_ID, NodeInterface::NODE_UNKNOWN,
                              placeholderName(object, type, localName).c_str());
            getOrphanRoot().add(parent);
        }
        Node* node = find(const_cast<void*>(object));
        if (node != nullptr) {
            if (node->getTreeId() == Node::ROOT_TREE_ID || parent->isWithin(node)) {
                return nullptr;
            }
            node->setNodeType(type);
            node->setLocalName(localName.c_str());
            return parent->add(node);
        }
        node = new Node(const_cast<void*>(object), Node::NO_TREE_ID, type, localName.c_str());
        if (parent->add(node) == nullptr) {
            delete node;
            return nullptr;
        }
        return node;
    }

    bool removeNode(NodeInterface* node)
    {
        if (node == nullptr) {
            return true;
        }
        auto* treeNode = static_cast<Node*>(node);
        Node* parent = treeNode->getParent();
        if (parent == nullptr || !parent->remove(treeNode)) {
            return false;
        }
        delete treeNode;
        return true;
    }

    bool removeNode(const void* object)
    {
        Node* node = find(const_cast<void*>(object));
        return node == nullptr ? true : removeNode(static_cast<NodeInterface*>(node));
    }

    NodeInterface* getNodeByName(const char* fullName)
    {
        return fullName == nullptr ? nullptr : getRoot().getByName(fullName, ".");
    }

    bool addListener(NodeManagerListener* listener)
    {
        if (listener == nullptr || listeners_.count(listener) != 0) {
            return false;
        }
        ListenerReplayFunctor replay(listener, NodeManagerListener::NODE_ADDED);
        getRoot().eval(replay, Node::EVAL_PRE_ORDER);
        listeners_.insert(listener);
        return true;
    }

    bool removeListener(NodeManagerListener* listener)
    {
        if (listeners_.count(listener) == 0) {
            return false;
        }
        ListenerReplayFunctor replay(listener, NodeManagerListener::NODE_REMOVED);
        getRoot().eval(replay, Node::EVAL_POST_ORDER);
        listeners_.erase(listener);
        return true;
    }

    void removeAllListeners()
    {
        while (!listeners_.empty()) {
            removeListener(*listeners_.begin());
        }
    }

    void treeEvent(Node* node, TreeEvent_e event) override
    {
        NodeManagerListener::NodeEvent_e nodeEvent = NodeManagerListener::NODE_EVENT_NONE;
        if (event == TREE_NODE_ADDED) {
            nodeEvent = NodeManagerListener::NODE_ADDED;
        } else if (event == TREE_NODE_REMOVED) {
            nodeEvent = NodeManagerListener::NODE_REMOVED;
        }
        // A listener may add or remove listeners while it is told: walk a
        // copy and skip those that left meanwhile.
        const std::vector<NodeManagerListener*> listeners(listeners_.begin(), listeners_.end());
        for (NodeManagerListener* listener : listeners) {
            if (listeners_.count(listener) != 0) {
                listener->nodeManagerEvent(node, nodeEvent);
            }
        }
    }

    std::string toString() const
    {
        std::string text = "ROOT tree\n";
        appendLines(getRoot(), 1, text);
        if (!getOrphanRoot().getChildren().empty()) {
            text += "ORPHAN tree\n";
            appendLines(getOrphanRoot(), 1, text);
        }
        return text;
    }

  private:
    bool constructing_ = true;
    std::set<NodeManagerListener*> listeners_;
    char sysObject_ = 0; // its address is the object of the "sys" node
    std::unique_ptr<log::Logger> logger_;
};

NodeManager& NodeManager::getInstance()
{
    static NodeManager instance;
    return instance;
}

NodeManager::NodeManager() : impl_(new Impl()) {}

NodeManager::~NodeManager()
{
    delete impl_;
}

NodeInterface* NodeManager::addNode(const void* parent, const void* object, NodeInterface::NodeType_e type,
                                    const char* name)
{
    CoreLock lock;
    return impl_->addNode(parent, object, type, name);
}

bool NodeManager::removeNode(NodeInterface* node)
{
    CoreLock lock;
    return impl_->removeNode(node);
}

bool NodeManager::removeNode(const void* object)
{
    CoreLock lock;
    return impl_->removeNode(object);
}

NodeInterface* NodeManager::getNode(const void* object) const
{
    CoreLock lock;
    return impl_->find(const_cast<void*>(object));
}

NodeInterface* NodeManager::getNode(const char* fullName) const
{
    CoreLock lock;
    return impl_->getNodeByName(fullName);
}

NodeInterface* NodeManager::getNode(int64_t instanceId) const
{
    CoreLock lock;
    return impl_->find(reinterpret_cast<void*>(static_cast<intptr_t>(instanceId)));
}

bool NodeManager::addListener(NodeManagerListener* listener)
{
    CoreLock lock;
    return impl_->addListener(listener);
}

bool NodeManager::removeListener(NodeManagerListener* listener)
{
    CoreLock lock;
    return impl_->removeListener(listener);
}

std::string NodeManager::toString() const
{
    CoreLock lock;
    return impl_->toString();
}

void NodeManager::reset()
{
    CoreLock lock;
    // Listeners hear of the removal first, so that no logger keeps the output
    // it was given while it was named in the discarded tree.
    impl_->removeAllListeners();
    delete impl_;
    impl_ = new Impl();
}

} // namespace vnx
