#include "numerics/svd.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "numerics/matrixSolversGivens.h"
#include "numerics/numericConstants.h"
#include "numerics/scaledNorm.h"

namespace {

using vnx::scaledNorm;

constexpr float kEpsilon = vnx::kSmallValueF;
// Smallest normal float over the epsilon (2^-103): an element this small is
// negligible whatever its neighbours.
constexpr float kTiny = 9.8607613e-32f;
constexpr int kMaxSweepsPerValue = 75;
constexpr int kNotFinite = -1;

float dot(const float* x, const float* y, int n)
{
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) {
        sum += x[i] * y[i];
    }
    return sum;
}

// y += a x
void axpy(float a, const float* x, float* y, int n)
{
    for (int i = 0; i < n; ++i) {
        y[i] += a * x[i];
    }
}

void scale(float a, float* x, int n)
{
    for (int i = 0; i < n; ++i) {
        x[i] *= a;
    }
}

void swapColumns(float* M, int rows, int a, int b)
{
    for (int i = 0; i < rows; ++i) {
        std::swap(M[i + rows * a], M[i + rows * b]);
    }
}

bool negligible(float magnitude, float neighbours, float matrixScale)
{
    return magnitude <= kEpsilon * neighbours || magnitude <= kTiny || magnitude <= kEpsilon * matrixScale;
}

// Dimensions and flags of one decomposition, so the phases below read as the
// steps they are.
struct SvdProblem
{
    float* X;
    int m; // rows
    int n; // columns
    float* s;
    float* e;
    float* work;
    float* U; // m x m
    float* V; // n x n
    bool wantVectors;
    int nct;  // columns reduced by a left reflector
    int nrt;  // rows reduced by a right reflector
    int size; // order of the bidiagonal, min(n, m + 1)
};

// Householder reduction to upper bidiagonal form: s the diagonal, e the
// superdiagonal. The reflector vectors stay in X (left) and V (right) until
// the singular vectors are formed.
void bidiagonalise(SvdProblem& p)
{
    float* X = p.X;
    const int m = p.m;
    const int n = p.n;
    float* s = p.s;
    float* e = p.e;
    const int reflectors = std::max(p.nct, p.nrt);
    for (int l = 0; l < reflectors; ++l) {
        float* xl = X + l + m * l;
        if (l < p.nct) {
            s[l] = scaledNorm(xl, m - l);
            if (s[l] != 0.0f) {
                if (xl[0] != 0.0f) {
                    s[l] = std::copysign(s[l], xl[0]);
                }
                scale(1.0f / s[l], xl, m - l);
                xl[0] += 1.0f;
            }
            s[l] = -s[l];
        }
        for (int j = l + 1; j < n; ++j) {
            float* xj = X + l + m * j;
            if (l < p.nct && s[l] != 0.0f) {
                axpy(-dot(xl, xj, m - l) / xl[0], xl, xj, m - l);
            }
            e[j] = xj[0]; // row l, to be reduced by the right reflector
        }
        if (p.wantVectors && l < p.nct) {
            for (int i = l; i < m; ++i) {
                p.U[i + m * l] = X[i + m * l];
            }
        }
        if (l < p.nrt) {
            float* el = e + l + 1;
            e[l] = scaledNorm(el, n - l - 1);
            if (e[l] != 0.0f) {
                if (el[0] != 0.0f) {
                    e[l] = std::copysign(e[l], el[0]);
                }
                scale(1.0f / e[l], el, n - l - 1);
                el[0] += 1.0f;
            }
            e[l] = -e[l];
            if (l + 1 < m && e[l] != 0.0f) {
                float* w = p.work + l + 1;
                std::fill(w, p.work + m, 0.0f);
                for (int j = l + 1; j < n; ++j) {
                    axpy(e[j], X + l + 1 + m * j, w, m - l - 1);
                }
                for (int j = l + 1; j < n; ++j) {
                    axpy(-e[j] / el[0], w, X + l + 1 + m * j, m - l - 1);
                }
            }
            if (p.wantVectors) {
                for (int i = l + 1; i < n; ++i) {
                    p.V[i + n * l] = e[i];
                }
            }
        }
    }
    // The last diagonal and superdiagonal elements need no reflector.
    if (p.nct < n) {
        s[p.nct] = X[p.nct + m * p.nct];
    }
    if (m < p.size) {
        s[p.size - 1] = 0.0f;
    }
    if (p.nrt + 1 < p.size) {
        e[p.nrt] = X[p.nrt + m * (p.size - 1)];
    }
    e[p.size - 1] = 0.0f;
}

