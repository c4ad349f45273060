#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "matrixTestSupport.h"
#include "numerics/matrixSolversLu.h"

namespace {

using matrixtest::convert;
using matrixtest::maxAbsDifference;
using matrixtest::multiply;
using matrixtest::SolverCase;
using matrixtest::tolerance;

template <typename T> std::vector<SolverCase<T>> luCases()
{
    return {
        {"2x2", 2, Matrix_2x2_2x1_mldivide, true},
        {"3x3", 3, [](const T* A, const T* b, T* x, T*) { Matrix_3x3_3x1_mldivide(A, b, x); }, false},
        {"4x4 in place", 4,
         [](const T* A, const T* b, T* x, T*) {
             T factors[16];
             std::copy(A, A + 16, factors);
             Matrix_4x4_4x1_mldivide(factors, b, x);
         },
         false},
        {"4x4", 4, Matrix_4x4_4x1_mldivide, true},
        {"6x6", 6, Matrix_6x6_6x1_mldivide, true},
        {"9x9", 9, Matrix_9x9_9x1_mldivide, true},
    };
}

template <typename T> class LuSolverTest : public ::testing::Test
{
};
using ElementTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(LuSolverTest, ElementTypes);

TYPED_TEST(LuSolverTest, SolvesWellConditionedSystemsOfEverySize)
{
    using T = TypeParam;
    for (const SolverCase<T>& c : luCases<T>()) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(::testing::Message() << c.name << " seed " << seed);
            const std::vector<double> A = matrixtest::wellConditionedMatrix(c.n, seed);
            const std::vector<double> xTrue = matrixtest::randomVector(c.n, seed);
            const std::vector<T> At = convert<T>(A);
            const std::vector<T> b = convert<T>(multiply(A.data(), xTrue.data(), c.n, c.n, 1));
            std::vector<T> x(c.n);
            T det = T(-1);
            c.solve(At.data(), b.data(), x.data(), c.reportsDeterminant ? &det : nullptr);

            EXPECT_LT(maxAbsDifference(x, xTrue), 4.0 * tolerance<T>());
            EXPECT_LT(maxAbsDifference(multiply(At.data(), x.data(), c.n, c.n, 1), b),
                      4.0 * c.n * tolerance<T>());
            if (c.reportsDeterminant) {
                EXPECT_GT(det, T(0));
            }
        }
    }
}

TYPED_TEST(LuSolverTest, DeterminantIsTheAbsoluteProductOfThePivots)
{
    using T = TypeParam;
    // det [2 1; 4 3] = 2; the pivot row 2 gives u11 = 4, u22 = -0.5.
    const T A2[4] = {2, 4, 1, 3};
    const T b2[2] = {3, 7};
    T x2[2];
    T det2 = 0;
    Matrix_2x2_2x1_mldivide(A2, b2, x2, &det2);
    EXPECT_EQ(det2, T(2));
    EXPECT_EQ(x2[0], T(1));
    EXPECT_EQ(x2[1], T(1));

    // A row-permuted diag(1, 2, 3, 4): the permutation's sign disappears.
    const T A4[16] = {0, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 3, 0, 0, 4, 0};
    const T b4[4] = {2, 1, 8, 6};
    T x4[4];
    T det4 = 0;
    Matrix_4x4_4x1_mldivide(A4, b4, x4, &det4);
    EXPECT_EQ(det4, T(24));
    EXPECT_EQ(x4[0], T(1));
    EXPECT_EQ(x4[1], T(1));
    EXPECT_EQ(x4[2], T(2));
    EXPECT_EQ(x4[3], T(2));

    T A9[81] = {};
    T b9[9];
    for (int i = 0; i < 9; ++i) {
        A9[i + 9 * i] = T(-2);
        b9[i] = T(i);
    }
    T x9[9];
    T det9 = 0;
    Matrix_9x9_9x1_mldivide(A9, b9, x9, &det9);
    EXPECT_EQ(det9, T(512));
    EXPECT_EQ(x9[8], T(-4));
    Matrix_9x9_9x1_mldivide(A9, b9, x9, nullptr); // det may be null
    EXPECT_EQ(x9[2], T(-1));
}

TYPED_TEST(LuSolverTest, RowExchangesGiveExactSolutions)
{
    using T = TypeParam;
    const T identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const T reversed[9] = {0, 0, 1, 0, 1, 0, 1, 0, 0};
    const T b[3] = {0.1f, -7.25f, 3.0e5f};
    T x[3];
    Matrix_3x3_3x1_mldivide(identity, b, x);
    EXPECT_EQ(x[0], b[0]);
    EXPECT_EQ(x[1], b[1]);
    EXPECT_EQ(x[2], b[2]);
    Matrix_3x3_3x1_mldivide(reversed, b, x);
    EXPECT_EQ(x[0], b[2]);
    EXPECT_EQ(x[1], b[1]);
    EXPECT_EQ(x[2], b[0]);
}

