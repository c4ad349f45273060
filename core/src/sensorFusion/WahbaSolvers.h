#pragma once

// Orientation from two observed directions and their references (Wahba's
// problem). Stateless: nothing is kept, allocated or logged, and no status is
// reported; every result goes to the caller's quaternion (w, x, y, z).

#include "numerics/qdVectorFixed.h"

namespace vnx::WahbaSolvers {

/// Ten Gauss-Newton steps from q0 towards q with conj(q) (x) a (x) q = ra and
/// conj(q) (x) b (x) q = rb. q is not constrained to unit length, and the
/// result is neither normalised nor sign-fixed.
void GaussNewton(const qdVectorFixed::Quaternion& q0, const qdVectorFixed::Vector3& a,
                 const qdVectorFixed::Vector3& b, const qdVectorFixed::Vector3& ra,
                 const qdVectorFixed::Vector3& rb, qdVectorFixed::Quaternion& q);

/// Tilt from the levelling direction g (g = (0, 0, -1) is level), then
/// heading from v in the levelled frame; only the sign of u.x is used (a
/// negative one turns the heading by half a turn). g = (0, 0, 1) exactly
/// (upside down, with no tilt axis) gives the half turn (0, 1, 0, 0).
void TwoRotationsAcc(const qdVectorFixed::Vector3& u, const qdVectorFixed::Vector3& g,
                     const qdVectorFixed::Vector3& v, qdVectorFixed::Quaternion& q);

/// Levels on g and heads on m with TwoRotationsAcc, then turns the result
/// about y by the inclination whose cosine relation f.z gives. When m and g
/// are within 5 degrees of parallel the heading sign is taken as in the
/// ordinary case.
void TwoRotationsMag(const qdVectorFixed::Vector3& f, const qdVectorFixed::Vector3& m,
                     const qdVectorFixed::Vector3& g, qdVectorFixed::Quaternion& q);

/// Weighted optimal rotation for the pairs c -> a (weight w2) and
/// b -> (0, 0, -1) (weight w1), through a singular value decomposition.
void WahbaSvd(const qdVectorFixed::Vector3& a, const qdVectorFixed::Vector3& b,
              const qdVectorFixed::Vector3& c, Fp32 w1, Fp32 w2, qdVectorFixed::Quaternion& q);

} // namespace vnx::WahbaSolvers
