#pragma once

#include "log/Logger.h"

namespace vnx {

/// The logger every half pipe writes through: log node "NamedPipe" under
/// "sys" (block "vnx_core_NamedPipe"). Opening, reading and writing log at
/// INFO, so a pipe that waits for its peer is silent at the default level.
const log::Logger& namedPipeLog();

/// Once per process: logs at INFO when SIGPIPE still has its default action
/// (it would end the process when a FIFO reader leaves). It changes nothing.
void checkSigPipe();

} // namespace vnx
