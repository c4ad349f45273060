#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "numerics/firIir.h"

namespace vnx {
namespace {

// Lengths and start positions every form is run over: the shortest filter,
// odd and even lengths, and positions at both ends and inside the line.
struct Shape
{
    int n;
    int p0;
};
const Shape kShapes[] = {{2, 0}, {3, 0}, {3, 1}, {4, 2}, {5, 1}, {6, 0}, {7, 5}, {8, 3}, {9, 7}, {16, 9}};
constexpr int kSamples = 40;

// Where the position goes after a sample.
int nextPosition(int p, int n)
{
    return p == 0 ? n - 2 : p - 1;
}

template <class T> std::vector<T> randomValues(int count, std::mt19937& rng, T lo, T hi)
{
    std::vector<T> v(count);
    for (T& e : v) {
        if constexpr (std::is_floating_point_v<T>) {
            e = std::uniform_real_distribution<T>(lo, hi)(rng);
        } else {
            e = static_cast<T>(std::uniform_int_distribution<std::int64_t>(lo, hi)(rng));
        }
    }
    return v;
}

// Past inputs, newest first, as a plain reference keeps them.
template <class T> struct History
{
    explicit History(int n) : past(n - 1, T{}) {}
    void push(T x)
    {
        past.push_front(x);
        past.pop_back();
    }
    T at(int age) const { return age == 0 ? current : past[age - 1]; } // age 0 is the current input
    T current{};
    std::deque<T> past;
};

TEST(FirDirect, EveryFormMatchesAPlainReferenceFilter)
{
    std::mt19937 rng(7);
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(testing::Message() << "n=" << s.n << " p0=" << s.p0);
        const auto ci = randomValues<std::int32_t>(s.n, rng, INT32_MIN, INT32_MAX);
        const auto xi = randomValues<std::int32_t>(kSamples, rng, INT32_MIN, INT32_MAX);
        const auto cf = randomValues<float>(s.n, rng, -1.0f, 1.0f);
        const auto xf = randomValues<float>(kSamples, rng, -100.0f, 100.0f);
        std::vector<Fp32> cq(cf.begin(), cf.end());

        std::vector<std::int32_t> di(s.n - 1, 0);
        std::vector<float> df(s.n - 1, 0.0f);
        std::vector<Fp32> dFixed(s.n - 1), dFixedI(s.n - 1), dOpt(s.n - 1);
        int pi = s.p0, pf = s.p0, pFixed = s.p0, pFixedI = s.p0, pOpt = s.p0;
        History<std::int32_t> hi(s.n);
        History<float> hf(s.n);
        int expectedP = s.p0;

        for (int t = 0; t < kSamples; ++t) {
            hi.current = xi[t];
            hf.current = xf[t];
            std::uint64_t refI = 0;
            float refF = 0.0f;
            double refD = 0.0;
            Fp32 refQ(0.0f);
            for (int k = 0; k < s.n; ++k) {
                refI += static_cast<std::uint64_t>(static_cast<std::int64_t>(ci[k]) * hi.at(k));
                const float product = cf[k] * hf.at(k);
                refF = k == 0 ? product : refF + product;
                refD += product;
                refQ = k == 0 ? Fp32(product) : refQ + Fp32(product);
            }

            std::int32_t yi = xi[t];
            FIR_32s_I(&yi, s.n, ci.data(), di.data(), &pi);
            float yf = xf[t];
            FIR_32s_I(&yf, s.n, cf.data(), df.data(), &pf);
            Fp32 yFixed;
            FIR_Fixed(Fp32(xf[t]), s.n, cq.data(), dFixed.data(), &pFixed, &yFixed);
            Fp32 yFixedI(xf[t]);
            FIR_Fixed_I(&yFixedI, s.n, cq.data(), dFixedI.data(), &pFixedI);
            Fp32 yOpt(xf[t]);
            FIR_Fixed_I_opt(&yOpt, s.n, cq.data(), dOpt.data(), &pOpt);

            ASSERT_EQ(yi, static_cast<std::int32_t>(refI >> 32)) << "t=" << t;
            ASSERT_EQ(yf, refF) << "t=" << t;
            ASSERT_EQ(yFixed.value(), static_cast<float>(refD)) << "t=" << t;
            ASSERT_EQ(yFixedI.value(), static_cast<float>(refD)) << "t=" << t;
            ASSERT_EQ(yOpt.value(), refQ.value()) << "t=" << t;

            expectedP = nextPosition(expectedP, s.n);
            ASSERT_EQ(pi, expectedP);
            ASSERT_EQ(pf, expectedP);
            ASSERT_EQ(pFixed, expectedP);
            ASSERT_EQ(pFixedI, expectedP);
            ASSERT_EQ(pOpt, expectedP);
            ASSERT_EQ(df[expectedP], xf[t]) << "the input is stored at the new position";
            hi.push(xi[t]);
            hf.push(xf[t]);
        }
    }
}

TEST(FirDirect, UnitImpulseReproducesTheCoefficientsThenZeros)
{
    const float c[] = {0.5f, -0.25f, 2.0f, 0.125f, -1.0f};
    std::vector<float> delay(4, 0.0f);
    int p = 2;
    for (int t = 0; t < 8; ++t) {
        float x = t == 0 ? 1.0f : 0.0f;
        FIR_32s_I(&x, 5, c, delay.data(), &p);
        EXPECT_EQ(x, t < 5 ? c[t] : 0.0f) << "t=" << t;
    }
    // Fixed point: coefficients k * 2^2 on an impulse of 2^30 give k.
    const std::int32_t ci[] = {4, 8, 12};
    std::int32_t di[2] = {0, 0};
    int pi = 0;
    for (int t = 0; t < 4; ++t) {
        std::int32_t x = t == 0 ? (1 << 30) : 0;
        FIR_32s_I(&x, 3, ci, di, &pi);
        EXPECT_EQ(x, t < 3 ? t + 1 : 0) << "t=" << t;
    }
}

TEST(FirDirect, TwoTapsWeighTheInputAndThePreviousOneAndKeepPositionZero)
{
    const float c[] = {3.0f, -2.0f};
    float delay[1] = {0.0f};
    int p = 0;
    const float inputs[] = {1.0f, 4.0f, -2.0f, 0.5f};
    float previous = 0.0f;
    for (float in : inputs) {
        float x = in;
        FIR_32s_I(&x, 2, c, delay, &p);
        EXPECT_EQ(x, 3.0f * in - 2.0f * previous);
        EXPECT_EQ(p, 0);
        previous = in;
    }
}

TEST(FirDirect, PassThroughCoefficientsStillFillTheDelayLine)
{
    const float c[] = {1.0f, 0.0f, 0.0f, 0.0f};
    float delay[3] = {0.0f, 0.0f, 0.0f};
    int p = 0;
    const float inputs[] = {5.0f, -6.0f, 7.0f};
    for (float in : inputs) {
        float x = in;
        FIR_32s_I(&x, 4, c, delay, &p);
        EXPECT_EQ(x, in);
    }
    // Newest at p, older ones above it.
    EXPECT_EQ(delay[p], 7.0f);
    EXPECT_EQ(delay[(p + 1) % 3], -6.0f);
    EXPECT_EQ(delay[(p + 2) % 3], 5.0f);
}

TEST(FirSymmetric, EveryFormMatchesAPlainReferenceFilter)
{
    std::mt19937 rng(11);
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(testing::Message() << "n=" << s.n << " p0=" << s.p0);
        const int taps = s.n / 2 + 1; // the middle one is read only for odd n
        const auto ci = randomValues<std::int32_t>(taps, rng, INT32_MIN, INT32_MAX);
        const auto xi = randomValues<std::int32_t>(kSamples, rng, INT32_MIN, INT32_MAX);
        const auto cs = randomValues<std::int16_t>(taps, rng, INT16_MIN, INT16_MAX);
        const auto xs = randomValues<std::int16_t>(3 * kSamples, rng, INT16_MIN, INT16_MAX);
        const auto cf = randomValues<float>(taps, rng, -1.0f, 1.0f);
        const auto xf = randomValues<float>(kSamples, rng, -100.0f, 100.0f);

        std::vector<std::int32_t> di(s.n - 1, 0);
        std::vector<std::vector<std::int16_t>> ds(3, std::vector<std::int16_t>(s.n - 1, 0));
        std::int16_t* dsPointers[] = {ds[0].data(), ds[1].data(), ds[2].data()};
        std::vector<float> df(s.n - 1, 0.0f);
        int pi = s.p0, ps = s.p0, pf = s.p0;
        History<std::int32_t> hi(s.n);
        std::vector<History<std::int16_t>> hs(3, History<std::int16_t>(s.n));
        History<float> hf(s.n);
        int expectedP = s.p0;

        for (int t = 0; t < kSamples; ++t) {
            hi.current = xi[t] >> 1;
            hf.current = xf[t];
            std::uint64_t refI = 0;
            std::uint32_t refS[3] = {0, 0, 0};
            float refF = 0.0f;
            for (int k = 0; k < s.n / 2; ++k) {
                const int older = s.n - 1 - k;
                refI += static_cast<std::uint64_t>(ci[k]) *
                        static_cast<std::uint64_t>(static_cast<std::int64_t>(hi.at(k)) + hi.at(older));
                const float pair = cf[k] * (hf.at(k) + hf.at(older));
                refF = k == 0 ? pair : refF + pair;
            }
            if (s.n % 2 == 1) {
                const int middle = s.n / 2;
                refI += static_cast<std::uint64_t>(static_cast<std::int64_t>(ci[middle]) * hi.at(middle));
                refF += cf[middle] * hf.at(middle);
            }
            std::int16_t ys[3];
            for (int ch = 0; ch < 3; ++ch) {
                ys[ch] = xs[3 * t + ch];
                hs[ch].current = static_cast<std::int16_t>(ys[ch] >> 1);
                for (int k = 0; k < s.n / 2; ++k) {
                    refS[ch] += static_cast<std::uint32_t>(cs[k] * (hs[ch].at(k) + hs[ch].at(s.n - 1 - k)));
                }
                if (s.n % 2 == 1)
                    refS[ch] += static_cast<std::uint32_t>(cs[s.n / 2] * hs[ch].at(s.n / 2));
            }

            std::int32_t yi = xi[t];
            FIR_32s_Sym_I(&yi, s.n, ci.data(), di.data(), &pi);
            FIR_16s_Sym_3ch_I(ys, s.n, cs.data(), dsPointers, &ps);
            float yf = xf[t];
            FIR_32s_Sym_I(&yf, s.n, cf.data(), df.data(), &pf);

            ASSERT_EQ(yi, static_cast<std::int32_t>(refI >> 31)) << "t=" << t;
            for (int ch = 0; ch < 3; ++ch)
                ASSERT_EQ(ys[ch], static_cast<std::int16_t>(refS[ch] >> 15)) << "t=" << t;
            ASSERT_EQ(yf, refF) << "t=" << t;

            expectedP = nextPosition(expectedP, s.n);
            ASSERT_EQ(pi, expectedP);
            ASSERT_EQ(ps, expectedP);
            ASSERT_EQ(pf, expectedP);
            ASSERT_EQ(di[expectedP], xi[t] >> 1) << "the line keeps the halved input";
            hi.push(hi.current);
            for (auto& h : hs)
                h.push(h.current);
            hf.push(xf[t]);
        }
    }
}

