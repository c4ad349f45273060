#include "extCommon/SysLogger.h"

#include "common/NodeManager.h"

namespace vnx::log {

SysLogger::SysLogger(const char* blockName, const char* localName)
    : Logger(blockName, localName, WARN, TYPE_CONSOLE), localName_(localName)
{
    // The node manager must be complete before this logger is, so that it is
    // destroyed after it at exit: the destructor removes the node.
    NodeManager::getInstance();
    place();
}

SysLogger::~SysLogger()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(static_cast<const Logger*>(this)));
}

void SysLogger::place()
{
    NodeManager& nodes = NodeManager::getInstance();
    const NodeInterface* sys = nodes.getNode("sys");
    if (sys != nullptr) {
        nodes.addNode(**sys, static_cast<const Logger*>(this), NodeInterface::NODE_LOG, localName_);
    }
}

} // namespace vnx::log
