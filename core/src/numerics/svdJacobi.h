#pragma once

#include "numerics/FloatingPoint.h"

/// SVD of a 3 x 3 matrix by two sweeps of one-sided Jacobi rotations.
/// The arrays are read row by row, as qdVectorFixed::matrix stores them: the
/// vectors of A, U and V are the columns {k, k + 3, k + 6}. Afterwards
/// A = U diag(sigma) V^T with sigma descending; A is used as work space.
/// The sweep count is fixed, not a convergence test: the reconstruction is
/// exact to rounding, while U is orthogonal only as far as two sweeps get
/// (about 1e-4 on well-conditioned matrices). A singular value below
/// 2 * 2^-23 leaves its column of U zero.
void svdFixed3x3(vnx::FloatingPoint<float>* A, vnx::FloatingPoint<float>* U, vnx::FloatingPoint<float>* sigma,
                 vnx::FloatingPoint<float>* V);
