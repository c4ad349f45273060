// LDA activity classifiers: the confusion matrix of each on fresh seeds of
// the labelled synthetic scenarios (rows: true coarse class, columns: the
// verdict; printed once), and the cost of one classification frame.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "ldaScenarios.h"

namespace {

using namespace vnx::ldatraining;
using vnx::activity::LdaClassifier;

constexpr std::uint64_t kFreshSeed = 500000; // far from the training seeds
constexpr int kRuns = 6;
constexpr int kFrames = 40;

template <class Classifier, int Classes>
void printConfusion(const char* title, const Scenario (&scenarios)[Classes], std::uint8_t window,
                    const int* groupOf, int groups)
{
    int matrix[4][5] = {};
    for (int k = 0; k < Classes; ++k) {
        for (int run = 0; run < kRuns; ++run) {
            Classifier classifier;
            runScenario(classifier, window, scenarios[k], kFreshSeed + 100 * k + run, kFrames,
                        [&](const float*, std::uint8_t c) { ++matrix[groupOf[k]][c > 4 ? 4 : c]; });
        }
    }
    std::printf(
        "%s: rows true class, columns verdict 0 running, 1 walking, 2 not walking, 3 arm motion, 4 none\n",
        title);
    for (int g = 0; g < groups; ++g) {
        int total = 0;
        for (int c = 0; c < 5; ++c)
            total += matrix[g][c];
        std::printf("  %d:", g);
        for (int c = 0; c < 5; ++c)
            std::printf(" %6.1f%%", total > 0 ? 100.0 * matrix[g][c] / total : 0.0);
        std::printf("\n");
    }
}

void BM_ConfusionMatrices(benchmark::State& state)
{
    static const int phoneGroups[16] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2};
    static const int watchGroups[18] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3};
    for (auto _ : state) {
        printConfusion<vnx::activity::LdaClassifierMobile>("phone", kPhoneScenarios, kPhoneWindow,
                                                           phoneGroups, 3);
        printConfusion<vnx::activity::LdaClassifierWatch>("wrist", kWatchScenarios, kWatchWindow, watchGroups,
                                                          4);
    }
}
BENCHMARK(BM_ConfusionMatrices)->Iterations(1)->Unit(benchmark::kMillisecond);

template <class Classifier> void BM_Frame(benchmark::State& state, std::uint8_t window)
{
    Classifier classifier;
    const vnx_ActivityClassifier_Lda_Config_s config{0, window, {0, 0, 0}};
    classifier.init(&config);
    classifier.enable(true);
    classifier.changePeriod(kPeriodUs);
    vnx_Mobile_Output_s in{};
    in.accelerometer[2] = 9.81f;
    vnx_StepDetector_Output_s step{};
    LdaClassifier::LdaClassifier_Output_s out{};
    for (auto _ : state) {
        for (int k = 0; k < kSamplesPerFrame; ++k) {
            classifier.reportNewMotion(&in);
            classifier.reportNewStep(&step);
        }
        classifier.generateOutput(&out);
        benchmark::DoNotOptimize(out);
    }
}
void BM_PhoneFrame(benchmark::State& state)
{
    BM_Frame<vnx::activity::LdaClassifierMobile>(state, kPhoneWindow);
}
BENCHMARK(BM_PhoneFrame);

void BM_WristFrame(benchmark::State& state)
{
    BM_Frame<vnx::activity::LdaClassifierWatch>(state, kWatchWindow);
}
BENCHMARK(BM_WristFrame);

} // namespace
