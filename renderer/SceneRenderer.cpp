#include "renderer/SceneRenderer.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "renderer/CommandWalk.h"
#include "renderer/Fatal.h"
#include "renderer/FrameEncoder.h"
#include "renderer/SceneResources.h"
#include "renderer/gl/GlState.h"
#include "renderer/loaders/TextureUpload.h"
#include "renderer/pipeline/PipelineFactory.h"
#include "renderer/shaders/ShaderLibrary.h"

namespace renderer {

namespace {

constexpr const char* VIGNETTE_MODEL = "models/vignette-round-vntao";

// Bytes each frame uploads of the textures still on their way, at least one level of blocks
// or one band of texels: a few milliseconds of decoding where the processor decodes ASTC
// (room 1's texture arrives over about 50 frames), a copy of a level or two of blocks
// elsewhere (2 frames).
constexpr std::size_t STREAM_BYTES_PER_FRAME = std::size_t{256} << 10;

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
    : scene_(std::move(sceneIn)), resourcesRoot_(std::move(resourcesRootIn)), surface_(surfaceIn),
      locator_(std::move(locatorIn)), glState_(std::make_unique<gl::State>()),
      shaderLibrary_(std::make_unique<ShaderLibrary>(locator_, *glState_)),
      resources_(std::make_unique<SceneResources>()) {
    if (!scene_) {
        fatal("No scene to render");
    }
    // GL clip space has depth -1 to 1: the projection must not be remapped to 0 to 1.
    scene_->backendMode = engine::BackendMode::OPENGL;
}

SceneRenderer::~SceneRenderer() = default;

void SceneRenderer::load() {
    // Without the folder every lookup would fail; say so rather than name the first file.
    std::error_code error;
    if (!std::filesystem::is_directory(locator_.root(), error)) {
        fatal("Cannot find the resources folder ", locator_.root().string());
    }
    loadShaders();
    loadModels();
    loadTextures();
    loadVignette();
    for (const char* name : BUILT_IN_SHADERS) {
        (void)shaderLibrary_->functions(name);
    }
    // The loaders made their GL objects outside the state shadow.
    glState_->reset();
    frame_ =
        std::make_unique<FrameEncoder>(surface_, *scene_, *glState_, *shaderLibrary_, *resources_);
    scene_->initialize();
    // Every draw of the tree, switched on or not (a room that is shown minutes later is a
    // disabled group now), against the model it draws: a broken file stops the start rather
    // than the frame that first shows it.
    CommandWalk::everyMeshDraw(
        scene_->commands, [this](const engine::commands::DrawMeshCommand& draw) {
            if (!draw.mesh || !draw.state) {
                return; // a draw without a mesh or state stops its frame with its own message
            }
            const std::int32_t meshId = draw.mesh->id;
            if (meshId < 0 || static_cast<std::size_t>(meshId) >= resources_->models.size()) {
                return; // likewise for a mesh the scene does not list
            }
            const FullModel& model = resources_->models[static_cast<std::size_t>(meshId)];
            if (!model.indexBuffer) {
                fatal("Cannot create model buffers: no indices in ", model.summary.indexFile);
            }
            if (const auto& layout = draw.state->vertexAttributes;
                layout && !layout->attributes.empty()) {
                resources_->checkModelLayout(static_cast<std::size_t>(meshId), layout->stride,
                                             "Cannot create model buffers: ");
            }
        });
    scene_->loaded = true;
}

const ShadersUniforms& SceneRenderer::makeShadersUniforms() {
    fatal("Not implemented");
}

void SceneRenderer::loadShaders() {
    resources_->shadersUniforms = makeShadersUniforms();
    for (const engine::ShaderPtr& shader : scene_->shaders) {
        if (!shader) {
            continue;
        }
        shader->id = static_cast<std::int32_t>(resources_->shaders.size());
        resources_->shaders.push_back(shaderLibrary_->functions(shader->name));
    }
}

void SceneRenderer::loadModels() {
    std::vector<FullModel>& models = resources_->models;
    for (FullModel& model : models) {
        model.release();
    }
    models.clear();
    for (const engine::MeshPtr& mesh : scene_->meshes) {
        if (!mesh) {
            continue;
        }
        mesh->id = static_cast<std::int32_t>(models.size());
        FullModel model(mesh->fileName, resourcesRoot_);
        model.load(locator_);
        models.push_back(std::move(model));
    }
    resources_->modelCheckedStride.assign(models.size(), 0);
}

void SceneRenderer::loadTextures() {
    resources_->textures.clear();
    resources_->samplers.clear();
    resources_->textureStreams.clear();
    resources_->texturesLoading = 0;
    for (const engine::TexturePtr& texture : scene_->textures) {
        if (!texture) {
            continue;
        }
        texture->id = static_cast<std::int32_t>(resources_->textures.size());
        const TexturePath path =
            texture->format == engine::TextureFormat::ASTC ? texturePath() : TexturePath::Astc;
        Result<TextureStream> stream =
            TextureStream::open(*texture, locator_, resourcesRoot_, path);
        if (!stream) {
            std::fprintf(stderr, "%s\n", stream.error().message.c_str());
            fatal("Cannot load texture ", texture->fileName);
        }
        if (!stream.value().done()) {
            ++resources_->texturesLoading;
        }
        resources_->textureStreams.push_back(std::move(stream).value());
        resources_->textures.emplace_back();
        resources_->samplers.push_back(makeSamplerState(*texture));
    }
}

void SceneRenderer::advanceTexture(std::size_t id, std::size_t budget) {
    TextureStream& stream = resources_->textureStreams[id];
    if (stream.done()) {
        return;
    }
    if (Result<void> stepped = stream.step(budget); !stepped) {
        std::fprintf(stderr, "%s\n", stepped.error().message.c_str());
        fatal("Cannot load texture ", stream.fileName());
    }
    if (stream.done()) {
        resources_->textures[id] = stream.take();
        --resources_->texturesLoading;
    }
}

void SceneRenderer::completeTexturesOfFrame() {
    CommandWalk::enabledMeshDraws(
        scene_->commands, [this](const engine::commands::DrawMeshCommand& draw) {
            for (const engine::UniformValuePtr& value : draw.uniforms) {
                if (!value || value->kind() != engine::UniformValue::Kind::Texture) {
                    continue;
                }
                const engine::TexturePtr& texture =
                    static_cast<const engine::UniformTextureValue&>(*value).value;
                if (texture && texture->id >= 0 &&
                    static_cast<std::size_t>(texture->id) < resources_->textureStreams.size()) {
                    advanceTexture(static_cast<std::size_t>(texture->id), SIZE_MAX);
                }
            }
        });
}

void SceneRenderer::streamTextures() {
    for (std::size_t id = 0; id < resources_->textureStreams.size(); ++id) {
        if (!resources_->textureStreams[id].done()) {
            advanceTexture(id, STREAM_BYTES_PER_FRAME);
            return;
        }
    }
}

void SceneRenderer::finishLoading() {
    for (std::size_t id = 0; id < resources_->textureStreams.size(); ++id) {
        advanceTexture(id, SIZE_MAX);
    }
}

void SceneRenderer::loadVignette() {
    resources_->vignette = std::make_unique<FullModel>(VIGNETTE_MODEL, std::string());
    FullModel& vignette = *resources_->vignette;
    vignette.load(locator_);
    if (!vignette.indexBuffer) {
        fatal("Cannot create model buffers: ", vignette.filename);
    }
    if (Result<void> layout = vignette.validate(FrameEncoder::vignetteLayout().stride); !layout) {
        fatal("Cannot create model buffers: ", layout.error().message);
    }
    (void)shaderLibrary_->functions("Vignette");
}

void SceneRenderer::drawFrame() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    drawFrame(std::chrono::duration<double, std::milli>(now).count());
}

void SceneRenderer::drawFrame(double timeMs) {
    const DrawableSize size = surface_.drawableSize();
    if (size.fitsInt32()) {
        const auto w = static_cast<std::int32_t>(size.width);
        const auto h = static_cast<std::int32_t>(size.height);
        if (w != scene_->viewportWidth || h != scene_->viewportHeight) {
            scene_->updateViewportSize(w, h);
            std::printf("Set scene size: %dx%d\n", w, h);
            std::fflush(stdout);
        }
    }
    scene_->updateTimers(timeMs);
    if (resources_->texturesLoading > 0) {
        completeTexturesOfFrame();
    }
    glState_->enter();
    frame_->encode(scene_->commands);
    // The frame is shown; what later frames may need follows it, a little per frame.
    if (resources_->texturesLoading > 0) {
        streamTextures();
    }
}

void SceneRenderer::releaseGlState() {
    glState_->leave();
}

void SceneRenderer::resetGlState() {
    glState_->reset();
}

void SceneRenderer::forgetPipelines() {
    frame_->forgetPipelines();
}

RendererStats SceneRenderer::stats() const {
    RendererStats stats;
    stats.glCalls = glState_->calls();
    stats.glObjectsCreated = gl::objectsCreated();
    stats.pipelines = frame_->pipelineCount();
    stats.meshVertexArrays = frame_->meshVertexArrayCount();
    stats.blurredPasses = frame_->blurredPassCount();
    stats.fullscreenQuads = frame_->fullscreenQuadCount();
    stats.texturesLoading = resources_->texturesLoading;
    stats.videoMemory = gl::videoMemory();
    return stats;
}

const GaussianBlurRenderPass* SceneRenderer::blurredPass(std::int32_t id) const {
    return frame_->blurredPass(id);
}

const std::array<std::uint16_t, 4>& SceneRenderer::vignetteColorHalves(int which) const {
    return frame_->vignetteColorHalves(which);
}

} // namespace renderer
