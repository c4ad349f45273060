#pragma once

// Sizes of the text fields of the gesture modules' records.

/// A gesture or symbol name, zero-terminated when shorter.
#define VNX_GESTURE_NAME_SIZE 128
/// A direction code as text, zero-terminated when shorter.
#define VNX_GESTURE_CODE_TEXT_SIZE 64
