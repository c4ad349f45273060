#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "matrixTestSupport.h"
#include "numerics/matrixProducts.h"

namespace {

using matrixtest::multiply;

// Small integers keep every float and double product exact, so the results
// must equal the double reference bit for bit.
template <typename T> std::vector<T> integerMatrix(int count, int seed)
{
    std::vector<T> v(count);
    for (int i = 0; i < count; ++i) {
        v[i] = static_cast<T>(((i * 7 + seed * 13) % 11) - 5);
    }
    return v;
}

template <typename T> using Product = void (*)(const T*, const T*, T*);

template <typename T> struct ProductCase
{
    const char* name;
    int m, n, p;
    Product<T> multiply;
};

template <typename T> void expectExactProducts(const std::vector<ProductCase<T>>& cases)
{
    for (const ProductCase<T>& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<T> A = integerMatrix<T>(c.m * c.n, 1);
        const std::vector<T> B = integerMatrix<T>(c.n * c.p, 2);
        std::vector<T> P(c.m * c.p, T(-99));
        c.multiply(A.data(), B.data(), P.data());
        EXPECT_EQ(matrixtest::maxAbsDifference(P, multiply(A.data(), B.data(), c.m, c.n, c.p)), 0.0);
    }
}

TEST(MatrixProducts, FixedSizeProductsMatchTheReference)
{
    expectExactProducts<float>({{"3x3 * 3x1", 3, 3, 1, Matrix_3x3_3x1_multiply},
                                {"1x9 * 9x9", 1, 9, 9, Matrix_1x9_9x9_multiply},
                                {"3x3 * 3x3", 3, 3, 3, Matrix_3x3_3x3_multiply},
                                {"9x9 * 9x1", 9, 9, 1, Matrix_9x9_9x1_multiply},
                                {"9x9 * 9x9", 9, 9, 9, Matrix_9x9_9x9_multiply}});
    expectExactProducts<double>(
        {{"9x9 * 9x1", 9, 9, 1, Matrix_9x9_9x1_multiply}, {"9x9 * 9x9", 9, 9, 9, Matrix_9x9_9x9_multiply}});
}

TEST(MatrixProducts, RowVectorTimesMatrixTakesTheMatrixColumns)
{
    float x[9] = {};
    x[2] = 1.0f; // picks row 2 of A
    std::vector<float> A = integerMatrix<float>(81, 3);
    float y[9];
    Matrix_1x9_9x9_multiply(x, A.data(), y);
    for (int j = 0; j < 9; ++j) {
        EXPECT_EQ(y[j], A[2 + 9 * j]);
    }
}

TEST(MatrixProducts, TransposesInPlace)
{
    float A3[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    Matrix_3x3_transpose(A3);
    const float expected3[9] = {1, 4, 7, 2, 5, 8, 3, 6, 9};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(A3[i], expected3[i]);
    }

    std::vector<float> A9f(81);
    std::vector<double> A9d(81);
    for (int i = 0; i < 81; ++i) {
        A9f[i] = static_cast<float>(i);
        A9d[i] = i;
    }
    Matrix_9x9_transpose(A9f.data());
    Matrix_9x9_transpose(A9d.data());
    for (int i = 0; i < 9; ++i) {
        for (int j = 0; j < 9; ++j) {
            EXPECT_EQ(A9f[i + 9 * j], static_cast<float>(j + 9 * i));
            EXPECT_EQ(A9d[i + 9 * j], static_cast<double>(j + 9 * i));
        }
    }
}

TEST(MatrixProducts, GenericProductTakesItsSizesFromTheArray)
{
    const std::vector<float> A = integerMatrix<float>(2 * 3, 4);
    const std::vector<float> B = integerMatrix<float>(3 * 4, 5);
    using Fn = void (*)(float*, const float*, const float*, const int*);
    for (Fn product : {static_cast<Fn>(MatMultRR_Sgl), static_cast<Fn>(rt_MatMultRR_Sgl)}) {
        const int dims[3] = {2, 3, 4};
        std::vector<float> P(8, -99.0f);
        product(P.data(), A.data(), B.data(), dims);
        EXPECT_EQ(matrixtest::maxAbsDifference(P, multiply(A.data(), B.data(), 2, 3, 4)), 0.0);

        const int noInner[3] = {2, 0, 4};
        product(P.data(), A.data(), B.data(), noInner);
        for (float v : P) {
            EXPECT_EQ(v, 0.0f);
        }

        for (const auto& empty :
             {std::vector<int>{0, 3, 4}, std::vector<int>{2, 3, 0}, std::vector<int>{-1, 3, 4}}) {
            std::vector<float> untouched(8, -99.0f);
            product(untouched.data(), A.data(), B.data(), empty.data());
            for (float v : untouched) {
                EXPECT_EQ(v, -99.0f);
            }
        }
    }
}

struct ShiftCase
{
    int32_t a, x;
    int8_t shift;
    int32_t expected;
};

TEST(MatrixProducts, IntegerProductsShiftTheSixtyFourBitSum)
{
    const ShiftCase cases[] = {
        {-3, 1, -1, -2}, // arithmetic shift rounds towards -inf
        {3, 1, -1, 1},
        {3, 5, 2, 60},
        {1 << 30, 4, 0, 0},              // 2^32: only the low 32 bits stay
        {1 << 30, 4, -2, 1 << 30},       // the shift acts on the 64-bit sum
        {INT32_MIN, INT32_MIN, -62, 1},  // 2^62 >> 62
        {INT32_MIN, INT32_MIN, -128, 0}, // right shifts stop at 63
        {-1, 1, -128, -1},
        {3, 1, 64, 3}, // left shifts count modulo 64
        {3, 1, 65, 6},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.a << " * " << c.x << " shift " << int(c.shift));
        int32_t y = 0;
        MatrixVector_Multiply(&c.a, &c.x, &y, 1, 1, c.shift);
        EXPECT_EQ(y, c.expected);
        int32_t p = 0;
        MatrixMatrix_Multiply(&c.a, &c.x, &p, 1, 1, 1, c.shift);
        EXPECT_EQ(p, c.expected);
    }
}

TEST(MatrixProducts, IntegerProductsOfEmptySizes)
{
    const int32_t A[6] = {1, 2, 3, 4, 5, 6}; // 2 x 3
    const int32_t x[3] = {1, -1, 2};
    int32_t y[2] = {77, 77};
    MatrixVector_Multiply(A, x, y, 2, 3, 0);
    EXPECT_EQ(y[0], 1 - 3 + 10);
    EXPECT_EQ(y[1], 2 - 4 + 12);

    y[0] = y[1] = 77;
    MatrixVector_Multiply(A, x, y, 0, 3, 0);
    EXPECT_EQ(y[0], 77);
    MatrixVector_Multiply(A, x, y, 2, 0, 0);
    EXPECT_EQ(y[0], 0);
    EXPECT_EQ(y[1], 0);

    int32_t P[4] = {77, 77, 77, 77};
    MatrixMatrix_Multiply(A, A, P, 0, 3, 2, 0);
    EXPECT_EQ(P[0], 77);
    MatrixMatrix_Multiply(A, A, P, 2, 0, 2, 0);
    for (int32_t v : P) {
        EXPECT_EQ(v, 0);
    }
}

} // namespace
