// Frames rendered headless from a small generated wallpaper: they show the room the camera
// was put in, the vignette darkens the rim, and both ASTC paths give the same picture.

#include <gtest/gtest.h>

#include "engine/math/Random.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "tests/renderer/RenderTestSupport.h"
#include "tests/tools/TinyWallpaper.h"
#include "tools/kadrel-render/FrameLoop.h"
#include "tools/kadrel-render/RenderSession.h"

namespace kadrel_render {
namespace {

using rendertest::mean;
using rendertest::Region;

constexpr int WIDTH = 96;
constexpr int HEIGHT = 54;

RenderOptions optionsFor(const tooltest::TinyWallpaper& wallpaper, int room) {
    RenderOptions options;
    options.width = WIDTH;
    options.height = HEIGHT;
    options.resources = wallpaper.root().string();
    options.placement = CameraPlacement{room, 0, 0.5, false};
    return options;
}

renderer::Image renderOne(const RenderOptions& options) {
    engine::math::Random::seed(options.seed);
    RenderSession session(options);
    FrameLoop loop(session, options);
    loop.prepare();
    loop.draw(0);
    return loop.capture();
}

// Mean of red, green and blue over a region.
double brightness(const renderer::Image& image, Region region) {
    return (mean(image, 0, region) + mean(image, 1, region) + mean(image, 2, region)) / 3.0;
}

TEST(RenderSessionGLTest, FramesShowThePlacedRoomWithTheVignetteDarkeningTheRim) {
    tooltest::TinyWallpaper wallpaper;
    const renderer::Image room1 = renderOne(optionsFor(wallpaper, 1));
    const renderer::Image room2 = renderOne(optionsFor(wallpaper, 2));
    ASSERT_EQ(room1.width, WIDTH);
    ASSERT_EQ(room1.height, HEIGHT);

    // Not blank: the textured walls vary across the frame, and the white clear colour shows
    // nowhere since the box surrounds the camera.
    EXPECT_GT(rendertest::variation(room1, 0), 1000.0);
    EXPECT_LT(brightness(room1, {0, 0, WIDTH, HEIGHT}), 200.0);
    EXPECT_GT(brightness(room1, {0, 0, WIDTH, HEIGHT}), 10.0);
    // The rooms' textures ramp towards red (room 1) and blue (room 2); bloom adds grey.
    EXPECT_GT(mean(room1, 0), mean(room1, 2) + 20.0);
    EXPECT_GT(mean(room2, 2), mean(room2, 0) + 20.0);

    RenderOptions plain = optionsFor(wallpaper, 1);
    plain.vignette = false;
    const renderer::Image unvignetted = renderOne(plain);
    const Region corner{0, 0, WIDTH / 8, HEIGHT / 8};
    const Region centre{WIDTH / 2 - 4, HEIGHT / 2 - 4, WIDTH / 2 + 4, HEIGHT / 2 + 4};
    // The vignette multiplies by 0.4 at the rim and by 1 in the middle (its default colours).
    EXPECT_LT(brightness(room1, corner), 0.7 * brightness(unvignetted, corner));
    EXPECT_NEAR(brightness(room1, centre), brightness(unvignetted, centre), 12.0);
}

TEST(RenderSessionGLTest, DecodingAstcOnTheCpuGivesTheSamePicture) {
    tooltest::TinyWallpaper wallpaper;
    renderer::setAstcDecodeForced(false);
    const renderer::Image driver = renderOne(optionsFor(wallpaper, 2));
    renderer::setAstcDecodeForced(true);
    const renderer::Image decoded = renderOne(optionsFor(wallpaper, 2));
    renderer::setAstcDecodeForced(false);
    // Both decoders follow the format exactly for LDR blocks; filtering the decoded RGBA8
    // copy may round differently from the driver by a step or two.
    double worst = 0.0;
    double total = 0.0;
    for (std::size_t i = 0; i < driver.rgba.size(); ++i) {
        const double d = std::abs(static_cast<int>(driver.rgba[i]) - decoded.rgba[i]);
        worst = std::max(worst, d);
        total += d;
    }
    EXPECT_LE(worst, 8.0);
    EXPECT_LE(total / static_cast<double>(driver.rgba.size()), 1.0);
}

} // namespace
} // namespace kadrel_render
