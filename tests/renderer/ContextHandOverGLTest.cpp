// The renderer sharing its context with a host that draws too (the desktop program's clock
// overlay): the host gets GL's defaults, and the renderer's next frame is the same picture
// whatever the host left behind.

#include <gtest/gtest.h>

#include "renderer/gl/GlObject.h"
#include "tests/renderer/RenderTestSupport.h"

namespace rendertest {
namespace {

using renderer::Image;

// Culled, depth-tested, blended and textured draws with a vignette: most of the state the
// renderer shadows.
struct HandOverScene {
    HandOverScene() : h(48, 32) {
        const MeshPtr quad = h.mesh("quad", rectangle(-0.8F, -0.8F, 0.4F, 0.6F, 0.2F));
        const ShaderPtr shader = h.shader("Color");
        auto blended = colorDraw(quad, shader, 0.2F, 0.3F, 0.9F);
        blended->state->blending = additive();
        auto vignette = std::make_shared<VignetteCommand>();
        *vignette->color0 = math::Vec4(0.5F, 0.5F, 0.5F, 1.0F);
        h.scene->commands = {std::make_shared<MainPassCommand>(
            true, clearColor(0.3F, 0.1F, 0.1F), clear(), colorDraw(quad, shader, 0.6F, 0.6F, 0.2F),
            blended, vignette)};
    }
    RenderHarness h;
};

// What a toolkit may leave behind after drawing: its own program and buffers, blending,
// scissoring and culling on, other pixel rows.
void drawLikeAToolkit() {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 4, 4);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D, 0);
    glClearColor(1, 1, 1, 1);
}

TEST(ContextHandOverGLTest, HostDrawsOnDefaultsAndTheNextFrameIsUnchanged) {
    HandOverScene s;
    const Image first = s.h.frame();

    // The defaults a release leaves are pinned by GlStateGLTest; here, what a host leaves.
    s.h.renderer->releaseGlState();
    drawLikeAToolkit();
    s.h.renderer->resetGlState();
    EXPECT_EQ(s.h.frame().rgba, first.rgba) << "state the host left showed in the frame";

    // A host that releases but never resets: the next frame takes its state back itself.
    s.h.renderer->releaseGlState();
    EXPECT_EQ(s.h.frame().rgba, first.rgba) << "a frame after a release without a reset";
}

// Handing over costs calls only for what differs from the defaults, and a frame after a
// reset sets again only what the frame needs: the hand-over is not a per-frame cost when
// nobody draws in between.
TEST(ContextHandOverGLTest, WarmFramesWithoutAHostCostTheSameCalls) {
    HandOverScene s;
    s.h.frame();
    s.h.frame();
    std::uint64_t before = s.h.renderer->stats().glCalls;
    s.h.frame();
    const std::uint64_t warm = s.h.renderer->stats().glCalls - before;

    s.h.renderer->releaseGlState();
    s.h.renderer->resetGlState();
    s.h.frame();
    before = s.h.renderer->stats().glCalls;
    s.h.frame();
    EXPECT_EQ(s.h.renderer->stats().glCalls - before, warm);
}

} // namespace
} // namespace rendertest