TEST(FirSymmetric, ThreeTapsWeighTheOuterPairAndTheMiddle)
{
    const float c[] = {0.25f, 2.0f}; // (a, b)
    float delay[2] = {0.0f, 0.0f};
    int p = 0;
    const float inputs[] = {1.0f, 3.0f, -5.0f, 8.0f, 2.0f};
    for (int t = 0; t < 5; ++t) {
        float x = inputs[t];
        FIR_32s_Sym_I(&x, 3, c, delay, &p);
        const float older = t >= 2 ? inputs[t - 2] : 0.0f;
        const float previous = t >= 1 ? inputs[t - 1] : 0.0f;
        EXPECT_EQ(x, 0.25f * (inputs[t] + older) + 2.0f * previous) << "t=" << t;
    }
}

TEST(FirMultiChannel, EachChannelIsFilteredAsAloneOnOneSharedPosition)
{
    std::mt19937 rng(3);
    const int n = 5;
    const auto c = randomValues<std::int32_t>(n, rng, INT32_MIN, INT32_MAX);
    std::int32_t lines[6][4] = {};
    std::int32_t alone[6][4] = {};
    std::int32_t symLines[6][4] = {};
    std::int32_t symAlone[6][4] = {};
    std::int32_t* pointers[6];
    std::int32_t* symPointers[6];
    for (int ch = 0; ch < 6; ++ch) {
        pointers[ch] = lines[ch];
        symPointers[ch] = symLines[ch];
    }
    std::int32_t lines3[3][4] = {}, symLines2[2][4] = {}, symLines3[3][4] = {};
    std::int32_t* p3Lines[] = {lines3[0], lines3[1], lines3[2]};
    std::int32_t* pSym2Lines[] = {symLines2[0], symLines2[1]};
    std::int32_t* pSym3Lines[] = {symLines3[0], symLines3[1], symLines3[2]};
    int p3 = 1, p6 = 1, pSym2 = 1, pSym3 = 1, pSym6 = 1;
    int pAlone[6] = {1, 1, 1, 1, 1, 1};
    int pSymAlone[6] = {1, 1, 1, 1, 1, 1};
    for (int t = 0; t < 20; ++t) {
        const auto in = randomValues<std::int32_t>(6, rng, INT32_MIN, INT32_MAX);
        std::int32_t expected[6], expectedSym[6];
        for (int ch = 0; ch < 6; ++ch) {
            expected[ch] = in[ch];
            FIR_32s_I(&expected[ch], n, c.data(), alone[ch], &pAlone[ch]);
            expectedSym[ch] = in[ch];
            FIR_32s_Sym_I(&expectedSym[ch], n, c.data(), symAlone[ch], &pSymAlone[ch]);
        }

        std::int32_t x[3] = {in[0], in[1], in[2]}, y[3] = {in[3], in[4], in[5]};
        FIR_32s_6ch_I(x, y, n, c.data(), pointers, &p6);
        const std::int32_t got6[] = {x[0], x[1], x[2], y[0], y[1], y[2]};
        std::int32_t sx[3] = {in[0], in[1], in[2]}, sy[3] = {in[3], in[4], in[5]};
        FIR_32s_Sym_6ch_I(sx, sy, n, c.data(), symPointers, &pSym6);
        const std::int32_t gotSym6[] = {sx[0], sx[1], sx[2], sy[0], sy[1], sy[2]};
        for (int ch = 0; ch < 6; ++ch) {
            ASSERT_EQ(got6[ch], expected[ch]) << "t=" << t << " ch=" << ch;
            ASSERT_EQ(gotSym6[ch], expectedSym[ch]) << "t=" << t << " ch=" << ch;
        }
        ASSERT_EQ(p6, pAlone[0]);
        ASSERT_EQ(pSym6, pAlone[0]);

        // The three- and two-channel forms on lines of their own.
        std::int32_t three[3] = {in[0], in[1], in[2]};
        FIR_32s_3ch_I(three, n, c.data(), p3Lines, &p3);
        std::int32_t symTwo[2] = {in[0], in[1]};
        FIR_32s_Sym_2ch_I(symTwo, n, c.data(), pSym2Lines, &pSym2);
        std::int32_t symThree[3] = {in[0], in[1], in[2]};
        FIR_32s_Sym_3ch_I(symThree, n, c.data(), pSym3Lines, &pSym3);
        for (int ch = 0; ch < 3; ++ch) {
            ASSERT_EQ(three[ch], expected[ch]);
            ASSERT_EQ(symThree[ch], expectedSym[ch]);
        }
        ASSERT_EQ(symTwo[0], expectedSym[0]);
        ASSERT_EQ(symTwo[1], expectedSym[1]);
        ASSERT_EQ(p3, pAlone[0]);
        ASSERT_EQ(pSym2, pAlone[0]);
        ASSERT_EQ(pSym3, pAlone[0]);
    }
}

