#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "matrixTestSupport.h"
#include "numerics/svd.h"
#include "numerics/svdJacobi.h"
#include "numerics/wahba.h"

namespace {

using matrixtest::maxAbsDifference;
using matrixtest::multiply;
using matrixtest::orthogonalityError;
using matrixtest::transpose;
using vnx::Fp32;

// U (m x m) diag(s) V^T (V n x n) as an m x n matrix.
std::vector<double> rebuild(const float* U, const float* s, const float* V, int m, int n)
{
    std::vector<double> A(m * n, 0.0);
    for (int k = 0; k < std::min(m, n); ++k) {
        for (int i = 0; i < m; ++i) {
            for (int j = 0; j < n; ++j) {
                A[i + m * j] += static_cast<double>(U[i + m * k]) * s[k] * V[j + n * k];
            }
        }
    }
    return A;
}

svdOutput_t decompose(const std::vector<float>& A)
{
    svdOutput_t out;
    svdIntermediateResult work;
    svdSimulink(A.data(), &out, &work);
    return out;
}

std::vector<float> rotationAbout(int axis, float angle)
{
    std::vector<float> R{1, 0, 0, 0, 1, 0, 0, 0, 1};
    const int a = (axis + 1) % 3;
    const int b = (axis + 2) % 3;
    R[a + 3 * a] = std::cos(angle);
    R[b + 3 * b] = std::cos(angle);
    R[b + 3 * a] = std::sin(angle);
    R[a + 3 * b] = -std::sin(angle);
    return R;
}

TEST(SvdSimulink, DiagonalMatrixGivesItsValuesInDescendingOrder)
{
    const svdOutput_t out = decompose({1, 0, 0, 0, 3, 0, 0, 0, 2});
    EXPECT_EQ(out.singularValues[0], 3.0f);
    EXPECT_EQ(out.singularValues[1], 2.0f);
    EXPECT_EQ(out.singularValues[2], 1.0f);
    // U and V are permutations up to sign: one entry of magnitude 1 per column.
    for (const float* M : {out.U, out.V}) {
        for (int j = 0; j < 3; ++j) {
            int ones = 0;
            for (int i = 0; i < 3; ++i) {
                const float a = std::fabs(M[i + 3 * j]);
                EXPECT_TRUE(a == 0.0f || a == 1.0f);
                ones += a == 1.0f;
            }
            EXPECT_EQ(ones, 1);
        }
    }
    EXPECT_EQ(maxAbsDifference(rebuild(out.U, out.singularValues, out.V, 3, 3),
                               std::vector<float>{1, 0, 0, 0, 3, 0, 0, 0, 2}),
              0.0);
}

TEST(SvdSimulink, IdentityAndZero)
{
    const svdOutput_t identity = decompose({1, 0, 0, 0, 1, 0, 0, 0, 1});
    for (float s : identity.singularValues) {
        EXPECT_EQ(s, 1.0f);
    }
    const std::vector<double> UVt = multiply(
        identity.U, transpose(std::vector<double>(identity.V, identity.V + 9), 3, 3).data(), 3, 3, 3);
    EXPECT_EQ(maxAbsDifference(UVt, std::vector<double>{1, 0, 0, 0, 1, 0, 0, 0, 1}), 0.0);

    const svdOutput_t zero = decompose(std::vector<float>(9, 0.0f));
    for (float s : zero.singularValues) {
        EXPECT_EQ(s, 0.0f);
    }
    EXPECT_LT(orthogonalityError(zero.U, 3), 1e-7);
    EXPECT_LT(orthogonalityError(zero.V, 3), 1e-7);
}

TEST(SvdSimulink, GeneralMatricesDecomposeIntoOrthogonalFactors)
{
    std::vector<std::vector<float>> matrices;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        matrices.push_back(matrixtest::convert<float>(matrixtest::wellConditionedMatrix(3, seed)));
        std::vector<float> random(9);
        matrixtest::Lcg lcg(seed * 31u);
        for (float& v : random) {
            v = static_cast<float>(lcg.next());
        }
        matrices.push_back(random);
    }
    matrices.push_back({1, 2, 3, 2, 4, 6, -1, 0, 1});         // rank 2
    matrices.push_back({1, 2, 3, 2, 4, 6, 3, 6, 9});          // rank 1
    matrices.push_back({1e-20f, 0, 0, 0, 1e20f, 0, 0, 1, 0}); // wide range of scales
    for (size_t m = 0; m < matrices.size(); ++m) {
        SCOPED_TRACE(m);
        const std::vector<float>& A = matrices[m];
        const svdOutput_t out = decompose(A);
        double norm = 0.0;
        for (float a : A) {
            norm = std::fmax(norm, std::fabs(a));
        }
        EXPECT_LT(maxAbsDifference(rebuild(out.U, out.singularValues, out.V, 3, 3), A), 4e-6 * norm);
        EXPECT_LT(orthogonalityError(out.U, 3), 1e-6);
        EXPECT_LT(orthogonalityError(out.V, 3), 1e-6);
        EXPECT_GE(out.singularValues[0], out.singularValues[1]);
        EXPECT_GE(out.singularValues[1], out.singularValues[2]);
        EXPECT_GE(out.singularValues[2], 0.0f);
    }
}

