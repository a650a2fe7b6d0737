// The frame loop, resource ids, the pipeline cache, uniform packing and the warm-frame
// guarantees, on a headless context.

#include <gtest/gtest.h>

#include <png.h>

#include <cstring>

#include "renderer/KadrelRenderer.h"
#include "renderer/gl/GlObject.h"
#include "renderer/headless/PngWriter.h"
#include "renderer/pipeline/PipelineFactory.h"
#include "tests/renderer/RenderTestSupport.h"
#include "tests/support/AllocationCounter.h"

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
    EXPECT_EQ(scene->backendMode, BackendMode::OPENGL);

    testing::internal::CaptureStdout();
    renderer.drawFrame(1234.5);
    renderer.drawFrame(1300.0);
    surface.size = {399.5, 300.9}; // fractions are truncated
    renderer.drawFrame(1400.0);
    surface.size = {1e12, 20.0}; // outside the 32-bit range: the viewport stays
    renderer.drawFrame(1500.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Set scene size: 32x32\nSet scene size: 399x300\n");
    EXPECT_EQ(scene->viewportUpdates, 2);
    EXPECT_EQ(scene->viewportWidth, 399);
    EXPECT_EQ(scene->viewportHeight, 300);
    EXPECT_EQ(scene->frames, 4);
    EXPECT_EQ(scene->lastFrameTime, 1500.0);

    // The monotonic clock in milliseconds when no time is given.
    renderer.drawFrame();
    const double first = scene->lastFrameTime;
    renderer.drawFrame();
    EXPECT_GE(scene->lastFrameTime, first);
    EXPECT_GT(first, 1500.0);
}

TEST(FrameLoopGLTest, ResourcesGetIdsInListOrderAndPassesWithoutADrawableAreSkipped) {
    RenderHarness h(16, 16, [](RenderHarness& s) {
        for (const char* name : {"a", "b"}) {
            s.resources.writeModel(name, rectangle(-1, -1, 1, 1, 0), CCW_QUAD);
            s.mesh(name);
        }
        s.resources.writeHalfTexture("t0", std::vector<float>(4, 1.0F));
        s.resources.writeHalfTexture("t1", std::vector<float>(4, 1.0F));
        s.halfTexture("t0", 1, 1);
        // A format without a loader keeps its own slot, so the next texture's id is its own.
        auto unsupported = std::make_shared<Texture>();
        unsupported->format = TextureFormat::RGB32F;
        s.scene->textures.push_back(unsupported);
        s.halfTexture("t1", 1, 1);
        s.shader("Color");
        s.shader("Diffuse");
    });
    EXPECT_EQ(h.scene->meshes[0]->id, 0);
    EXPECT_EQ(h.scene->meshes[1]->id, 1);
    EXPECT_EQ(h.scene->shaders[0]->id, 0);
    EXPECT_EQ(h.scene->shaders[1]->id, 1);
    EXPECT_EQ(h.scene->textures[0]->id, 0);
    EXPECT_EQ(h.scene->textures[1]->id, 1);
    EXPECT_EQ(h.scene->textures[2]->id, 2);
    EXPECT_EQ(h.renderer->textures.size(), 3U);
    EXPECT_EQ(h.renderer->samplers.size(), 3U);
    EXPECT_FALSE(h.renderer->textures[1]);
    EXPECT_EQ(h.renderer->shaders[1].name, "Diffuse");

    h.scene->commands = {std::make_shared<MainPassCommand>(
        true, clearColor(0, 1, 0), clear(),
        colorDraw(h.scene->meshes[0], h.scene->shaders[0], 1, 0, 0))};
    h.surface.setDrawableAvailable(false);
    Image frame = h.frame();
    EXPECT_EQ(h.surface.presentedFrames(), 0U);
    EXPECT_EQ(h.scene->frames, 1) << "time still advances without a drawable";
    h.surface.setDrawableAvailable(true);
    frame = h.frame();
    EXPECT_TRUE(pixelNear(frame, 8, 8, {255, 0, 0}));
}

TEST(FrameLoopGLTest, PipelinesAreCachedPerDrawStateObject) {
    RenderHarness h(16, 16, [](RenderHarness& s) {
        s.resources.writeModel("a", rectangle(-1, -1, 1, 1, 0), CCW_QUAD);
        s.mesh("a");
        s.shader("Color");
    });
    const MeshPtr mesh = h.scene->meshes[0];
    const ShaderPtr shader = h.scene->shaders[0];
    auto first = colorDraw(mesh, shader, 1, 0, 0);
    auto sharing = std::make_shared<DrawMeshCommand>(mesh, first->uniforms, first->state);
    auto equal = colorDraw(mesh, shader, 1, 0, 0); // same contents, another object
    h.scene->commands = {std::make_shared<MainPassCommand>(true, first, sharing)};
    h.frame();
    EXPECT_EQ(h.renderer->pipelinesCache.size(), 1U);
    h.scene->commands = {std::make_shared<MainPassCommand>(true, first, sharing, equal)};
    h.frame();
    EXPECT_EQ(h.renderer->pipelinesCache.size(), 2U);
    EXPECT_NE(h.renderer->pipelinesCache.at(first->state).renderPipelineState.get(),
              h.renderer->pipelinesCache.at(equal->state).renderPipelineState.get());
    EXPECT_EQ(h.renderer->pipelinesCache.at(first->state).cullMode, GLenum{GL_BACK});
    EXPECT_EQ(h.renderer->pipelinesCache.at(first->state).depthState,
              (renderer::gl::DepthState{GL_LESS, true}));
}

