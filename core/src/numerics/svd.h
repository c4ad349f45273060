#pragma once

#include <cstddef>

// Singular value decomposition of small column-major float matrices,
// X = U diag(s) V^T.

extern "C" {

/// Result of svdSimulink.
struct svdOutput_t
{
    float U[9];              // left singular vectors, 3 x 3
    float singularValues[3]; // descending
    float V[9];              // right singular vectors, 3 x 3
};

/// Caller-provided work space of svdSimulink; meaningless afterwards.
struct svdIntermediateResult
{
    float matrix[9];        // copy of the input, destroyed by the decomposition
    float superdiagonal[3]; // e of the bidiagonal form
    float work[3];
    float singularValues[3]; // copied into the output
};

/// SVD of the m x n matrix X (destroyed) by Householder bidiagonalisation and
/// implicitly shifted QR sweeps. s receives min(m + 1, n) values (the first
/// min(m, n) are the singular values, descending), e holds n values and work
/// m values of scratch. With wantVectors != 0, U (m x m) and V (n x n) receive
/// the singular vectors. Returns 0 when every value converged, -1 when the
/// input was not finite, or the count of values still unconverged after 75
/// sweeps on one of them.
int DSP_SVD_R(float* X, int m, int n, float* s, float* e, float* work, float* U, float* V, int wantVectors);

/// A = U diag(singularValues) V^T for one 3 x 3 matrix. The convergence
/// status is not reported: callers that need certainty check the singular
/// values themselves.
void svdSimulink(const float* A, svdOutput_t* out, svdIntermediateResult* work);

} // extern "C"

static_assert(sizeof(svdOutput_t) == 84);
static_assert(offsetof(svdOutput_t, U) == 0);
static_assert(offsetof(svdOutput_t, singularValues) == 36);
static_assert(offsetof(svdOutput_t, V) == 48);
static_assert(sizeof(svdIntermediateResult) == 72);
static_assert(offsetof(svdIntermediateResult, matrix) == 0);
static_assert(offsetof(svdIntermediateResult, superdiagonal) == 36);
static_assert(offsetof(svdIntermediateResult, work) == 48);
static_assert(offsetof(svdIntermediateResult, singularValues) == 60);
