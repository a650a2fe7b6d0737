// The two concrete renderers with the scenes they are made for.

#include <gtest/gtest.h>

#include "engine/animation/TextureAnimationChunked.h"
#include "renderer/KadrelRenderer.h"
#include "renderer/blur/GaussianBlurRenderPass.h"
#include "renderer/gl/GlObject.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/renderer/RenderTestSupport.h"
#include "tests/support/AllocationCounter.h"

namespace rendertest {
namespace {

using renderer::Image;

// The wallpaper's shape of frame (a bloom pass, the room, the bloom added, the vignette)
// over stand-in files (see writeWallpaperStandIns). Once every pass, quad and pipeline has
// been seen, frames make no GL object and allocate nothing.
TEST(KadrelRendererGLTest, WallpaperSceneRendersAndWarmFramesCostNothingNew) {
    TestResources resources;
    writeWallpaperStandIns(resources);
    renderer::HeadlessSurface surface(64, 36);
    auto scene = std::make_shared<kadrel::KadrelScene>();
    renderer::KadrelRenderer renderer(surface, scene, "kadrel", resources.locator());

    for (int i = 0; i < 3; ++i) {
        renderer.drawFrame(1000.0 + i * 16.0);
    }
    const Image frame = surface.readPixels();
    // Grey room plus blue glow, darkened towards the rim by the vignette.
    const double centreRed = mean(frame, 0, Region{28, 14, 36, 22});
    EXPECT_NEAR(centreRed, 128.0, 12.0);
    EXPECT_GT(mean(frame, 2, Region{28, 14, 36, 22}), centreRed + 20.0) << "no bloom";
    EXPECT_LT(mean(frame, 0, Region{0, 0, 4, 4}), 0.7 * centreRed) << "no vignette";
    EXPECT_EQ(renderer.stats().blurredPasses, 1U) << "only room 2's bloom pass runs";
    EXPECT_EQ(std::tuple(renderer.blurredPass(1)->width, renderer.blurredPass(1)->height),
              std::tuple(302, 170));

    const std::uint64_t objects = renderer::gl::objectsCreated();
    {
        testsupport::AllocationCounter allocations;
        for (int i = 0; i < 30; ++i) {
            renderer.drawFrame(2000.0 + i * 16.0);
        }
        EXPECT_EQ(allocations.count(), 0U);
    }
    EXPECT_EQ(renderer::gl::objectsCreated(), objects);
}

// A vertex-animated draw of the example renderer, whose positions come from a half-float
// texture read in the vertex stage.
TEST(ExampleRendererGLTest, AnimatedDrawReadsItsVerticesFromTheTexture) {
    // Rows of three vertices: a triangle over the left half, then over the right half, then
    // nothing.
    const engine::animation::TextureAnimationChunked animation(3, 3, 2);
    RenderHarness h(32, 32);
    auto state =
        std::make_shared<DrawMeshState>(h.shader("ColorAnimatedTextureChunked"), BLENDING_NONE(),
                                        DEPTH_NONE(), CullFace::DISABLED, std::nullopt);
    auto texture = h.halfTexture("animal.rgba.fp16", 3, animation.textureHeight,
                                 {-1, -1, 0, 1, 0, -1, 0, 1, -1, 1, 0, 1,   // frame 0
                                  0,  -1, 0, 1, 1, -1, 0, 1, 0,  1, 0, 1,   // frame 1
                                  0,  0,  0, 1, 0, 0,  0, 1, 0,  0, 0, 1}); // frame 2
    auto frameRow = std::make_shared<UniformFloatValue>(
        std::vector<float>{animation.animateStartToEnd(0.0F), animation.texelHalfWidth,
                           animation.chunkSize, animation.texelHeight});
    auto draw = std::make_shared<DrawMeshCommand>(
        h.mesh("animal", {}, {0, 1, 2}),
        std::vector<UniformValuePtr>{
            identityMatrix(), color(1, 1, 0),
            std::make_shared<UniformIntValue>(std::vector<std::int32_t>{3, 1, 2, 0}), frameRow,
            std::make_shared<UniformTextureValue>(texture),
            std::make_shared<UniformFloatValue>(std::vector<float>{1, 1, 1, 0})},
        state);
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, clearColor(0, 0, 0), clear(), draw)};
    Image frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 4, 28, {255, 255, 0}));
    EXPECT_TRUE(pixelNear(frame, 28, 28, {0, 0, 0}));

    setUniform(frameRow, animation.animateStartToEnd(0.5F)); // the second of three rows
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 4, 28, {0, 0, 0}));
    EXPECT_TRUE(pixelNear(frame, 20, 28, {255, 255, 0}));
}

} // namespace
} // namespace rendertest
