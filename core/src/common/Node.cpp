#include "common/Node.h"

#include <string_view>

#include "common/statusCode.h"
#include "log/Logger.h"
#include "moduleFactory/moduleConfigInterface.h"

namespace vnx {

namespace {

class SetLevelFunctor : public Node::FunctorInterface
{
  public:
    SetLevelFunctor(log::Priority_e level, log::Type_e type) : level_(level), type_(type) {}

    void operator()(Node* node) override
    {
        if (node->getNodeType() != NodeInterface::NODE_LOG || **node == nullptr) {
            return;
        }
        auto* logger = static_cast<log::Logger*>(**node);
        if (type_ == log::TYPE_ANY || logger->getType() == type_) {
            logger->setLevel(level_);
        }
    }

  private:
    log::Priority_e level_;
    log::Type_e type_;
};

} // namespace

const char* NodeInterface::nodeTypeToString(int type)
{
    static constexpr const char* kNames[] = {"root", "domain", "device", "module", "subnode", "log"};
    return (type >= NODE_ROOT && type <= NODE_LOG) ? kNames[type - NODE_ROOT] : "unknown";
}

Node::Node(void* object, int32_t treeId, NodeType_e type, const char* localName)
    : TreeNode(object, treeId), localName_(localName != nullptr ? localName : ""), type_(type)
{
}

Node* Node::cloneTreeNode() const
{
    Node* copy = new Node(getObject(), NO_TREE_ID, type_, localName_.c_str());
    copy->sequenceNumber_ = sequenceNumber_;
    copy->ownSequenceSource_ = ownSequenceSource_;
    for (const Node* child : getChildren()) {
        copy->adoptDetached(child->cloneTreeNode());
    }
    return copy;
}

void Node::setLocalName(const char* name)
{
    localName_ = name != nullptr ? name : "";
}

std::string Node::getName(const char* separator) const
{
    if (getParent() == nullptr) {
        return localName_;
    }
    std::string name = getParent()->getName(separator);
    if (!name.empty() && separator != nullptr) {
        name += separator;
    }
    name += localName_;
    return name;
}

Node* Node::getByName(const std::string& name, const char* separators)
{
    const size_t end = name.find_first_of(separators != nullptr ? separators : "");
    const size_t segmentLength = end == std::string::npos ? name.size() : end;
    if (segmentLength == 0) {
        return this;
    }
    const std::string_view segment(name.data(), segmentLength);
    const std::string rest = end == std::string::npos ? std::string() : name.substr(end + 1);
    for (Node* child : getChildren()) {
        if (child->localName_ == segment) {
            return child->getByName(rest, separators);
        }
    }
    return nullptr;
}

int64_t Node::getInstanceId() const
{
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(getObject()));
}

bool Node::isModuleConfigInterface() const
{
    return type_ == NODE_DOMAIN || type_ == NODE_DEVICE || type_ == NODE_MODULE;
}

int Node::getConfig(vnx_StructConfig_s* config) const
{
    if (!isModuleConfigInterface()) {
        return VNX_STATUS_FEATURE_DENIED;
    }
    return static_cast<const ModuleConfigInterface*>(getObject())->getConfig(config);
}

int Node::setConfig(const vnx_StructConfig_s* config)
{
    if (!isModuleConfigInterface()) {
        return VNX_STATUS_FEATURE_DENIED;
    }
    return static_cast<ModuleConfigInterface*>(getObject())->setConfig(config);
}

int Node::sendCommand(const vnx_StructCommand_s* command)
{
    if (!isModuleConfigInterface()) {
        return VNX_STATUS_FEATURE_DENIED;
    }
    return static_cast<ModuleConfigInterface*>(getObject())->sendCommand(command);
}

NodeInterface* Node::getSequenceNumberSource() const
{
    if (ownSequenceSource_ || getParent() == nullptr) {
        return const_cast<Node*>(this);
    }
    return getParent()->getSequenceNumberSource();
}

void Node::setSequenceNumber(uint32_t number, bool inherit)
{
    sequenceNumber_ = number;
    ownSequenceSource_ = !inherit;
}

void Node::setLevel(log::Priority_e level, log::Type_e type)
{
    SetLevelFunctor functor(level, type);
    eval(functor, EVAL_PRE_ORDER);
}

} // namespace vnx
