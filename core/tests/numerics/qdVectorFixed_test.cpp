#include "numerics/qdVectorFixed.h"

#include <gtest/gtest.h>

namespace vnx::qdVectorFixed {
namespace {

TEST(QdVector, ElementwiseArithmeticAndProducts)
{
    const Vector3 a{1.0f, 2.0f, 3.0f};
    const Vector3 b{-4.0f, 0.5f, 2.0f};
    EXPECT_EQ(a + b, (Vector3{-3.0f, 2.5f, 5.0f}));
    EXPECT_EQ(a - b, (Vector3{5.0f, 1.5f, 1.0f}));
    EXPECT_EQ(a * Fp32(2.0f), (Vector3{2.0f, 4.0f, 6.0f}));
    EXPECT_EQ(Fp32(2.0f) * a, a * Fp32(2.0f));
    EXPECT_EQ(a / Fp32(2.0f), (Vector3{0.5f, 1.0f, 1.5f}));
    EXPECT_EQ(-a, (Vector3{-1.0f, -2.0f, -3.0f}));
    EXPECT_EQ(elementMul(a, b), (Vector3{-4.0f, 1.0f, 6.0f}));
    EXPECT_EQ(dot(a, b).value(), 3.0f);
    EXPECT_EQ(cross(a, b), (Vector3{2.5f, -14.0f, 8.5f}));
    EXPECT_EQ(a.normSquared().value(), 14.0f);
    EXPECT_EQ((Vector3{3.0f, 4.0f, 0.0f}).norm().value(), 5.0f);
}

TEST(QdVector, InfinityNormCountsTheLowerBoundAsTheUpper)
{
    const vector<Fp32, 6> v{1.0f, -2147483648.0f, 5.0f, 0.0f, -3.0f, 2.0f};
    EXPECT_EQ(v.infNorm().value(), 2147483648.0f);
    const vector<Fp32, 2> w{-7.0f, 6.0f};
    EXPECT_EQ(w.infNorm().value(), 7.0f);
}

TEST(QdVector, IsAPlainArrayOfFloats)
{
    static_assert(sizeof(vector<Fp32, 21>) == 21 * sizeof(float));
    static_assert(sizeof(matrix<Fp32, 9, 9>) == 81 * sizeof(float));
    Vector3 v{};
    EXPECT_EQ(v, Vector3::zeros());
    v.fill(Fp32(2.0f));
    EXPECT_EQ(v[2].value(), 2.0f);
}

TEST(QdMatrix, StoredRowByRow)
{
    Matrix3 m{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f};
    EXPECT_EQ(m(0, 1).value(), 2.0f);
    EXPECT_EQ(m(1, 0).value(), 4.0f);
    EXPECT_EQ(m.row(2), (Vector3{7.0f, 8.0f, 9.0f}));
    EXPECT_EQ(m.column(2), (Vector3{3.0f, 6.0f, 9.0f}));
    EXPECT_EQ(m.transpose()(0, 1).value(), 4.0f);
    m.setColumn(0, Vector3{});
    m.setRow(2, Vector3{{1.0f, 1.0f, 1.0f}});
    EXPECT_EQ(m, (Matrix3{0.0f, 2.0f, 3.0f, 0.0f, 5.0f, 6.0f, 1.0f, 1.0f, 1.0f}));
}

TEST(QdMatrix, Products)
{
    const matrix<Fp32, 2, 3> a{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};
    const matrix<Fp32, 3, 2> b{7.0f, 8.0f, 9.0f, 10.0f, 11.0f, 12.0f};
    EXPECT_EQ(a * b, (matrix<Fp32, 2, 2>{58.0f, 64.0f, 139.0f, 154.0f}));
    EXPECT_EQ((a * Vector3{1.0f, 0.0f, -1.0f}), (vector<Fp32, 2>{-2.0f, -2.0f}));
    EXPECT_EQ((Matrix3::identity() * Vector3{1.0f, 2.0f, 3.0f}), (Vector3{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(Matrix3::identity() + Matrix3::identity(), Matrix3::identity() * Fp32(2.0f));
    EXPECT_EQ((Matrix3::identity() - Matrix3::identity()), Matrix3::zeros());
}

TEST(QdQuaternion, HamiltonProductAndConjugate)
{
    const Quaternion i{0.0f, 1.0f, 0.0f, 0.0f}, j{0.0f, 0.0f, 1.0f, 0.0f}, k{0.0f, 0.0f, 0.0f, 1.0f};
    EXPECT_EQ(i * j, k);
    EXPECT_EQ(j * k, i);
    EXPECT_EQ(k * i, j);
    EXPECT_EQ(j * i, -k);
    const Quaternion q{0.5f, -0.5f, 0.5f, 0.5f};
    EXPECT_EQ(q * q.conj(), Quaternion::identity());
    EXPECT_EQ(q.conj(), (Quaternion{0.5f, 0.5f, -0.5f, -0.5f}));
    EXPECT_EQ(dot(q, q).value(), 1.0f);
}

TEST(QdQuaternion, RenormalizesOnlyOutsideTheBand)
{
    Quaternion inBand{1.00000005f, 0.0f, 0.0f, 0.0f};
    const Quaternion before = inBand;
    inBand.renormalize();
    EXPECT_EQ(inBand, before);
    Quaternion outside{2.0f, 0.0f, 0.0f, 0.0f};
    outside.renormalize();
    EXPECT_EQ(outside, Quaternion::identity());
    Quaternion scaled{0.6f, 0.0f, 0.8f * 1.1f, 0.0f};
    scaled.renormalize();
    EXPECT_NEAR(scaled.normSquared().value(), 1.0f, 2e-7f);
}

} // namespace
} // namespace vnx::qdVectorFixed
