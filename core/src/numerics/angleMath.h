#pragma once

namespace vnx {

/// 1 for x >= 0 (-0 included), -1 for x < 0 and for NaN.
float signf(float x);

/// Wraps an angle into (-pi, pi]: remainder by 2 pi in double, then whole
/// turns added or taken away in float. Non-finite angles give NaN.
float phaseLimiter(float angleRad);

} // namespace vnx
