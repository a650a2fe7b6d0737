#include "engine/math/Matrix.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Errors.h"
#include "tests/support/AllocationCounter.h"

using engine::InvalidArgumentError;
using engine::OutOfRangeError;
using engine::math::Matrix;

namespace {

using Mat = std::array<float, 16>;
using Vec = std::array<float, 4>;

constexpr Mat IDENTITY{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A matrix with no zeros or symmetries, so that a misplaced index shows.
Mat sample() {
    Mat m{};
    Matrix::setRotateM(m, 0, 30.0F, 1.0F, 2.0F, 3.0F);
    Matrix::scaleM(m, 0, 2.0F, 3.0F, 0.5F);
    Matrix::translateM(m, 0, 4.0F, -5.0F, 6.0F);
    return m;
}

// Reference product by the definition, in double precision.
Mat product(const Mat& a, const Mat& b) {
    Mat r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a[4 * k + row]) * b[4 * c + k];
            }
            r[4 * c + row] = static_cast<float>(sum);
        }
    }
    return r;
}

// m * (x, y, z, 1), divided by w.
Vec project(const Mat& m, float x, float y, float z) {
    Vec v{x, y, z, 1.0F};
    Matrix::multiplyMV(v, 0, m, 0, v, 0);
    return {v[0] / v[3], v[1] / v[3], v[2] / v[3], 1.0F};
}

template <std::size_t N>
void expectNear(const std::array<float, N>& actual, const std::array<float, N>& expected,
                float tolerance = 1e-5F) {
    for (std::size_t i = 0; i < N; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}

template <typename Call> std::string invalidArgumentMessage(Call call) {
    try {
        call();
    } catch (const InvalidArgumentError& e) {
        return e.what();
    }
    return "no failure";
}

} // namespace

TEST(MatrixTest, IdentityIndexAndLength) {
    std::array<float, 20> a{};
    a.fill(7.0F);
    Matrix::setIdentityM(a, 2);
    EXPECT_EQ(a[1], 7.0F);
    EXPECT_EQ(a[18], 7.0F);
    EXPECT_TRUE(std::equal(a.begin() + 2, a.begin() + 18, IDENTITY.begin()));
    EXPECT_EQ(Matrix::I(1, 2), 6);
    EXPECT_EQ(Matrix::length(2.0F, 3.0F, 6.0F), 7.0F);
}

TEST(MatrixTest, MultiplyMatchesDefinitionAndAllowsAliasing) {
    const Mat a = sample();
    Mat b{};
    Matrix::setRotateM(b, 0, -70.0F, 0.3F, -1.0F, 0.2F);
    Matrix::translateM(b, 0, 1.0F, 2.0F, 3.0F);
    Mat r{};
    Matrix::multiplyMM(r, 0, a, 0, b, 0);
    expectNear(r, product(a, b));

    Mat m = a; // result, lhs and rhs the same region
    Matrix::multiplyMM(m, 0, m, 0, m, 0);
    expectNear(m, product(a, a));

    std::vector<float> big(40, 0.0F); // offsets inside one array, result over rhs
    std::copy(a.begin(), a.end(), big.begin() + 3);
    std::copy(b.begin(), b.end(), big.begin() + 20);
    Matrix::multiplyMM(big, 20, big, 3, big, 20);
    std::copy_n(big.begin() + 20, 16, m.begin());
    expectNear(m, product(a, b));

    m = b; // the scratch-free form may write over its right operand
    Matrix::multiplyMMInternal(m, a, m);
    expectNear(m, product(a, b));
    // multiplyMV, in place, is checked through project() by the projections below.
}

