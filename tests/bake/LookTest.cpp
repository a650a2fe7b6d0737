// How the baked light reads: the tone curve keeps hue and keeps sunlit concrete off white.

#include "tools/bake/Image.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bake::testing {
namespace {

float fromDisplay(float v) {
    return std::pow(v, 2.2F);
}

TEST(ToneCurve, KeepsHueRisesSteadilyAndLeavesWhiteToTheBrightest) {
    // A warm sunlit colour at exposures from deep shade to far above the shoulder.
    const V3 warm{1.0F, 0.8F, 0.55F};
    float previous = -1.0F;
    for (float exposure = 0.01F; exposure < 40.0F; exposure *= 1.5F) {
        const V3 out = toneMap(warm * exposure);
        // Rising with the light until it reaches white, never above it.
        EXPECT_TRUE(out.x > previous || out.x == 1.0F) << exposure;
        previous = out.x;
        EXPECT_LE(std::max({out.x, out.y, out.z}), 1.0F);
        if (exposure < 3.0F) {
            // Below the fade to white the channels keep the ratios they were lit with: the
            // edges of a sun patch do not change colour as they fall off.
            EXPECT_NEAR(fromDisplay(out.y) / fromDisplay(out.x), 0.8F, 0.01F) << exposure;
            EXPECT_NEAR(fromDisplay(out.z) / fromDisplay(out.x), 0.55F, 0.01F) << exposure;
        }
    }
    // Sunlit concrete, exposed to about 0.9, stays clearly below white (display 250 / 255)
    // with room for its texture; only far brighter light reaches it, and fades to white.
    EXPECT_LT(toneMap({0.9F, 0.9F, 0.9F}).x, 0.92F);
    const V3 glint = toneMap(warm * 40.0F);
    EXPECT_GT(glint.z, 0.98F);
    EXPECT_EQ(toneMap({0.0F, 0.0F, 0.0F}).x, 0.0F);
}

} // namespace
} // namespace bake::testing
