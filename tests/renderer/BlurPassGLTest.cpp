// Blurred passes and the composite of their images, drawn headless.

#include <gtest/gtest.h>

#include "renderer/blur/GaussianBlurRenderPass.h"
#include "tests/renderer/RenderTestSupport.h"

namespace rendertest {
namespace {

using renderer::Image;

// Eight vertical stripes between heights y0 and y1, as one Color mesh.
MeshPtr stripes(RenderHarness& h, const std::string& name, float y0, float y1) {
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    for (int i = 0; i < 8; ++i) {
        const float x0 = -1.0F + static_cast<float>(i) * 0.25F;
        const float x1 = x0 + 0.125F;
        vertices.insert(vertices.end(), {x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y1, 0});
        for (const std::uint16_t k : CCW_QUAD) {
            indices.push_back(static_cast<std::uint16_t>(4 * i + k));
        }
    }
    return h.mesh(name, halfVertices(vertices, 3, 8), indices);
}

// Red stripes over the top half of the frame and blue ones over the bottom half, drawn into
// a blurred pass; the main pass shows either the stripes themselves or the blurred image.
class BlurScene {
  public:
    explicit BlurScene(int width = 64, int height = 64) : h(width, height) {
        const ShaderPtr shader = h.shader("Color");
        auto both = std::make_shared<GroupCommand>(
            true, colorDraw(stripes(h, "top", 0.0F, 1.0F), shader, 1, 0, 0),
            colorDraw(stripes(h, "bottom", -1.0F, 0.0F), shader, 0, 0, 1));
        blurredPass->name = "test";
        blurredPass->minSize = 32;
        blurredPass->blurSize = BlurSize::KERNEL_5;
        blurredPass->commands = {clearColor(0, 0, 0, 0), clear(), both};
        mainStripes = std::make_shared<GroupCommand>(true, both);
        mainPass = std::make_shared<MainPassCommand>(true, clearColor(0, 0, 0), clear(),
                                                     mainStripes, drawBlurred);
        h.scene->commands = {blurredPass, mainPass};
    }

    RenderHarness h;
    std::shared_ptr<BlurredPassCommand> blurredPass = std::make_shared<BlurredPassCommand>();
    std::shared_ptr<DrawBlurredCommand> drawBlurred = std::make_shared<DrawBlurredCommand>();
    std::shared_ptr<GroupCommand> mainStripes;
    std::shared_ptr<MainPassCommand> mainPass;
};

TEST(BlurPassGLTest, BlurredImageIsSmootherUprightAndScaledByBrightness) {
    BlurScene s;
    s.drawBlurred->enabled = false;
    const Image sharp = s.h.frame();
    s.mainStripes->enabled = false;
    s.drawBlurred->enabled = true;
    const Image blurred = s.h.frame();

    // Red stays on top and blue below: the offscreen images are not flipped on the way.
    const Region top{0, 4, 64, 28};
    const Region bottom{0, 36, 64, 60};
    EXPECT_GT(mean(blurred, 0, top), 60.0);
    EXPECT_LT(mean(blurred, 2, top), 10.0);
    EXPECT_GT(mean(blurred, 2, bottom), 60.0);
    EXPECT_LT(mean(blurred, 0, bottom), 10.0);

    // Same light, less detail. (A box filter keeps the mean; the small image and the
    // upscale move it a little.)
    EXPECT_NEAR(mean(blurred, 0, top), mean(sharp, 0, top), 0.15 * mean(sharp, 0, top));
    EXPECT_LT(variation(blurred, 0), 0.5 * variation(sharp, 0));

    // Brightness goes to both steps: 0.5 gives about a quarter of the light.
    s.blurredPass->brightness = 0.5F;
    EXPECT_NEAR(mean(s.h.frame(), 0, top) / mean(blurred, 0, top), 0.25, 0.05);
    EXPECT_EQ(s.h.renderer->stats().fullscreenQuads, 1U);
}

TEST(BlurPassGLTest, AdditiveDrawOfTheBlurredImageOnlyBrightens) {
    BlurScene s;
    s.drawBlurred->enabled = false;
    const Image plain = s.h.frame();
    s.drawBlurred->enabled = true;
    s.drawBlurred->blending = additive();
    const Image bloom = s.h.frame();
    int brighter = 0;
    for (std::size_t i = 0; i < plain.rgba.size(); ++i) {
        ASSERT_GE(bloom.rgba[i], plain.rgba[i]) << "byte " << i;
        brighter += bloom.rgba[i] > plain.rgba[i] + 8 ? 1 : 0;
    }
    EXPECT_GT(brighter, 500) << "the glow added nothing";

    // The quad keeps the blending of the first command drawn with its id.
    s.mainPass->commands.push_back(std::make_shared<DrawBlurredCommand>());
    EXPECT_GT(mean(s.h.frame(), 0), mean(bloom, 0)) << "the second draw did not add again";
    EXPECT_EQ(s.h.renderer->stats().fullscreenQuads, 1U);
}

TEST(BlurPassGLTest, PassesAreMadeOnceWithTheFirstAspectAndPickTheirKernel) {
    BlurScene s(96, 48);
    s.h.frame();
    const auto& pass = *s.h.renderer->blurredPass(0);
    EXPECT_EQ(std::tuple(pass.width, pass.height), std::tuple(64, 32));
    // Each kernel has its own pipeline; the pass object is reused after a resize.
    const GLuint kernel5 = pass.pipelineStateWithDepthBlur5.renderPipelineState->program();
    EXPECT_NE(kernel5, pass.pipelineStateWithDepthBlur4.renderPipelineState->program());
    EXPECT_NE(kernel5, pass.pipelineStateWithDepthBlur2.renderPipelineState->program());
    s.h.surface.resize(48, 96);
    for (const BlurSize size : {BlurSize::KERNEL_4, BlurSize::KERNEL_3, BlurSize::KERNEL_2}) {
        s.blurredPass->blurSize = size;
        s.h.frame();
    }
    EXPECT_EQ(s.h.renderer->stats().blurredPasses, 1U);
    EXPECT_EQ(pass.width, 64);

    // A second pass with another id sizes itself by the viewport of its first frame, its
    // short side minSize (and 4.5 rounds away from zero).
    auto portrait = std::make_shared<BlurredPassCommand>();
    portrait->id = 7;
    portrait->minSize = 3;
    s.h.scene->commands.insert(s.h.scene->commands.begin(), portrait);
    s.h.frame();
    EXPECT_EQ(std::tuple(s.h.renderer->blurredPass(7)->width, s.h.renderer->blurredPass(7)->height),
              std::tuple(3, 6));
    EXPECT_EQ(renderer::GaussianBlurRenderPass(1.5F, 3, "odd").width, 5);
    EXPECT_EQ(renderer::GaussianBlurRenderPass(1080.0F / 1920.0F, 170, "tall").height, 302);
}

} // namespace
} // namespace rendertest
