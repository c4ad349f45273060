#include "pointerBallistics/classicBallistics.h"

namespace {

constexpr int32_t kMaxPostGain = 650;
constexpr int32_t kMinPostGain = -374;
constexpr uint32_t kLastSpeedIndex = 193;

// floor(sqrt(m)) for m below 65536 and 255 above, by eight binary digits.
uint32_t integerSpeed(uint32_t m)
{
    uint32_t root = 0;
    for (int shift = 7; shift >= 0; --shift) {
        const uint32_t bit = 1u << shift;
        const uint32_t trial = (bit + 2u * root) << shift;
        if (m >= trial) {
            root += bit;
            m -= trial;
        }
    }
    return root;
}

// The accumulators wrap by design; the arithmetic is done in unsigned 32 bits
// where wrapping is defined, and read back as two's complement.
int32_t wrappingAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t wrappingMultiply(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

} // namespace

extern "C" {

const int32_t multiplierLookupTable[256] = {
    0,   91,  102, 114, 120, 132, 145, 154, 160, 166, 170, 173, 176, 179, 189, 205, // 0-15
    219, 231, 242, 252, 261, 269, 276, 283, 289, 295, 300, 305, 309, 313, 317, 321, // 16-31
    324, 328, 331, 333, 336, 339, 341, 343, 345, 347, 349, 351, 353, 355, 356, 358, // 32-47
    359, 361, 362, 364, 365, 366, 367, 368, 370, 371, 372, 373, 374, 374, 375, 376, // 48-63
    377, 378, 379, 379, 380, 381, 382, 382, 383, 384, 384, 385, 385, 386, 387, 387, // 64-79
    388, 388, 389, 389, 390, 390, 391, 391, 391, 392, 392, 393, 393, 394, 394, 394, // 80-95
    395, 395, 395, 396, 396, 396, 397, 397, 397, 398, 398, 398, 399, 399, 399, 399, // 96-111
    400, 400, 400, 400, 401, 401, 401, 401, 402, 402, 402, 402, 403, 403, 403, 403, // 112-127
    403, 404, 404, 404, 404, 404, 404, 404, 405, 405, 405, 405, 405, 405, 406, 406, // 128-143
    406, 406, 406, 406, 406, 407, 407, 407, 407, 407, 407, 408, 408, 408, 408, 408, // 144-159
    408, 408, 409, 409, 409, 409, 409, 409, 410, 410, 410, 410, 410, 410, 411, 411, // 160-175
    411, 411, 411, 411, 411, 412, 412, 412, 412, 412, 412, 413, 413, 413, 413, 413, // 176-191
    413, 413,                                                                       // 192-193; the rest is 0
};

void zephraAlg_initBallisticsState(zephraAlg_ballisticsState_s* state)
{
    state->accumulatorX = 64;
    state->accumulatorY = 64;
    state->postGain = 138;
}

void zephraAlg_setBallisticsPostgain(zephraAlg_ballisticsState_s* state, int postGain)
{
    if (postGain > kMaxPostGain)
        postGain = kMaxPostGain;
    if (postGain < kMinPostGain)
        postGain = kMinPostGain;
    state->postGain = postGain;
}

void zephraAlg_applyBallistics(zephraAlg_ballisticsState_s* state, int dx, int dy, int* outX, int* outY)
{
    // |dx| above 46340 overflows a signed square: square in unsigned 32 bits.
    const uint32_t ux = static_cast<uint32_t>(dx);
    const uint32_t uy = static_cast<uint32_t>(dy);
    uint32_t index = integerSpeed(ux * ux + uy * uy);
    if (index > kLastSpeedIndex)
        index = kLastSpeedIndex;
    const int32_t multiplier = (state->postGain * multiplierLookupTable[index]) >> 7;
    const int32_t newX = wrappingAdd(state->accumulatorX, wrappingMultiply(dx, multiplier));
    const int32_t newY = wrappingAdd(state->accumulatorY, wrappingMultiply(dy, multiplier));
    *outX = (newX >> 7) - (state->accumulatorX >> 7);
    *outY = (newY >> 7) - (state->accumulatorY >> 7);
    state->accumulatorX = newX;
    state->accumulatorY = newY;
}

} // extern "C"
