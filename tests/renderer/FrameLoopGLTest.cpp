// The frame loop, resource ids, the pipeline cache, samplers and PNG frames, on a headless
// context.

#include <gtest/gtest.h>

#include "renderer/KadrelRenderer.h"
#include "renderer/SceneResources.h"
#include "renderer/headless/PngWriter.h"
#include "renderer/pipeline/PipelineFactory.h"
#include "tests/renderer/RenderTestSupport.h"
#include "tests/support/PngRead.h"

namespace rendertest {
namespace {

using renderer::Image;

// A surface that reports whatever size a test sets, drawing into a headless one.
class SizedSurface : public renderer::RenderSurface {
  public:
    explicit SizedSurface(renderer::HeadlessSurface& inner) : inner_(inner) {}
    renderer::DrawableSize drawableSize() const override { return size; }
    std::optional<unsigned int> currentDrawable() override { return inner_.currentDrawable(); }
    void present() override { inner_.present(); }
    renderer::DrawableSize size{32.0, 32.0};

  private:
    renderer::HeadlessSurface& inner_;
};

TEST(FrameLoopGLTest, ViewportFollowsTheDrawableAndTimeReachesTheScene) {
    TestResources resources;
    renderer::HeadlessSurface headless(32, 32);
    SizedSurface surface(headless);
    auto scene = std::make_shared<TestScene>();
    renderer::ExampleRenderer renderer(surface, scene, "scene", resources.locator());
    EXPECT_EQ(scene->initializeCalls, 1);
    EXPECT_TRUE(scene->loaded);

    testing::internal::CaptureStdout();
    renderer.drawFrame(1234.5);
    renderer.drawFrame(1300.0);
    surface.size = {399.5, 300.9}; // fractions are truncated
    renderer.drawFrame(1400.0);
    surface.size = {1e12, 20.0}; // outside the 32-bit range: the viewport stays
    renderer.drawFrame(1500.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Set scene size: 32x32\nSet scene size: 399x300\n");
    EXPECT_EQ(std::tuple(scene->viewportWidth, scene->viewportHeight, scene->lastFrameTime),
              std::tuple(399, 300, 1500.0));
    // Without a drawable the pass is skipped and nothing presented, but time still advances.
    scene->commands = {std::make_shared<MainPassCommand>(true, clear())};
    surface.size = {32.0, 32.0};
    headless.setDrawableAvailable(false);
    renderer.drawFrame(1600.0);
    EXPECT_EQ(std::tuple(headless.presentedFrames(), scene->lastFrameTime), std::tuple(0U, 1600.0));
    headless.setDrawableAvailable(true);
    // A main pass into a drawable too large for GL's sizes stops with the texture message.
    surface.size = {1e12, 20.0};
    EXPECT_EXIT(renderer.drawFrame(1650.0), testing::ExitedWithCode(1),
                "^Cannot create textures: .* of size 1000000000000.000000x20.000000\n$");
    surface.size = {32.0, 32.0};

    // The monotonic clock in milliseconds when no time is given.
    renderer.drawFrame();
    const double first = scene->lastFrameTime;
    renderer.drawFrame();
    EXPECT_GE(scene->lastFrameTime, first);
    EXPECT_GT(first, 1600.0);
    EXPECT_EQ(headless.presentedFrames(), 2U);
}

TEST(FrameLoopGLTest, ResourcesGetIdsInListOrderAndPipelinesOnePerDrawState) {
    RenderHarness h(16, 16);
    const MeshPtr mesh = h.mesh("a", rectangle(-1, -1, 1, 1, 0));
    h.mesh("b", rectangle(-1, -1, 1, 1, 0));
    h.halfTexture("t", 1, 1, std::vector<float>(4, 1.0F));
    // A format without a loader keeps its own slot, so the next texture's id is its own.
    h.scene->textures.push_back(std::make_shared<Texture>());
    h.scene->textures.back()->format = TextureFormat::RGB32F;
    h.halfTexture("t", 1, 1, std::vector<float>(4, 1.0F));
    const ShaderPtr shader = h.shader("Color");
    h.shader("Diffuse");
    h.start();
    EXPECT_EQ(std::tuple(h.scene->meshes[1]->id, h.scene->shaders[1]->id), std::tuple(1, 1));
    EXPECT_EQ(std::tuple(h.scene->textures[1]->id, h.scene->textures[2]->id), std::tuple(1, 2));
    EXPECT_EQ(h.renderer->resources().samplers.size(), 3U);
    EXPECT_FALSE(h.renderer->resources().textures[1]);
    EXPECT_EQ(h.renderer->resources().shaders[1].name, "Diffuse");

    // Draws that share a state object share its pipeline; an equal state gets its own.
    auto first = colorDraw(mesh, shader, 1, 0, 0);
    auto sharing = std::make_shared<DrawMeshCommand>(mesh, first->uniforms, first->state);
    h.scene->commands = {std::make_shared<MainPassCommand>(true, first, sharing)};
    h.frame();
    EXPECT_EQ(h.renderer->stats().pipelines, 1U);
    h.scene->commands = {
        std::make_shared<MainPassCommand>(true, first, sharing, colorDraw(mesh, shader, 1, 0, 0))};
    h.frame();
    EXPECT_EQ(h.renderer->stats().pipelines, 2U);
}

TEST(FrameLoopGLTest, SamplersFollowTheTexturesFilteringAndWrapping) {
    renderer::HeadlessSurface surface(4, 4);
    const auto parameters = [](const Texture& t) {
        const renderer::gl::Sampler s = renderer::makeSamplerState(t);
        std::array<GLint, 3> values{};
        glGetSamplerParameteriv(s.id(), GL_TEXTURE_MIN_FILTER, &values[0]);
        glGetSamplerParameteriv(s.id(), GL_TEXTURE_MAG_FILTER, &values[1]);
        glGetSamplerParameteriv(s.id(), GL_TEXTURE_WRAP_T, &values[2]);
        return values;
    };
    Texture t;
    t.minFilter = t.magFilter = TextureFiltering::LINEAR_MIPMAP_LINEAR;
    t.wrapping = TextureWrapping::MIRRORED_REPEAT;
    // No mip levels: no mip filtering whatever the filters say.
    EXPECT_EQ(parameters(t), (std::array<GLint, 3>{GL_LINEAR, GL_LINEAR, GL_MIRRORED_REPEAT}));
    // Otherwise the mip mode is read from the magnification filter.
    t.mipmaps = 3;
    t.minFilter = TextureFiltering::NEAREST;
    t.wrapping = TextureWrapping::CLAMP_TO_EDGE;
    EXPECT_EQ(parameters(t),
              (std::array<GLint, 3>{GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE}));
    t.magFilter = TextureFiltering::NEAREST_MIPMAP_NEAREST;
    EXPECT_EQ(parameters(t)[0], GL_NEAREST_MIPMAP_NEAREST);
    t.magFilter = TextureFiltering::LINEAR;
    EXPECT_EQ(parameters(t)[0], GL_NEAREST);
}

TEST(FrameLoopGLTest, FramesAreWrittenAsPngTopRowFirst) {
    RenderHarness h(8, 4);
    h.scene->commands = {std::make_shared<MainPassCommand>(
        true, clearColor(0, 0, 1), clear(),
        colorDraw(h.mesh("top", rectangle(-1, 0, 1, 1, 0)), h.shader("Color"), 1, 0, 0))};
    const Image frame = h.frame();
    const std::string path = (h.resources.root() / "frame.png").string();
    ASSERT_TRUE(renderer::writePng(path, frame).ok());

    const Image read = testsupport::readPng(path);
    const std::vector<std::uint8_t>& pixels = read.rgba;
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(std::tuple(read.width, read.height), std::tuple(8, 4));
    EXPECT_EQ(pixels, frame.rgba);
    EXPECT_EQ(pixels[0], 255) << "the first row is the top of the frame, which is red";
    EXPECT_EQ(pixels[pixels.size() - 2], 255) << "the last row is blue";

    // Failures say why, in the system's words where the system refused.
    const std::string nowhere = (h.resources.root() / "no/such/dir.png").string();
    EXPECT_EQ(renderer::writePng(nowhere, frame).error().message,
              "Cannot write PNG " + nowhere + ": No such file or directory");
    EXPECT_EQ(renderer::writePng("/dev/full", frame).error().message,
              "Cannot write PNG /dev/full: No space left on device");
    Image broken = frame;
    broken.rgba.pop_back();
    EXPECT_EQ(renderer::writePng(path, broken).error().message,
              "Cannot write PNG " + path + ": the image's size and pixels disagree");
}

} // namespace
} // namespace rendertest