TEST(DspSvd, NonFiniteInputReportsMinusOne)
{
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        for (int position : {0, 4, 8, 5}) {
            SCOPED_TRACE(::testing::Message() << bad << " at " << position);
            float X[9] = {2, 1, 0, 1, 3, 1, 0, 1, 4};
            X[position] = bad;
            float s[3], e[3], work[3], U[9], V[9];
            EXPECT_EQ(DSP_SVD_R(X, 3, 3, s, e, work, U, V, 1), -1);
        }
    }
}

TEST(DspSvd, RectangularMatricesUseFullSquareFactors)
{
    struct Shape
    {
        int m, n;
    };
    for (const Shape shape : {Shape{4, 3}, Shape{2, 3}, Shape{3, 2}, Shape{1, 3}, Shape{3, 1}}) {
        const int m = shape.m;
        const int n = shape.n;
        SCOPED_TRACE(::testing::Message() << m << " x " << n);
        std::vector<float> A(m * n);
        matrixtest::Lcg lcg(static_cast<uint32_t>(10 * m + n));
        for (float& v : A) {
            v = static_cast<float>(lcg.next());
        }
        std::vector<float> X = A;
        std::vector<float> s(std::min(m + 1, n)), e(n), work(m), U(m * m), V(n * n);
        EXPECT_EQ(DSP_SVD_R(X.data(), m, n, s.data(), e.data(), work.data(), U.data(), V.data(), 1), 0);
        EXPECT_LT(maxAbsDifference(rebuild(U.data(), s.data(), V.data(), m, n), A), 4e-6);
        EXPECT_LT(orthogonalityError(U.data(), m), 1e-6);
        EXPECT_LT(orthogonalityError(V.data(), n), 1e-6);
        for (int k = 0; k + 1 < std::min(m, n); ++k) {
            EXPECT_GE(s[k], s[k + 1]);
        }
    }
}

TEST(DspSvd, ValuesWithoutVectorsMatchValuesWithVectors)
{
    const std::vector<float> A = matrixtest::convert<float>(matrixtest::wellConditionedMatrix(3, 9));
    std::vector<float> X = A;
    float s[3], e[3], work[3], U[9], V[9];
    ASSERT_EQ(DSP_SVD_R(X.data(), 3, 3, s, e, work, U, V, 1), 0);
    X = A;
    float sOnly[3];
    ASSERT_EQ(DSP_SVD_R(X.data(), 3, 3, sOnly, e, work, nullptr, nullptr, 0), 0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(sOnly[k], s[k]);
    }
}

