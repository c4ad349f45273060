#pragma once

// Test helper: records the lines one logger writes while the object lives.
// The logger is found by its node (a log node under a named node, e.g. the
// "DomainFactory" logger under "sys", or the default logger "dftLog" of an
// object) or given directly. The capture can open the logger's level for the
// lines a test looks at, and restores it afterwards.

#include <string>
#include <vector>

#include "common/Node.h"
#include "common/NodeManager.h"
#include "log/Appender.h"
#include "log/LogEvent.h"
#include "log/Logger.h"
#include "log/Priority.h"
#include "log/TransparentFormatter.h"

namespace vnx::testsupport {

struct LoggedLine
{
    log::Priority_e level;
    std::string text;
};

class LogCapture : private log::Appender
{
  public:
    /// Captures `logger` (none: nothing is captured and `attached` is false).
    explicit LogCapture(log::Logger* logger, log::Priority_e level = log::WARN) : logger_(logger)
    {
        formatter_.setAppender(this, false);
        if (logger_ != nullptr) {
            savedLevel_ = logger_->getLevel();
            logger_->setLevel(level);
            logger_->addFormatter(&formatter_, false);
        }
    }
    /// The log node `logName` under the node `parentFullName` ("sys", ...).
    LogCapture(const char* parentFullName, const char* logName, log::Priority_e level = log::WARN)
        : LogCapture(logUnder(NodeManager::getInstance().getNode(parentFullName), logName), level)
    {
    }
    /// The default logger ("dftLog") of the object `owner`.
    static log::Logger* defaultLoggerOf(const void* owner)
    {
        return logUnder(NodeManager::getInstance().getNode(owner), "dftLog");
    }

    ~LogCapture() override
    {
        if (logger_ != nullptr) {
            logger_->removeFormatter(&formatter_);
            logger_->setLevel(savedLevel_);
        }
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    bool attached() const { return logger_ != nullptr; }
    const std::vector<LoggedLine>& lines() const { return lines_; }
    /// The texts alone, in order.
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const LoggedLine& line : lines_) {
            result.push_back(line.text);
        }
        return result;
    }
    /// Whether some line's text is exactly `text`.
    bool contains(const std::string& text) const
    {
        for (const LoggedLine& line : lines_) {
            if (line.text == text) {
                return true;
            }
        }
        return false;
    }
    void clear() { lines_.clear(); }

  private:
    static log::Logger* logUnder(NodeInterface* parent, const char* logName)
    {
        if (parent == nullptr) {
            return nullptr;
        }
        for (Node* child : static_cast<Node*>(parent)->getChildren()) {
            if (child->getNodeType() == NodeInterface::NODE_LOG && child->getLocalName() == logName) {
                return static_cast<log::Logger*>(**child);
            }
        }
        return nullptr;
    }

    void log(const log::LogEvent& event) override { lines_.push_back({event.getLevel(), event.getText()}); }

    log::Logger* logger_;
    log::Priority_e savedLevel_ = log::WARN;
    log::TransparentFormatter formatter_;
    std::vector<LoggedLine> lines_;
};

} // namespace vnx::testsupport
