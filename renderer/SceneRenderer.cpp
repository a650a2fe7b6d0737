#include "renderer/SceneRenderer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "renderer/Fatal.h"
#include "renderer/loaders/TextureUpload.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {

namespace {

constexpr const char* VIGNETTE_MODEL = "models/vignette-round-vntao";

// The renderer's own programs, compiled up front so that a frame never compiles.
constexpr const char* BUILT_IN_SHADERS[] = {"FullscreenQuad", "GaussianBlur", "GaussianBlur4",
                                            "GaussianBlur3", "GaussianBlur2"};

} // namespace

SceneRenderer::ContextCheck::ContextCheck() {
    if (epoxy_gl_version() < 33) {
        fatal("GPU not available");
    }
}

SceneRenderer::SceneRenderer(RenderSurface& surfaceIn, std::shared_ptr<engine::Scene> sceneIn,
                             std::string resourcesRootIn, ResourceLocator locatorIn)
    : scene(std::move(sceneIn)), resourcesRoot(std::move(resourcesRootIn)), surface(surfaceIn),
      locator(std::move(locatorIn)), uniformStream(glState), shaderLibrary(locator, glState) {
    if (!scene) {
        fatal("No scene to render");
    }
    // GL clip space has depth -1 to 1: the projection must not be remapped to 0 to 1.
    scene->backendMode = engine::BackendMode::OPENGL;
}

SceneRenderer::~SceneRenderer() = default;

void SceneRenderer::load() {
    // Without the folder every lookup would fail; say so rather than name the first file.
    std::error_code error;
    if (!std::filesystem::is_directory(locator.root(), error)) {
        fatal("Cannot find the resources folder ", locator.root().string());
    }
    loadShaders();
    loadModels();
    loadTextures();
    loadVignette();
    for (const char* name : BUILT_IN_SHADERS) {
        (void)shaderLibrary.functions(name);
    }
    // The loaders made their GL objects outside the state shadow.
    glState.reset();
    scene->initialize();
    CommandWalk::everyMeshDraw(scene->commands, [this](const engine::commands::DrawMeshCommand& draw) {
        checkDrawnModel(draw);
    });
    scene->loaded = true;
}

const ShadersUniforms& SceneRenderer::makeShadersUniforms() {
    fatal("Not implemented");
}

void SceneRenderer::loadShaders() {
    shadersUniforms = makeShadersUniforms();
    for (const engine::ShaderPtr& shader : scene->shaders) {
        if (!shader) {
            continue;
        }
        shader->id = static_cast<std::int32_t>(shaders.size());
        shaders.push_back(shaderLibrary.functions(shader->name));
    }
}

void SceneRenderer::loadModels() {
    for (FullModel& model : models) {
        model.release();
    }
    models.clear();
    for (const engine::MeshPtr& mesh : scene->meshes) {
        if (!mesh) {
            continue;
        }
        mesh->id = static_cast<std::int32_t>(models.size());
        FullModel model(mesh->fileName, resourcesRoot);
        model.load(locator);
        models.push_back(std::move(model));
    }
    modelCheckedStride_.assign(models.size(), 0);
}

void SceneRenderer::loadTextures() {
    textures.clear();
    samplers.clear();
    for (const engine::TexturePtr& texture : scene->textures) {
        if (!texture) {
            continue;
        }
        texture->id = static_cast<std::int32_t>(textures.size());
        Result<std::optional<gl::Texture>> loaded = loadTexture(*texture, locator, resourcesRoot);
        if (!loaded) {
            std::fprintf(stderr, "%s\n", loaded.error().message.c_str());
            fatal("Cannot load texture ", texture->fileName);
        }
        std::optional<gl::Texture>& made = loaded.value();
        textures.push_back(made ? std::move(*made) : gl::Texture());
        samplers.push_back(makeSamplerState(*texture));
    }
}

void SceneRenderer::loadVignette() {
    fmVignette = std::make_unique<FullModel>(VIGNETTE_MODEL, std::string());
    fmVignette->load(locator);
    if (!fmVignette->indexBuffer) {
        fatal("Cannot create model buffers: ", fmVignette->filename);
    }
    const VignetteUtils& utils = vignetteUtils();
    if (Result<void> layout = fmVignette->validate(utils.attributes.stride); !layout) {
        fatal("Cannot create model buffers: ", layout.error().message);
    }
    vignettePipelineStateWithDepth = makeVignettePipeline(shaderLibrary.functions("Vignette"));
}

// Every draw of the tree, switched on or not (a room that is shown minutes later is a
// disabled group now), against the model it draws: a broken file stops the start rather than
// the frame that first shows it.
void SceneRenderer::checkDrawnModel(const engine::commands::DrawMeshCommand& draw) {
    if (!draw.mesh || !draw.state) {
        return; // a draw without a mesh or state stops its frame with its own message
    }
    const std::int32_t meshId = draw.mesh->id;
    if (meshId < 0 || static_cast<std::size_t>(meshId) >= models.size()) {
        return; // likewise for a mesh the scene does not list
    }
    const FullModel& model = models[static_cast<std::size_t>(meshId)];
    if (!model.indexBuffer) {
        fatal("Cannot create model buffers: no indices in ", model.summary.indexFile);
    }
    if (const auto& layout = draw.state->vertexAttributes; layout && !layout->attributes.empty()) {
        checkModelLayout(static_cast<std::size_t>(meshId), layout->stride,
                         "Cannot create model buffers: ");
    }
}

void SceneRenderer::drawFrame() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    drawFrame(std::chrono::duration<double, std::milli>(now).count());
}

void SceneRenderer::drawFrame(double timeMs) {
    const DrawableSize size = surface.drawableSize();
    if (size.fitsInt32()) {
        const auto w = static_cast<std::int32_t>(size.width);
        const auto h = static_cast<std::int32_t>(size.height);
        if (w != scene->viewportWidth || h != scene->viewportHeight) {
            scene->updateViewportSize(w, h);
            std::printf("Set scene size: %dx%d\n", w, h);
            std::fflush(stdout);
        }
    }
    scene->updateTimers(timeMs);
    CommandWalk(*this).passes(scene->commands);
}

} // namespace renderer
