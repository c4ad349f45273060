#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "matrixTestSupport.h"
#include "numerics/matrixSolversLdl.h"

namespace {

using matrixtest::convert;
using matrixtest::maxAbsDifference;
using matrixtest::multiply;
using matrixtest::SolverCase;
using matrixtest::tolerance;
using vnx::Fp32;

template <typename T> std::vector<SolverCase<T>> ldlCases()
{
    return {{"2x2", 2, Matrix_2x2_2x1_ldl},
            {"3x3", 3, Matrix_3x3_3x1_ldl},
            {"4x4", 4, Matrix_4x4_4x1_ldl},
            {"6x6", 6, Matrix_6x6_6x1_ldl},
            {"9x9", 9, Matrix_9x9_9x1_ldl}};
}

// Fills the strictly upper triangle with NaN: the solvers must not read it.
template <typename T> void poisonUpperTriangle(std::vector<T>& A, int n)
{
    for (int j = 1; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            A[i + n * j] = std::numeric_limits<T>::quiet_NaN();
        }
    }
}

template <typename T> class LdlSolverTest : public ::testing::Test
{
};
using ElementTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(LdlSolverTest, ElementTypes);

TYPED_TEST(LdlSolverTest, SolvesSymmetricPositiveDefiniteSystemsFromTheLowerTriangle)
{
    using T = TypeParam;
    for (const SolverCase<T>& c : ldlCases<T>()) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(::testing::Message() << c.name << " seed " << seed);
            double detTrue = 0.0;
            const std::vector<double> A = matrixtest::symmetricPositiveDefinite(c.n, seed, &detTrue);
            const std::vector<double> xTrue = matrixtest::randomVector(c.n, seed);
            const std::vector<T> b = convert<T>(multiply(A.data(), xTrue.data(), c.n, c.n, 1));
            std::vector<T> lower = convert<T>(A);
            poisonUpperTriangle(lower, c.n);
            std::vector<T> x(c.n);
            T det = 0;
            c.solve(lower.data(), b.data(), x.data(), &det);

            EXPECT_LT(maxAbsDifference(x, xTrue), 4.0 * tolerance<T>());
            const std::vector<T> full = convert<T>(A);
            EXPECT_LT(maxAbsDifference(multiply(full.data(), x.data(), c.n, c.n, 1), b),
                      4.0 * c.n * tolerance<T>());
            if (c.n > 2) {
                EXPECT_NEAR(det / detTrue, 1.0, 8.0 * tolerance<T>());
            }
            c.solve(lower.data(), b.data(), x.data(), nullptr); // det may be null
        }
    }
}

TYPED_TEST(LdlSolverTest, TwoByTwoClosedFormSquaresTheFirstPivotInTheDeterminant)
{
    using T = TypeParam;
    const T A[4] = {4, 2, 2, 3};
    const T b[2] = {2, 1};
    T x[2];
    T det = 0;
    Matrix_2x2_2x1_ldl(A, b, x, &det);
    EXPECT_EQ(x[0], T(0.5));
    EXPECT_EQ(x[1], T(0));
    EXPECT_EQ(det, T(32)); // |d2 * d1 * d1| with d1 = 4, d2 = 2
}

TYPED_TEST(LdlSolverTest, ZeroPivotDropsItsComponent)
{
    using T = TypeParam;
    T A[81] = {};
    T b[9];
    for (int i = 0; i < 9; ++i) {
        A[i + 9 * i] = T(i + 1);
        b[i] = T(2 * (i + 1));
    }
    A[4 + 9 * 4] = 0;
    T x[9];
    T det = -1;
    Matrix_9x9_9x1_ldl(A, b, x, &det);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(x[i], i == 4 ? T(0) : T(2)) << i;
    }
    EXPECT_EQ(det, T(0));

    // Rank one: [1 1; 1 1] in a 3 x 3 with a zero row and column.
    const T singular[9] = {1, 1, 0, 1, 1, 0, 0, 0, 0};
    const T b3[3] = {2, 2, 5};
    T x3[3];
    Matrix_3x3_3x1_ldl(singular, b3, x3, &det);
    for (T v : x3) {
        EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_EQ(x3[0], T(2));
    EXPECT_EQ(det, T(0));
}

