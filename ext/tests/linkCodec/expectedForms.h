#pragma once

// What each message type looks like on the wire, written down from the
// protocol's own table of report ids, sub-ids and lengths (not from the
// codec's): the tests hold the codec to it.

#include <array>
#include <cstdint>

#include "linkCodec/zephraMessage.h"

namespace linkCodecTest {

struct ExpectedForm
{
    int reportId = -1; ///< -1: the version has no form of the type
    int subId = -1;    ///< -1: none
    int length = 0;    ///< exact (host to device) or minimum (device to host)
    bool exists() const { return reportId >= 0; }
};

struct ExpectedType
{
    uint32_t code;
    bool out; ///< host to device
    std::array<ExpectedForm, 3> forms;
};

inline constexpr ExpectedForm no{};
constexpr ExpectedForm f(int report, int sub, int length)
{
    return {report, sub, length};
}

// clang-format off
inline const ExpectedType kExpectedTypes[ZEPHRA_MESSAGE_TYPE_COUNT] = {
    {0, true, {f(1, -1, 2), no, no}},
    {1, true, {f(2, -1, 70), no, no}},
    {2, false, {f(3, -1, 12), no, no}},
    {3, true, {no, f(7, 13, 8), f(7, 2, 5)}},
    {4, true, {no, f(7, 32, 8), f(7, 9, 11)}},
    {5, true, {no, f(7, 34, 8), f(7, 10, 11)}},
    {6, true, {no, f(7, 48, 8), f(7, 3, 11)}},
    {7, true, {no, f(7, 49, 8), no}},
    {8, true, {no, f(7, 50, 8), f(7, 11, 10)}},
    {9, true, {no, f(7, 51, 8), no}},
    {10, true, {no, f(7, 52, 8), f(7, 13, 5)}},
    {11, true, {no, f(7, 80, 2), f(7, 14, 5)}},
    {12, true, {no, f(7, 53, 8), f(7, 15, 11)}},
    {13, true, {no, f(7, 58, 8), no}},
    {14, true, {no, f(7, 61, 8), no}},
    {15, true, {no, f(7, 63, 8), no}},
    {16, true, {no, f(7, 59, 8), no}},
    {17, true, {no, f(7, 62, 8), no}},
    {18, true, {no, f(7, 64, 8), no}},
    {19, true, {no, f(7, 65, 8), no}},
    {20, true, {no, f(7, 66, 8), no}},
    {21, true, {no, f(7, 67, 8), no}},
    {22, true, {no, f(7, 71, 8), f(7, 12, 5)}},
    {23, true, {no, f(7, 73, 3), f(7, 4, 6)}},
    {24, true, {no, f(7, 81, 3), f(7, 17, 6)}},
    {25, true, {no, f(7, 15, 8), f(7, 64, 12)}},
    {26, true, {no, f(7, 70, 8), f(7, 68, 10)}},
    {27, true, {no, f(7, 21, 3), f(7, 65, 6)}},
    {28, true, {no, f(7, 69, 8), f(7, 67, 5)}},
    {29, true, {no, f(7, 22, 4), f(7, 69, 6)}},
    {30, true, {no, f(7, 68, 8), f(7, 71, 12)}},
    {31, true, {no, f(7, 72, 8), no}},
    {32, true, {no, f(7, 20, 6), no}},
    {33, false, {no, f(8, 13, 27), f(5, 2, 12)}},
    {34, false, {no, f(8, 32, 27), f(6, 9, 22)}},
    {35, false, {no, f(8, 48, 27), f(5, 3, 31)}},
    {36, false, {no, f(8, 49, 27), no}},
    {37, false, {no, f(8, 58, 27), no}},
    {38, false, {no, f(8, 61, 27), no}},
    {39, false, {no, f(8, 59, 27), no}},
    {40, false, {no, f(8, 62, 27), no}},
    {41, false, {no, f(8, 65, 27), no}},
    {42, false, {no, f(8, 66, 27), no}},
    {43, false, {no, f(8, 73, 3), f(5, 4, 6)}},
    {44, false, {no, f(8, 81, 5), f(5, 17, 8)}},
    {45, false, {no, f(8, 15, 27), f(5, 64, 12)}},
    {46, false, {no, f(8, 21, 4), f(5, 65, 7)}},
    {47, false, {no, f(8, 67, 20), f(5, 67, 15)}},
    {48, false, {no, f(8, 70, 8), f(5, 68, 12)}},
    {49, false, {no, f(8, 22, 27), f(6, 69, 22)}},
    {50, false, {no, f(8, 60, 19), f(6, 70, 22)}},
    {51, false, {no, f(8, 1, 27), f(36, -1, 22)}},
    {52, true, {no, f(9, -1, 2), f(7, 5, 5)}},
    {53, false, {no, f(10, -1, 4), f(5, 5, 6)}},
    {54, true, {no, f(15, -1, 19), no}},
    {55, false, {no, f(32, -1, 21), f(32, -1, 22)}},
    {56, false, {no, f(33, -1, 23), f(33, -1, 22)}},
    {57, true, {no, f(34, -1, 2), no}},
    {58, false, {no, f(37, -1, 22), f(37, -1, 25)}},
    {59, false, {no, no, f(5, 6, 8)}},
    {60, false, {no, no, f(5, 20, 9)}},
    {61, false, {no, no, f(5, 23, 12)}},
    {62, false, {no, no, f(5, 72, 12)}},
    {63, false, {no, no, f(6, 8, 22)}},
    {64, false, {no, no, f(6, 16, 22)}},
    {65, true, {no, no, f(7, 6, 10)}},
    {66, true, {no, no, f(7, 7, 12)}},
    {67, true, {no, no, f(7, 8, 12)}},
    {68, true, {no, no, f(7, 16, 11)}},
    {69, true, {no, no, f(7, 18, 6)}},
    {70, true, {no, no, f(7, 20, 9)}},
    {71, true, {no, no, f(7, 21, 10)}},
    {72, true, {no, no, f(7, 22, 12)}},
    {73, true, {no, no, f(7, 23, 6)}},
    {74, true, {no, no, f(7, 19, 12)}},
    {75, true, {no, no, f(7, 72, 12)}},
    {76, false, {no, no, f(8, 22, 20)}},
    {77, false, {no, no, f(8, 21, 20)}},
    {78, false, {no, no, f(34, -1, 36)}},
    {79, false, {no, no, f(35, -1, 36)}},
    {80, false, {no, no, f(38, -1, 54)}},
    {81, false, {no, no, f(39, -1, 31)}},
    {82, false, {no, no, f(40, -1, 20)}},
    {83, false, {no, no, f(41, 0, 20)}},
    {84, false, {no, no, f(41, 1, 15)}},
};
// clang-format on

/// Where a version puts the sub-id (or report 41's type byte).
inline int subIdByte(int version)
{
    return version == 2 ? 4 : 1;
}

using Decoder = int (*)(const uint8_t*, int, zephra_message*, int);
using Encoder = int (*)(zephra_message*, uint8_t*, int);

/// The per-type function of a code: its decoder (device to host) or encoder.
struct PerTypeFunction
{
    Decoder decode = nullptr;
    Encoder encode = nullptr;
};

#define LINK_TEST_FN_IN(Name)                                                                                \
    {                                                                                                        \
        &zephra_decode##Name, nullptr                                                                        \
    }
#define LINK_TEST_FN_OUT(Name)                                                                               \
    {                                                                                                        \
        nullptr, &zephra_encode##Name                                                                        \
    }
#define LINK_TEST_FN(code, Name, dir) LINK_TEST_FN_##dir(Name),
inline const PerTypeFunction kPerTypeFunctions[ZEPHRA_MESSAGE_TYPE_COUNT] = {
    ZEPHRA_MESSAGE_TYPES(LINK_TEST_FN)};
#undef LINK_TEST_FN
#undef LINK_TEST_FN_OUT
#undef LINK_TEST_FN_IN

} // namespace linkCodecTest
