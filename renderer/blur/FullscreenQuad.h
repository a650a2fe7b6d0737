#pragma once

#include <array>
#include <memory>

#include "engine/DepthMode.h"
#include "engine/Shader.h"
#include "engine/VertexAttributes.h"
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
    // Draws `texture` over the whole target: pipeline and depth state, the quad at vertex
    // buffer slot 0, the image at fragment texture slot 0 (no sampler). The cull mode and
    // winding are left as they are.
    void draw(GLuint texture, gl::State& state);

    std::array<float, 16> vertices;
    std::shared_ptr<engine::commands::DrawBlurredCommand> command;
    gl::Buffer vertexBuffer;
    RenderPipelineStateWithDepth pipelineStateWithDepth;

    engine::ShaderPtr FS_SHADER;
    engine::DepthModePtr FS_DEPTH;
    engine::VertexAttributesDescriptor FS_ATTRIBS;
};

// The 64 bytes of the quad in a new GL buffer.
gl::Buffer makeQuadBuffer(const std::array<float, 16>& vertices, gl::State& state,
                          const char* label);

// The layout of QUAD_VERTICES: FLOAT2 position at 0, FLOAT2 texture coordinate at 8.
engine::VertexAttributesDescriptor quadAttributes();

} // namespace renderer
