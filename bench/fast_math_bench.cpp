// The fast approximations of the per-sample paths against the library calls
// they replace. Inputs cycle through a table so the compiler cannot fold them.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstddef>

#include "numerics/fastAtan2.h"
#include "numerics/fastSinCos.h"
#include "numerics/fastSqrt.h"

namespace {

constexpr std::size_t kInputs = 1024;

struct Inputs
{
    std::array<float, kInputs> a{};
    std::array<float, kInputs> b{};
    std::array<float, kInputs> positive{};
    Inputs()
    {
        for (std::size_t i = 0; i < kInputs; ++i) {
            const double t = static_cast<double>(i) / kInputs;
            a[i] = static_cast<float>(std::sin(7.0 * t) * 3.0);       // angles and y in [-3, 3]
            b[i] = static_cast<float>(std::cos(5.0 * t) * 2.0 + 0.1); // x
            positive[i] = static_cast<float>(1e-3 + 1e3 * t * t);     // radicands
        }
    }
};

const Inputs& inputs()
{
    static const Inputs in;
    return in;
}

template <typename F> void runUnary(benchmark::State& state, const std::array<float, kInputs>& x, F f)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(x[i]));
        i = (i + 1) & (kInputs - 1);
    }
}

template <typename F> void runBinary(benchmark::State& state, F f)
{
    const Inputs& in = inputs();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(in.a[i], in.b[i]));
        i = (i + 1) & (kInputs - 1);
    }
}

void BM_Atan2Fast(benchmark::State& state)
{
    runBinary(state, [](float y, float x) { return vnx::atan2fMerrowind(y, x); });
}
BENCHMARK(BM_Atan2Fast);

void BM_Atan2Libm(benchmark::State& state)
{
    runBinary(state, [](float y, float x) { return std::atan2(y, x); });
}
BENCHMARK(BM_Atan2Libm);

void BM_InvSqrtFast(benchmark::State& state)
{
    runUnary(state, inputs().positive, [](float x) { return vnx::invSqrtfMerrowind(x); });
}
BENCHMARK(BM_InvSqrtFast);

void BM_InvSqrtLibm(benchmark::State& state)
{
    runUnary(state, inputs().positive, [](float x) { return 1.0f / std::sqrt(x); });
}
BENCHMARK(BM_InvSqrtLibm);

void BM_SqrtFast(benchmark::State& state)
{
    runUnary(state, inputs().positive, [](float x) { return vnx::sqrtfMerrowind(x); });
}
BENCHMARK(BM_SqrtFast);

void BM_SqrtLibm(benchmark::State& state)
{
    runUnary(state, inputs().positive, [](float x) { return std::sqrt(x); });
}
BENCHMARK(BM_SqrtLibm);

void BM_SinCosFast(benchmark::State& state)
{
    runUnary(state, inputs().a,
             [](float x) { return vnx::sinFiMerrowind(x).value() + vnx::cosFiMerrowind(x).value(); });
}
BENCHMARK(BM_SinCosFast);

void BM_SinCosLibm(benchmark::State& state)
{
    runUnary(state, inputs().a, [](float x) { return std::sin(x) + std::cos(x); });
}
BENCHMARK(BM_SinCosLibm);

} // namespace
