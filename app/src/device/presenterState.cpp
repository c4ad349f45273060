#include "device/presenterState.h"

std::atomic<uint8_t> buttonOnlyMode{0};
std::atomic<uint8_t> receiverOpen{0};
std::atomic<int16_t> presenterPairState{0};
std::atomic<uint64_t> presenterInfoWord{0};
std::atomic<uint8_t> hotButtonState{0};
std::atomic<uint8_t> pointerButtonDown{0};

void setButtonOnlyModeForButtonMode(uint64_t mode)
{
    buttonOnlyMode.store(mode <= 1 ? 1 : 0, std::memory_order_relaxed);
}