// Expands the stored reflectors into U (m x m) and V (n x n).
void formSingularVectors(SvdProblem& p)
{
    float* U = p.U;
    float* V = p.V;
    const int m = p.m;
    const int n = p.n;
    for (int j = p.nct; j < m; ++j) {
        std::fill(U + m * j, U + m * (j + 1), 0.0f);
        U[j + m * j] = 1.0f;
    }
    for (int l = p.nct - 1; l >= 0; --l) {
        float* ul = U + l + m * l;
        if (p.s[l] != 0.0f) {
            for (int j = l + 1; j < m; ++j) {
                float* uj = U + l + m * j;
                axpy(-dot(ul, uj, m - l) / ul[0], ul, uj, m - l);
            }
            scale(-1.0f, ul, m - l);
            ul[0] += 1.0f;
            std::fill(U + m * l, ul, 0.0f);
        } else {
            std::fill(U + m * l, U + m * (l + 1), 0.0f);
            U[l + m * l] = 1.0f;
        }
    }
    for (int l = n - 1; l >= 0; --l) {
        if (l < p.nrt && p.e[l] != 0.0f) {
            const float* vl = V + l + 1 + n * l;
            for (int j = l + 1; j < n; ++j) {
                float* vj = V + l + 1 + n * j;
                axpy(-dot(vl, vj, n - l - 1) / vl[0], vl, vj, n - l - 1);
            }
        }
        std::fill(V + n * l, V + n * (l + 1), 0.0f);
        V[l + n * l] = 1.0f;
    }
}

float* uColumn(SvdProblem& p, int j)
{
    return p.U + p.m * j;
}
float* vColumn(SvdProblem& p, int j)
{
    return p.V + p.n * j;
}

// s[last] is negligible: rotate e[last - 1] up through the block into s.
void deflateBottom(SvdProblem& p, int low, int last)
{
    float f = p.e[last - 1];
    p.e[last - 1] = 0.0f;
    for (int k = last - 1; k >= low; --k) {
        float c;
        float sn;
        float t = p.s[k];
        rotg32(&t, &f, &c, &sn);
        p.s[k] = t;
        if (k != low) {
            f = -sn * p.e[k - 1];
            p.e[k - 1] = c * p.e[k - 1];
        }
        if (p.wantVectors) {
            rot_real32(p.n, c, sn, vColumn(p, k), vColumn(p, last));
        }
    }
}

// s[low - 1] is negligible: rotate e[low - 1] down through the block.
void splitAt(SvdProblem& p, int low, int last)
{
    float f = p.e[low - 1];
    p.e[low - 1] = 0.0f;
    for (int k = low; k <= last; ++k) {
        float c;
        float sn;
        float t = p.s[k];
        rotg32(&t, &f, &c, &sn);
        p.s[k] = t;
        f = -sn * p.e[k];
        p.e[k] = c * p.e[k];
        if (p.wantVectors && k < p.m) {
            rot_real32(p.m, c, sn, uColumn(p, k), uColumn(p, low - 1));
        }
    }
}

// One implicitly shifted QR sweep on the block s[low..last], shift from the
// trailing 2 x 2 block.
void qrSweep(SvdProblem& p, int low, int last)
{
    float* s = p.s;
    float* e = p.e;
    const float blockScale = std::max({std::fabs(s[last]), std::fabs(s[last - 1]), std::fabs(e[last - 1]),
                                       std::fabs(s[low]), std::fabs(e[low])});
    const float sm = s[last] / blockScale;
    const float smm1 = s[last - 1] / blockScale;
    const float emm1 = e[last - 1] / blockScale;
    const float sl = s[low] / blockScale;
    const float el = e[low] / blockScale;
    const float b = ((smm1 + sm) * (smm1 - sm) + emm1 * emm1) / 2.0f;
    const float c = (sm * emm1) * (sm * emm1);
    float shift = 0.0f;
    if (b != 0.0f || c != 0.0f) {
        shift = std::sqrt(b * b + c);
        if (b < 0.0f) {
            shift = -shift;
        }
        shift = c / (b + shift);
    }
    float f = (sl + sm) * (sl - sm) + shift;
    float g = sl * el;
    for (int k = low; k < last; ++k) {
        float cs;
        float sn;
        rotg32(&f, &g, &cs, &sn);
        if (k != low) {
            e[k - 1] = f;
        }
        f = cs * s[k] + sn * e[k];
        e[k] = cs * e[k] - sn * s[k];
        g = sn * s[k + 1];
        s[k + 1] = cs * s[k + 1];
        if (p.wantVectors) {
            rot_real32(p.n, cs, sn, vColumn(p, k), vColumn(p, k + 1));
        }
        rotg32(&f, &g, &cs, &sn);
        s[k] = f;
        f = cs * e[k] + sn * s[k + 1];
        s[k + 1] = -sn * e[k] + cs * s[k + 1];
        g = sn * e[k + 1];
        e[k + 1] = cs * e[k + 1];
        if (p.wantVectors && k + 1 < p.m) {
            rot_real32(p.m, cs, sn, uColumn(p, k), uColumn(p, k + 1));
        }
    }
    e[last - 1] = f;
}

