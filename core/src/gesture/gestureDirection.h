#pragma once

// Direction value of a movement on the eight-sector scale of gesture codes.

#include <cmath>

namespace vnx::gesture {

/// Half a turn and one sector in radians, as the stored codes were made with
/// them: slightly short of pi and pi/4, so that +x lies exactly on 5.0.
inline constexpr double kHalfTurn = 3.1415926;
inline constexpr double kSector = 0.78539815;

/// (atan2(y, x) + half turn) / sector + 1 in double, then float, with 9.0
/// (the -x direction approached from below) folded onto 1.0. The values lie
/// in [1, 9): 1 points to -x, 3 to -y, 5 to +x, 7 to +y.
inline float directionValue(double y, double x)
{
    const float value = static_cast<float>((std::atan2(y, x) + kHalfTurn) / kSector + 1.0);
    return value == 9.0f ? 1.0f : value;
}

} // namespace vnx::gesture
