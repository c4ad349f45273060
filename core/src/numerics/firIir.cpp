#include "numerics/firIir.h"

namespace vnx {

namespace {

// Position of the sample one step older than the one at i.
inline int olderSlot(int i, int n)
{
    return i == n - 2 ? 0 : i + 1;
}
// Position of the sample one step newer than the one at i.
inline int newerSlot(int i, int n)
{
    return i == 0 ? n - 2 : i - 1;
}

// How a direct form multiplies and accumulates.
struct Int32Direct
{
    using Acc = std::uint64_t; // wraps instead of overflowing
    static Acc mul(std::int32_t c, std::int32_t s)
    {
        return static_cast<Acc>(static_cast<std::int64_t>(c) * s);
    }
};
struct FloatDirect
{
    using Acc = float;
    static Acc mul(float c, float s) { return c * s; }
};
struct Fp32InDouble
{
    using Acc = double; // float products, double sum
    static Acc mul(Fp32 c, Fp32 s) { return static_cast<double>((c * s).value()); }
};
struct Fp32InFloat
{
    using Acc = Fp32;
    static Acc mul(Fp32 c, Fp32 s) { return c * s; }
};

// sum(c[k] * x[t - k]) for k = 0 .. n-1, then stores x as the newest past
// sample. The walk is split at the wrap so the loops carry no index test.
template <class Math, class T, class C> typename Math::Acc directFir(T x, int n, const C* c, T* delay, int& p)
{
    typename Math::Acc sum = Math::mul(c[0], x);
    const C* ck = c + 1;
    for (int i = p; i <= n - 2; ++i)
        sum += Math::mul(*ck++, delay[i]);
    for (int i = 0; i < p; ++i)
        sum += Math::mul(*ck++, delay[i]);
    p = newerSlot(p, n);
    delay[p] = x;
    return sum;
}

// How a symmetric form multiplies a coefficient by a pair of samples (or by
// the middle sample) and accumulates.
struct Int32Symmetric
{
    using Acc = std::uint64_t;
    static Acc pair(std::int32_t c, std::int32_t a, std::int32_t b)
    {
        return static_cast<Acc>(c) * static_cast<Acc>(static_cast<std::int64_t>(a) + b);
    }
    static Acc single(std::int32_t c, std::int32_t a)
    {
        return static_cast<Acc>(static_cast<std::int64_t>(c) * a);
    }
};
struct Int16Symmetric
{
    using Acc = std::uint32_t;
    static Acc pair(std::int16_t c, std::int16_t a, std::int16_t b)
    {
        return static_cast<Acc>(static_cast<std::int64_t>(c) * (std::int32_t{a} + b));
    }
    static Acc single(std::int16_t c, std::int16_t a) { return static_cast<Acc>(std::int32_t{c} * a); }
};
struct FloatSymmetric
{
    using Acc = float;
    static Acc pair(float c, float a, float b) { return c * (a + b); }
    static Acc single(float c, float a) { return c * a; }
};

// sum(c[k] * (x[t - k] + x[t - n + 1 + k])) for k < n/2, plus the middle tap
// for odd n, with x already in the form the line keeps (halved or not).
template <class Math, class T> typename Math::Acc symmetricFir(T x, int n, const T* c, T* delay, int& p)
{
    const int newest = newerSlot(p, n); // holds the oldest sample until x replaces it
    typename Math::Acc sum = Math::pair(c[0], x, delay[newest]);
    delay[newest] = x;
    int newer = p;
    int older = newest;
    const int half = n / 2;
    for (int k = 1; k < half; ++k) {
        older = newerSlot(older, n);
        sum += Math::pair(c[k], delay[newer], delay[older]);
        newer = olderSlot(newer, n);
    }
    if (n & 1)
        sum += Math::single(c[half], delay[newer]);
    p = newest;
    return sum;
}

// Upper 32 bits of a 64-bit sum.
inline std::int32_t high32(std::uint64_t sum)
{
    return static_cast<std::int32_t>(sum >> 32);
}
// Bits 31-62 of a 64-bit sum.
inline std::int32_t bits31To62(std::uint64_t sum)
{
    return static_cast<std::int32_t>(sum >> 31);
}

// One channel of the int32 symmetric form, the position taken and returned.
inline void symmetric32(std::int32_t& x, int n, const std::int32_t* c, std::int32_t* delay, int& p)
{
    x = bits31To62(symmetricFir<Int32Symmetric>(static_cast<std::int32_t>(x >> 1), n, c, delay, p));
}

// Two channels on one position.
inline void symmetric32Pair(std::int32_t& a, std::int32_t& b, int n, const std::int32_t* c,
                            std::int32_t* delayA, std::int32_t* delayB, int* p)
{
    int position = *p;
    symmetric32(a, n, c, delayA, position);
    position = *p;
    symmetric32(b, n, c, delayB, position);
    *p = position;
}

} // namespace

void FIR_32s_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* delay, int* p)
{
    *x = high32(directFir<Int32Direct>(*x, n, c, delay, *p));
}

