#pragma once

extern "C" {

/// Writes to Q the orthogonal factor of the Householder QR of the 3 x 3 matrix
/// A (A = Q R with R upper triangular; R is not returned).
void QR_3x3(float* Q, const float* A);

} // extern "C"
