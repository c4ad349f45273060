#pragma once

// State of the receiver and the presenter that the reader thread, the motion
// thread and the main thread share. Each value stands alone (no invariant
// spans two of them), so each is read and written whole with relaxed atomics:
// no ordering is needed, only freedom from torn or racing accesses.

#include <atomic>
#include <cstdint>

/// Set while the button mode uses no motion (blackout, slide show): the mode
/// report then asks the receiver for buttons only. Written by the main thread.
extern std::atomic<uint8_t> buttonOnlyMode;
/// Sets buttonOnlyMode for a button mode: on for blackout (0) and slide show
/// (1), off for every other mode.
void setButtonOnlyModeForButtonMode(uint64_t mode);

/// 1 while the receiver is open, else 0.
extern std::atomic<uint8_t> receiverOpen;
/// 1 once the presenter has been heard from or reported paired, 0 while the
/// receiver is absent.
extern std::atomic<int16_t> presenterPairState;
/// The last battery level or firmware version, 0 while the receiver is absent.
extern std::atomic<uint64_t> presenterInfoWord;
/// 0 released, 1 click, 2 held.
extern std::atomic<uint8_t> hotButtonState;
/// 1 while the pointer button is held.
extern std::atomic<uint8_t> pointerButtonDown;
