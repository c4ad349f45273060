#pragma once

// One node of the node tree: the tree links (TreeNode) plus the name, type and
// sequence number of the object it stands for.

#include <cstdint>
#include <string>

#include "common/NodeInterface.h"
#include "common/Tree.h"

namespace vnx {

class Node : public TreeNode<Node, void*>, public NodeInterface
{
  public:
    Node(void* object, int32_t treeId = NO_TREE_ID, NodeType_e type = NODE_UNKNOWN,
         const char* localName = "");

    Node* cloneTreeNode() const override;

    void* operator*() override { return getObject(); }
    const void* operator*() const override { return getObject(); }

    NodeType_e getNodeType() const override { return type_; }
    void setNodeType(NodeType_e type) { type_ = type; }
    std::string getLocalName() const override { return localName_; }
    void setLocalName(const char* name) override;
    std::string getName(const char* separator) const override;

    /// The node reached from this one by the path `name`, whose segments are
    /// split at any of the characters of `separators`; this node for an empty
    /// path or an empty first segment; null when a segment has no child.
    Node* getByName(const std::string& name, const char* separators);

    int64_t getInstanceId() const override;

    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;

    NodeInterface* getSequenceNumberSource() const override;
    uint32_t getSequenceNumber() const override { return sequenceNumber_; }
    void setSequenceNumber(uint32_t number, bool inherit) override;

    void setLevel(log::Priority_e level, log::Type_e type) override;

    /// Domains, devices and modules: the object is a ModuleConfigInterface.
    bool isModuleConfigInterface() const;

  private:
    std::string localName_;
    NodeType_e type_;
    uint32_t sequenceNumber_ = 0;
    bool ownSequenceSource_ = false;
};

} // namespace vnx
