#pragma once

// Fixed-size vectors, matrices and quaternions over the scalar of the
// algorithm modules. Each type is a plain array of its elements (no other
// members), so module state and records can hold and copy them bytewise.
// Everything here is inline and allocation-free; the quaternion operations
// with a life of their own are defined in qdQuaternion.cpp.

#include <cstdint>
#include <type_traits>

#include "numerics/FloatingPoint.h"
#include "numerics/unitQuaternion.h"

namespace vnx::qdVectorFixed {

template <typename T, std::int8_t N> struct vector
{
    static_assert(N > 0, "a vector has at least one element");
    T e[N];

    static constexpr int size() { return N; }
    static constexpr vector zeros() { return vector{}; }

    constexpr T& operator[](int i) { return e[i]; }
    constexpr const T& operator[](int i) const { return e[i]; }
    constexpr T* data() { return e; }
    constexpr const T* data() const { return e; }

    constexpr void fill(T value)
    {
        for (int i = 0; i < N; ++i)
            e[i] = value;
    }

    constexpr vector& operator+=(const vector& o)
    {
        for (int i = 0; i < N; ++i)
            e[i] += o.e[i];
        return *this;
    }
    constexpr vector& operator-=(const vector& o)
    {
        for (int i = 0; i < N; ++i)
            e[i] -= o.e[i];
        return *this;
    }
    constexpr vector& operator*=(T s)
    {
        for (int i = 0; i < N; ++i)
            e[i] *= s;
        return *this;
    }
    constexpr vector& operator/=(T s)
    {
        for (int i = 0; i < N; ++i)
            e[i] /= s;
        return *this;
    }

    friend constexpr vector operator+(vector a, const vector& b) { return a += b; }
    friend constexpr vector operator-(vector a, const vector& b) { return a -= b; }
    friend constexpr vector operator*(vector a, T s) { return a *= s; }
    friend constexpr vector operator*(T s, vector a)
    {
        for (int i = 0; i < N; ++i)
            a.e[i] = s * a.e[i];
        return a;
    }
    friend constexpr vector operator/(vector a, T s) { return a /= s; }
    friend constexpr vector operator-(vector a)
    {
        for (int i = 0; i < N; ++i)
            a.e[i] = -a.e[i];
        return a;
    }
    friend constexpr bool operator==(const vector& a, const vector& b)
    {
        for (int i = 0; i < N; ++i)
            if (!(a.e[i] == b.e[i]))
                return false;
        return true;
    }

    /// Element-wise product.
    friend constexpr vector elementMul(vector a, const vector& b)
    {
        for (int i = 0; i < N; ++i)
            a.e[i] *= b.e[i];
        return a;
    }

    /// Sum of element products, accumulated from element 0.
    friend constexpr T dot(const vector& a, const vector& b)
    {
        T acc = a.e[0] * b.e[0];
        for (int i = 1; i < N; ++i)
            acc += a.e[i] * b.e[i];
        return acc;
    }

    constexpr T normSquared() const { return dot(*this, *this); }
    T norm() const { return sqrt(normSquared()); }

    /// Largest element magnitude (|-2^31| counts as 2^31).
    T infNorm() const
    {
        T m = abs(e[0]);
        for (int i = 1; i < N; ++i) {
            const T a = abs(e[i]);
            if (m < a)
                m = a;
        }
        return m;
    }
};

template <typename T> constexpr vector<T, 3> cross(const vector<T, 3>& a, const vector<T, 3>& b)
{
    return {a.e[1] * b.e[2] - a.e[2] * b.e[1], a.e[2] * b.e[0] - a.e[0] * b.e[2],
            a.e[0] * b.e[1] - a.e[1] * b.e[0]};
}

/// R x C matrix stored row by row: element (r, c) at index r * C + c.
template <typename T, std::int8_t R, std::int8_t C> struct matrix
{
    static_assert(R > 0 && C > 0, "a matrix has at least one element");
    T e[R * C];

    static constexpr int rows() { return R; }
    static constexpr int cols() { return C; }
    static constexpr int size() { return R * C; }
    static constexpr matrix zeros() { return matrix{}; }
    static constexpr matrix identity() requires(R == C)
    {
        matrix m{};
        for (int i = 0; i < R; ++i)
            m.e[i * C + i] = T(1);
        return m;
    }

    constexpr T& operator()(int r, int c) { return e[r * C + c]; }
    constexpr const T& operator()(int r, int c) const { return e[r * C + c]; }
    /// Storage index access.
    constexpr T& operator[](int i) { return e[i]; }
    constexpr const T& operator[](int i) const { return e[i]; }
    constexpr T* data() { return e; }
    constexpr const T* data() const { return e; }

    constexpr vector<T, C> row(int r) const
    {
        vector<T, C> v;
        for (int c = 0; c < C; ++c)
            v.e[c] = e[r * C + c];
        return v;
    }
    constexpr vector<T, R> column(int c) const
    {
        vector<T, R> v;
        for (int r = 0; r < R; ++r)
            v.e[r] = e[r * C + c];
        return v;
    }
    constexpr void setRow(int r, const vector<T, C>& v)
    {
        for (int c = 0; c < C; ++c)
            e[r * C + c] = v.e[c];
    }
    constexpr void setColumn(int c, const vector<T, R>& v)
    {
        for (int r = 0; r < R; ++r)
            e[r * C + c] = v.e[r];
    }

    constexpr matrix<T, C, R> transpose() const
    {
        matrix<T, C, R> t;
        for (int r = 0; r < R; ++r)
            for (int c = 0; c < C; ++c)
                t.e[c * R + r] = e[r * C + c];
        return t;
    }

    constexpr matrix& operator+=(const matrix& o)
    {
        for (int i = 0; i < R * C; ++i)
            e[i] += o.e[i];
        return *this;
    }
    constexpr matrix& operator-=(const matrix& o)
    {
        for (int i = 0; i < R * C; ++i)
            e[i] -= o.e[i];
        return *this;
    }
    constexpr matrix& operator*=(T s)
    {
        for (int i = 0; i < R * C; ++i)
            e[i] *= s;
        return *this;
    }
    constexpr matrix& operator/=(T s)
    {
        for (int i = 0; i < R * C; ++i)
            e[i] /= s;
        return *this;
    }

    friend constexpr matrix operator+(matrix a, const matrix& b) { return a += b; }
    friend constexpr matrix operator-(matrix a, const matrix& b) { return a -= b; }
    friend constexpr matrix operator*(matrix a, T s) { return a *= s; }
    friend constexpr matrix operator*(T s, matrix a)
    {
        for (int i = 0; i < R * C; ++i)
            a.e[i] = s * a.e[i];
        return a;
    }
    friend constexpr matrix operator/(matrix a, T s) { return a /= s; }
    friend constexpr matrix operator-(matrix a)
    {
        for (int i = 0; i < R * C; ++i)
            a.e[i] = -a.e[i];
        return a;
    }
    friend constexpr bool operator==(const matrix& a, const matrix& b)
    {
        for (int i = 0; i < R * C; ++i)
            if (!(a.e[i] == b.e[i]))
                return false;
        return true;
    }

    /// Matrix-vector product; each sum accumulated from column 0.
    friend constexpr vector<T, R> operator*(const matrix& m, const vector<T, C>& v)
    {
        vector<T, R> out;
        for (int r = 0; r < R; ++r) {
            T acc = m.e[r * C] * v.e[0];
            for (int c = 1; c < C; ++c)
                acc += m.e[r * C + c] * v.e[c];
            out.e[r] = acc;
        }
        return out;
    }
};

/// Matrix product; each sum accumulated from index 0.
template <typename T, std::int8_t R, std::int8_t K, std::int8_t C>
constexpr matrix<T, R, C> operator*(const matrix<T, R, K>& a, const matrix<T, K, C>& b)
{
    matrix<T, R, C> out;
    for (int r = 0; r < R; ++r)
        for (int c = 0; c < C; ++c) {
            T acc = a.e[r * K] * b.e[c];
            for (int k = 1; k < K; ++k)
                acc += a.e[r * K + k] * b.e[k * C + c];
            out.e[r * C + c] = acc;
        }
    return out;
}

/// Quaternion (w, x, y, z), index 0 the scalar part; Hamilton products.
template <typename T> struct quaternion
{
    T e[4];

    static constexpr quaternion identity() { return {T(1), T(0), T(0), T(0)}; }

    constexpr T& operator[](int i) { return e[i]; }
    constexpr const T& operator[](int i) const { return e[i]; }
    constexpr T* data() { return e; }
    constexpr const T* data() const { return e; }

    constexpr T& w() { return e[0]; }
    constexpr T& x() { return e[1]; }
    constexpr T& y() { return e[2]; }
    constexpr T& z() { return e[3]; }
    constexpr const T& w() const { return e[0]; }
    constexpr const T& x() const { return e[1]; }
    constexpr const T& y() const { return e[2]; }
    constexpr const T& z() const { return e[3]; }

    constexpr vector<T, 3> vec() const { return {e[1], e[2], e[3]}; }

    constexpr quaternion conj() const { return {e[0], -e[1], -e[2], -e[3]}; }

    friend constexpr quaternion operator*(const quaternion& a, const quaternion& b)
    {
        return {a.e[0] * b.e[0] - a.e[1] * b.e[1] - a.e[2] * b.e[2] - a.e[3] * b.e[3],
                a.e[0] * b.e[1] + a.e[1] * b.e[0] + a.e[2] * b.e[3] - a.e[3] * b.e[2],
                a.e[0] * b.e[2] - a.e[1] * b.e[3] + a.e[2] * b.e[0] + a.e[3] * b.e[1],
                a.e[0] * b.e[3] + a.e[1] * b.e[2] - a.e[2] * b.e[1] + a.e[3] * b.e[0]};
    }
    friend constexpr quaternion operator+(const quaternion& a, const quaternion& b)
    {
        return {a.e[0] + b.e[0], a.e[1] + b.e[1], a.e[2] + b.e[2], a.e[3] + b.e[3]};
    }
    friend constexpr quaternion operator-(const quaternion& a, const quaternion& b)
    {
        return {a.e[0] - b.e[0], a.e[1] - b.e[1], a.e[2] - b.e[2], a.e[3] - b.e[3]};
    }
    friend constexpr quaternion operator-(const quaternion& a)
    {
        return {-a.e[0], -a.e[1], -a.e[2], -a.e[3]};
    }
    friend constexpr quaternion operator*(const quaternion& a, T s)
    {
        return {a.e[0] * s, a.e[1] * s, a.e[2] * s, a.e[3] * s};
    }
    friend constexpr bool operator==(const quaternion& a, const quaternion& b)
    {
        return a.e[0] == b.e[0] && a.e[1] == b.e[1] && a.e[2] == b.e[2] && a.e[3] == b.e[3];
    }

    /// Four-element dot product.
    friend constexpr T dot(const quaternion& a, const quaternion& b)
    {
        return a.e[0] * b.e[0] + a.e[1] * b.e[1] + a.e[2] * b.e[2] + a.e[3] * b.e[3];
    }
    constexpr T normSquared() const { return dot(*this, *this); }
    T norm() const { return sqrt(normSquared()); }

    /// Rescales to unit norm only when the squared norm left the band
    /// [0.9999999, 1.0000001] (saves the square root on most samples).
    void renormalize() { renormalizeUnitQuaternion(e); }

    // Orientation operations (defined for T = FloatingPoint<float>).
    // Angles in radians, rates in rad/s (body frame), times in seconds.

    /// First-order update by the body rate over dt, then renormalize().
    void integrate(const vector<T, 3>& rate, T dt);
    /// Update by the mean of two rates over dt, then renormalize().
    void integrateTrapz(const vector<T, 3>& rate0, const vector<T, 3>& rate1, T dt);
    /// Spherical interpolation from a (t = 0) towards b (t = 1) the short way
    /// round; nearly equal inputs return a. The result is not normalised.
    static quaternion sLerp(const quaternion& a, const quaternion& b, T t);
    /// Rotation angle in [0, pi] between p and this quaternion.
    T getAngularDistance(const quaternion& p) const;
    /// Euler angles about x (roll, e[0]), y (pitch, e[1]), z (yaw, e[2]).
    void getEulerZYX(vector<T, 3>& eulerRad) const;
    /// Sets this quaternion from a direction-cosine matrix (not normalised).
    void fromDcm(const matrix<T, 3, 3>& m);
    /// Writes the direction-cosine matrix of this quaternion.
    void asDcm(matrix<T, 3, 3>& m) const;

  private:
    void stepByHalfAngles(const vector<T, 3>& a);
};

using Vector3 = vector<Fp32, 3>;
using Matrix3 = matrix<Fp32, 3, 3>;
using Quaternion = quaternion<Fp32>;

static_assert(sizeof(Vector3) == 12 && std::is_trivially_copyable_v<Vector3>);
static_assert(sizeof(Matrix3) == 36 && std::is_trivially_copyable_v<Matrix3>);
static_assert(sizeof(Quaternion) == 16 && std::is_trivially_copyable_v<Quaternion>);

template <> void quaternion<Fp32>::stepByHalfAngles(const Vector3& a);
template <> void quaternion<Fp32>::integrate(const Vector3& rate, Fp32 dt);
template <> void quaternion<Fp32>::integrateTrapz(const Vector3& rate0, const Vector3& rate1, Fp32 dt);
template <>
quaternion<Fp32> quaternion<Fp32>::sLerp(const quaternion<Fp32>& a, const quaternion<Fp32>& b, Fp32 t);
template <> Fp32 quaternion<Fp32>::getAngularDistance(const quaternion<Fp32>& p) const;
template <> void quaternion<Fp32>::getEulerZYX(Vector3& eulerRad) const;
template <> void quaternion<Fp32>::fromDcm(const Matrix3& m);
template <> void quaternion<Fp32>::asDcm(Matrix3& m) const;

} // namespace vnx::qdVectorFixed
