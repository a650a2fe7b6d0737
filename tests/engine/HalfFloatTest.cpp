#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "engine/math/HalfFloat.h"

namespace {

using engine::math::floatToHalf;
using engine::math::halfToFloat;

TEST(HalfFloat, RoundsToNearestEvenAndRoundTripsEveryFiniteHalf) {
    EXPECT_EQ(floatToHalf(-0.0F), 0x8000);
    EXPECT_EQ(floatToHalf(0.4F), 0x3666);
    EXPECT_EQ(floatToHalf(-2.5F), 0xC100);
    EXPECT_EQ(floatToHalf(65520.0F), 0x7C00) << "rounds up to infinity";
    EXPECT_EQ(floatToHalf(1e-8F), 0x0000);
    EXPECT_EQ(floatToHalf(std::ldexp(3.0F, -25)), 0x0002) << "1.5 ulp ties to even";
    EXPECT_EQ(floatToHalf(1.0F + std::ldexp(1.0F, -11)), 0x3C00) << "tie to even";
    EXPECT_EQ(floatToHalf(std::numeric_limits<float>::infinity()), 0x7C00);
    EXPECT_TRUE(std::isnan(halfToFloat(floatToHalf(std::nanf("")))));
    // Every finite half survives the round trip.
    for (std::uint32_t bits = 0; bits < 0x7C00; ++bits) {
        const auto h = static_cast<std::uint16_t>(bits);
        ASSERT_EQ(floatToHalf(halfToFloat(h)), h) << bits;
    }
}

} // namespace
