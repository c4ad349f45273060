#pragma once

// Test helper: records what the module factory's own logger (log node
// "ModuleFactory" under "sys") writes while the object lives, and compares it
// with the expected lines.

#include <gtest/gtest.h>

#include "common/Node.h"
#include "common/NodeManager.h"
#include "log/ExpectAppender.h"
#include "log/LogEvent.h"
#include "log/Logger.h"
#include "log/TransparentFormatter.h"

class FactoryLogCapture
{
  public:
    /// The factory's logger exists once a factory was registered.
    FactoryLogCapture()
    {
        formatter_.setAppender(&appender_, false);
        logger_ = findLogger();
        if (logger_ != nullptr) {
            logger_->addFormatter(&formatter_, false);
        }
    }
    ~FactoryLogCapture()
    {
        if (logger_ != nullptr) {
            logger_->removeFormatter(&formatter_);
        }
    }
    FactoryLogCapture(const FactoryLogCapture&) = delete;
    FactoryLogCapture& operator=(const FactoryLogCapture&) = delete;

    bool attached() const { return logger_ != nullptr; }

    void expect(vnx::log::Priority_e level, const char* text)
    {
        vnx::log::LogEvent event("", 0, level, logger_);
        event.setText(text);
        appender_.logExpect(event);
    }

    /// True when exactly the expected lines were logged, in order; both lists
    /// are empty afterwards.
    bool matches() { return appender_.compare(); }

  private:
    static vnx::log::Logger* findLogger()
    {
        auto* sys = static_cast<vnx::Node*>(vnx::NodeManager::getInstance().getNode("sys"));
        if (sys == nullptr) {
            return nullptr;
        }
        for (vnx::Node* child : sys->getChildren()) {
            if (child->getNodeType() == vnx::NodeInterface::NODE_LOG &&
                child->getLocalName() == "ModuleFactory") {
                return static_cast<vnx::log::Logger*>(**child);
            }
        }
        return nullptr;
    }

    vnx::log::ExpectAppender appender_;
    vnx::log::TransparentFormatter formatter_;
    vnx::log::Logger* logger_ = nullptr;
};
