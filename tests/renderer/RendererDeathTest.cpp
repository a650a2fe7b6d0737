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
    TestResources resources;
    NoSurface surface;
    EXPECT_EXIT(renderer::KadrelRenderer(surface, std::make_shared<TestScene>(), "scene",
                                         resources.locator()),
                testing::ExitedWithCode(1), "^GPU not available\n$");

    renderer::HeadlessSurface headless(8, 8);
    EXPECT_EXIT(BareRenderer(headless, std::make_shared<TestScene>(), resources.locator()),
                testing::ExitedWithCode(1), "^Not implemented\n$");
}

TEST_F(RendererDeathTest, MissingOrBrokenResourcesStopTheStart) {
    TestResources resources;
    renderer::HeadlessSurface surface(8, 8);
    const auto start = [&](const std::function<void(TestScene&)>& fill) {
        auto scene = std::make_shared<TestScene>();
        fill(*scene);
        renderer::ExampleRenderer r(surface, scene, "scene", resources.locator());
    };

    EXPECT_EXIT(start([](TestScene& s) {
                    auto t = std::make_shared<Texture>();
                    t->fileName = "absent";
                    t->format = TextureFormat::ASTC;
                    s.textures.push_back(t);
                }),
                testing::ExitedWithCode(1), "Cannot load texture absent\n$");
    EXPECT_EXIT(start([](TestScene& s) {
                    auto m = std::make_shared<Mesh>();
                    m->fileName = "nowhere";
                    s.meshes.push_back(m);
                }),
                testing::ExitedWithCode(1), "Cannot create model buffers: nowhere\n$");
    EXPECT_EXIT(start([](TestScene& s) {
                    auto shader = std::make_shared<Shader>();
                    shader->name = "Missing";
                    s.shaders.push_back(shader);
                }),
                testing::ExitedWithCode(1), "^Cannot find shader function vertexShaderMissing\n$");

    resources.writeText("shaders/vertexShaderBroken.glsl",
                        "#version 330 core\nvoid main() { gl_Position = vec4(undeclared); }\n");
    resources.writeText("shaders/fragmentShaderBroken.glsl",
                        "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    EXPECT_EXIT(start([](TestScene& s) {
                    auto shader = std::make_shared<Shader>();
                    shader->name = "Broken";
                    s.shaders.push_back(shader);
                }),
                testing::ExitedWithCode(1),
                "^Cannot compile shader function vertexShaderBroken: .*undeclared");

    // Both stages compile, but the vertex stage has no main function.
    resources.writeText("shaders/vertexShaderUnlinked.glsl",
                        "#version 330 core\nvoid shade() { gl_Position = vec4(0.0); }\n");
    resources.writeText("shaders/fragmentShaderUnlinked.glsl",
                        "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    EXPECT_EXIT(start([](TestScene& s) {
                    auto shader = std::make_shared<Shader>();
                    shader->name = "Unlinked";
                    s.shaders.push_back(shader);
                }),
                testing::ExitedWithCode(1), "^Cannot create render pipeline state: .*main");

    std::filesystem::remove(resources.root() / "models" / "vignette-round-vntao-indices.bin");
    EXPECT_EXIT(start([](TestScene&) {}), testing::ExitedWithCode(1),
                "Cannot create model buffers: vignette-round-vntao\n$");
}

// A harness with one Color rectangle and a blurred pass ready to be misconfigured.
class BrokenFrame {
  public:
    BrokenFrame()
        : h(16, 16, [](RenderHarness& s) {
              s.resources.writeModel("quad", rectangle(-1, -1, 1, 1, 0), CCW_QUAD);
              s.mesh("quad");
              s.shader("Color");
              s.shader("Diffuse");
          }) {
        draw = colorDraw(h.scene->meshes[0], h.scene->shaders[0], 1, 0, 0);
        blurred = std::make_shared<BlurredPassCommand>();
        blurred->minSize = 8;
        h.scene->commands = {blurred, std::make_shared<MainPassCommand>(true, clear(), draw)};
    }
    RenderHarness h;
    std::shared_ptr<DrawMeshCommand> draw;
    std::shared_ptr<BlurredPassCommand> blurred;
};

TEST_F(RendererDeathTest, BadPassesStopTheFrame) {
    {
        BrokenFrame f;
        f.blurred->blurSize = static_cast<BlurSize>(9);
        EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1), "^Incompatible blur size\n$");
    }
    {
        BrokenFrame f;
        f.blurred->minSize = 1 << 20;
        EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1),
                    "^Cannot create textures: Cannot create texture with pixelFormat RGBA8 of "
                    "size 1048576x1048576\n$");
    }
}

TEST_F(RendererDeathTest, AShaderMissingFromTheTableStopsItsFirstDraw) {
    TestResources resources;
    resources.writeModel("quad", rectangle(-1, -1, 1, 1, 0), CCW_QUAD);
    renderer::HeadlessSurface surface(8, 8);
    auto scene = std::make_shared<TestScene>();
    auto mesh = std::make_shared<Mesh>();
    mesh->fileName = "quad";
    auto shader = std::make_shared<Shader>();
    shader->name = "Color";
    scene->meshes = {mesh};
    scene->shaders = {shader};
    scene->commands = {std::make_shared<MainPassCommand>(true, colorDraw(mesh, shader, 1, 0, 0))};
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
    // The rectangle's 8-byte vertices drawn with the 12-byte layout of "Diffuse".
    f.draw->uniforms[1] = color(1, 1, 1);
    f.draw->state = std::make_shared<DrawMeshState>(
        f.h.scene->shaders[1], BLENDING_NONE(), DEPTH_NONE(), CullFace::DISABLED, diffuseLayout());
    f.draw->uniforms.pop_back();
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1), "^Cannot draw model: Model file .*quad");
    // Culling FRONT_AND_BACK has no GL reading in the tables.
    f.draw->state =
        std::make_shared<DrawMeshState>(f.h.scene->shaders[0], BLENDING_NONE(), DEPTH_NONE(),
                                        CullFace::FRONT_AND_BACK, colorLayout());
    f.draw->uniforms.push_back(color(1, 1, 1));
    EXPECT_EXIT(f.h.frame(), testing::ExitedWithCode(1), "^No GL value for FRONT_AND_BACK\n$");
}

} // namespace
} // namespace rendertest
