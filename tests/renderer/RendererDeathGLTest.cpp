// Broken set-up stops the program with a fixed message on standard error.

#include <gtest/gtest.h>

#include <filesystem>

#include "renderer/KadrelRenderer.h"
#include "tests/renderer/RenderTestSupport.h"

namespace rendertest {
namespace {

// The GL driver runs threads of its own, so death tests re-run the test binary rather than
// fork it.
class RendererDeathTest : public testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    // Starts the example renderer on a scene that lists one shader or texture.
    void start(const std::string& shaderName, TexturePtr texture = nullptr) {
        auto scene = std::make_shared<TestScene>();
        if (!shaderName.empty()) {
            scene->shaders.push_back(std::make_shared<Shader>());
            scene->shaders.back()->name = shaderName;
        }
        if (texture) {
            scene->textures.push_back(texture);
        }
        renderer::HeadlessSurface surface(8, 8);
        renderer::ExampleRenderer r(surface, scene, "scene", resources.locator());
    }

    TestResources resources;
};

class NoSurface : public renderer::RenderSurface {
  public:
    renderer::DrawableSize drawableSize() const override { return {16, 16}; }
    std::optional<unsigned int> currentDrawable() override { return 0U; }
    void present() override {}
};

// A renderer that says nothing about its shaders.
class BareRenderer : public renderer::SceneRenderer {
  public:
    BareRenderer(renderer::RenderSurface& target, std::shared_ptr<Scene> shown,
                 renderer::ResourceLocator files)
        : SceneRenderer(target, std::move(shown), "scene", std::move(files)) {
        load();
    }
};

TEST_F(RendererDeathTest, ConstructionNeedsAContextAndAShaderTable) {
    NoSurface surface;
    EXPECT_EXIT(renderer::KadrelRenderer(surface, std::make_shared<TestScene>(), "scene",
                                         resources.locator()),
                testing::ExitedWithCode(1), "^GPU not available\n$");
    renderer::HeadlessSurface headless(8, 8);
    EXPECT_EXIT(BareRenderer(headless, std::make_shared<TestScene>(), resources.locator()),
                testing::ExitedWithCode(1), "^Not implemented\n$");
}

TEST_F(RendererDeathTest, MissingOrBrokenResourcesStopTheStart) {
    auto texture = std::make_shared<Texture>();
    texture->fileName = "absent";
    texture->format = TextureFormat::ASTC;
    EXPECT_EXIT(start("", texture), testing::ExitedWithCode(1), "Cannot load texture absent\n$");
    EXPECT_EXIT(start("Missing"), testing::ExitedWithCode(1),
                "^Cannot find shader function vertexShaderMissing\n$");

    // "Broken" does not compile; both stages of "Unlinked" do, but its vertex stage has no
    // main function.
    resources.writeText("shaders/vertexShaderBroken.glsl",
                        "#version 330 core\nvoid main() { gl_Position = vec4(undeclared); }\n");
    resources.writeText("shaders/vertexShaderUnlinked.glsl",
                        "#version 330 core\nvoid shade() { gl_Position = vec4(0.0); }\n");
    for (const char* name : {"Broken", "Unlinked"}) {
        resources.writeText(std::string("shaders/fragmentShader") + name + ".glsl",
                            "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    }
    EXPECT_EXIT(start("Broken"), testing::ExitedWithCode(1),
                "^Cannot compile shader function vertexShaderBroken: .*undeclared");
    EXPECT_EXIT(start("Unlinked"), testing::ExitedWithCode(1),
                "^Cannot create render pipeline state: .*main");

    // The helpers every shader may use are a file of the library like any other.
    std::filesystem::rename(resources.root() / "shaders" / "Common.glsl",
                            resources.root() / "Common.glsl");
    EXPECT_EXIT(start("Color"), testing::ExitedWithCode(1),
                "^Cannot find the shared shader include shaders/Common.glsl\n$");
    std::filesystem::rename(resources.root() / "Common.glsl",
                            resources.root() / "shaders" / "Common.glsl");

    std::filesystem::remove(resources.root() / "models" / "vignette-round-vntao-indices.bin");
    EXPECT_EXIT(start(""), testing::ExitedWithCode(1),
                "^File not found in bundle: models/vignette-round-vntao-indices.bin\n"
                "Cannot create model buffers: vignette-round-vntao\n$");
}

// A harness with one Color rectangle and a blurred pass ready to be misconfigured.
class BrokenFrame {
  public:
    BrokenFrame() {
        diffuse = h.shader("Diffuse");
        draw = colorDraw(h.mesh("quad", rectangle(-1, -1, 1, 1, 0)), h.shader("Color"), 1, 0, 0);
        blurred->minSize = 8;
        h.scene->commands = {blurred, std::make_shared<MainPassCommand>(true, clear(), draw)};
    }
    RenderHarness h{16, 16};
    ShaderPtr diffuse;
    std::shared_ptr<DrawMeshCommand> draw;
    std::shared_ptr<BlurredPassCommand> blurred = std::make_shared<BlurredPassCommand>();
};

TEST_F(RendererDeathTest, BadPassesStopTheFrame) {
    BrokenFrame f;
    f.blurred->blurSize = static_cast<BlurSize>(9);
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1), "^Incompatible blur size\n$");
    f.blurred->blurSize = BlurSize::KERNEL_5;
    f.blurred->minSize = 1 << 20;
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1),
                "^Cannot create textures: Cannot create texture with pixelFormat RGBA8 of "
                "size 1048576x1048576\n$");
}