TYPED_TEST(LdlSolverTest, FactorRebuildsThePositiveDefiniteMatrix)
{
    using T = TypeParam;
    const int n = 6;
    const std::vector<double> A = matrixtest::symmetricPositiveDefinite(n, 5, nullptr);
    std::vector<T> factor = convert<T>(A);
    std::vector<T> work(n);
    bool notPositiveDefinite = true;
    MWDSP_LDL_R(factor.data(), work.data(), n, &notPositiveDefinite);
    EXPECT_FALSE(notPositiveDefinite);

    std::vector<double> rebuilt(n * n, 0.0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int k = 0; k <= std::min(i, j); ++k) {
                const double lik = i == k ? 1.0 : factor[i + n * k];
                const double ljk = j == k ? 1.0 : factor[j + n * k];
                sum += lik * factor[k + n * k] * ljk;
            }
            rebuilt[i + n * j] = sum;
            if (i < j) {
                EXPECT_EQ(factor[i + n * j], factor[j + n * i]); // L^T mirrored above
            }
        }
    }
    EXPECT_LT(maxAbsDifference(rebuilt, A), 16.0 * tolerance<T>());
}

TYPED_TEST(LdlSolverTest, FactorStopsAtTheFirstNonPositivePivot)
{
    using T = TypeParam;
    T A[9] = {-1, 2, 3, 2, 5, 6, 3, 6, 9};
    const T original[9] = {-1, 2, 3, 2, 5, 6, 3, 6, 9};
    T work[3];
    bool notPositiveDefinite = false;
    MWDSP_LDL_R(A, work, 3, &notPositiveDefinite);
    EXPECT_TRUE(notPositiveDefinite);
    for (int i = 1; i < 9; ++i) {
        EXPECT_EQ(A[i], original[i]) << i; // stopped before touching column 0
    }

    // Positive first pivot, zero second: [1 1; 1 1].
    T B[4] = {1, 1, 1, 1};
    MWDSP_LDL_R(B, work, 2, &notPositiveDefinite);
    EXPECT_TRUE(notPositiveDefinite);
    EXPECT_EQ(B[3], T(0));

    // A NaN pivot is not positive definite either.
    T C[4] = {std::numeric_limits<T>::quiet_NaN(), 0, 0, 1};
    notPositiveDefinite = false;
    MWDSP_LDL_R(C, work, 2, &notPositiveDefinite);
    EXPECT_TRUE(notPositiveDefinite);
}

TYPED_TEST(LdlSolverTest, SubstitutionsSolveUnitTriangularSystemsInPlace)
{
    using T = TypeParam;
    // Lower part [1 0 0; 2 1 0; -1 3 1], upper part [1 4 -2; 0 1 5; 0 0 1].
    const T factor[9] = {1, 2, -1, 4, 1, 3, -2, 5, 1};
    const T x[6] = {1, -2, 3, 0.5, 0, -1}; // two right sides
    const T lower[9] = {1, 2, -1, 0, 1, 3, 0, 0, 1};
    const T upper[9] = {1, 0, 0, 4, 1, 0, -2, 5, 1};
    const std::vector<double> bLower = multiply(lower, x, 3, 3, 2);
    const std::vector<double> bUpper = multiply(upper, x, 3, 3, 2);

    std::vector<T> solved = convert<T>(bLower);
    MWDSP_FSub_U_RR_R(factor, solved.data(), solved.data(), 3, 2);
    EXPECT_EQ(maxAbsDifference(solved, std::vector<T>(x, x + 6)), 0.0);

    std::vector<T> b = convert<T>(bUpper);
    MWDSP_BSub_U_RR_R(factor, b.data(), solved.data(), 3, 2);
    EXPECT_EQ(maxAbsDifference(solved, std::vector<T>(x, x + 6)), 0.0);
}

