#include "numerics/fixedPoint.h"

#include <limits>

namespace vnx {

namespace {

std::int64_t clampToInt64(__int128 v)
{
    if (v > std::numeric_limits<std::int64_t>::max())
        return std::numeric_limits<std::int64_t>::max();
    if (v < std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(v);
}

} // namespace

std::int64_t sdiv6432(std::int64_t n, std::int32_t d)
{
    if (d == 0)
        return 0;
    return clampToInt64(static_cast<__int128>(n) / d);
}

std::int64_t sdiv6432_round(std::int64_t n, std::int32_t d)
{
    if (d == 0)
        return 0;
    return clampToInt64((static_cast<__int128>(n) + (d >> 1)) / d);
}

std::uint64_t udiv6432(std::uint64_t n, std::uint32_t d)
{
    return d == 0 ? 0 : n / d;
}

std::uint64_t udiv6432_round(std::uint64_t n, std::uint32_t d)
{
    return udiv6432(n, d);
}

} // namespace vnx
