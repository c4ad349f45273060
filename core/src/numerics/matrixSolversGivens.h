#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/// Builds the plane rotation [c s; -s c] that zeroes b against a, in the
/// manner of the BLAS rotg: on return *a holds r, *b the reconstruction value
/// z, and (*c, *s) the cosine and sine. (a, b) = (0, 0) gives c = 1, s = 0.
void rotg32(float* a, float* b, float* c, float* s);

/// Applies the rotation (c, s) to the n-element vectors x and y:
/// x_i <- c x_i + s y_i and y_i <- c y_i - s x_i, both from the old values.
void rot_real32(int n, float c, float s, float* x, float* y);

#ifdef __cplusplus
}
#endif