TYPED_TEST(LdlSolverTest, InverseFromTheFactorAndItsFlag)
{
    using T = TypeParam;
    using Work = Inv9x9IntermediateResult<T>;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<T> A = convert<T>(matrixtest::symmetricPositiveDefinite(9, seed, nullptr));
        T inverse[81];
        Work work{};
        work.notPositiveDefinite = true;
        Matrix_9x9_inv_LDL_simulink(A.data(), inverse, &work);
        EXPECT_FALSE(work.notPositiveDefinite);
        std::vector<double> identity(81, 0.0);
        for (int i = 0; i < 9; ++i) {
            identity[i + 9 * i] = 1.0;
        }
        EXPECT_LT(maxAbsDifference(multiply(A.data(), inverse, 9, 9, 9), identity), 16.0 * tolerance<T>());
    }

    T indefinite[81] = {};
    for (int i = 0; i < 9; ++i) {
        indefinite[i + 9 * i] = i == 3 ? T(-1) : T(1);
    }
    T inverse[81];
    Work work{};
    Matrix_9x9_inv_LDL_simulink(indefinite, inverse, &work);
    EXPECT_TRUE(work.notPositiveDefinite);
}

TEST(LdlSolverFloatingPoint, UnitScaleMatchesTheFloatSolver)
{
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        double detTrue = 0.0;
        const std::vector<float> A = convert<float>(matrixtest::symmetricPositiveDefinite(9, seed, &detTrue));
        const std::vector<float> b = convert<float>(matrixtest::randomVector(9, seed));
        float x[9];
        float det = 0;
        Matrix_9x9_9x1_ldl(A.data(), b.data(), x, &det);

        Fp32 Af[81];
        Fp32 bf[9];
        Fp32 xf[9];
        Fp32 detf;
        std::copy(A.begin(), A.end(), Af);
        std::copy(b.begin(), b.end(), bf);
        Matrix_9x9_9x1_ldl(Af, bf, xf, &detf, Fp32(1.0f));
        for (int i = 0; i < 9; ++i) {
            EXPECT_NEAR(xf[i].value(), x[i], 1e-6f * std::fabs(x[i]) + 1e-6f);
        }
        EXPECT_NEAR(detf.value() / detTrue, 1.0, 1e-4);

        // scale 2 solves (2A) x = b: half the solution, 2^9 times the determinant.
        Fp32 xHalf[9];
        Fp32 detScaled;
        Matrix_9x9_9x1_ldl(Af, bf, xHalf, &detScaled, Fp32(2.0f));
        for (int i = 0; i < 9; ++i) {
            EXPECT_NEAR(xHalf[i].value(), 0.5f * xf[i].value(), 1e-6f * std::fabs(x[i]) + 1e-6f);
        }
        EXPECT_NEAR(detScaled.value() / detf.value(), 512.0, 512.0 * 1e-5);
    }
}

TEST(LdlSolverFloatingPoint, TinyPivotsAndHugeValuesSaturate)
{
    Fp32 A[81] = {};
    Fp32 b[9];
    for (int i = 0; i < 9; ++i) {
        A[i + 9 * i] = Fp32(1.0f);
        b[i] = Fp32(1.0f);
    }
    A[2 + 9 * 2] = Fp32(1.0e-6f); // below the pivot floor
    A[5 + 9 * 5] = Fp32(-4.0f);   // negative pivots are floored too
    Fp32 x[9];
    Fp32 det;
    Matrix_9x9_9x1_ldl(A, b, x, &det, Fp32(1.0f));
    EXPECT_EQ(x[0].value(), 1.0f);
    EXPECT_EQ(x[2].value(), 2147483648.0f);
    EXPECT_EQ(x[5].value(), 2147483648.0f);
    EXPECT_NEAR(det.value(), 4.0e-6f, 1e-11f);

    // The determinant product overflows the range: it saturates, and the
    // lower bound reads as the upper one.
    for (int i = 0; i < 9; ++i) {
        A[i + 9 * i] = Fp32(i == 0 ? -1.0e4f : 1.0e4f);
    }
    Matrix_9x9_9x1_ldl(A, b, x, &det, Fp32(1.0f));
    EXPECT_EQ(det.value(), 2147483648.0f);
    for (const Fp32& v : x) {
        EXPECT_LE(std::fabs(v.value()), 2147483648.0f);
    }
}

} // namespace
