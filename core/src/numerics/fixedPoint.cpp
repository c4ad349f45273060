#include "numerics/fixedPoint.h"

#include <limits>

#include "numerics/FloatingPoint.h"

namespace vnx {

namespace {

constexpr float kTwoPow31 = 2147483648.0f;

std::int64_t clampToInt64(__int128 v) {
  if (v > std::numeric_limits<std::int64_t>::max()) return std::numeric_limits<std::int64_t>::max();
  if (v < std::numeric_limits<std::int64_t>::min()) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(v);
}

}  // namespace

std::int32_t fptToFixed32(float value, int q, bool /*round*/, bool /*saturate*/) {
  const float scaled = Fp32::scale2(value, q) + (value >= 0.0f ? 0.5f : -0.5f);
  if (scaled != scaled) return 0;
  // A float cast outside the int32 range is undefined: clamp first.
  if (scaled >= kTwoPow31) return std::numeric_limits<std::int32_t>::max();
  if (scaled < -kTwoPow31) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(scaled);
}

float fptToFloat32(std::int32_t value, int q) {
  return Fp32::scale2(static_cast<float>(value), -q);
}

std::int64_t sdiv6432(std::int64_t n, std::int32_t d) {
  if (d == 0) return 0;
  return clampToInt64(static_cast<__int128>(n) / d);
}

std::int64_t sdiv6432_round(std::int64_t n, std::int32_t d) {
  if (d == 0) return 0;
  return clampToInt64((static_cast<__int128>(n) + (d >> 1)) / d);
}

std::uint64_t udiv6432(std::uint64_t n, std::uint32_t d) {
  return d == 0 ? 0 : n / d;
}

std::uint64_t udiv6432_round(std::uint64_t n, std::uint32_t d) {
  return udiv6432(n, d);
}

}  // namespace vnx