// Every draw of the tree is checked against its model when the renderer starts, switched on
// or not: a room shown only minutes later must not stop a frame then.
TEST_F(RendererDeathTest, AModelThatDoesNotFitItsDrawsStopsTheStart) {
    RenderHarness h(16, 16);
    // Four vertices, but the index file reaches the fifth.
    const ShaderPtr color = h.shader("Color");
    auto hidden = std::make_shared<GroupCommand>(
        false, std::vector<CommandPtr>{colorDraw(
                   h.mesh("short", rectangle(-1, -1, 1, 1, 0), {0, 1, 4}), color, 1, 0, 0)});
    h.scene->commands = {std::make_shared<MainPassCommand>(true, clear(), hidden)};
    EXPECT_EXIT(h.start(), testing::ExitedWithCode(1),
                "^Cannot create model buffers: Model file scene/models/short-indices.bin has "
                "index 4, past the 4 vertices of scene/models/short-strides.bin\n$");

    // No indices at all: nothing to draw it with.
    hidden->commands = {colorDraw(h.mesh("bare", rectangle(-1, -1, 1, 1, 0), {}), color, 1, 0, 0)};
    EXPECT_EXIT(h.start(), testing::ExitedWithCode(1),
                "^Cannot create model buffers: no indices in scene/models/bare-indices.bin\n$");
}

TEST_F(RendererDeathTest, AShaderMissingFromTheTableStopsItsFirstDraw) {
    resources.writeModel("quad", rectangle(-1, -1, 1, 1, 0), CCW_QUAD);
    renderer::HeadlessSurface surface(8, 8);
    auto scene = std::make_shared<TestScene>();
    scene->meshes = {std::make_shared<Mesh>()};
    scene->meshes[0]->fileName = "quad";
    scene->shaders = {std::make_shared<Shader>()};
    scene->shaders[0]->name = "Color";
    scene->commands = {std::make_shared<MainPassCommand>(
        true, colorDraw(scene->meshes[0], scene->shaders[0], 1, 0, 0))};
    renderer::KadrelRenderer kadrel(surface, scene, "scene", resources.locator());
    EXPECT_EXIT(kadrel.drawFrame(0.0), testing::ExitedWithCode(1),
                "^No uniforms for shader Color\n$");
}

TEST_F(RendererDeathTest, DrawsThatDoNotMatchTheirShaderTableStop) {
    BrokenFrame f;
    f.draw->uniforms.push_back(color(0, 0, 0));
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1),
                "^More uniform values than shader takes: Color\n$");
    f.draw->uniforms.pop_back();
    f.draw->uniforms[1] = std::make_shared<UniformFloatValue>(std::vector<float>(129));
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1),
                "^Uniform value with more than 128 elements for shader Color\n$");
    f.draw->uniforms[1] = std::make_shared<UniformIntValue>(std::vector<std::int32_t>{40000});
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1),
                "^Uniform value outside the 16-bit range for shader Color\n$");
    // The rectangle's 8-byte vertices drawn with the 12-byte layout of "Diffuse", by a draw
    // that appears once the renderer has started (and checked the tree it had then).
    f.h.start();
    f.draw->uniforms = {identityMatrix()};
    f.draw->state = std::make_shared<DrawMeshState>(f.diffuse, BLENDING_NONE(), DEPTH_NONE(),
                                                    CullFace::DISABLED, diffuseLayout());
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1),
                "^Cannot draw model: Model file scene/models/quad-strides.bin holds 32 bytes, "
                "not a whole number of 12-byte vertices\n$");
    // Culling FRONT_AND_BACK has no GL reading in the tables.
    f.draw->uniforms = {identityMatrix(), color(1, 1, 1)};
    f.draw->state =
        std::make_shared<DrawMeshState>(f.h.scene->shaders[1], BLENDING_NONE(), DEPTH_NONE(),
                                        CullFace::FRONT_AND_BACK, colorLayout());
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1), "^No GL value for FRONT_AND_BACK\n$");
}

} // namespace
} // namespace rendertest
