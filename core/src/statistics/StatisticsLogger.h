#pragma once

// Default logger of a statistics object. The statistics templates log in the
// block of the module that owns them, so the block name comes from the owner
// at construction instead of from the class name.

#include <memory>

#include "log/DefaultLogger.h"

namespace vnx::statistics {

/// Holds logger "dftLog" of `blockName`, placed under the node of `owner`.
/// Like the class default logger, it lives on the heap (built once, with its
/// owner) so that its address differs from the owner's.
class OwnedLogger
{
  public:
    OwnedLogger(const char* blockName, const void* owner)
        : logger_(std::make_unique<log::DefaultLogger>(blockName))
    {
        log::placeLoggerUnder(logger_.get(), owner);
    }
    OwnedLogger(const OwnedLogger&) = delete;
    OwnedLogger& operator=(const OwnedLogger&) = delete;

    operator const log::Logger&() const { return *logger_; }
    log::DefaultLogger* operator->() const { return logger_.get(); }

  private:
    std::unique_ptr<log::DefaultLogger> logger_;
};

} // namespace vnx::statistics
