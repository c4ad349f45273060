#include "device/hidCallback.h"

#include <memory>
#include <mutex>

namespace {

struct CallbackSlot
{
    std::mutex mutex;
    std::shared_ptr<const HidCallback> callback;
};

// Never destroyed: the worker threads are not stopped at exit and may still
// report while static objects are destroyed.
CallbackSlot& slot()
{
    static CallbackSlot* const instance = new CallbackSlot;
    return *instance;
}

} // namespace

void setHidCallback(HidCallback callback)
{
    auto replacement = callback ? std::make_shared<const HidCallback>(std::move(callback)) : nullptr;
    CallbackSlot& s = slot();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.callback = std::move(replacement);
}

bool reportPresenterEvent(const PresenterEvent& event)
{
    std::shared_ptr<const HidCallback> callback;
    {
        CallbackSlot& s = slot();
        std::lock_guard<std::mutex> lock(s.mutex);
        callback = s.callback;
    }
    if (!callback) {
        return false;
    }
    (*callback)(event);
    return true;
}