TEST(FrameLoopGLTest, UniformValuesArePackedByTheirTableEntry) {
    RenderHarness h(16, 16, [](RenderHarness& s) {
        s.resources.writeHalfTexture("t", std::vector<float>(4, 1.0F));
        s.halfTexture("t", 1, 1);
        s.shader("Color");
    });
    renderer::SceneRenderer& r = *h.renderer;
    auto state = std::make_shared<DrawMeshState>(h.scene->shaders[0], BLENDING_NONE(), DEPTH_NONE(),
                                                 CullFace::DISABLED, std::nullopt);
    std::vector<float> sixteen(16);
    for (int i = 0; i < 16; ++i) {
        sixteen[static_cast<std::size_t>(i)] = static_cast<float>(i) * 0.5F;
    }
    auto floats = std::make_shared<UniformFloatValue>(sixteen);
    auto ints = std::make_shared<UniformIntValue>(std::vector<std::int32_t>{-2, 70000});
    auto texture = std::make_shared<UniformTextureValue>(h.scene->textures[0]);
    DrawMeshCommand draw(std::make_shared<Mesh>(), {floats, floats, ints, ints, texture, texture},
                         state);
    using enum renderer::UniformType;
    using enum renderer::UniformDataType;
    r.shadersUniforms["Color"] = {{VERTEX, FP32, 1},    {FRAGMENT, FP16, 3},
                                  {VERTEX, INT32, 2},   {FRAGMENT, UBYTE, 4},
                                  {VERTEX, TEXTURE, 1}, {FRAGMENT, TEXTURE, 2}};
    ints->value[1] = 7; // the 16-bit form needs values in range
    r.applyUniforms(draw);
    r.uniformStream.commit();

    const auto staged = r.uniformStream.lastCommitted();
    ASSERT_EQ(staged.size(), 4U);
    EXPECT_EQ(staged[0].binding, 1U);
    EXPECT_EQ(staged[0].bytes, 64U);
    EXPECT_EQ(staged[1].binding, renderer::gl::FIRST_FRAGMENT_BUFFER_BINDING + 3);
    EXPECT_EQ(staged[1].bytes, 32U);
    EXPECT_EQ(staged[2].bytes, 8U);
    EXPECT_EQ(staged[3].bytes, 4U);
    float f = 0;
    std::memcpy(&f, r.uniformStream.bytesOf(staged[0]).data() + 4 * 5, 4);
    EXPECT_EQ(f, 2.5F);
    std::uint16_t half = 0;
    std::memcpy(&half, r.uniformStream.bytesOf(staged[1]).data() + 2 * 2, 2);
    EXPECT_EQ(half, 0x3C00); // 1.0
    std::int16_t shortValue = 0;
    std::memcpy(&shortValue, r.uniformStream.bytesOf(staged[3]).data(), 2);
    EXPECT_EQ(shortValue, -2);

    // Textures: the vertex stage gets no sampler, the fragment stage the texture's own.
    const auto samplerOf = [](unsigned unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint sampler = -1;
        glGetIntegerv(GL_SAMPLER_BINDING, &sampler);
        return sampler;
    };
    EXPECT_EQ(samplerOf(renderer::gl::FIRST_VERTEX_TEXTURE_UNIT + 1), 0);
    EXPECT_EQ(samplerOf(2), static_cast<GLint>(r.samplers[0].id()));
    r.resetGlState();
}

