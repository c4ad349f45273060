#include "gesture/GestureCostTable.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace vnx::gesture {

namespace {

// Cost of an empty tested code: just above what a match may cost.
constexpr double kEmptyCodeCost = 0.4;
// Table entries that no path may start from.
constexpr double kUnreachable = 100000.0;
// Penalty of a step along a code that is not the longer one.
constexpr double kShorterCodeStepPenalty = 2.0;

float localCost(float reference, float tested)
{
    float d = std::fabs(reference - tested);
    if (d > 4.0f) {
        d = 8.0f - d; // sectors wrap around: 1 and 8 are neighbours
    }
    return d * (d * 0.5f) + d * 0.5f;
}

} // namespace

double GestureCostTable::cost(const std::vector<float>& tested, const std::vector<float>& reference)
{
    const std::size_t n = tested.size();
    const std::size_t m = reference.size();
    if (n == 0) {
        return kEmptyCodeCost;
    }
    if (m == 0) {
        return std::numeric_limits<double>::infinity();
    }
    const double lengthDifference = m > n ? static_cast<double>(m - n) : static_cast<double>(n - m);
    const double referenceStepPenalty = m > n ? 1.0 / lengthDifference : kShorterCodeStepPenalty;
    const double testedStepPenalty = m < n ? 1.0 / lengthDifference : kShorterCodeStepPenalty;

    if (previousRow_.size() < n + 1) {
        previousRow_.resize(n + 1);
        currentRow_.resize(n + 1);
    }
    // Row i holds D[i][0..n]; D[0][0] = 0 and every other border entry is
    // unreachable.
    previousRow_[0] = 0.0;
    std::fill(previousRow_.begin() + 1, previousRow_.begin() + static_cast<std::ptrdiff_t>(n + 1),
              kUnreachable);
    for (std::size_t i = 1; i <= m; ++i) {
        currentRow_[0] = kUnreachable;
        for (std::size_t j = 1; j <= n; ++j) {
            const double c = localCost(reference[i - 1], tested[j - 1]);
            const double alongReference = previousRow_[j] + c + referenceStepPenalty;
            const double alongTested = currentRow_[j - 1] + c + testedStepPenalty;
            const double diagonal = previousRow_[j - 1] + c;
            currentRow_[j] = std::min({alongReference, alongTested, diagonal});
        }
        std::swap(previousRow_, currentRow_);
    }
    return previousRow_[n] / (2.0 * static_cast<double>(m));
}

} // namespace vnx::gesture