// Each operation, into a separate result or in place, is the input times the operation's own
// matrix.
TEST(MatrixTest, TranslateScaleAndRotateMultiplyOnTheRight) {
    const Mat a = sample();
    Mat out{};
    Matrix::translateM(out, 0, a, 0, 4.0F, -2.0F, 0.5F);
    expectNear(out, product(a, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, -2, 0.5F, 1}));
    Mat m = a;
    Matrix::translateM(m, 0, 4.0F, -2.0F, 0.5F);
    expectNear(m, out);

    Matrix::scaleM(out, 0, a, 0, 2.0F, -3.0F, 0.25F);
    expectNear(out, product(a, {2, 0, 0, 0, 0, -3, 0, 0, 0, 0, 0.25F, 0, 0, 0, 0, 1}));
    m = a;
    Matrix::scaleM(m, 0, 2.0F, -3.0F, 0.25F);
    EXPECT_EQ(m, out);

    Mat rot{};
    Matrix::setRotateM(rot, 0, 33.0F, 0.5F, 1.0F, -2.0F);
    Matrix::rotateM(out, 0, a, 0, 33.0F, 0.5F, 1.0F, -2.0F);
    expectNear(out, product(a, rot));
    m = a;
    Matrix::rotateM(m, 0, 33.0F, 0.5F, 1.0F, -2.0F);
    EXPECT_EQ(m, out);
}

