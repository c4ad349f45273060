#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "matrixTestSupport.h"
#include "numerics/matrixSolversCholesky.h"
#include "numerics/matrixSolversGivens.h"
#include "numerics/matrixSolversQr.h"

namespace {

using matrixtest::convert;
using matrixtest::maxAbsDifference;
using matrixtest::multiply;
using matrixtest::transpose;
using vnx::Fp32;

std::vector<double> lowerTimesTranspose(const std::vector<double>& L, int n)
{
    return multiply(L.data(), transpose(L, n, n).data(), n, n, n);
}

struct RotgCase
{
    float a, b;
    float r, z, c, s;
};

TEST(Givens, RotgBuildsTheRotationThatZeroesB)
{
    const RotgCase cases[] = {
        {3.0f, 4.0f, 5.0f, 1.0f / 0.6f, 0.6f, 0.8f},
        {4.0f, 3.0f, 5.0f, 0.6f, 0.8f, 0.6f}, // |a| > |b|: z = s
        {-3.0f, 4.0f, 5.0f, 1.0f / -0.6f, -0.6f, 0.8f},
        {3.0f, -4.0f, -5.0f, 1.0f / -0.6f, -0.6f, 0.8f}, // r takes b's sign
        {-4.0f, 3.0f, -5.0f, -0.6f, 0.8f, -0.6f},        // r takes a's sign
        {0.0f, 2.0f, 2.0f, 1.0f, 0.0f, 1.0f},            // c = 0: z = 1
        {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f},            // nothing to rotate
    };
    for (const RotgCase& t : cases) {
        SCOPED_TRACE(::testing::Message() << "a " << t.a << " b " << t.b);
        float a = t.a;
        float b = t.b;
        float c = -9.0f;
        float s = -9.0f;
        rotg32(&a, &b, &c, &s);
        EXPECT_FLOAT_EQ(a, t.r);
        EXPECT_FLOAT_EQ(b, t.z);
        EXPECT_FLOAT_EQ(c, t.c);
        EXPECT_FLOAT_EQ(s, t.s);

        float x = t.a;
        float y = t.b;
        rot_real32(1, c, s, &x, &y);
        EXPECT_NEAR(x, t.r, 1e-6f);
        EXPECT_NEAR(y, 0.0f, 1e-6f);
    }
}

TEST(Givens, RotgOfThreeAndFourIsExact)
{
    float a = 3.0f;
    float b = 4.0f;
    float c = 0.0f;
    float s = 0.0f;
    rotg32(&a, &b, &c, &s);
    EXPECT_EQ(a, 5.0f);
    EXPECT_EQ(c, 0.6f);
    EXPECT_EQ(s, 0.8f);
    EXPECT_EQ(b, 1.0f / 0.6f);
}

TEST(Givens, RotationUsesTheOldValuesOfBothVectors)
{
    float x[3] = {1.0f, 0.0f, 2.0f};
    float y[3] = {0.0f, 1.0f, 2.0f};
    rot_real32(2, 0.0f, 1.0f, x, y); // quarter turn on the first two pairs
    EXPECT_EQ(x[0], 0.0f);
    EXPECT_EQ(y[0], -1.0f);
    EXPECT_EQ(x[1], 1.0f);
    EXPECT_EQ(y[1], 0.0f);
    EXPECT_EQ(x[2], 2.0f); // beyond n: untouched
    EXPECT_EQ(y[2], 2.0f);
}

TEST(Cholesky, FactorsRebuildPositiveDefiniteMatrices)
{
    for (int n : {2, 3, 5, 9}) {
        SCOPED_TRACE(n);
        const std::vector<double> A =
            matrixtest::symmetricPositiveDefinite(n, static_cast<uint32_t>(n), nullptr);
        std::vector<float> in = convert<float>(A);
        for (int j = 1; j < n; ++j) {
            in[0 + n * j] = 1.0e9f; // upper triangle is never read
        }
        std::vector<float> L(n * n, -1.0f);
        cholesky_f(in.data(), L.data(), n);
        for (int j = 1; j < n; ++j) {
            for (int i = 0; i < j; ++i) {
                EXPECT_EQ(L[i + n * j], 0.0f);
            }
        }
        EXPECT_LT(maxAbsDifference(lowerTimesTranspose(std::vector<double>(L.begin(), L.end()), n), A), 1e-5);

        std::vector<Fp32> inFixed(in.begin(), in.end());
        std::vector<Fp32> LFixed(n * n);
        cholesky(inFixed.data(), LFixed.data(), n);
        for (int i = 0; i < n * n; ++i) {
            EXPECT_EQ(LFixed[i].value(), L[i]); // same float arithmetic
        }
    }

    const std::vector<double> A3 = matrixtest::symmetricPositiveDefinite(3, 11, nullptr);
    const std::vector<float> in3 = convert<float>(A3);
    float L3[9];
    Cholesky_decomposition(in3.data(), L3);
    EXPECT_LT(maxAbsDifference(lowerTimesTranspose(std::vector<double>(L3, L3 + 9), 3), A3), 1e-5);
}

TEST(Cholesky, NonPositivePivotLeavesAFiniteZeroColumn)
{
    // [1 1 0; 1 1 0; 0 0 4]: the second pivot is 0.
    const float A[9] = {1, 1, 0, 1, 1, 0, 0, 0, 4};
    float L[9];
    cholesky_f(A, L, 3);
    const float expected[9] = {1, 1, 0, 0, 0, 0, 0, 0, 2};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(L[i], expected[i]) << i;
    }
    const float negative[4] = {-1, 2, 2, 3};
    float L2[4];
    cholesky_f(negative, L2, 2);
    EXPECT_EQ(L2[0], 0.0f);
    EXPECT_EQ(L2[1], 0.0f);
    EXPECT_EQ(L2[3], std::sqrt(3.0f));
}

TEST(Qr, OrthogonalFactorTriangularisesTheMatrix)
{
    std::vector<std::vector<double>> matrices;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        matrices.push_back(matrixtest::wellConditionedMatrix(3, seed));
    }
    matrices.push_back({1, 0, 0, 0, 1, 0, 0, 0, 1});
    matrices.push_back({0, 0, 0, 1, 2, 3, 4, 5, 7});                                   // zero first column
    matrices.push_back({1e-35, 2e-35, -1e-35, 3e-35, 1e-35, 0, 1e-35, -2e-35, 4e-35}); // rescaled reflectors
    matrices.push_back({2, 0, 0, 1, 3, 0, -1, 2, 4});                                  // already triangular
    for (size_t m = 0; m < matrices.size(); ++m) {
        SCOPED_TRACE(m);
        const std::vector<float> A = convert<float>(matrices[m]);
        float Q[9];
        QR_3x3(Q, A.data());
        EXPECT_LT(matrixtest::orthogonalityError(Q, 3), 1e-6);
        const std::vector<double> R =
            multiply(transpose(std::vector<double>(Q, Q + 9), 3, 3).data(), A.data(), 3, 3, 3);
        double scale = 0.0;
        for (float a : A) {
            scale = std::fmax(scale, std::fabs(a));
        }
        EXPECT_LT(std::fabs(R[1]) + std::fabs(R[2]) + std::fabs(R[5]), 1e-6 * scale);
        EXPECT_LT(maxAbsDifference(multiply(Q, R.data(), 3, 3, 3), A), 1e-6 * scale);
    }
}

} // namespace
