#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/Scene.h"
#include "engine/commands/Commands.h"
#include "renderer/CommandWalk.h"
#include "renderer/MainPassTargets.h"
#include "renderer/RenderPassDescriptor.h"
#include "renderer/RenderSurface.h"
#include "renderer/blur/FullscreenQuad.h"
#include "renderer/blur/GaussianBlurRenderPass.h"
#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"
#include "renderer/gl/UniformStream.h"
#include "renderer/loaders/FullModel.h"
#include "renderer/loaders/ResourceLocator.h"
#include "renderer/pipeline/RenderPipeline.h"
#include "renderer/pipeline/Uniform.h"
#include "renderer/shaders/ShaderFunctions.h"
#include "renderer/shaders/ShaderLibrary.h"

namespace renderer {

// Draws an engine scene with OpenGL 3.3 core. It loads everything the scene lists when it
// is made and, every frame, brings the scene's viewport up to date, advances the scene's
// clock and executes its command tree: blurred passes render offscreen and blur, the main
// pass draws into a 4-sample target that is resolved into the surface's drawable.
//
// A concrete renderer says which inputs each of the scene's shaders takes
// (makeShadersUniforms) and calls load() at the end of its constructor, once that override
// is in place. The host's GL context must be current whenever the renderer is made, draws or
// is destroyed. Broken set-up stops the program with a message (see Fatal.h).
//
// The fields are public so that tools and tests can look at what the renderer made; only
// the renderer writes them.
class SceneRenderer : private CommandVisitor {
    // Constructed before every other member, as they make GL objects: stops the program with
    // "GPU not available" unless an OpenGL 3.3 context is current.
    struct ContextCheck {
        ContextCheck();
    } contextCheck_;

  public:
    virtual ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // One frame at the monotonic clock's time.
    void drawFrame();
    // One frame at `timeMs` milliseconds of scene time (tools render reproducible frames).
    void drawFrame(double timeMs);

    // Other code has used the GL context since the last frame: forget the shadowed state.
    void resetGlState() { glState.reset(); }

    // Shader name → the uniforms its draws carry. The base has none: calling it stops the
    // program with "Not implemented".
    virtual const ShadersUniforms& makeShadersUniforms();

    // Binds a draw's uniform values as the shader's uniform list says (part of every mesh
    // draw; public so that the packing can be checked on its own).
    void applyUniforms(const engine::commands::DrawMeshCommand& command);

    // The vignette's shared draw state, made once: shader "Vignette", multiplicative
    // blending (destination × source colour), no depth test or write, HALF2 position at 0
    // and UBYTE_NORMALIZED shade at 6 in 8-byte vertices.
    struct VignetteUtils {
        engine::ShaderPtr shader;
        engine::BlendingPtr blending;
        engine::DepthModePtr depthMode;
        engine::VertexAttributesDescriptor attributes;
    };
    static const VignetteUtils& vignetteUtils();

    std::shared_ptr<engine::Scene> scene;
    std::string resourcesRoot;
    RenderSurface& surface;
    ResourceLocator locator;
    gl::State glState;
    gl::UniformStream uniformStream;
    ShaderLibrary shaderLibrary;

    std::array<std::uint16_t, 4> colorVignette0_fp16{};
    std::array<std::uint16_t, 4> colorVignette1_fp16{};

    std::vector<FullModel> models;
    // Position = Texture.id. A texture of a format the renderer has no loader for keeps its
    // own slot with no GL texture (it samples as black), so later ids stay aligned.
    std::vector<gl::Texture> textures;
    std::vector<gl::Sampler> samplers;
    std::vector<ShaderFunctions> shaders;
    ShadersUniforms shadersUniforms;

    std::unique_ptr<FullModel> fmVignette;
    RenderPipelineStateWithDepth vignettePipelineStateWithDepth;

    std::array<float, 128> valueFp32{};
    std::array<std::uint16_t, 128> valueFp16{};
    std::array<std::int32_t, 128> valueInt32{};
    std::array<std::int16_t, 128> valueInt16{};

    // Keyed by the state object itself: two equal but distinct states get two pipelines.
    std::unordered_map<engine::commands::DrawMeshStatePtr, RenderPipelineStateWithDepth>
        pipelinesCache;
    std::unordered_map<std::int32_t, std::unique_ptr<FullscreenQuad>> fullscreenQuadsCache;
    std::unordered_map<std::int32_t, std::unique_ptr<GaussianBlurRenderPass>> blurredPassesCache;
    GaussianBlurRenderPass* activeBlurredPass = nullptr;

    MainPassTargets mainPassTargets;

  protected:
    // Checks for a usable GL context ("GPU not available") and sets the scene's back end;
    // loads nothing yet.
    SceneRenderer(RenderSurface& surface, std::shared_ptr<engine::Scene> scene,
                  std::string resourcesRoot, ResourceLocator locator);

    // Shaders, models, textures and the vignette, in this order; then the scene's
    // initialize(), a check of every draw of the command tree against its model's files
    // (index bounds, whole vertices of the draw's layout), and loaded = true.
    void load();

    virtual void loadVignette();
    virtual void loadModels();
    virtual void loadTextures();
    virtual void loadShaders();

    RenderPipelineStateWithDepth makeVignettePipeline(const ShaderFunctions& functions);

  private:
    // The command walk hands the tree's passes and draws to these.
    void mainPass(const engine::commands::MainPassCommand& command) override;
    void blurredPass(const engine::commands::BlurredPassCommand& command) override;
    void drawMesh(const engine::commands::DrawMeshCommand& command) override;
    void drawBlurred(const std::shared_ptr<engine::commands::DrawBlurredCommand>& command) override;
    void vignette(const engine::commands::VignetteCommand& command) override;

    RenderPipelineStateWithDepth& pipelineFor(const engine::commands::DrawMeshStatePtr& state,
                                              const ShaderFunctions& functions);
    // Stops the program with `failure` + the cause when the model's files do not fit a
    // vertex layout of `stride` bytes.
    void checkModelLayout(std::size_t model, std::int32_t stride, std::string_view failure);
    // Checks a draw of the tree against its model, as load() ends.
    void checkDrawnModel(const engine::commands::DrawMeshCommand& draw);
    unsigned bufferBinding(const Uniform& uniform) const;

    // The vertex stride each model was last checked against (0: not yet).
    std::vector<std::int32_t> modelCheckedStride_;
};

} // namespace renderer
