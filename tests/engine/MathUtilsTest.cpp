#include "engine/math/MathUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Errors.h"
#include "engine/math/Random.h"

using engine::math::MathUtils;
using engine::math::Random;
using engine::math::Vec3;

namespace {
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
} // namespace

TEST(MathUtilsTest, ClampOrdersZerosAndPropagatesNaN) {
    EXPECT_EQ(MathUtils::clamp(5.0F, 10.0F, 0.0F), 10.0F); // low > high: low wins
    EXPECT_EQ(MathUtils::clamp(0.5F, 0.0F, 1.0F), 0.5F);
    EXPECT_EQ(MathUtils::clamp(-3.0F, 0.0F, 1.0F), 0.0F);
    EXPECT_EQ(MathUtils::clamp(3.0F, 0.0F, 1.0F), 1.0F);

    EXPECT_FALSE(std::signbit(MathUtils::clamp(-0.0F, 0.0F, 1.0F)));
    EXPECT_TRUE(std::signbit(MathUtils::clamp(0.0F, -1.0F, -0.0F)));
    EXPECT_TRUE(std::signbit(MathUtils::clamp(-0.0F, -0.0F, 1.0F)));

    EXPECT_TRUE(std::isnan(MathUtils::clamp(NaN, 0.0F, 1.0F)));
    EXPECT_TRUE(std::isnan(MathUtils::clamp(0.5F, 0.0F, NaN)));
    EXPECT_TRUE(std::isnan(MathUtils::clamp(0.5F, NaN, 1.0F)));
}

TEST(MathUtilsTest, SmoothStepsEaseBetweenTheEdges) {
    EXPECT_EQ(MathUtils::smoothstep(0.0F, 1.0F, 0.25F), 0.15625F);
    EXPECT_EQ(MathUtils::smoothstep(2.0F, 6.0F, 3.0F), 0.15625F);
    EXPECT_EQ(MathUtils::smoothstep(0.0F, 1.0F, -1.0F), 0.0F);
    EXPECT_EQ(MathUtils::smootherstep(0.0F, 1.0F, 0.25F), 0.103515625F);
    EXPECT_EQ(MathUtils::smootherstep(0.0F, 1.0F, 5.0F), 1.0F);

    // Equal edges: t is +-infinity, clamped; exactly at the edge it is NaN.
    EXPECT_EQ(MathUtils::smoothstep(1.0F, 1.0F, 2.0F), 1.0F);
    EXPECT_EQ(MathUtils::smoothstep(1.0F, 1.0F, 0.0F), 0.0F);
    EXPECT_TRUE(std::isnan(MathUtils::smootherstep(1.0F, 1.0F, 1.0F)));
}

TEST(MathUtilsTest, NextRandomSkipsCurrentAndPrevious) {
    Random::seed(42);
    for (int draw = 0; draw < 200; ++draw) {
        EXPECT_EQ(MathUtils::nextRandom(3, 2), 0);
        EXPECT_EQ(MathUtils::nextRandom(2, 0), 1);
        EXPECT_EQ(MathUtils::nextRandom(1, 0), 0);
    }
    EXPECT_THROW(MathUtils::nextRandom(0, 0), engine::DivisionByZeroError);

    // With 13 entries from 5: every index except 5 and 4, and nothing else; the same
    // sequence again after the same seed.
    Random::seed(9);
    std::vector<int> draws;
    for (int draw = 0; draw < 5000; ++draw) {
        draws.push_back(MathUtils::nextRandom(13, 5));
    }
    EXPECT_EQ(std::set<int>(draws.begin(), draws.end()),
              (std::set<int>{0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 12}));
    Random::seed(9);
    for (int draw = 0; draw < 100; ++draw) {
        EXPECT_EQ(MathUtils::nextRandom(13, 5), draws[draw]);
    }
}

TEST(MathUtilsTest, RandomIsUniformBelowOneAndReproducible) {
    Random::seed(7);
    std::vector<float> draws(20000);
    for (float& u : draws) {
        u = Random::nextFloat();
        const double d = Random::nextDouble();
        ASSERT_TRUE(u >= 0.0F && u < 1.0F && d >= 0.0 && d < 1.0) << u << " " << d;
    }
    EXPECT_NEAR(std::accumulate(draws.begin(), draws.end(), 0.0) / 20000.0, 0.5, 0.01);
    const auto low = std::count_if(draws.begin(), draws.end(), [](float u) { return u < 0.25F; });
    EXPECT_NEAR(double(low) / 20000.0, 0.25, 0.01);
    Random::seed(7);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Random::nextFloat(), draws[i]);
        Random::nextDouble();
    }
}

TEST(MathUtilsTest, AngleBetweenPointsUsesTheDifference) {
    Vec3 result;
    EXPECT_EQ(&MathUtils::angleBetweenPoints({1, 2, 4}, {0, 0, 1}, result), &result);
    // start - end = (1, 2, 3): x turns in (y, z), y in (x, z), z in (y, x).
    EXPECT_EQ(result, Vec3(std::atan2(3.0F, 2.0F), std::atan2(3.0F, 1.0F), std::atan2(1.0F, 2.0F)));
}
