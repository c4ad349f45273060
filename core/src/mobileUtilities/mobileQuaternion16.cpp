#include "mobileUtilities/mobileQuaternion16.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "common/statusCode.h"

namespace {

constexpr int kComponents = 4;
constexpr std::int64_t kUnitSquared = std::int64_t{1} << 28; // 16384^2
constexpr int kKeptMin = -16384;                             // the range of 15 bits
constexpr int kKeptMax = 16383;

/// Components in the packing order w, x, y, z.
void toPackingOrder(const vnx_Mobile_Quaternion16_s& q, int (&c)[kComponents])
{
    c[0] = q.w;
    c[1] = q.x;
    c[2] = q.y;
    c[3] = q.z;
}

void fromPackingOrder(const int (&c)[kComponents], vnx_Mobile_Quaternion16_s& q)
{
    q.w = static_cast<std::int16_t>(c[0]);
    q.x = static_cast<std::int16_t>(c[1]);
    q.y = static_cast<std::int16_t>(c[2]);
    q.z = static_cast<std::int16_t>(c[3]);
}

int largestMagnitudeIndex(const int (&c)[kComponents])
{
    int k = 0;
    for (int i = 1; i < kComponents; ++i)
        if (std::abs(c[i]) > std::abs(c[k]))
            k = i;
    return k;
}

} // namespace

extern "C" {

int vnx_Mobile_encodeQuaternion16x4_to_16x3(const vnx_Mobile_Quaternion16_s* q, int16_t* packed)
{
    if (q == nullptr || packed == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    int c[kComponents];
    toPackingOrder(*q, c);
    const int k = largestMagnitudeIndex(c);
    const int tag[3] = {k >> 1, k & 1, c[k] < 0 ? 1 : 0};
    int word = 0;
    for (int i = 0; i < kComponents; ++i) {
        if (i == k)
            continue;
        const int kept = std::clamp(c[i], kKeptMin, kKeptMax);
        packed[word] = static_cast<std::int16_t>(kept * 2 | tag[word]);
        ++word;
    }
    return VNX_STATUS_SUCCESS;
}

int vnx_Mobile_decodeQuaternion16x3_to_16x4(const int16_t* packed, vnx_Mobile_Quaternion16_s* q)
{
    if (packed == nullptr || q == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    const int kept[3] = {packed[0] >> 1, packed[1] >> 1, packed[2] >> 1};
    const int k = 2 * (packed[0] & 1) + (packed[1] & 1);
    const std::int64_t rest =
        kUnitSquared -
        (std::int64_t{kept[0]} * kept[0] + std::int64_t{kept[1]} * kept[1] + std::int64_t{kept[2]} * kept[2]);
    int dropped = rest > 0 ? static_cast<int>(std::sqrt(static_cast<double>(rest))) : 0;
    if (packed[2] & 1)
        dropped = -dropped;

    int c[kComponents];
    int next = 0;
    for (int i = 0; i < kComponents; ++i)
        c[i] = i == k ? dropped : kept[next++];
    fromPackingOrder(c, *q);
    return VNX_STATUS_SUCCESS;
}

} // extern "C"
