#pragma once

#include <vector>

namespace vnx::gesture {

/// Dynamic-time-warping cost between two direction codes. The work rows grow
/// with the longest code seen and are reused, so a cost of codes no longer
/// than earlier ones allocates nothing.
class GestureCostTable
{
  public:
    /// Cost of `tested` (length n) against `reference` (length m): the
    /// cheapest warping path through the local costs d(d+1)/2 of the circular
    /// sector distances d, plus a penalty per step along one code alone
    /// (1/|m - n| along the longer code, 2 along the other), divided by 2m.
    /// 0 for identical codes; 0.4 for an empty tested code; infinity for an
    /// empty reference, which matches nothing.
    double cost(const std::vector<float>& tested, const std::vector<float>& reference);

  private:
    std::vector<double> previousRow_;
    std::vector<double> currentRow_;
};

} // namespace vnx::gesture
