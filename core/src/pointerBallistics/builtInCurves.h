#pragma once

// Points (speed rad/s, gain counts per radian) of the built-in pointer
// ballistics curves.

#include <cstddef>

namespace vnx::builtInCurves {

/// Constant gain of the Linear curve: counts per radian of rotation.
inline constexpr float kLinearGain = 1994.1073f;

inline constexpr float kLinear[][2] = {{0.0f, kLinearGain}, {6.0f, kLinearGain}};

inline constexpr float kApproved[][2] = {
    {0.0f, 0.0f},        {0.01f, 211.811f},   {0.02f, 374.436f},   {0.03f, 496.0848f}, {0.04f, 584.3504f},
    {0.05f, 647.3535f},  {0.06f, 694.2713f},  {0.08f, 782.7395f},  {0.1f, 947.6071f},  {0.12f, 1321.341f},
    {0.14f, 1428.6018f}, {0.16f, 1504.2979f}, {0.18f, 1576.7838f}, {0.2f, 1630.7415f}, {0.4f, 2202.2761f},
    {0.6f, 2537.163f},   {0.8f, 2709.7803f},  {1.0f, 3334.8147f},  {1.2f, 3881.3208f}, {1.5f, 4436.5566f},
    {2.0f, 4993.245f},   {2.5f, 5328.4434f},  {3.0f, 5553.6206f},  {3.5f, 5726.354f},  {4.0f, 5841.126f},
    {4.5f, 5937.0513f},  {5.0f, 6016.8984f},  {5.5f, 6069.3047f},  {6.0f, 6128.855f},
};

inline constexpr float kPointerResponse[][2] = {
    {0.0f, 0.0f},        {0.01f, 338.998f},   {0.02f, 589.7738f},  {0.03f, 767.9503f}, {0.04f, 889.1524f},
    {0.05f, 969.0047f},  {0.06f, 1023.1308f}, {0.08f, 1116.6997f}, {0.1f, 1294.854f},  {0.12f, 1679.6678f},
    {0.14f, 1744.8438f}, {0.16f, 1772.54f},   {0.18f, 1794.6967f}, {0.2f, 1812.825f},  {0.4f, 1899.1497f},
    {0.6f, 1929.7815f},  {0.8f, 1945.4707f},  {1.0f, 1955.0071f},  {1.2f, 1961.4171f}, {1.5f, 1967.869f},
    {2.0f, 1974.3636f},  {2.5f, 1978.2812f},  {3.0f, 1980.9014f},  {3.5f, 1982.7772f}, {4.0f, 1984.1864f},
    {4.5f, 1985.2839f},  {5.0f, 1986.1628f},  {5.5f, 1986.8823f},  {6.0f, 1987.4825f},
};

inline constexpr float kExperimental[][2] = {
    {0.0f, 0.0f},    {0.2f, 1300.0f}, {0.55f, 2300.0f}, {0.88f, 3000.0f}, {1.3f, 3881.0f},
    {2.3f, 4993.0f}, {3.3f, 5554.0f}, {4.6f, 5937.0f},  {6.0f, 6129.0f},
};

/// Brisko Experimental: the first points of Approved (up to 0.2 rad/s),
/// then these, which hold the Linear gain.
inline constexpr std::size_t kBriskoApprovedPoints = 14;
inline constexpr float kBriskoTail[][2] = {{0.3272f, kLinearGain}, {0.4f, kLinearGain}};

} // namespace vnx::builtInCurves
