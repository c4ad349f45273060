#include "log/LogManager.h"

#include <memory>

#include "common/NodeManager.h"
#include "common/properties.h"
#include "log/ConsoleAppender.h"
#include "log/ConsoleStringFormatter.h"
#include "log/Logger.h"
#include "log/SingleLoggerFileAppender.h"
#include "log/SingleLoggerFileFormatter.h"

namespace vnx::log {

class LogManagerImpl : public NodeManagerListener
{
  public:
    ~LogManagerImpl() override
    {
        // The formatter goes first: it refers to the appender.
        formatter_.reset();
        appender_.reset();
    }

    void nodeManagerEvent(NodeInterface* node, NodeEvent_e event) override
    {
        if (node == nullptr || node->getNodeType() != NodeInterface::NODE_LOG || **node == nullptr) {
            return;
        }
        auto* logger = static_cast<Logger*>(**node);
        if (event == NODE_REMOVED) {
            logger->removeFormatter(getDefaultFormatter());
        } else if (event == NODE_ADDED) {
            logger->setName(loggerName(*node).c_str());
            if (logger->getType() == TYPE_CONSOLE) {
                logger->addFormatter(getDefaultFormatter(), false);
            } else if (logger->getType() == TYPE_SINGLE_FILE) {
                attachSingleLoggerFile(*logger);
            }
            // Every other type stays silent.
        }
    }

    Formatter* getDefaultFormatter()
    {
        if (formatter_ == nullptr) {
            appender_ = std::make_unique<ConsoleAppender>();
            formatter_ = std::make_unique<ConsoleStringFormatter>();
            formatter_->setAppender(appender_.get(), false);
        }
        return formatter_.get();
    }

    const std::string& getFilenamePrefix()
    {
        if (filenamePrefix_.empty()) {
            filenamePrefix_ = vnx_properties_getAsString("LOG_OUTPUT_PREFIX", "./");
        }
        return filenamePrefix_;
    }

  private:
    // A file of the logger's own. Its formatter stays attached when the node
    // leaves the tree, so a node added again (or replayed to the manager)
    // keeps the one it has: a second file appender would truncate the file
    // the first one is writing.
    static void attachSingleLoggerFile(Logger& logger)
    {
        for (size_t i = 0; Formatter* formatter = logger.getFormatter(i); ++i) {
            if (dynamic_cast<SingleLoggerFileFormatter*>(formatter) != nullptr) {
                return;
            }
        }
        auto* formatter = new SingleLoggerFileFormatter(TP_NONE);
        formatter->setAppender(new SingleLoggerFileAppender(), true);
        logger.addFormatter(formatter, true);
    }

    // The node's full name without its first ".dftLog": a default logger is
    // named after its owner.
    static std::string loggerName(const NodeInterface& node)
    {
        static constexpr char kDefaultLocal[] = ".dftLog";
        std::string name = node.getName(".");
        const size_t position = name.find(kDefaultLocal);
        if (position != std::string::npos) {
            name.erase(position, sizeof(kDefaultLocal) - 1);
        }
        return name;
    }

    std::unique_ptr<ConsoleStringFormatter> formatter_;
    std::unique_ptr<ConsoleAppender> appender_;
    std::string filenamePrefix_;
};

LogManager& LogManager::getInstance()
{
    static LogManager instance;
    return instance;
}

LogManager::LogManager() : impl_(new LogManagerImpl())
{
    NodeManager::getInstance().addListener(impl_);
}

LogManager::~LogManager()
{
    NodeManager::getInstance().removeListener(impl_);
    delete impl_;
}

Logger* LogManager::get(const char* name) const
{
    if (name == nullptr) {
        return nullptr;
    }
    const NodeManager& nodes = NodeManager::getInstance();
    const NodeInterface* node = nodes.getNode(name);
    if (node == nullptr || node->getNodeType() != NodeInterface::NODE_LOG) {
        node = nodes.getNode((std::string(name) + ".dftLog").c_str());
    }
    if (node == nullptr || node->getNodeType() != NodeInterface::NODE_LOG) {
        return nullptr;
    }
    return static_cast<Logger*>(const_cast<void*>(**node));
}

bool LogManager::setLevel(const char* name, Priority_e level)
{
    Logger* logger = get(name);
    if (logger == nullptr) {
        return false;
    }
    logger->setLevel(level);
    return true;
}

const std::string& LogManager::getFilenamePrefix()
{
    return impl_->getFilenamePrefix();
}

Formatter* LogManager::getDefaultFormatter()
{
    return impl_->getDefaultFormatter();
}

bool LogManager::reset()
{
    return NodeManager::getInstance().addListener(impl_);
}

} // namespace vnx::log
