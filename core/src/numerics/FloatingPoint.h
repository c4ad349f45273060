#pragma once

#include <cmath>
#include <compare>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vnx {

/// Scalar of the algorithm modules: one value of T (float) that computes as T
/// but keeps two traits of a 32-bit fixed-point number:
///  - shifts scale exactly by powers of two (<< n is x * 2^n, >> n is x * 2^-n);
///  - a plain value entering the type is saturated into [-2^31, 2^31], NaN
///    becoming 2^31. The two bounds are the "unknown" marks of the
///    calibration code, so an overflowed or undefined input reads as unknown.
/// Arithmetic between two FloatingPoint values is plain T arithmetic and does
/// not saturate, so in-range results are exactly the float results.
template <typename T> class FloatingPoint
{
    static_assert(std::is_floating_point_v<T>, "FloatingPoint holds a floating-point value");

  public:
    static constexpr T kMax = static_cast<T>(2147483648.0);  // 2^31
    static constexpr T kMin = static_cast<T>(-2147483648.0); // -2^31

    constexpr FloatingPoint() = default;
    /// Saturating conversion of a plain value.
    constexpr FloatingPoint(T value) : v_(saturate(value)) {} // NOLINT(implicit)
    /// Integers and the other floating types; a wider float is clamped before
    /// it is narrowed, as a narrowing out of range is undefined.
    template <typename U>
    requires(std::is_arithmetic_v<U> &&
             !std::is_same_v<U, T>) constexpr FloatingPoint(U value) // NOLINT(implicit)
        : v_(saturate(static_cast<T>(clampWide(value))))
    {
    }

    /// Wraps a value without saturation (results of T arithmetic).
    static constexpr FloatingPoint raw(T value)
    {
        FloatingPoint f;
        f.v_ = value;
        return f;
    }

    /// Clamps into [-2^31, 2^31]; NaN becomes 2^31.
    static constexpr T saturate(T value)
    {
        // Two selects the compiler can turn into min and max instructions:
        // NaN fails the first comparison and becomes kMax.
        const T upper = value < kMax ? value : kMax;
        return upper > kMin ? upper : kMin;
    }

    constexpr T value() const { return v_; }
    constexpr explicit operator T() const { return v_; }

    constexpr FloatingPoint operator+() const { return *this; }
    constexpr FloatingPoint operator-() const { return raw(-v_); }

    constexpr FloatingPoint& operator+=(FloatingPoint o)
    {
        v_ += o.v_;
        return *this;
    }
    constexpr FloatingPoint& operator-=(FloatingPoint o)
    {
        v_ -= o.v_;
        return *this;
    }
    constexpr FloatingPoint& operator*=(FloatingPoint o)
    {
        v_ *= o.v_;
        return *this;
    }
    constexpr FloatingPoint& operator/=(FloatingPoint o)
    {
        v_ /= o.v_;
        return *this;
    }
    FloatingPoint& operator<<=(int n)
    {
        v_ = scale2(v_, n);
        return *this;
    }
    FloatingPoint& operator>>=(int n)
    {
        v_ = scale2(v_, -n);
        return *this;
    }

    friend constexpr FloatingPoint operator+(FloatingPoint a, FloatingPoint b) { return raw(a.v_ + b.v_); }
    friend constexpr FloatingPoint operator-(FloatingPoint a, FloatingPoint b) { return raw(a.v_ - b.v_); }
    friend constexpr FloatingPoint operator*(FloatingPoint a, FloatingPoint b) { return raw(a.v_ * b.v_); }
    friend constexpr FloatingPoint operator/(FloatingPoint a, FloatingPoint b) { return raw(a.v_ / b.v_); }
    /// x << n == x * 2^n, exact as ldexp (n may be negative).
    friend FloatingPoint operator<<(FloatingPoint a, int n) { return raw(scale2(a.v_, n)); }
    /// x >> n == x * 2^-n, exact as ldexp (n may be negative).
    friend FloatingPoint operator>>(FloatingPoint a, int n) { return raw(scale2(a.v_, -n)); }

    friend constexpr bool operator==(FloatingPoint a, FloatingPoint b) { return a.v_ == b.v_; }
    friend constexpr auto operator<=>(FloatingPoint a, FloatingPoint b) { return a.v_ <=> b.v_; }
    // The relations spelled out: the same answers as through <=> (false for
    // NaN), but plain float comparisons the compiler can turn into min, max
    // and branch-free selects.
    friend constexpr bool operator<(FloatingPoint a, FloatingPoint b) { return a.v_ < b.v_; }
    friend constexpr bool operator<=(FloatingPoint a, FloatingPoint b) { return a.v_ <= b.v_; }
    friend constexpr bool operator>(FloatingPoint a, FloatingPoint b) { return a.v_ > b.v_; }
    friend constexpr bool operator>=(FloatingPoint a, FloatingPoint b) { return a.v_ >= b.v_; }

    template <typename U> static constexpr U clampWide(U value)
    {
        if constexpr (std::is_floating_point_v<U>) {
            if (value > static_cast<U>(kMax))
                return static_cast<U>(kMax);
            if (value < static_cast<U>(kMin))
                return static_cast<U>(kMin);
        }
        return value;
    }

    /// x * 2^n with one rounding, as std::ldexp; a multiplication by an exact
    /// power of two when 2^n is a normal T, which is the per-sample case.
    static T scale2(T x, int n)
    {
        if constexpr (std::is_same_v<T, float>) {
            if (n >= -126 && n <= 127) {
                const std::uint32_t bits = static_cast<std::uint32_t>(n + 127) << 23;
                float p;
                std::memcpy(&p, &bits, sizeof p);
                return x * p;
            }
        }
        return std::ldexp(x, n);
    }

  private:
    T v_{};
};

static_assert(sizeof(FloatingPoint<float>) == 4);
static_assert(std::is_trivially_copyable_v<FloatingPoint<float>>);
static_assert(std::is_standard_layout_v<FloatingPoint<float>>);

/// Magnitude; |-2^31| is 2^31.
template <typename T> inline FloatingPoint<T> abs(FloatingPoint<T> x)
{
    return FloatingPoint<T>::raw(std::fabs(x.value()));
}

/// Library square root in T.
template <typename T> inline FloatingPoint<T> sqrt(FloatingPoint<T> x)
{
    return FloatingPoint<T>::raw(std::sqrt(x.value()));
}

// b < a ? b : a and a < b ? b : a, selected as plain values so the compiler
// can use its min and max instructions.
template <typename T> inline FloatingPoint<T> min(FloatingPoint<T> a, FloatingPoint<T> b)
{
    return FloatingPoint<T>::raw(b.value() < a.value() ? b.value() : a.value());
}

template <typename T> inline FloatingPoint<T> max(FloatingPoint<T> a, FloatingPoint<T> b)
{
    return FloatingPoint<T>::raw(a.value() < b.value() ? b.value() : a.value());
}

using Fp32 = FloatingPoint<float>;

} // namespace vnx