TEST(MatrixTest, RotationAboutPrincipalAndArbitraryAxes) {
    Mat r{};
    r.fill(9.0F);
    Matrix::setRotateM(r, 0, 90.0F, 0.0F, 0.0F, 1.0F);
    const float cos90 = std::cos(90.0F * 0.017453292F); // about -4.4e-8, not 0
    EXPECT_EQ(r, (Mat{cos90, 1, 0, 0, -1, cos90, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));

    Mat general{}; // not a special case: normalised, then the general formula
    Matrix::setRotateM(general, 0, 90.0F, 0.0F, 0.0F, 2.0F);
    expectNear(general, r, 1e-6F);

    // The principal axes keep exact zeros off the rotation plane.
    Matrix::setRotateM(r, 0, 90.0F, 1.0F, 0.0F, 0.0F);
    expectNear(project(r, 0, 1, 0), {0, 0, 1, 1}, 1e-6F);
    EXPECT_EQ(project(r, 0, 1, 0)[0], 0.0F);
    Matrix::setRotateM(r, 0, 90.0F, 0.0F, 1.0F, 0.0F);
    expectNear(project(r, 0, 0, 1), {1, 0, 0, 1}, 1e-6F);
    EXPECT_EQ(project(r, 0, 0, 1)[1], 0.0F);

    // 120 degrees about the diagonal cycles the axes x -> y -> z.
    Matrix::setRotateM(r, 0, 120.0F, 1.0F, 1.0F, 1.0F);
    expectNear(project(r, 1, 0, 0), {0, 1, 0, 1}, 1e-6F);

    Matrix::setRotateM(r, 0, 45.0F, 0.0F, 0.0F, 0.0F);
    EXPECT_TRUE(std::isnan(r[0]));
    EXPECT_EQ(r[15], 1.0F);
}

TEST(MatrixTest, EulerRotationIsAProperRotation) {
    Mat e{};
    Matrix::setRotateEulerM(e, 0, 20.0F, 35.0F, 50.0F);
    Mat chain = IDENTITY;
    Matrix::rotateM(chain, 0, -50.0F, 0.0F, 0.0F, 1.0F);
    Matrix::rotateM(chain, 0, -35.0F, 0.0F, 1.0F, 0.0F);
    Matrix::rotateM(chain, 0, -20.0F, 1.0F, 0.0F, 0.0F);
    expectNear(e, chain);
    Mat t{}; // orthonormal: e * transpose(e) = I
    Matrix::transposeM(t, 0, e, 0);
    expectNear(product(e, t), IDENTITY);
}

TEST(MatrixTest, FrustumAndOrthoCheckInOrderThenMapTheirBoxes) {
    Mat m{};
    m.fill(5.0F);
    const Mat before = m;
    auto frustum = [&m](float l, float r, float b, float t, float n, float f) {
        return invalidArgumentMessage([&] { Matrix::frustumM(m, 0, l, r, b, t, n, f); });
    };
    auto ortho = [&m](float l, float r, float b, float t, float n, float f) {
        return invalidArgumentMessage([&] { Matrix::orthoM(m, 0, l, r, b, t, n, f); });
    };
    EXPECT_EQ(frustum(0, 0, 0, 0, 0, 0), "left == right");
    EXPECT_EQ(frustum(-1, 1, 2, 2, -1, -1), "top == bottom");
    EXPECT_EQ(frustum(-1, 1, -1, 1, -3, -3), "near == far");
    EXPECT_EQ(frustum(-1, 1, -1, 1, 0, 10), "near <= 0.0f");
    EXPECT_EQ(frustum(-1, 1, -1, 1, 1, -10), "far <= 0.0f");
    EXPECT_EQ(ortho(1, 1, 2, 2, 3, 3), "left == right");
    EXPECT_EQ(ortho(0, 1, 2, 2, 3, 3), "bottom == top");
    EXPECT_EQ(ortho(0, 1, 0, 2, 3, 3), "near == far");
    EXPECT_EQ(m, before);

    Matrix::frustumM(m, 0, -2, 2, -1, 1, 1, 10);
    expectNear(project(m, 2, 1, -1), {1, 1, -1, 1});
    expectNear(project(m, -20, -10, -10), {-1, -1, 1, 1});
    Matrix::orthoM(m, 0, 0, 4, -1, 3, 1, 9);
    EXPECT_EQ(project(m, 0, -1, -1), (Vec{-1, -1, -1, 1}));
    EXPECT_EQ(project(m, 4, 3, -9), (Vec{1, 1, 1, 1}));
}

TEST(MatrixTest, PerspectiveAndLookAt) {
    Mat p{};
    Matrix::perspectiveM(p, 0, 90.0F, 2.0F, 1.0F, 100.0F);
    expectNear(project(p, 2, 1, -1), {1, 1, -1, 1});
    expectNear(project(p, 0, 0, -100), {0, 0, 1, 1});

    // z-up world: a camera at (10, 20, 5) looking at (10, 30, 5).
    Mat v{};
    Matrix::setLookAtM(v, 0, 10, 20, 5, 10, 30, 5, 0, 0, 1);
    expectNear(project(v, 10, 20, 5), {0, 0, 0, 1});
    expectNear(project(v, 10, 30, 5), {0, 0, -10, 1});
    expectNear(project(v, 10, 20, 6), {0, 1, 0, 1});

    Matrix::setLookAtM(v, 0, 1, 1, 1, 1, 1, 1, 0, 0, 1);
    EXPECT_TRUE(std::isnan(v[0]));
}

TEST(MatrixTest, TransposeAndInvert) {
    const Mat a = sample();
    Mat t{};
    Matrix::transposeM(t, 0, a, 0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(t[i], a[Matrix::I(i % 4, i / 4)]) << "element " << i;
    }

    Mat inv{};
    ASSERT_TRUE(Matrix::invertM(inv, 0, a, 0));
    expectNear(product(a, inv), IDENTITY);
    Mat self = a; // the result may overwrite the input
    ASSERT_TRUE(Matrix::invertM(self, 0, self, 0));
    EXPECT_EQ(self, inv);
    ASSERT_TRUE(Matrix::invertM(inv, 0, IDENTITY, 0));
    EXPECT_EQ(inv, IDENTITY);

    Mat singular = a;
    std::fill_n(singular.begin() + 8, 4, 0.0F);
    inv.fill(3.0F);
    EXPECT_FALSE(Matrix::invertM(inv, 0, singular, 0));
    EXPECT_EQ(std::count(inv.begin(), inv.end(), 3.0F), 16) << "left as it was";
}

TEST(MatrixTest, AccessOutsideTheArrayFails) {
    std::vector<float> fits(20, 0.0F);
    std::vector<float> tooShort(19, 0.0F);
    const Mat m = IDENTITY;
    Vec v{};
    EXPECT_NO_THROW(Matrix::setIdentityM(fits, 4));
    EXPECT_THROW(Matrix::setIdentityM(tooShort, 4), OutOfRangeError);
    EXPECT_THROW(Matrix::setIdentityM(fits, -1), OutOfRangeError);
    EXPECT_THROW(Matrix::setIdentityM(fits, std::numeric_limits<int>::max()), OutOfRangeError);
    EXPECT_THROW(Matrix::multiplyMM(fits, 0, m, 0, tooShort, 4), OutOfRangeError);
    EXPECT_THROW(Matrix::multiplyMM(fits, 0, tooShort, -4, m, 0), OutOfRangeError);
    EXPECT_THROW(Matrix::multiplyMMInternal(fits, m, std::span(m).first(15)), OutOfRangeError);
    EXPECT_THROW(Matrix::multiplyMV(v, 1, m, 0, v, 0), OutOfRangeError);
    EXPECT_THROW(Matrix::transposeM(fits, 5, m, 0), OutOfRangeError);
    EXPECT_THROW(Matrix::invertM(fits, 0, tooShort, 8), OutOfRangeError);
    EXPECT_THROW(Matrix::translateM(fits, -2, m, 0, 1, 1, 1), OutOfRangeError);
    EXPECT_THROW(Matrix::rotateM(tooShort, 4, 10, 0, 0, 1), OutOfRangeError);
    EXPECT_THROW(Matrix::frustumM(tooShort, 4, -1, 1, -1, 1, 1, 2), OutOfRangeError);
    EXPECT_THROW(Matrix::setLookAtM(tooShort, 4, 0, 0, 0, 1, 0, 0, 0, 0, 1), OutOfRangeError);
}

TEST(MatrixTest, ArraycopyChecksBoundsAndHandlesOverlap) {
    std::vector<float> a{0, 1, 2, 3, 4, 5};
    Matrix::arraycopy(a, 0, a, 2, 4);
    EXPECT_EQ(a, (std::vector<float>{0, 1, 0, 1, 2, 3}));
    Matrix::arraycopy(a, 2, a, 0, 4);
    EXPECT_EQ(a, (std::vector<float>{0, 1, 2, 3, 2, 3}));

    std::vector<float> dest(3, 9.0F);
    EXPECT_NO_THROW(Matrix::arraycopy(a, 6, dest, 3, 0));
    EXPECT_THROW(Matrix::arraycopy(a, 0, dest, 0, -1), OutOfRangeError);
    EXPECT_THROW(Matrix::arraycopy(a, -1, dest, 0, 1), OutOfRangeError);
    EXPECT_THROW(Matrix::arraycopy(a, 0, dest, -1, 1), OutOfRangeError);
    EXPECT_THROW(Matrix::arraycopy(a, 4, dest, 0, 3), OutOfRangeError);
    EXPECT_THROW(Matrix::arraycopy(a, 0, dest, 1, 3), OutOfRangeError);
    EXPECT_THROW(Matrix::arraycopy(a, std::numeric_limits<int>::max(), dest, 0, 1),
                 OutOfRangeError);
    EXPECT_EQ(dest, (std::vector<float>(3, 9.0F))); // checked before copying
}

TEST(MatrixTest, WarmFrameWorkAllocatesNothing) {
    Mat view{};
    Mat projection{};
    Mat model{};
    Vec v{1, 2, 3, 1};
    testsupport::AllocationCounter counter;
    for (int frame = 0; frame < 3; ++frame) {
        Matrix::setLookAtM(view, 0, 1, 2, 3, 4, 5, 6, 0, 0, 1);
        Matrix::perspectiveM(projection, 0, 60, 1.5F, 20, 5000);
        Matrix::setIdentityM(model, 0);
        Matrix::translateM(model, 0, 1, 2, 3);
        Matrix::rotateM(model, 0, 30, 0, 0, 1);
        Matrix::scaleM(model, 0, 2, 2, 2);
        Matrix::multiplyMM(model, 0, view, 0, model, 0);
        Matrix::multiplyMM(model, 0, projection, 0, model, 0);
        Matrix::multiplyMV(v, 0, model, 0, v, 0);
        Matrix::invertM(model, 0, model, 0);
    }
    EXPECT_EQ(counter.count(), 0U);
}
