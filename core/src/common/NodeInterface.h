#pragma once

// The contract of one node of the process-wide node tree: a named place for
// one object of the engine (domain, device, module, sub-object or logger). The
// node does not own its object.

#include <cstdint>
#include <string>

#include "log/Priority.h"

struct vnx_StructConfig_s;
struct vnx_StructCommand_s;

namespace vnx {

class NodeInterface
{
  public:
    enum NodeType_e : int
    {
        NODE_UNKNOWN = 0, // the two tree roots and orphan placeholders
        NODE_ROOT = 1,    // given to no node
        NODE_DOMAIN = 2,
        NODE_DEVICE = 3,
        NODE_MODULE = 4,
        NODE_SUBNODE = 5, // members and sub-objects of an owner
        NODE_LOG = 6,     // loggers; the object is a vnx::log::Logger
    };

    /// "root", "domain", "device", "module", "subnode", "log"; "unknown" for
    /// any other value.
    static const char* nodeTypeToString(int type);

    virtual ~NodeInterface() = default;

    /// The object the node stands for.
    virtual void* operator*() = 0;
    virtual const void* operator*() const = 0;

    virtual NodeType_e getNodeType() const = 0;
    virtual std::string getLocalName() const = 0;
    virtual void setLocalName(const char* name) = 0;
    /// Full name: the local names from the first level below the root down to
    /// this node, joined by `separator`.
    virtual std::string getName(const char* separator) const = 0;
    /// The object pointer as a signed 64-bit number.
    virtual int64_t getInstanceId() const = 0;

    /// Passed to the object when it is a domain, device or module (whose node
    /// must be added with its ModuleConfigInterface pointer); any other node
    /// answers VNX_STATUS_FEATURE_DENIED (-23).
    virtual int getConfig(vnx_StructConfig_s* config) const = 0;
    virtual int setConfig(const vnx_StructConfig_s* config) = 0;
    virtual int sendCommand(const vnx_StructCommand_s* command) = 0;

    /// The nearest node, from this one up, that keeps its own sequence number.
    virtual NodeInterface* getSequenceNumberSource() const = 0;
    virtual uint32_t getSequenceNumber() const = 0;
    /// Stores `number`; the node keeps its own number unless `inherit`, in
    /// which case its parent's source counts again.
    virtual void setSequenceNumber(uint32_t number, bool inherit) = 0;

    /// Sets the level of every logger of this subtree whose type is `type`
    /// (every logger for TYPE_ANY).
    virtual void setLevel(log::Priority_e level, log::Type_e type) = 0;
};

/// Hears of every node that joins or leaves the ROOT tree.
class NodeManagerListener
{
  public:
    enum NodeEvent_e : int
    {
        NODE_EVENT_NONE = 0,
        NODE_ADDED = 1,
        NODE_REMOVED = 2,
    };

    virtual ~NodeManagerListener() = default;
    virtual void nodeManagerEvent(NodeInterface* node, NodeEvent_e event) = 0;
};

} // namespace vnx
