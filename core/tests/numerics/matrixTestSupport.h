#pragma once

// Builders and checks shared by the solver, product and SVD tests. Matrices
// are column-major, as the routines under test store them; reference
// arithmetic is done in double.

#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace matrixtest {

// Error allowed per unit of solution size on the well-conditioned test systems.
template <typename T> constexpr double tolerance()
{
    return std::is_same_v<T, float> ? 2e-5 : 1e-12;
}

// x = A \ b with an optional |det| out, the shape shared by the solvers.
template <typename T> using Solve = void (*)(const T* A, const T* b, T* x, T* det);

template <typename T> struct SolverCase
{
    const char* name;
    int n;
    Solve<T> solve;
    bool reportsDeterminant = true;
};

// Deterministic values in [-1, 1) so every run tests the same systems.
class Lcg
{
  public:
    explicit Lcg(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    double next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

  private:
    uint32_t state_;
};

// P (m x p) = A (m x n) B (n x p) in double.
template <typename TA, typename TB>
std::vector<double> multiply(const TA* A, const TB* B, int m, int n, int p)
{
    std::vector<double> P(static_cast<size_t>(m * p), 0.0);
    for (int j = 0; j < p; ++j) {
        for (int i = 0; i < m; ++i) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k) {
                sum += static_cast<double>(A[i + m * k]) * static_cast<double>(B[k + n * j]);
            }
            P[i + m * j] = sum;
        }
    }
    return P;
}

inline std::vector<double> transpose(const std::vector<double>& A, int m, int n)
{
    std::vector<double> T(A.size());
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < n; ++j) {
            T[j + n * i] = A[i + m * j];
        }
    }
    return T;
}

// A general n x n matrix with a dominant diagonal of random sign: it needs row
// exchanges in some columns but stays well conditioned.
inline std::vector<double> wellConditionedMatrix(int n, uint32_t seed)
{
    Lcg random(seed);
    std::vector<double> A(static_cast<size_t>(n * n));
    for (double& a : A) {
        a = random.next();
    }
    for (int i = 0; i < n; ++i) {
        A[i + n * i] = (random.next() < 0.0 ? -1.0 : 1.0) * (n + 1.0);
    }
    // Swap two rows so that partial pivoting has something to do.
    if (n > 1) {
        for (int j = 0; j < n; ++j) {
            std::swap(A[0 + n * j], A[(n - 1) + n * j]);
        }
    }
    return A;
}

// A = L D L^T with a unit lower L of small entries and D in [1, 3]: symmetric
// positive definite with known determinant prod(D).
inline std::vector<double> symmetricPositiveDefinite(int n, uint32_t seed, double* determinant)
{
    Lcg random(seed);
    std::vector<double> L(static_cast<size_t>(n * n), 0.0);
    std::vector<double> D(static_cast<size_t>(n));
    double det = 1.0;
    for (int j = 0; j < n; ++j) {
        L[j + n * j] = 1.0;
        for (int i = j + 1; i < n; ++i) {
            L[i + n * j] = 0.3 * random.next();
        }
        D[j] = 2.0 + random.next();
        det *= D[j];
    }
    std::vector<double> A(static_cast<size_t>(n * n), 0.0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k) {
                sum += L[i + n * k] * D[k] * L[j + n * k];
            }
            A[i + n * j] = sum;
        }
    }
    if (determinant != nullptr) {
        *determinant = det;
    }
    return A;
}

inline std::vector<double> randomVector(int n, uint32_t seed)
{
    Lcg random(seed + 7919u);
    std::vector<double> v(static_cast<size_t>(n));
    for (double& x : v) {
        x = 4.0 * random.next();
    }
    return v;
}

template <typename T> std::vector<T> convert(const std::vector<double>& v)
{
    return std::vector<T>(v.begin(), v.end());
}

template <typename TA, typename TB> double maxAbsDifference(const TA& a, const TB& b)
{
    double worst = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        worst = std::fmax(worst, std::fabs(static_cast<double>(a[i]) - static_cast<double>(b[i])));
    }
    return worst;
}

// Largest |(Q^T Q - I)_ij| of an n x n matrix.
template <typename T> double orthogonalityError(const T* Q, int n)
{
    double worst = 0.0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k) {
                sum += static_cast<double>(Q[k + n * i]) * static_cast<double>(Q[k + n * j]);
            }
            worst = std::fmax(worst, std::fabs(sum - (i == j ? 1.0 : 0.0)));
        }
    }
    return worst;
}

template <typename T> double determinant3x3(const T* M)
{
    const double m[9] = {M[0], M[1], M[2], M[3], M[4], M[5], M[6], M[7], M[8]};
    return m[0] * (m[4] * m[8] - m[7] * m[5]) - m[3] * (m[1] * m[8] - m[7] * m[2]) +
           m[6] * (m[1] * m[5] - m[4] * m[2]);
}

} // namespace matrixtest
