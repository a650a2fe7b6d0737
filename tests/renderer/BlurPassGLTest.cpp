// Blurred passes and the composite of their images, drawn headless.

#include <gtest/gtest.h>

#include "tests/renderer/RenderTestSupport.h"

namespace rendertest {
namespace {

using renderer::Image;

// Eight vertical stripes between heights y0 and y1, as one Color mesh.
void writeStripes(const TestResources& resources, const std::string& name, float y0, float y1) {
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
    resources.writeModel(name, halfVertices(vertices, 3, 8), indices);
}

// Red stripes over the top half of the frame and blue ones over the bottom half, drawn into
// a blurred pass; the main pass shows either the stripes themselves or the blurred image.
class BlurScene {
  public:
    explicit BlurScene(int width = 64, int height = 64)
        : h(width, height, [](RenderHarness& s) {
              writeStripes(s.resources, "top", 0.0F, 1.0F);
              writeStripes(s.resources, "bottom", -1.0F, 0.0F);
              s.mesh("top");
              s.mesh("bottom");
              s.shader("Color");
          }) {
        const ShaderPtr shader = h.scene->shaders[0];
        stripes =
            std::make_shared<GroupCommand>(true, colorDraw(h.scene->meshes[0], shader, 1, 0, 0),
                                           colorDraw(h.scene->meshes[1], shader, 0, 0, 1));
        blurredPass = std::make_shared<BlurredPassCommand>();
        blurredPass->name = "test";
        blurredPass->minSize = 32;
        blurredPass->blurSize = BlurSize::KERNEL_5;
        blurredPass->commands = {clearColor(0, 0, 0, 0), clear(), stripes};
        drawBlurred = std::make_shared<DrawBlurredCommand>();
        mainStripes = std::make_shared<GroupCommand>(true, stripes);
        mainPass = std::make_shared<MainPassCommand>(true, clearColor(0, 0, 0), clear(),
                                                     mainStripes, drawBlurred);
        h.scene->commands = {blurredPass, mainPass};
    }

    RenderHarness h;
    std::shared_ptr<GroupCommand> stripes;
    std::shared_ptr<BlurredPassCommand> blurredPass;
    std::shared_ptr<DrawBlurredCommand> drawBlurred;
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
    const Image dimmed = s.h.frame();
    EXPECT_NEAR(mean(dimmed, 0, top) / mean(blurred, 0, top), 0.25, 0.05);

    // The final image is in the first blur texture; the pass made one quad and pipeline set.
    const auto& pass = *s.h.renderer->blurredPassesCache.at(0);
    EXPECT_EQ(s.h.renderer->activeBlurredPass, &pass);
    EXPECT_EQ(s.h.renderer->fullscreenQuadsCache.size(), 1U);
}

TEST(BlurPassGLTest, AdditiveDrawOfTheBlurredImageOnlyBrightens) {
    BlurScene s;
    s.drawBlurred->enabled = false;
    const Image plain = s.h.frame();
    s.drawBlurred->enabled = true;
    s.drawBlurred->blending = additive();
    const Image bloom = s.h.frame();
    int brighter = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_GE(bloom.pixel(x, y)[c], plain.pixel(x, y)[c]) << x << "," << y;
                brighter += bloom.pixel(x, y)[c] > plain.pixel(x, y)[c] + 8 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(brighter, 500) << "the glow added nothing";

    // The quad keeps the blending of the first command drawn with its id.
    auto replacing = std::make_shared<DrawBlurredCommand>();
    s.mainPass->commands.push_back(replacing);
    const Image twice = s.h.frame();
    EXPECT_GT(mean(twice, 0), mean(bloom, 0)) << "the second draw did not add again";
    EXPECT_EQ(s.h.renderer->fullscreenQuadsCache.size(), 1U);
}

TEST(BlurPassGLTest, PassesAreMadeOnceWithTheFirstAspectAndPickTheirKernel) {
    BlurScene s(96, 48);
    s.h.frame();
    const auto& pass = *s.h.renderer->blurredPassesCache.at(0);
    EXPECT_EQ(pass.width, 64);
    EXPECT_EQ(pass.height, 32);
    EXPECT_EQ(pass.renderEncoderLabelRTT, "Blur pass test RTT");
    EXPECT_EQ(pass.renderEncoderLabelBlur1, "Blur pass test blur 2");
    EXPECT_EQ(pass.renderEncoderLabelBlur2, "Blur pass test blur 2");
    EXPECT_EQ(pass.BLUR_SHADER->name, "GaussianBlur2"); // the last pipeline built

    // Each kernel has its own pipeline; the pass object is reused after a resize.
    const GLuint kernel5 = pass.pipelineStateWithDepthBlur5.renderPipelineState->program();
    EXPECT_NE(kernel5, pass.pipelineStateWithDepthBlur4.renderPipelineState->program());
    EXPECT_NE(kernel5, pass.pipelineStateWithDepthBlur2.renderPipelineState->program());
    s.h.surface.resize(48, 96);
    for (const BlurSize size : {BlurSize::KERNEL_4, BlurSize::KERNEL_3, BlurSize::KERNEL_2}) {
        s.blurredPass->blurSize = size;
        s.h.frame();
    }
    EXPECT_EQ(s.h.renderer->blurredPassesCache.size(), 1U);
    EXPECT_EQ(pass.width, 64);

    // A second pass with another id sizes itself by the viewport of its first frame.
    auto portrait = std::make_shared<BlurredPassCommand>();
    portrait->id = 7;
    portrait->minSize = 20;
    s.h.scene->commands.insert(s.h.scene->commands.begin(), portrait);
    s.h.frame();
    EXPECT_EQ(s.h.renderer->blurredPassesCache.at(7)->width, 20);
    EXPECT_EQ(s.h.renderer->blurredPassesCache.at(7)->height, 40);
}

TEST(BlurPassSizeTest, ShortSideIsMinSize) {
    using renderer::GaussianBlurRenderPass;
    const auto size = [](float aspect, int minSize) {
        const GaussianBlurRenderPass pass(aspect, minSize, "size");
        return std::pair<std::int64_t, std::int64_t>(pass.width, pass.height);
    };
    EXPECT_EQ(size(1920.0F / 1080.0F, 170), std::make_pair(std::int64_t{302}, std::int64_t{170}));
    EXPECT_EQ(size(1080.0F / 1920.0F, 170), std::make_pair(std::int64_t{170}, std::int64_t{302}));
    EXPECT_EQ(size(1.0F, 200), std::make_pair(std::int64_t{200}, std::int64_t{200}));
    EXPECT_EQ(size(2560.0F / 1600.0F, 200), std::make_pair(std::int64_t{320}, std::int64_t{200}));
    // 3 x 1.5 = 4.5 rounds away from zero.
    EXPECT_EQ(size(1.5F, 3), std::make_pair(std::int64_t{5}, std::int64_t{3}));
}

} // namespace
} // namespace rendertest
