#include "pointerEngine/orientationMappingMath.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

template <typename Real> Real atan2Numerical(Real y, Real x)
{
    if (std::isnan(y) || std::isnan(x))
        return std::numeric_limits<Real>::quiet_NaN();
    if (std::isinf(y) && std::isinf(x)) {
        const double sy = y > 0 ? 1.0 : -1.0;
        const double sx = x > 0 ? 1.0 : -1.0;
        return static_cast<Real>(std::atan2(sy, sx));
    }
    if (x == 0) {
        if (y > 0)
            return static_cast<Real>(1.5707964f);
        if (y < 0)
            return static_cast<Real>(-1.5707964f);
        return 0;
    }
    return static_cast<Real>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

} // namespace

extern "C" {

void m_linearFit(const float* x, const float* y, int32_t n, float out[2])
{
    float sxx = 0.0f, sx = 0.0f, sxy = 0.0f, sy = 0.0f;
    for (int32_t i = 0; i < n; ++i) {
        sxx += x[i] * x[i];
        sx += x[i];
        sxy += x[i] * y[i];
        sy += y[i];
    }
    // [[sxx, sx], [sx, n]] (a, b) = (sxy, sy), pivoting on the first column.
    float a00 = sxx, a01 = sx, b0 = sxy;
    float a10 = sx, a11 = static_cast<float>(n), b1 = sy;
    if (std::fabs(a10) > std::fabs(a00)) {
        std::swap(a00, a10);
        std::swap(a01, a11);
        std::swap(b0, b1);
    }
    const float factor = a10 / a00;
    const float u11 = a11 - factor * a01;
    const float c1 = b1 - factor * b0;
    const float b = c1 / u11;
    out[0] = (b0 - a01 * b) / a00;
    out[1] = b;
}

void m_refp1_eml_xgetrf(float a[9], int32_t pivots[3])
{
    for (int32_t i = 0; i < 3; ++i)
        pivots[i] = i;
    for (int32_t k = 0; k < 2; ++k) {
        int32_t p = k;
        for (int32_t i = k + 1; i < 3; ++i) {
            if (std::fabs(a[i * 3 + k]) > std::fabs(a[p * 3 + k]))
                p = i;
        }
        if (p != k) {
            for (int32_t j = 0; j < 3; ++j)
                std::swap(a[k * 3 + j], a[p * 3 + j]);
            std::swap(pivots[k], pivots[p]);
        }
        if (a[k * 3 + k] == 0.0f)
            continue;
        for (int32_t i = k + 1; i < 3; ++i) {
            a[i * 3 + k] /= a[k * 3 + k];
            for (int32_t j = k + 1; j < 3; ++j)
                a[i * 3 + j] -= a[i * 3 + k] * a[k * 3 + j];
        }
    }
}

void m_mldivide(const float a[9], const float b[3], float out[3])
{
    float lu[9];
    for (int i = 0; i < 9; ++i)
        lu[i] = a[i];
    int32_t pivots[3];
    m_refp1_eml_xgetrf(lu, pivots);
    float y[3];
    for (int i = 0; i < 3; ++i) {
        float v = b[pivots[i]];
        for (int j = 0; j < i; ++j)
            v -= lu[i * 3 + j] * y[j];
        y[i] = v;
    }
    for (int i = 2; i >= 0; --i) {
        float v = y[i];
        for (int j = i + 1; j < 3; ++j)
            v -= lu[i * 3 + j] * out[j];
        out[i] = v / lu[i * 3 + i];
    }
}

double rt_atan2(double y, double x)
{
    return atan2Numerical(y, x);
}

float rt_atan232(float y, float x)
{
    return atan2Numerical(y, x);
}

} // extern "C"
