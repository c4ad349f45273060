#pragma once

namespace vnx {

// Angles as the nearest floats, shared by the approximations and conversions.
inline constexpr float kPiOver4F = 0.7853982f; // 0x3F490FDB
inline constexpr float kPiOver2F = 1.5707964f; // 0x3FC90FDB
inline constexpr float kPiF = 3.1415927f;      // 0x40490FDB
inline constexpr float kTwoPiF = 6.2831855f;   // 0x40C90FDB

/// Float machine epsilon: magnitudes at or below it count as zero in the
/// angle and quaternion routines.
inline constexpr float kSmallValueF = 1.1920929e-7f; // 0x34000000

} // namespace vnx
