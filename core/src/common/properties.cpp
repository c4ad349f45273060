#include "common/properties.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "common/NodeManager.h"
#include "log/Logger.h"

namespace vnx {

namespace {

// Variable names and "name=value" texts are formed in buffers of this size.
constexpr size_t kBufferSize = 256;
// The longest property name: "VNX_" and the name fill the 255 characters of a
// buffer. A longer name would be cut and so name another variable: it is
// refused instead.
constexpr size_t kMaxNameLength = kBufferSize - 1 - 4;

bool nameFits(const char* name)
{
    return std::strlen(name) <= kMaxNameLength;
}

} // namespace

/// Keeps the "VNX_name=value" buffer handed to putenv for each name: the
/// environment refers to it from then on. A name set again reuses its buffer,
/// so setting one property over and over takes no more memory.
class PropertiesManager
{
  public:
    static PropertiesManager& getInstance()
    {
        // Never destroyed: the environment may still be read while static
        // objects are destroyed at exit, and it points into these buffers.
        static PropertiesManager* instance = new PropertiesManager();
        return *instance;
    }

    /// The buffer of the name, made on its first use.
    char* bufferFor(const char* name)
    {
        std::unique_ptr<char[]>& buffer = buffers_[name];
        if (buffer == nullptr) {
            buffer = std::make_unique<char[]>(kBufferSize);
        }
        return buffer.get();
    }

    void markStarted() { started_ = true; }

  private:
    std::unordered_map<std::string, std::unique_ptr<char[]>> buffers_;
    bool started_ = false;
};

namespace {

/// The Properties logger: log node "Properties" under "sys".
class MyLogger_Properties : public log::Logger
{
  public:
    MyLogger_Properties() : log::Logger("vnx_core_Properties", "Properties", log::WARN, log::TYPE_CONSOLE)
    {
        // The node manager must be complete before this logger is, so that it
        // is destroyed after it at exit: the destructor removes the node.
        NodeManager::getInstance();
    }
    ~MyLogger_Properties() override
    {
        NodeManager::getInstance().removeNode(static_cast<log::Logger*>(this));
    }

    /// Adds the node under "sys" unless the logger already has one in the
    /// ROOT tree (it has none again after the node tree was reset).
    void place()
    {
        NodeManager& nodes = NodeManager::getInstance();
        const NodeInterface* sys = nodes.getNode("sys");
        if (sys != nullptr) {
            nodes.addNode(**sys, static_cast<log::Logger*>(this), NodeInterface::NODE_LOG, "Properties");
        }
    }
};

const char* lookup(const char* name)
{
    if (!nameFits(name)) {
        return nullptr;
    }
    char variable[kBufferSize];
    std::snprintf(variable, sizeof(variable), "VNX_%s", name);
    return std::getenv(variable);
}

} // namespace

} // namespace vnx

extern "C" {

void vnx_properties_initialize(void)
{
    // The logger and its node allocate: running out of memory leaves the
    // logger out (a later call tries again) instead of leaving the library.
    try {
        static vnx::MyLogger_Properties logger;
        logger.place();
        vnx::PropertiesManager::getInstance().markStarted();
    } catch (...) {
    }
}

const char* vnx_properties_getAsString(const char* name, const char* defaultValue)
{
    if (name == nullptr) {
        if (defaultValue == nullptr) {
            try {
                vnx::PropertiesManager::getInstance().markStarted();
            } catch (...) {
                // The first use creates the manager; out of memory it stays unmarked.
            }
        }
        return defaultValue;
    }
    const char* value = vnx::lookup(name);
    return value != nullptr ? value : defaultValue;
}

const char* vnx_properties_get(const char* name)
{
    return name != nullptr ? vnx::lookup(name) : nullptr;
}

bool vnx_properties_getAsBoolean(const char* name, bool defaultValue)
{
    const char* value = vnx_properties_get(name);
    if (value == nullptr) {
        return defaultValue;
    }
    for (const char* falseWord : {"0", "false", "FALSE", "False"}) {
        if (std::strcmp(value, falseWord) == 0) {
            return false;
        }
    }
    return true;
}

int vnx_properties_getAsInt(const char* name, int defaultValue)
{
    const char* value = vnx_properties_get(name);
    if (value == nullptr) {
        return defaultValue;
    }
    // Read as atoi does, but clamped: atoi leaves out-of-range values undefined.
    const long number = std::strtol(value, nullptr, 10);
    return static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX));
}

bool vnx_properties_set(const char* name, const char* value)
{
    // A name with "=" would set another variable: "A=B" and "x" make
    // VNX_A=B=x, which the environment reads as VNX_A.
    if (name == nullptr || !vnx::nameFits(name) || std::strchr(name, '=') != nullptr) {
        return false;
    }
    char* buffer = nullptr;
    try {
        buffer = vnx::PropertiesManager::getInstance().bufferFor(name);
    } catch (...) {
        return false; // out of memory: nothing was set
    }
    // A name that fills the buffer leaves no room for "=": it cannot be set.
    if (std::strlen(name) + 5 > vnx::kBufferSize - 1) {
        return false;
    }
    // Written in place: the variable changes at once, also before putenv.
    std::snprintf(buffer, vnx::kBufferSize, "VNX_%s=%s", name, value != nullptr ? value : "");
    return putenv(buffer) == 0;
}

} // extern "C"
