#include "log/DXLogConfig.h"

DXLogConfig& DXLogConfig::sharedInstance()
{
    static DXLogConfig instance;
    return instance;
}
