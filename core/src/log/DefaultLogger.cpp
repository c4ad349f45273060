#include "log/DefaultLogger.h"

#include "common/NodeManager.h"

namespace vnx::log {

namespace {

constexpr const char* kDefaultLocalName = "dftLog";

} // namespace

DefaultLogger::DefaultLogger(const char* blockName) : Logger(blockName, kDefaultLocalName, WARN, TYPE_CONSOLE)
{
}

DefaultLogger::~DefaultLogger()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(static_cast<Logger*>(this)));
}

void placeLoggerUnder(Logger* logger, const void* owner)
{
    NodeManager::getInstance().addNode(owner, static_cast<const void*>(logger), NodeInterface::NODE_LOG,
                                       logger->getLocalName());
}

} // namespace vnx::log
