#pragma once

// Test doubles for the logging tests: an appender that keeps every text it is
// given and a formatter that records which calls reached it.

#include <string>
#include <vector>

#include "log/Appender.h"
#include "log/Formatter.h"
#include "log/LogEvent.h"

class RecordingAppender : public vnx::log::Appender
{
  public:
    void log(const vnx::log::LogEvent& event) override { texts.push_back(event.getText()); }
    std::vector<std::string> texts;
};

class RecordingFormatter : public vnx::log::Formatter
{
  public:
    RecordingFormatter(std::vector<std::string>* calls, std::string id, bool* destroyed = nullptr)
        : calls_(calls), id_(std::move(id)), destroyed_(destroyed)
    {
    }
    ~RecordingFormatter() override
    {
        if (destroyed_ != nullptr) {
            *destroyed_ = true;
        }
    }
    void setAppender(vnx::log::Appender*, bool) override {}
    void log(vnx::log::LogEvent& event, const char* text) override
    {
        calls_->push_back(id_ + " text " + std::to_string(event.getLevel()) + " " + text);
    }
    void log(vnx::log::LogEvent&, const vnx_Struct_s*) override { calls_->push_back(id_ + " record"); }
    void log(vnx::log::LogEvent&, size_t count, const vnx_StructOutput_s* const*,
             const vnx_StructFormat_s* const*) override
    {
        calls_->push_back(id_ + " outputs " + std::to_string(count));
    }
    void log(const vnx::log::LogEvent&, size_t a, size_t b, const void*, vnx::log::TestPoint_e tp) override
    {
        calls_->push_back(id_ + " data " + std::to_string(a) + "x" + std::to_string(b) + " tp" +
                          std::to_string(tp));
    }

  private:
    std::vector<std::string>* calls_;
    std::string id_;
    bool* destroyed_;
};
