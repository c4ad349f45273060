#pragma once

#include <cstdint>

namespace vnx {

/// Role of one zero-rate-offset estimator of the bias corrector.
enum KfRole_e : std::int32_t
{
    KF_ROLE_MAIN = 0,          ///< "Main": supplies the learned offset
    KF_ROLE_CHECK = 1,         ///< "Check": second opinion, restarted when "Main" first converges
    KF_ROLE_CHECK2 = 2,        ///< "Check2": counts only full convergence
    KF_ROLE_CHECK_RESTORED = 3 ///< "Check" while it holds a restored state
};

} // namespace vnx