TEST(IirBiquad, UnitGainAndPlainNumeratorPassEveryChannelThrough)
{
    const Fp32 num[] = {Fp32(1.0f), Fp32(0.0f), Fp32(0.0f)};
    const Fp32 den[] = {Fp32(0.0f), Fp32(0.0f)};
    Fp32 state[6] = {};
    const float inputs[][3] = {{1.5f, -2.0f, 3.25f}, {0.0f, 7.0f, -1e6f}, {-0.125f, 1e-3f, 42.0f}};
    for (const auto& in : inputs) {
        Fp32 x[3] = {Fp32(in[0]), Fp32(in[1]), Fp32(in[2])};
        IIR_Biquad_3ch_I(x, num, den, Fp32(1.0f), state);
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_EQ(x[ch].value(), in[ch]);
    }
}

TEST(IirBiquad, ImpulseResponseFollowsDirectFormTwo)
{
    // w[t] = 2 x[t] + 0.5 w[t-1] - 0.25 w[t-2]; y[t] = w[t] + w[t-1] + 0.5 w[t-2].
    const Fp32 num[] = {Fp32(1.0f), Fp32(1.0f), Fp32(0.5f)};
    const Fp32 den[] = {Fp32(0.5f), Fp32(-0.25f)};
    Fp32 state[6] = {};
    const float w[] = {2.0f, 1.0f, 0.0f, -0.25f, -0.125f};
    for (int t = 0; t < 5; ++t) {
        const float in = t == 0 ? 1.0f : 0.0f;
        Fp32 x[3] = {Fp32(in), Fp32(0.0f), Fp32(-in)};
        IIR_Biquad_3ch_I(x, num, den, Fp32(2.0f), state);
        const float w1 = t >= 1 ? w[t - 1] : 0.0f;
        const float w2 = t >= 2 ? w[t - 2] : 0.0f;
        EXPECT_EQ(x[0].value(), w[t] + w1 + 0.5f * w2) << "t=" << t;
        EXPECT_EQ(x[1].value(), 0.0f);
        EXPECT_EQ(x[2].value(), -(w[t] + w1 + 0.5f * w2)) << "channels are independent";
        EXPECT_EQ(state[0].value(), w[t]);
        EXPECT_EQ(state[1].value(), w1);
    }
}

} // namespace
} // namespace vnx
