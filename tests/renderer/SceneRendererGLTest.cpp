// Frames of small test scenes drawn headless (llvmpipe where there is no GPU).

#include <gtest/gtest.h>

#include "tests/renderer/RenderTestSupport.h"

namespace rendertest {
namespace {

using renderer::Image;

TEST(SceneRendererGLTest, ClearColourAndLoadActionsFollowTheClearCommands) {
    RenderHarness h(32, 32);
    auto leftDraw =
        colorDraw(h.mesh("left", rectangle(-1, -1, 0, 1, 0)), h.shader("Color"), 1, 0, 0);
    auto clearColour = clearColor(0, 0, 1);
    auto clearCommand = clear();
    // The clear colour comes after the draw: clearing happens when the pass begins anyway.
    auto pass = std::make_shared<MainPassCommand>(true, clearCommand, leftDraw, clearColour);
    h.scene->commands = {pass};
    Image frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 8, 16, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(frame, 24, 16, {0, 0, 255}));

    // Without a clear command the pass keeps what the last frame left.
    clearCommand->enabled = false;
    clearColour->color->g() = 1.0F;
    EXPECT_TRUE(pixelNear(h.frame(), 24, 16, {0, 0, 255}));

    // Clearing colour only.
    clearCommand->enabled = true;
    clearCommand->clearType = ClearCommandClearType::COLOR;
    leftDraw->enabled = false;
    EXPECT_TRUE(pixelNear(h.frame(), 8, 16, {0, 255, 255}));

    // A disabled group hides the clear commands inside it as well.
    auto hidden = std::make_shared<GroupCommand>(false, clearColor(1, 1, 0));
    pass->commands.push_back(hidden);
    EXPECT_TRUE(pixelNear(h.frame(), 8, 16, {0, 255, 255}));
    hidden->enabled = true;
    EXPECT_TRUE(pixelNear(h.frame(), 8, 16, {255, 255, 0}));
    EXPECT_EQ(h.surface.presentedFrames(), 5U);
}

// A texture whose four texels differ (red, green on top; blue, white below) on a quad over
// the whole frame shows any flip or mirror of the image path.
TEST(SceneRendererGLTest, TexturedMeshAppearsUprightAndNotMirrored) {
    RenderHarness h(32, 32);
    auto state =
        std::make_shared<DrawMeshState>(h.shader("Diffuse"), BLENDING_NONE(), DEPTH_TEST_ENABLED(),
                                        CullFace::BACK, diffuseLayout());
    auto texture =
        h.halfTexture("corners.rgba.fp16", 2, 2, {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 1, 1});
    auto draw = std::make_shared<DrawMeshCommand>(
        h.mesh(
            "screen",
            halfVertices({-1, -1, 0, 0, 1, 1, -1, 0, 1, 1, 1, 1, 0, 1, 0, -1, 1, 0, 0, 0}, 5, 12)),
        std::vector<UniformValuePtr>{identityMatrix(),
                                     std::make_shared<UniformTextureValue>(texture)},
        state);
    h.scene->commands = {std::make_shared<MainPassCommand>(true, clear(), draw)};

    const Image frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 4, 4, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(frame, 28, 4, {0, 255, 0}));
    EXPECT_TRUE(pixelNear(frame, 4, 28, {0, 0, 255}));
    EXPECT_TRUE(pixelNear(frame, 28, 28, {255, 255, 255}));
}

TEST(SceneRendererGLTest, DepthTestingAndBackFaceCulling) {
    // Near red on the left two thirds, far green on the right two thirds, and a blue quad
    // wound clockwise over everything at the very front.
    RenderHarness h(32, 32);
    const ShaderPtr shader = h.shader("Color");
    auto nearDraw = colorDraw(h.mesh("near", rectangle(-1, -1, 0.33F, 1, -0.5F)), shader, 1, 0, 0);
    auto farDraw = colorDraw(h.mesh("far", rectangle(-0.33F, -1, 1, 1, 0.5F)), shader, 0, 1, 0);
    auto culled =
        colorDraw(h.mesh("front", rectangle(-1, -1, 1, 1, -0.9F), CW_QUAD), shader, 0, 0, 1);
    // Far drawn last: the depth test keeps the near one where they overlap.
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, clear(), nearDraw, culled, farDraw)};
    Image frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 2, 16, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(frame, 16, 16, {255, 0, 0})) << "the far quad passed the depth test";
    EXPECT_TRUE(pixelNear(frame, 30, 16, {0, 255, 0}));

    // Without the depth test the last draw wins; with culling off the clockwise quad shows.
    farDraw->state->depthMode = DEPTH_NONE();
    h.renderer->forgetPipelines(); // the state object changed after its pipeline was made
    EXPECT_TRUE(pixelNear(h.frame(), 16, 16, {0, 255, 0}));
    culled->state->culling = CullFace::DISABLED;
    h.renderer->forgetPipelines();
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 2, 16, {0, 0, 255}));
    EXPECT_TRUE(pixelNear(frame, 30, 16, {0, 255, 0})) << "a draw without depth test drew behind";
}

