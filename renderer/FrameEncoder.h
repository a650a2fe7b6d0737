#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/Scene.h"
#include "engine/commands/Commands.h"
#include "renderer/CommandWalk.h"
#include "renderer/MainPassTargets.h"
#include "renderer/RenderSurface.h"
#include "renderer/SceneResources.h"
#include "renderer/blur/FullscreenQuad.h"
#include "renderer/blur/GaussianBlurRenderPass.h"
#include "renderer/gl/GlState.h"
#include "renderer/gl/UniformStream.h"
#include "renderer/pipeline/RenderPipeline.h"
#include "renderer/shaders/ShaderLibrary.h"

namespace renderer {

// Turns a scene's command tree into GL calls, one frame at a time: blurred passes render
// offscreen and blur, the main pass draws into a 4-sample target that is resolved into the
// surface's drawable. What the frames need and make lazily (pipelines per draw state, a
// vertex array per mesh and layout, blurred passes, full-screen quads) lives here; the
// loaded resources are the renderer's.
class FrameEncoder final : private CommandVisitor {
  public:
    FrameEncoder(RenderSurface& surface, engine::Scene& scene, gl::State& state,
                 ShaderLibrary& shaderLibrary, SceneResources& resources);

    // The vignette model's vertices: HALF2 position at 0 and UBYTE_NORMALIZED shade at 6 in
    // 8-byte vertices.
    static const engine::VertexAttributesDescriptor& vignetteLayout();

    void encode(const std::vector<engine::commands::CommandPtr>& commands) {
        CommandWalk(*this).passes(commands);
    }

    // Binds a draw's uniform values as the shader's uniform list says (part of every mesh
    // draw; public so that the packing can be checked on its own).
    void applyUniforms(const engine::commands::DrawMeshCommand& command);

    // Pipelines are made once per draw state object: a state edited after its first draw
    // needs them made again.
    void forgetPipelines() { pipelines_.clear(); }

    std::size_t pipelineCount() const noexcept { return pipelines_.size(); }
    std::size_t fullscreenQuadCount() const noexcept { return fullscreenQuads_.size(); }
    std::size_t blurredPassCount() const noexcept { return blurredPasses_.size(); }
    std::size_t meshVertexArrayCount() const noexcept;
    const GaussianBlurRenderPass* blurredPass(std::int32_t id) const;
    // The vignette's two colours as last sent, in half floats.
    const std::array<std::uint16_t, 4>& vignetteColorHalves(int which) const noexcept {
        return which == 0 ? vignetteColor0_ : vignetteColor1_;
    }

  private:
    void mainPass(const engine::commands::MainPassCommand& command) override;
    void blurredPass(const engine::commands::BlurredPassCommand& command) override;
    void drawMesh(const engine::commands::DrawMeshCommand& command) override;
    void drawBlurred(const std::shared_ptr<engine::commands::DrawBlurredCommand>& command) override;
    void vignette(const engine::commands::VignetteCommand& command) override;

    RenderPipelineStateWithDepth& pipelineFor(const engine::commands::DrawMeshStatePtr& state,
                                              const ShaderFunctions& functions);
    // The vertex array holding `model`'s buffers in `pipeline`'s layout, made on the mesh's
    // first draw with that layout: a draw then binds one array instead of re-pointing the
    // attributes of a shared one.
    GLuint meshVertexArray(std::size_t meshId, const RenderPipeline& pipeline);
    unsigned bufferBinding(const Uniform& uniform) const;

    RenderSurface& surface_;
    engine::Scene& scene_;
    gl::State& state_;
    ShaderLibrary& shaderLibrary_;
    SceneResources& resources_;
    gl::UniformStream uniformStream_;

    // Scratch for uniform values on their way to the stream.
    std::array<float, 128> valueFp32_{};
    std::array<std::uint16_t, 128> valueFp16_{};
    std::array<std::int32_t, 128> valueInt32_{};
    std::array<std::int16_t, 128> valueInt16_{};
    std::array<std::uint16_t, 4> vignetteColor0_{};
    std::array<std::uint16_t, 4> vignetteColor1_{};

    // Keyed by the state object itself: two equal but distinct states get two pipelines.
    std::unordered_map<engine::commands::DrawMeshStatePtr, RenderPipelineStateWithDepth> pipelines_;
    struct MeshVertexArray {
        std::vector<VertexAttributeGl> attributes;
        GLsizei stride = 0;
        gl::VertexArray array;
    };
    // By mesh id; a mesh drawn with several layouts has one array for each.
    std::vector<std::vector<MeshVertexArray>> meshVertexArrays_;
    std::unordered_map<std::int32_t, std::unique_ptr<FullscreenQuad>> fullscreenQuads_;
    std::unordered_map<std::int32_t, std::unique_ptr<GaussianBlurRenderPass>> blurredPasses_;
    GaussianBlurRenderPass* activeBlurredPass_ = nullptr;
    MainPassTargets mainPassTargets_;
    RenderPipelineStateWithDepth vignettePipeline_;
};

} // namespace renderer
