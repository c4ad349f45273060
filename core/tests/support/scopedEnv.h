#pragma once

// Test helper: sets (or clears) one environment variable for the life of the
// object and restores what was there before.

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnv
{
  public:
    ScopedEnv(std::string name, const char* value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str())) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name_.c_str(), value, 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    ~ScopedEnv()
    {
        if (old_) {
            setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};
