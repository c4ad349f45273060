// Trains the Gaussian class models of the LDA activity classifiers on the
// labelled synthetic scenarios of ldaScenarios.h and writes the table source
// file. The given rows (the reference model's telling classes) are kept as
// they are; every other mean, inverse covariance and prefactor is fitted:
// per fine class the sample mean of its feature vectors (or the given mean),
// their covariance about that mean plus a small per-feature floor (so a
// feature that never varies, such as a step count, still has a spread), its
// inverse by Cholesky, and the log prefactor log(1/K) - 1/2 log((2 pi)^d |S|).
//
//   lda_trainer <output .cpp>
//
// Everything is seeded: the same build writes the same file.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "activity/LdaClassifierMobile.h"
#include "activity/LdaClassifierWatch.h"
#include "ldaScenarios.h"

namespace {

using namespace vnx::ldatraining;

constexpr int kRunsPerClass = 8;
constexpr int kFramesPerRun = 40;
constexpr std::uint64_t kTrainingSeed = 1000;

struct GivenRow
{
    int fineClass;
    bool hasMean;
    float mean[6];
    bool hasPrefactor;
    float prefactor;
};

// The reference model's telling rows.
const GivenRow kPhoneGiven[] = {
    {0, true, {10.783f, 0.0931f, 8.6027f}, true, -0.42387f},
    {4, true, {1.0584f, 0.026493f, 5.1155f}, false, 0},
    {12, true, {0.03182f, 0.0037422f, 0.58333f}, false, 0},
    {13, true, {0.05833f, 0.00055069f, 0.0f}, true, 15.636f},
};
const GivenRow kWatchGiven[] = {
    {0, true, {-0.051717f, 354.87f, 10.799f, 13.661f, 8.7551f, 8.7347f}, true, -11.428f},
    {9, true, {0.020892f, 39.038f, 0.046812f, 0.73014f, 4.7966f, 0.74576f}, false, 0},
    {12, false, {}, true, -0.35449f},
    {14, true, {-0.080019f, 129.96f, 0.14814f, 1.7705f, 8.4242f, 1.2424f}, false, 0},
};
/// Phone class 13 (on a table, never a step): its step feature is pinned by
/// the reference model; the other two features are fitted.
constexpr int kPinnedClass = 13;
constexpr float kPinnedStepPrecision = 9.901e5f;

/// Variance added per feature: a few hundredths of a m/s^2 on norms,
/// a fraction of a step on counts.
const double kPhoneFloor[3] = {1e-4, 1e-7, 0.25};
const double kWatchFloor[6] = {1e-4, 1.0, 1e-4, 1e-4, 0.25, 0.25};

struct Model
{
    int d = 0, classes = 0;
    std::vector<float> mean, triangle, prefactor;
};

/// Cholesky inverse of the d x d matrix S (row-major); false on a pivot <= 0.
bool invert(std::vector<double> S, int d, std::vector<double>& inverse, double& logDet)
{
    std::vector<double> L(d * d, 0.0);
    logDet = 0;
    for (int j = 0; j < d; ++j) {
        double s = S[j * d + j];
        for (int k = 0; k < j; ++k)
            s -= L[j * d + k] * L[j * d + k];
        if (!(s > 0))
            return false;
        L[j * d + j] = std::sqrt(s);
        logDet += std::log(s);
        for (int i = j + 1; i < d; ++i) {
            double t = S[i * d + j];
            for (int k = 0; k < j; ++k)
                t -= L[i * d + k] * L[j * d + k];
            L[i * d + j] = t / L[j * d + j];
        }
    }
    // inverse = L^-T L^-1, column by column of the identity.
    inverse.assign(d * d, 0.0);
    for (int c = 0; c < d; ++c) {
        std::vector<double> y(d, 0.0), x(d, 0.0);
        for (int i = 0; i < d; ++i) {
            double t = i == c ? 1.0 : 0.0;
            for (int k = 0; k < i; ++k)
                t -= L[i * d + k] * y[k];
            y[i] = t / L[i * d + i];
        }
        for (int i = d - 1; i >= 0; --i) {
            double t = y[i];
            for (int k = i + 1; k < d; ++k)
                t -= L[k * d + i] * x[k];
            x[i] = t / L[i * d + i];
        }
        for (int i = 0; i < d; ++i)
            inverse[i * d + c] = x[i];
    }
    return true;
}

template <class Classifier, int Classes>
Model train(const Scenario (&scenarios)[Classes], std::uint8_t window, const GivenRow* given, int givenCount,
            const double* floor, bool phone)
{
    Model m;
    Classifier probe;
    m.d = probe.featureCount();
    m.classes = Classes;
    const int d = m.d;
    for (int k = 0; k < Classes; ++k) {
        std::vector<std::vector<double>> samples;
        for (int run = 0; run < kRunsPerClass; ++run) {
            Classifier classifier;
            runScenario(classifier, window, scenarios[k], kTrainingSeed + 100 * k + run, kFramesPerRun,
                        [&](const float* f, std::uint8_t) { samples.emplace_back(f, f + d); });
        }
        const GivenRow* row = nullptr;
        for (int g = 0; g < givenCount; ++g)
            if (given[g].fineClass == k)
                row = &given[g];
        std::vector<double> mean(d, 0.0);
        if (row != nullptr && row->hasMean) {
            for (int i = 0; i < d; ++i)
                mean[i] = row->mean[i];
        } else {
            for (const auto& s : samples)
                for (int i = 0; i < d; ++i)
                    mean[i] += s[i] / samples.size();
        }
        std::vector<double> S(d * d, 0.0);
        for (const auto& s : samples)
            for (int i = 0; i < d; ++i)
                for (int j = 0; j < d; ++j)
                    S[i * d + j] += (s[i] - mean[i]) * (s[j] - mean[j]) / samples.size();
        for (int i = 0; i < d; ++i)
            S[i * d + i] += floor[i];
        const bool pinned = phone && k == kPinnedClass;
        if (pinned) {
            // Fit the norm features alone; the step precision is given.
            for (int i = 0; i < d; ++i)
                S[i * d + 2] = S[2 * d + i] = i == 2 ? 1.0 / kPinnedStepPrecision : 0.0;
        }
        std::vector<double> inverse;
        double logDet = 0;
        if (!invert(S, d, inverse, logDet)) {
            std::fprintf(stderr, "class %d: covariance not positive definite\n", k);
            std::exit(1);
        }
        if (pinned) {
            inverse[0 * d + 2] = inverse[2 * d + 0] = inverse[1 * d + 2] = inverse[2 * d + 1] = 0.0;
            inverse[2 * d + 2] = kPinnedStepPrecision;
        }
        for (int i = 0; i < d; ++i)
            m.mean.push_back(static_cast<float>(mean[i]));
        for (int i = 0; i < d; ++i)
            for (int j = i; j < d; ++j)
                m.triangle.push_back(static_cast<float>(0.5 * (inverse[i * d + j] + inverse[j * d + i])));
        const double prefactor =
            std::log(1.0 / Classes) - 0.5 * (d * std::log(2.0 * std::numbers::pi) + logDet);
        m.prefactor.push_back(row != nullptr && row->hasPrefactor ? row->prefactor
                                                                  : static_cast<float>(prefactor));
    }
    return m;
}

std::string number(float v)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.9gf", static_cast<double>(v));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos)
        s.insert(s.size() - 1, ".0");
    return s;
}

