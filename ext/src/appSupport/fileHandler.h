#pragma once

#include "appSupport/AsyncWait.h"

namespace vnx {

/// The poll set of vnx_fileHandler_*: null before vnx_fileHandler_initialize
/// and after vnx_fileHandler_finalize.
const AsyncWait* fileHandlerPollSet();

} // namespace vnx