TEST(SvdJacobi, AgreesWithTheBidiagonalSvd)
{
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        // Row-major reading of the Jacobi routine: pass the transpose so that
        // both routines see the same matrix.
        const std::vector<double> A = matrixtest::wellConditionedMatrix(3, seed);
        const std::vector<double> rowMajor = transpose(A, 3, 3);
        Fp32 work[9], U[9], sigma[3], V[9];
        std::copy(rowMajor.begin(), rowMajor.end(), work);
        svdFixed3x3(work, U, sigma, V);

        const svdOutput_t reference = decompose(matrixtest::convert<float>(A));
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(sigma[k].value(), reference.singularValues[k], 1e-4 * reference.singularValues[0]);
        }
        // A = U diag(sigma) V^T with the vectors as columns of row-major arrays.
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                double sum = 0.0;
                for (int k = 0; k < 3; ++k) {
                    sum +=
                        static_cast<double>(U[3 * r + k].value()) * sigma[k].value() * V[3 * c + k].value();
                }
                EXPECT_NEAR(sum, A[r + 3 * c], 1e-5 * reference.singularValues[0]);
            }
        }
        float Vt[9], Ut[9];
        for (int i = 0; i < 9; ++i) {
            Vt[i] = V[i].value(); // orthogonality is the same for V and V^T
            Ut[i] = U[i].value();
        }
        EXPECT_LT(orthogonalityError(Vt, 3), 1e-6);
        EXPECT_LT(orthogonalityError(Ut, 3), 1e-3); // two sweeps, no convergence test
    }
}

TEST(SvdJacobi, ZeroMatrixLeavesUZero)
{
    Fp32 A[9] = {};
    Fp32 U[9], sigma[3], V[9];
    svdFixed3x3(A, U, sigma, V);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(sigma[k].value(), 0.0f);
    }
    for (const Fp32& u : U) {
        EXPECT_EQ(u.value(), 0.0f);
    }
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(V[i].value(), i % 4 == 0 ? 1.0f : 0.0f);
    }
}

void expectProperRotation(const float* R)
{
    EXPECT_LT(orthogonalityError(R, 3), 2e-6);
    EXPECT_NEAR(matrixtest::determinant3x3(R), 1.0, 2e-6);
}

TEST(Wahba, RotationInputIsReturned)
{
    for (int axis = 0; axis < 3; ++axis) {
        for (float angle : {0.0f, 0.3f, -1.2f, 2.9f}) {
            SCOPED_TRACE(::testing::Message() << "axis " << axis << " angle " << angle);
            const std::vector<float> B = rotationAbout(axis, angle);
            float R[9];
            solveWahbaUsingSVD(B.data(), R);
            EXPECT_LT(maxAbsDifference(std::vector<float>(R, R + 9), B), 1e-5);
            expectProperRotation(R);
        }
    }
}

TEST(Wahba, ReflectionAndDegenerateInputsGiveProperRotations)
{
    const std::vector<std::vector<float>> inputs = {
        {1, 0, 0, 0, 1, 0, 0, 0, -1},                                // reflection
        {-1, 0, 0, 0, -1, 0, 0, 0, -1}, {0, 1, 0, 1, 0, 0, 0, 0, 1}, // swap of two axes
        {1, 2, 3, 2, 4, 6, 3, 6, 9},                                 // rank 1
        {1, 0, 0, 0, 1, 0, 0, 0, 0},                                 // rank 2
        std::vector<float>(9, 0.0f),
    };
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        float R[9];
        solveWahbaUsingSVD(inputs[i].data(), R);
        expectProperRotation(R);
    }
}

TEST(Wahba, WeightedProfileOfARotationRecoversIt)
{
    // B = R0 diag(w): the profile of unit vectors along the axes, weighted.
    const std::vector<float> R0 = matrixtest::convert<float>(
        multiply(rotationAbout(0, 0.7f).data(), rotationAbout(2, -0.4f).data(), 3, 3, 3));
    const float weights[3] = {3.0f, 0.5f, 0.05f};
    std::vector<float> B(9);
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            B[i + 3 * j] = R0[i + 3 * j] * weights[j];
        }
    }
    float R[9];
    solveWahbaUsingSVD(B.data(), R);
    EXPECT_LT(maxAbsDifference(std::vector<float>(R, R + 9), R0), 1e-5);
}

} // namespace
