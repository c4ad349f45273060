#pragma once

// Per-class default logger: one line in a class gives it a logger of its own.
//
//     class SensorFusion : public vnx::ModuleInterface {
//         VNX_LOG_DEFAULT(SensorFusion); // block "vnx_core_SensorFusion", member dftLog_
//     public:
//         int process(...)
//         {
//             VNX_LOGF(dftLog_, vnx::log::FINE, "sample %u", sampleNumber);
//             ...
//         }
//     };
//
// - VNX_LOG_DEFAULT(X) names the block "vnx_core_X", VNX_EXT_LOG_DEFAULT(X)
//   "vnx_ext_X", VNX_LOG_DEFAULT_BLOCK(expr) any block (a string literal or,
//   in a template, a `const char*` template parameter).
// - Put the line first in the class, so that the logger exists before the
//   members that may log while they are built. It declares the nested logger
//   class MyLogger_VNX_LOG_DEFAULT and the private member `dftLog_`, which
//   converts to `const vnx::log::Logger&` and gives `->` access to it.
// - The logger starts at WARN; the properties LOG_GLOBAL_LEVEL,
//   LOG_LEVEL_<block> and LOG_LEVEL_<block>_dftLog then apply, in that order.
// - It becomes log node "dftLog" under the node of the object (`this`); until
//   the object has a node it waits in the ORPHAN tree, and it prints nothing
//   until the object's node joins the ROOT tree. Whoever adds the object's
//   node must use the same address (`this` of the class).
// - Its node is removed when the object is destroyed. A class with a default
//   logger cannot be copied.
// - VNX_LOGF tests the level before anything else: a call that the level
//   filters out costs one compare and allocates nothing.

#include <memory>

#include "log/Logger.h"

namespace vnx::log {

/// Logger "dftLog" of block `blockName`, level WARN, console output. Its
/// destructor removes its node.
class DefaultLogger : public Logger
{
  public:
    explicit DefaultLogger(const char* blockName);
    ~DefaultLogger() override;
};

/// Adds `logger` as a log node, named by its local name, under `owner`.
void placeLoggerUnder(Logger* logger, const void* owner);

/// The member that owns a class's default logger and places it under the
/// owner object. The logger itself lives on the heap: a member at offset 0
/// shares its owner's address, and the node tree tells objects apart by
/// address.
template <class LoggerT> class LoggerHolder
{
  public:
    explicit LoggerHolder(const void* owner) : logger_(std::make_unique<LoggerT>())
    {
        addLog(*logger_, owner);
    }
    LoggerHolder(const LoggerHolder&) = delete;
    LoggerHolder& operator=(const LoggerHolder&) = delete;

    static void addLog(Logger& logger, const void* owner) { placeLoggerUnder(&logger, owner); }

    operator const Logger&() const { return *logger_; }
    LoggerT& operator*() const { return *logger_; }
    LoggerT* operator->() const { return logger_.get(); }

  private:
    std::unique_ptr<LoggerT> logger_;
};

} // namespace vnx::log

#define VNX_LOG_DEFAULT_BLOCK(blockName)                                                                     \
    struct MyLogger_VNX_LOG_DEFAULT : ::vnx::log::DefaultLogger                                              \
    {                                                                                                        \
        MyLogger_VNX_LOG_DEFAULT() : ::vnx::log::DefaultLogger(blockName) {}                                 \
    };                                                                                                       \
    ::vnx::log::LoggerHolder<MyLogger_VNX_LOG_DEFAULT> dftLog_                                               \
    {                                                                                                        \
        this                                                                                                 \
    }

#define VNX_LOG_DEFAULT(Class) VNX_LOG_DEFAULT_BLOCK("vnx_core_" #Class)
#define VNX_EXT_LOG_DEFAULT(Class) VNX_LOG_DEFAULT_BLOCK("vnx_ext_" #Class)