// A triangle edge across the frame: four samples per pixel give edge pixels between the
// two colours; a single-sample frame would have only the two.
TEST(SceneRendererGLTest, MultisampledEdgesAreResolved) {
    RenderHarness h(32, 32);
    auto draw = colorDraw(
        h.mesh("slope", halfVertices({-1, -1, 0, 1, -0.8F, 0, -1, 1, 0}, 3, 8), {0, 1, 2}),
        h.shader("Color"), 1, 1, 1);
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, clearColor(0, 0, 0), clear(), draw)};
    const Image frame = h.frame();
    int partial = 0;
    int full = 0;
    for (int i = 0; i < 32 * 32; ++i) {
        const int v = frame.rgba[static_cast<std::size_t>(i) * 4];
        partial += v > 20 && v < 235 ? 1 : 0;
        full += v >= 235 ? 1 : 0;
    }
    EXPECT_GE(partial, 20) << "the edge is not antialiased";
    EXPECT_GT(full, 300);
}

TEST(SceneRendererGLTest, VignetteDarkensTheCornersMoreThanTheCentre) {
    RenderHarness h(64, 64);
    const ShaderPtr colorShader = h.shader("Color");
    const MeshPtr speck = h.mesh("speck", rectangle(-0.1F, -0.1F, 0.1F, 0.1F, 0.0F));
    auto vignette = std::make_shared<VignetteCommand>();
    *vignette->color0 = math::Vec4(0.4F, 0.4F, 0.4F, 1.0F);
    *vignette->color1 = math::Vec4(1.0F, 1.0F, 1.0F, 1.0F);
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, clearColor(1, 1, 1), clear(), vignette)};
    const Image frame = h.frame();
    // The colours go up as half floats: 0.4 is 0x3666, 1.0 is 0x3C00.
    EXPECT_EQ(h.renderer->vignetteColorHalves(0),
              (std::array<std::uint16_t, 4>{0x3666, 0x3666, 0x3666, 0x3C00}));

    const double centre = mean(frame, 0, Region{28, 28, 36, 36});
    EXPECT_GT(centre, 235.0);
    // Blending multiplies: at the corner the frame tends to 0.4 of white.
    EXPECT_NEAR(mean(frame, 0, Region{0, 0, 4, 4}), 0.45 * 255, 20.0);
    EXPECT_LT(mean(frame, 0, Region{0, 28, 4, 36}), centre) << "the rim is not darker";

    // The vignette sets its own culling: a culled draw just before it, of either facing,
    // must not hide it.
    for (const CullFace culling : {CullFace::FRONT, CullFace::BACK}) {
        auto hidden = colorDraw(speck, colorShader, 1, 1, 1, DEPTH_NONE(), culling);
        h.scene->commands = {std::make_shared<MainPassCommand>(true, clearColor(1, 1, 1), clear(),
                                                               hidden, vignette)};
        EXPECT_NEAR(mean(h.frame(), 0, Region{0, 0, 4, 4}), 0.45 * 255, 20.0)
            << "the vignette vanished after a draw culling " << engine::common::name(culling);
    }

    // Multiplicative: on a black frame the vignette changes nothing.
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, clearColor(0, 0, 0), clear(), vignette)};
    EXPECT_EQ(mean(h.frame(), 0), 0.0);
}

// Commands the main pass walks over without drawing: disabled subtrees, draws outside any
// pass, custom commands, and a blurred-image draw before any blurred pass has run.
TEST(SceneRendererGLTest, DisabledAndForeignCommandsDrawNothing) {
    RenderHarness h(32, 32);
    class CustomCommand : public Command {
      public:
        CustomCommand() : Command(CommandType::CUSTOM) {}
    };
    const MeshPtr all = h.mesh("all", rectangle(-1, -1, 1, 1, 0));
    const ShaderPtr shader = h.shader("Color");
    auto disabledDraw = colorDraw(all, shader, 0, 1, 0);
    disabledDraw->enabled = false;
    auto blurredDraw = std::make_shared<DrawBlurredCommand>();
    blurredDraw->blending = additive();
    auto pass = std::make_shared<MainPassCommand>(
        true, clearColor(0.2F, 0.2F, 0.2F), clear(),
        std::make_shared<GroupCommand>(false, colorDraw(all, shader, 1, 0, 0)), disabledDraw,
        std::make_shared<CustomCommand>(), blurredDraw, std::make_shared<NoopCommand>());
    h.scene->commands = {colorDraw(all, shader, 0, 0, 1), std::make_shared<VignetteCommand>(),
                         pass};
    const Image frame = h.frame();
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(mean(frame, channel), 51, 1.0);
    }
    EXPECT_EQ(h.renderer->stats().fullscreenQuads, 0U);
    EXPECT_EQ(h.renderer->stats().pipelines, 0U);

    // A disabled main pass draws nothing at all, and presents nothing.
    pass->enabled = false;
    h.frame();
    EXPECT_EQ(h.surface.presentedFrames(), 1U);
}

} // namespace
} // namespace rendertest
