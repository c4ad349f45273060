#pragma once

// The logger of the application-support helpers: block "vnx_ext", log node
// "AppSupport" under "sys", made on first use.

#include "log/Logger.h"

namespace vnx {

log::Logger& appSupportLogger();

} // namespace vnx
