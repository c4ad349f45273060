#pragma once

// The process-wide node tree. Every object of the engine that wants a name
// (domains, devices, modules, their sub-objects and loggers) adds a node for
// itself under the node of its owner object. Objects are built inside out, so
// a child may arrive before its parent: it then waits in the ORPHAN tree under
// a placeholder that becomes the parent's node when the parent is added.
// Listeners hear only of nodes that join or leave the ROOT tree.
//
// Not synchronised: the engine is driven from one thread.

#include <cstdint>
#include <string>

#include "common/NodeInterface.h"

namespace vnx {

class NodeManager
{
  public:
    /// The process-wide manager, built on first use. A fresh manager holds
    /// "sys" and its logger node sys.NodeManager.
    static NodeManager& getInstance();

    NodeManager(const NodeManager&) = delete;
    NodeManager& operator=(const NodeManager&) = delete;

    /// Adds a node for `object` under the node of `parent` (null: the ROOT
    /// root). Returns the node now standing for the object, or null when the
    /// object already has a node in the ROOT tree or the link would be a cycle.
    NodeInterface* addNode(const void* parent, const void* object, NodeInterface::NodeType_e type,
                           const char* name);

    /// Removes the node with its subtree (children announced first). True
    /// also for null or an object without a node; false for a root.
    bool removeNode(NodeInterface* node);
    bool removeNode(const void* object);

    NodeInterface* getNode(const void* object) const;
    /// By full name, "." separated; "" gives the ROOT root.
    NodeInterface* getNode(const char* fullName) const;
    NodeInterface* getNode(int64_t instanceId) const;

    /// Replays the ROOT tree (root first, parents before children) to the new
    /// listener. False when it is already registered.
    bool addListener(NodeManagerListener* listener);
    /// Tells the listener of the removal of every ROOT node (children first,
    /// root last). False when it is not registered.
    bool removeListener(NodeManagerListener* listener);

    /// "ROOT tree\n" then one indented "name [type]" line per node, and the
    /// ORPHAN tree the same way when it is not empty.
    std::string toString() const;

    /// Every listener hears of the removal of the ROOT tree and is dropped;
    /// then the tree is rebuilt as at construction.
    void reset();

    class Impl;

  private:
    NodeManager();
    ~NodeManager();

    Impl* impl_;
};

} // namespace vnx
