#pragma once

extern "C" {

/// The proper rotation R (determinant +1) nearest to the 3 x 3 attitude
/// profile matrix B (column-major): with B = U S V^T, R = U diag(1, 1, d) V^T
/// where d = det(U V^T). A rank-deficient B still gives a rotation; the
/// direction of its null space is then arbitrary.
void solveWahbaUsingSVD(const float* B, float* R);

} // extern "C"
