#pragma once

#include <memory>
#include <string>

#include "engine/Blending.h"
#include "engine/commands/DrawBlurredCommand.h"
#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"
#include "renderer/pipeline/RenderPipeline.h"
#include "renderer/shaders/ShaderLibrary.h"

namespace renderer {

// Draws a finished blurred image over the current pass with the blending of the command it
// was made for. One per DrawBlurredCommand id; later commands with the same id reuse it,
// blending included.
class FullscreenQuad {
  public:
    explicit FullscreenQuad(std::shared_ptr<engine::commands::DrawBlurredCommand> command);

    // Program "FullscreenQuad", the command's blending, no depth test or write, no culling.
    RenderPipelineStateWithDepth createPipeline(ShaderLibrary& library, gl::State& state);
    // Draws `texture` over the whole target: pipeline, depth state and cull mode, the quad at
    // vertex buffer slot 0, the image at fragment texture slot 0 (no sampler). The winding is
    // left as it is (nothing is culled).
    void draw(GLuint texture, gl::State& state);

    std::shared_ptr<engine::commands::DrawBlurredCommand> command;
    gl::Buffer vertexBuffer;
    RenderPipelineStateWithDepth pipelineStateWithDepth;
};

// The 64 bytes of QUAD_VERTICES in a new GL buffer.
gl::Buffer makeQuadBuffer(gl::State& state, const char* label);

// A pipeline drawing QUAD_VERTICES with the program `shaderName` and `blending`: no depth
// test or write, no culling.
RenderPipelineStateWithDepth makeQuadPipeline(ShaderLibrary& library, gl::State& state,
                                              const std::string& shaderName,
                                              const engine::BlendingPtr& blending,
                                              const std::string& label = {});

} // namespace renderer