TEST(FrameLoopGLTest, SamplersFollowTheTexturesFilteringAndWrapping) {
    const auto parameter = [](const renderer::gl::Sampler& s, GLenum name) {
        GLint value = 0;
        glGetSamplerParameteriv(s.id(), name, &value);
        return value;
    };
    renderer::HeadlessSurface surface(4, 4);
    Texture t;
    t.minFilter = TextureFiltering::LINEAR_MIPMAP_LINEAR;
    t.magFilter = TextureFiltering::LINEAR_MIPMAP_LINEAR;
    t.wrapping = TextureWrapping::CLAMP_TO_EDGE;
    // No mip levels: no mip filtering whatever the filters say.
    EXPECT_EQ(parameter(renderer::makeSamplerState(t), GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    t.mipmaps = 3;
    EXPECT_EQ(parameter(renderer::makeSamplerState(t), GL_TEXTURE_MIN_FILTER),
              GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(renderer::makeSamplerState(t), GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    // The mip mode is read from the magnification filter.
    t.magFilter = TextureFiltering::LINEAR;
    EXPECT_EQ(parameter(renderer::makeSamplerState(t), GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    t.minFilter = TextureFiltering::NEAREST;
    t.magFilter = TextureFiltering::NEAREST_MIPMAP_NEAREST;
    EXPECT_EQ(parameter(renderer::makeSamplerState(t), GL_TEXTURE_MIN_FILTER),
              GL_NEAREST_MIPMAP_NEAREST);
    EXPECT_EQ(parameter(renderer::makeSamplerState(t), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    t.wrapping = TextureWrapping::MIRRORED_REPEAT;
    EXPECT_EQ(parameter(renderer::makeSamplerState(t), GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
}

// The wallpaper's shape of frame: a bloom pass, the room, the bloom added, the vignette.
// Once every pass, quad and pipeline has been seen, frames make no GL object and allocate
// nothing.
TEST(FrameLoopGLTest, WarmFramesMakeNoGlObjectsAndAllocateNothing) {
    RenderHarness h(64, 36, [](RenderHarness& s) {
        s.resources.writeModel(
            "room",
            halfVertices({-1, -1, 0, 0, 1, 1, -1, 0, 1, 1, 1, 1, 0, 1, 0, -1, 1, 0, 0, 0}, 5, 12),
            CCW_QUAD);
        s.resources.writeHalfTexture("wall", {1, 0.5F, 0, 1, 0, 0.5F, 1, 1});
        s.mesh("room");
        s.halfTexture("wall", 2, 1);
        s.shader("Diffuse");
    });
    auto state =
        std::make_shared<DrawMeshState>(h.scene->shaders[0], BLENDING_NONE(), DEPTH_TEST_ENABLED(),
                                        CullFace::BACK, diffuseLayout());
    auto room = std::make_shared<DrawMeshCommand>(
        h.scene->meshes[0],
        std::vector<UniformValuePtr>{identityMatrix(),
                                     std::make_shared<UniformTextureValue>(h.scene->textures[0])},
        state);
    auto bloom = std::make_shared<BlurredPassCommand>();
    bloom->blurSize = BlurSize::KERNEL_5;
    bloom->minSize = 17;
    bloom->commands = {clear(), room};
    auto drawBloom = std::make_shared<DrawBlurredCommand>();
    drawBloom->blending = additive();
    auto vignette = std::make_shared<VignetteCommand>();
    h.scene->commands = {std::make_shared<GroupCommand>(
        true, bloom,
        std::make_shared<MainPassCommand>(true, clearColor(1, 1, 1), clear(), room, drawBloom,
                                          vignette))};
    for (int i = 0; i < 3; ++i) {
        h.renderer->drawFrame(i * 16.0);
    }
    const std::uint64_t objects = renderer::gl::objectsCreated();
    const std::uint64_t callsBefore = h.renderer->glState.calls();
    constexpr int FRAMES = 40;
    {
        testsupport::AllocationCounter allocations;
        for (int i = 0; i < FRAMES; ++i) {
            h.renderer->drawFrame(100.0 + i * 16.0);
        }
        EXPECT_EQ(allocations.count(), 0U);
    }
    glFinish();
    EXPECT_EQ(renderer::gl::objectsCreated(), objects);
    const std::uint64_t perFrame = (h.renderer->glState.calls() - callsBefore) / FRAMES;
    RecordProperty("GlCallsPerFrame", static_cast<int>(perFrame));
}

TEST(FrameLoopGLTest, FramesAreWrittenAsPngTopRowFirst) {
    RenderHarness h(8, 4, [](RenderHarness& s) {
        s.resources.writeModel("top", rectangle(-1, 0, 1, 1, 0), CCW_QUAD);
        s.mesh("top");
        s.shader("Color");
    });
    h.scene->commands = {std::make_shared<MainPassCommand>(
        true, clearColor(0, 0, 1), clear(),
        colorDraw(h.scene->meshes[0], h.scene->shaders[0], 1, 0, 0))};
    const Image frame = h.frame();
    const std::string path = (h.resources.root() / "frame.png").string();
    ASSERT_TRUE(renderer::writePng(path, frame).ok());

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str()));
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(png.width, 8U);
    EXPECT_EQ(png.height, 4U);
    EXPECT_EQ(pixels, frame.rgba);
    EXPECT_EQ(pixels[0], 255) << "the first row is the top of the frame, which is red";
    EXPECT_EQ(pixels[pixels.size() - 2], 255) << "the last row is blue";

    EXPECT_FALSE(renderer::writePng((h.resources.root() / "no/such/dir.png").string(), frame).ok());
    Image broken = frame;
    broken.rgba.pop_back();
    EXPECT_EQ(renderer::writePng(path, broken).error().message, "Cannot write PNG " + path);
}

} // namespace
} // namespace rendertest
