// Frames of small test scenes drawn headless (llvmpipe where there is no GPU).

#include <gtest/gtest.h>

#include "renderer/headless/PngWriter.h"
#include "tests/renderer/RenderTestSupport.h"

namespace rendertest {
namespace {

using renderer::Image;

TEST(SceneRendererGLTest, ClearColourAndLoadActionsFollowTheClearCommands) {
    RenderHarness h(32, 32, [](RenderHarness& s) {
        s.resources.writeModel("left", rectangle(-1, -1, 0, 1, 0), CCW_QUAD);
        s.mesh("left");
        s.shader("Color");
    });
    auto leftDraw = colorDraw(h.scene->meshes[0], h.scene->shaders[0], 1, 0, 0);
    auto clearColour = clearColor(0, 0, 1);
    auto clearCommand = clear();
    // The clear colour comes after the draw: clearing happens when the pass begins anyway.
    auto pass = std::make_shared<MainPassCommand>(true, clearCommand, leftDraw, clearColour);
    h.scene->commands = {pass};

    Image frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 8, 16, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(frame, 24, 16, {0, 0, 255}));
    EXPECT_EQ(h.renderer->clearColor, (std::array<double, 4>{0, 0, 1, 1}));

    // Without a clear command the pass keeps what the last frame left.
    clearCommand->enabled = false;
    clearColour->color->g() = 1.0F;
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 24, 16, {0, 0, 255}));

    // Clearing colour only.
    clearCommand->enabled = true;
    clearCommand->clearType = ClearCommandClearType::COLOR;
    leftDraw->enabled = false;
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 8, 16, {0, 255, 255}));

    // A disabled group hides the clear commands inside it as well.
    auto hidden = std::make_shared<GroupCommand>(false, clearColor(1, 1, 0));
    pass->commands.push_back(hidden);
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 8, 16, {0, 255, 255}));
    hidden->enabled = true;
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 8, 16, {255, 255, 0}));
    EXPECT_EQ(h.surface.presentedFrames(), 5U);
}

// A texture whose four texels differ (red, green on top; blue, white below) on a quad over
// the whole frame shows any flip or mirror of the image path.
TEST(SceneRendererGLTest, TexturedMeshAppearsUprightAndNotMirrored) {
    RenderHarness h(32, 32, [](RenderHarness& s) {
        s.resources.writeModel(
            "screen",
            halfVertices({-1, -1, 0, 0, 1, 1, -1, 0, 1, 1, 1, 1, 0, 1, 0, -1, 1, 0, 0, 0}, 5, 12),
            CCW_QUAD);
        s.resources.writeHalfTexture("corners.rgba.fp16",
                                     {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 1, 1});
        s.mesh("screen");
        s.shader("Diffuse");
        s.halfTexture("corners.rgba.fp16", 2, 2);
    });
    auto state =
        std::make_shared<DrawMeshState>(h.scene->shaders[0], BLENDING_NONE(), DEPTH_TEST_ENABLED(),
                                        CullFace::BACK, diffuseLayout());
    auto draw = std::make_shared<DrawMeshCommand>(
        h.scene->meshes[0],
        std::vector<UniformValuePtr>{identityMatrix(),
                                     std::make_shared<UniformTextureValue>(h.scene->textures[0])},
        state);
    h.scene->commands = {std::make_shared<MainPassCommand>(true, clear(), draw)};

    const Image frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 4, 4, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(frame, 28, 4, {0, 255, 0}));
    EXPECT_TRUE(pixelNear(frame, 4, 28, {0, 0, 255}));
    EXPECT_TRUE(pixelNear(frame, 28, 28, {255, 255, 255}));
}

TEST(SceneRendererGLTest, DepthTestingAndBackFaceCulling) {
    RenderHarness h(32, 32, [](RenderHarness& s) {
        // Near red on the left two thirds, far green on the right two thirds, and a blue
        // quad wound clockwise over everything at the very front.
        s.resources.writeModel("near", rectangle(-1, -1, 0.33F, 1, -0.5F), CCW_QUAD);
        s.resources.writeModel("far", rectangle(-0.33F, -1, 1, 1, 0.5F), CCW_QUAD);
        s.resources.writeModel("front", rectangle(-1, -1, 1, 1, -0.9F), CW_QUAD);
        s.mesh("near");
        s.mesh("far");
        s.mesh("front");
        s.shader("Color");
    });
    const ShaderPtr shader = h.scene->shaders[0];
    auto nearDraw = colorDraw(h.scene->meshes[0], shader, 1, 0, 0);
    auto farDraw = colorDraw(h.scene->meshes[1], shader, 0, 1, 0);
    auto culled = colorDraw(h.scene->meshes[2], shader, 0, 0, 1);
    // Far drawn last: the depth test keeps the near one where they overlap.
    auto pass = std::make_shared<MainPassCommand>(true, clear(), nearDraw, culled, farDraw);
    h.scene->commands = {pass};

    Image frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 2, 16, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(frame, 16, 16, {255, 0, 0})) << "the far quad passed the depth test";
    EXPECT_TRUE(pixelNear(frame, 30, 16, {0, 255, 0}));

    // Without the depth test the last draw wins; with culling off the clockwise quad shows.
    farDraw->state->depthMode = DEPTH_NONE();
    h.renderer->pipelinesCache.clear(); // the state object changed after its pipeline was made
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 16, 16, {0, 255, 0}));
    culled->state->culling = CullFace::DISABLED;
    h.renderer->pipelinesCache.clear();
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 2, 16, {0, 0, 255}));
    EXPECT_TRUE(pixelNear(frame, 30, 16, {0, 255, 0}))
        << "a draw without depth test still drew behind";
}