// Diagonalises the bidiagonal form from the bottom up. Returns 0, -1 for a
// non-finite element, or the count of values left when one needed more than
// the allowed sweeps.
int diagonalise(SvdProblem& p)
{
    float* s = p.s;
    float* e = p.e;
    float matrixScale = 0.0f;
    for (int i = 0; i < p.size; ++i) {
        matrixScale = std::max({matrixScale, std::fabs(s[i]), std::fabs(e[i])});
    }

    int remaining = p.size;
    int sweeps = 0;
    while (remaining > 0) {
        const int last = remaining - 1;
        // The lowest negligible superdiagonal element above s[last] closes the
        // block that is still coupled.
        int k = last - 1;
        for (; k >= 0; --k) {
            const float neighbours = std::fabs(s[k]) + std::fabs(s[k + 1]);
            const float magnitude = std::fabs(e[k]);
            if (!std::isfinite(neighbours) || !std::isfinite(magnitude)) {
                return kNotFinite;
            }
            if (negligible(magnitude, neighbours, matrixScale)) {
                e[k] = 0.0f;
                break;
            }
        }
        int low = k + 1;

        if (low == last) {
            // Converged: make the value non-negative.
            if (s[last] < 0.0f) {
                s[last] = -s[last];
                if (p.wantVectors) {
                    scale(-1.0f, vColumn(p, last), p.n);
                }
            }
            sweeps = 0;
            --remaining;
            continue;
        }

        int zeroDiagonal = -1;
        for (int ls = last; ls >= low; --ls) {
            float neighbours = 0.0f;
            if (ls != last) {
                neighbours += std::fabs(e[ls]);
            }
            if (ls != low) {
                neighbours += std::fabs(e[ls - 1]);
            }
            if (negligible(std::fabs(s[ls]), neighbours, matrixScale)) {
                s[ls] = 0.0f;
                zeroDiagonal = ls;
                break;
            }
        }

        if (zeroDiagonal == last) {
            deflateBottom(p, low, last);
        } else if (zeroDiagonal >= 0) {
            splitAt(p, zeroDiagonal + 1, last);
        } else {
            if (sweeps >= kMaxSweepsPerValue) {
                return remaining;
            }
            qrSweep(p, low, last);
            ++sweeps;
        }
    }
    return 0;
}

// Descending order, carrying the singular vectors along.
void sortDescending(SvdProblem& p)
{
    for (int i = 0; i + 1 < p.size; ++i) {
        int largest = i;
        for (int j = i + 1; j < p.size; ++j) {
            if (p.s[j] > p.s[largest]) {
                largest = j;
            }
        }
        if (largest == i) {
            continue;
        }
        std::swap(p.s[i], p.s[largest]);
        if (p.wantVectors) {
            swapColumns(p.V, p.n, i, largest);
            if (largest < p.m) {
                swapColumns(p.U, p.m, i, largest);
            }
        }
    }
}

} // namespace

extern "C" int DSP_SVD_R(float* X, int m, int n, float* s, float* e, float* work, float* U, float* V,
                         int wantVectors)
{
    if (m < 1 || n < 1) {
        return 0; // an empty matrix has nothing to decompose
    }
    SvdProblem p{X,
                 m,
                 n,
                 s,
                 e,
                 work,
                 U,
                 V,
                 wantVectors != 0,
                 std::min(m - 1, n),
                 std::max(0, std::min(n - 2, m)),
                 std::min(n, m + 1)};
    bidiagonalise(p);
    if (p.wantVectors) {
        formSingularVectors(p);
    }
    const int status = diagonalise(p);
    if (status != 0) {
        return status;
    }
    sortDescending(p);
    return 0;
}

extern "C" void svdSimulink(const float* A, svdOutput_t* out, svdIntermediateResult* work)
{
    std::copy(A, A + 9, work->matrix);
    DSP_SVD_R(work->matrix, 3, 3, work->singularValues, work->superdiagonal, work->work, out->U, out->V, 1);
    std::copy(work->singularValues, work->singularValues + 3, out->singularValues);
}