void FIR_32s_3ch_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* const* delays, int* p)
{
    int position = *p;
    for (int ch = 0; ch < 3; ++ch) {
        position = *p;
        x[ch] = high32(directFir<Int32Direct>(x[ch], n, c, delays[ch], position));
    }
    *p = position;
}

void FIR_32s_6ch_I(std::int32_t* x, std::int32_t* y, int n, const std::int32_t* c,
                   std::int32_t* const* delays, int* p)
{
    const int start = *p;
    FIR_32s_3ch_I(x, n, c, delays, p);
    int position = start;
    FIR_32s_3ch_I(y, n, c, delays + 3, &position);
}

void FIR_32s_I(float* x, int n, const float* c, float* delay, int* p)
{
    *x = directFir<FloatDirect>(*x, n, c, delay, *p);
}

void FIR_Fixed(Fp32 x, int n, const Fp32* c, Fp32* delay, int* p, Fp32* y)
{
    *y = Fp32(directFir<Fp32InDouble>(x, n, c, delay, *p));
}

void FIR_Fixed_I(Fp32* x, int n, const Fp32* c, Fp32* delay, int* p)
{
    FIR_Fixed(*x, n, c, delay, p, x);
}

void FIR_Fixed_I_opt(Fp32* x, int n, const Fp32* c, Fp32* delay, int* p)
{
    *x = directFir<Fp32InFloat>(*x, n, c, delay, *p);
}

void FIR_32s_Sym_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* delay, int* p)
{
    symmetric32(*x, n, c, delay, *p);
}

void FIR_32s_Sym_2ch_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* const* delays, int* p)
{
    symmetric32Pair(x[0], x[1], n, c, delays[0], delays[1], p);
}

void FIR_32s_Sym_3ch_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* const* delays, int* p)
{
    const int start = *p;
    FIR_32s_Sym_2ch_I(x, n, c, delays, p);
    int position = start;
    symmetric32(x[2], n, c, delays[2], position);
}

void FIR_32s_Sym_6ch_I(std::int32_t* x, std::int32_t* y, int n, const std::int32_t* c,
                       std::int32_t* const* delays, int* p)
{
    const int start = *p;
    symmetric32Pair(x[0], x[1], n, c, delays[0], delays[1], p);
    int position = start;
    symmetric32Pair(x[2], y[0], n, c, delays[2], delays[3], &position);
    position = start;
    symmetric32Pair(y[1], y[2], n, c, delays[4], delays[5], &position);
}

void FIR_16s_Sym_3ch_I(std::int16_t* x, int n, const std::int16_t* c, std::int16_t* const* delays, int* p)
{
    int position = *p;
    for (int ch = 0; ch < 3; ++ch) {
        position = *p;
        const auto halved = static_cast<std::int16_t>(x[ch] >> 1);
        x[ch] =
            static_cast<std::int16_t>(symmetricFir<Int16Symmetric>(halved, n, c, delays[ch], position) >> 15);
    }
    *p = position;
}

void FIR_32s_Sym_I(float* x, int n, const float* c, float* delay, int* p)
{
    *x = symmetricFir<FloatSymmetric>(*x, n, c, delay, *p);
}

void IIR_Biquad_3ch_I(Fp32* x, const Fp32* num, const Fp32* den, Fp32 gain, Fp32* state)
{
    for (int ch = 0; ch < 3; ++ch) {
        const Fp32 s0 = state[2 * ch];
        const Fp32 s1 = state[2 * ch + 1];
        const Fp32 w = gain * x[ch] + den[0] * s0 + den[1] * s1;
        x[ch] = num[0] * w + num[1] * s0 + num[2] * s1;
        state[2 * ch + 1] = s0;
        state[2 * ch] = w;
    }
}

} // namespace vnx