void writeTable(std::FILE* out, const char* declaration, const std::vector<float>& values, int perRow,
                const Scenario* scenarios)
{
    std::fprintf(out, "%s = {\n", declaration);
    const int rows = static_cast<int>(values.size()) / perRow;
    for (int r = 0; r < rows; ++r) {
        std::fprintf(out, "    {");
        for (int c = 0; c < perRow; ++c)
            std::fprintf(out, "%s%s", c == 0 ? "" : ", ", number(values[r * perRow + c]).c_str());
        std::fprintf(out, "}, // %d %s\n", r, scenarios[r].name);
    }
    std::fprintf(out, "};\n\n");
}

void writeVector(std::FILE* out, const char* declaration, const std::vector<float>& values)
{
    std::fprintf(out, "%s = {\n", declaration);
    for (std::size_t k = 0; k < values.size(); ++k)
        std::fprintf(out, "    %s,\n", number(values[k]).c_str());
    std::fprintf(out, "};\n\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lda_trainer <output .cpp>\n");
        return 2;
    }
    const Model phone = train<vnx::activity::LdaClassifierMobile>(kPhoneScenarios, kPhoneWindow, kPhoneGiven,
                                                                  4, kPhoneFloor, true);
    const Model watch = train<vnx::activity::LdaClassifierWatch>(kWatchScenarios, kWatchWindow, kWatchGiven,
                                                                 4, kWatchFloor, false);

    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Gaussian class models of the LDA activity classifiers, written by the\n"
                      "// lda_trainer tool (tools/ldaTrainer) from its labelled synthetic scenarios,\n"
                      "// with the reference model's telling rows kept as given. Do not edit: change\n"
                      "// the tool and run\n"
                      "//   build/release/tools/ldaTrainer/lda_trainer core/src/activity/ldaModelTables.cpp\n"
                      "// The model fits 1-s frames at 25 Hz, windows of 3 (phone) and 4 (wrist)\n"
                      "// frames, and the step channels of the tool's ChannelSettings.\n\n"
                      "#include \"activity/ldaModelTables.h\"\n\n"
                      "// clang-format off\n"
                      "namespace vnx::activity::lda {\n\n");
    writeTable(out, "const float phoneMean_[kPhoneClasses][kPhoneFeatures]", phone.mean, 3, kPhoneScenarios);
    writeTable(out, "const float phoneInvCovUpperTriangle_[kPhoneClasses][kPhoneTriangle]", phone.triangle, 6,
               kPhoneScenarios);
    writeVector(out, "const float phonePrefactor_[kPhoneClasses]", phone.prefactor);
    writeTable(out, "const float watchMean_[kWatchClasses][kWatchFeatures]", watch.mean, 6, kWatchScenarios);
    writeTable(out, "const float watchInvCovUpperTriangle_[kWatchClasses][kWatchTriangle]", watch.triangle,
               21, kWatchScenarios);
    writeVector(out, "const float watchPrefactor_[kWatchClasses]", watch.prefactor);
    std::fprintf(out, "} // namespace vnx::activity::lda\n// clang-format on\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