TYPED_TEST(LuSolverTest, SingularSystemGivesNonFiniteValuesWithoutFailing)
{
    using T = TypeParam;
    const T zero[9] = {};
    const T b[3] = {1, 2, 3};
    T x[3] = {};
    Matrix_3x3_3x1_mldivide(zero, b, x);
    for (T v : x) {
        EXPECT_FALSE(std::isfinite(v));
    }
    const T zero2[4] = {};
    T x2[2];
    T det = -1;
    Matrix_2x2_2x1_mldivide(zero2, b, x2, &det);
    EXPECT_EQ(det, T(0));
}

TYPED_TEST(LuSolverTest, InPlaceSolverKeepsTheUpperRowOnAPivotTie)
{
    using T = TypeParam;
    // First column (1, -1, 0, 0): equal magnitudes, so row 0 stays the pivot.
    T A[16] = {1, -1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const T b[4] = {1, 1, 1, 1};
    T x[4];
    Matrix_4x4_4x1_mldivide(A, b, x);
    EXPECT_EQ(A[0], T(1));  // u11 from the upper row
    EXPECT_EQ(A[1], T(-1)); // multiplier -1 / 1 below it
    EXPECT_EQ(x[0], T(1));
    EXPECT_EQ(x[1], T(2));
}

TYPED_TEST(LuSolverTest, RightDivisionSatisfiesXTimesAEqualsB)
{
    using T = TypeParam;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<T> A = convert<T>(matrixtest::wellConditionedMatrix(3, seed));
        const std::vector<T> B = convert<T>(matrixtest::randomVector(12, seed)); // 4 x 3
        T X[12];
        Matrix_3x3_3x4_mrdivide(B.data(), A.data(), X);
        EXPECT_LT(maxAbsDifference(multiply(X, A.data(), 4, 3, 3), B), 8.0 * tolerance<T>());
    }
}

TEST(LuSolver, TwoByTwoRightDivisionAndInversesAreExactOnSimpleMatrices)
{
    const float A[4] = {0, 2, 4, 0}; // [0 4; 2 0]
    const float B[4] = {4, 2, 8, 12};
    float X[4];
    Matrix2x2_mrdivide(B, A, X);
    // X = B A^-1 = [2 2; 3 1], exact in float.
    EXPECT_EQ(maxAbsDifference(multiply(X, A, 2, 2, 2), std::vector<float>(B, B + 4)), 0.0);

    for (uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<float> A3 = convert<float>(matrixtest::wellConditionedMatrix(3, seed));
        float inv3[9];
        Matrix3x3_inv(A3.data(), inv3);
        EXPECT_LT(maxAbsDifference(multiply(A3.data(), inv3, 3, 3, 3),
                                   std::vector<double>{1, 0, 0, 0, 1, 0, 0, 0, 1}),
                  1e-6);
        const std::vector<float> A4 = convert<float>(matrixtest::wellConditionedMatrix(4, seed));
        float inv4[16];
        Matrix4x4_inv(A4.data(), inv4);
        EXPECT_LT(maxAbsDifference(multiply(A4.data(), inv4, 4, 4, 4),
                                   std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
                  1e-6);
    }
}

TEST(LuSolver, FloatingPointFormComputesAsFloatAndSaturatesItsSolution)
{
    // A singular system: the float solver gives inf and NaN, the FloatingPoint
    // one the range bounds, NaN reading as +2^31.
    const vnx::Fp32 zero[9] = {};
    const vnx::Fp32 b[3] = {1.0f, -1.0f, 0.0f};
    vnx::Fp32 saturated[3];
    Matrix_3x3_3x1_mldivide(zero, b, saturated);
    for (const vnx::Fp32& v : saturated) {
        EXPECT_EQ(std::fabs(v.value()), 2147483648.0f);
    }
    const vnx::Fp32 scaled[9] = {1.0e-30f, 0, 0, 0, 1, 0, 0, 0, 1};
    Matrix_3x3_3x1_mldivide(scaled, b, saturated);
    EXPECT_EQ(saturated[0].value(), 2147483648.0f);
    EXPECT_EQ(saturated[1].value(), -1.0f);

    for (uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<float> A = convert<float>(matrixtest::wellConditionedMatrix(3, seed));
        const std::vector<float> b = convert<float>(matrixtest::randomVector(3, seed));
        float x[3];
        Matrix_3x3_3x1_mldivide(A.data(), b.data(), x);

        vnx::Fp32 Af[9];
        vnx::Fp32 bf[3];
        vnx::Fp32 xf[3];
        std::copy(A.begin(), A.end(), Af);
        std::copy(b.begin(), b.end(), bf);
        Matrix_3x3_3x1_mldivide(Af, bf, xf);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(xf[i].value(), x[i]);
        }
    }
}

} // namespace
