#include "platform/HidBackend.h"

bool hidDeviceMatches(const HidDeviceInfo& info, int vendorId, int productId, int usagePage, int usage)
{
    return (vendorId <= 0 || info.vendorId == vendorId) && (productId <= 0 || info.productId == productId) &&
           (usagePage <= 0 || info.usagePage == usagePage) && (usage <= 0 || info.usage == usage);
}

const char* hidOpenResultName(HidOpenResult result)
{
    switch (result) {
    case HidOpenResult::Opened:
        return "opened";
    case HidOpenResult::NotFound:
        return "not found";
    case HidOpenResult::PermissionDenied:
        return "permission denied";
    case HidOpenResult::Failed:
        return "failed";
    }
    return "failed";
}
