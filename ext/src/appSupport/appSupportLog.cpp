#include "appSupport/appSupportLog.h"

#include "extCommon/SysLogger.h"

namespace vnx {

log::Logger& appSupportLogger()
{
    static log::SysLogger logger("vnx_ext", "AppSupport");
    logger.place();
    return logger;
}

} // namespace vnx