// A triangle edge across the frame: four samples per pixel give edge pixels between the
// two colours; a single-sample frame would have only the two.
TEST(SceneRendererGLTest, MultisampledEdgesAreResolved) {
    RenderHarness h(32, 32, [](RenderHarness& s) {
        s.resources.writeModel("slope", halfVertices({-1, -1, 0, 1, -0.8F, 0, -1, 1, 0}, 3, 8),
                               {0, 1, 2});
        s.mesh("slope");
        s.shader("Color");
    });
    h.scene->commands = {std::make_shared<MainPassCommand>(
        true, clearColor(0, 0, 0), clear(),
        colorDraw(h.scene->meshes[0], h.scene->shaders[0], 1, 1, 1))};
    const Image frame = h.frame();
    int partial = 0;
    int full = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int v = frame.pixel(x, y)[0];
            partial += v > 20 && v < 235 ? 1 : 0;
            full += v >= 235 ? 1 : 0;
        }
    }
    EXPECT_GE(partial, 20) << "the edge is not antialiased";
    EXPECT_GT(full, 300);
}

TEST(SceneRendererGLTest, VignetteDarkensTheCornersMoreThanTheCentre) {
    RenderHarness h(64, 64);
    auto vignette = std::make_shared<VignetteCommand>();
    *vignette->color0 = math::Vec4(0.4F, 0.4F, 0.4F, 1.0F);
    *vignette->color1 = math::Vec4(1.0F, 1.0F, 1.0F, 1.0F);
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, clearColor(1, 1, 1), clear(), vignette)};
    const Image frame = h.frame();

    // The colours go up as half floats: 0.4 is 0x3666, 1.0 is 0x3C00.
    EXPECT_EQ(h.renderer->colorVignette0_fp16,
              (std::array<std::uint16_t, 4>{0x3666, 0x3666, 0x3666, 0x3C00}));
    EXPECT_EQ(h.renderer->colorVignette1_fp16,
              (std::array<std::uint16_t, 4>{0x3C00, 0x3C00, 0x3C00, 0x3C00}));

    const double centre = mean(frame, 0, Region{28, 28, 36, 36});
    const double corner = mean(frame, 0, Region{0, 0, 4, 4});
    EXPECT_GT(centre, 235.0);
    // Blending multiplies: at the corner the frame tends to 0.4 of white.
    EXPECT_NEAR(corner, 0.45 * 255, 20.0);
    EXPECT_LT(mean(frame, 0, Region{0, 28, 4, 36}), centre) << "the rim is not darker";

    // Multiplicative: on a black frame the vignette changes nothing.
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, clearColor(0, 0, 0), clear(), vignette)};
    EXPECT_EQ(mean(h.frame(), 0), 0.0);
}

// Commands the main pass walks over without drawing: disabled subtrees, draws outside any
// pass, custom commands, and a blurred-image draw before any blurred pass has run.
TEST(SceneRendererGLTest, DisabledAndForeignCommandsDrawNothing) {
    RenderHarness h(32, 32, [](RenderHarness& s) {
        s.resources.writeModel("all", rectangle(-1, -1, 1, 1, 0), CCW_QUAD);
        s.mesh("all");
        s.shader("Color");
    });
    class CustomCommand : public Command {
      public:
        CustomCommand() : Command(CommandType::CUSTOM) {}
    };
    auto draw = colorDraw(h.scene->meshes[0], h.scene->shaders[0], 1, 0, 0);
    auto disabledGroup = std::make_shared<GroupCommand>(false, draw);
    auto disabledDraw = colorDraw(h.scene->meshes[0], h.scene->shaders[0], 0, 1, 0);
    disabledDraw->enabled = false;
    auto blurredDraw = std::make_shared<DrawBlurredCommand>();
    blurredDraw->blending = additive();
    auto outside = colorDraw(h.scene->meshes[0], h.scene->shaders[0], 0, 0, 1);
    h.scene->commands = {outside, std::make_shared<VignetteCommand>(),
                         std::make_shared<MainPassCommand>(
                             true, clearColor(0.2F, 0.2F, 0.2F), clear(), disabledGroup,
                             disabledDraw, std::make_shared<CustomCommand>(), blurredDraw,
                             std::make_shared<NoopCommand>())};
    const Image frame = h.frame();
    EXPECT_NEAR(mean(frame, 0), 51, 1.0);
    EXPECT_NEAR(mean(frame, 1), 51, 1.0);
    EXPECT_NEAR(mean(frame, 2), 51, 1.0);
    EXPECT_TRUE(h.renderer->fullscreenQuadsCache.empty());
    EXPECT_TRUE(h.renderer->pipelinesCache.empty());

    // A disabled main pass draws nothing at all, and presents nothing.
    h.scene->commands[2]->enabled = false;
    h.frame();
    EXPECT_EQ(h.surface.presentedFrames(), 1U);
}

} // namespace
} // namespace rendertest
