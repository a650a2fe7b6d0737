#include "renderer/blur/FullscreenQuad.h"

#include <utility>

#include "engine/commands/DrawMeshState.h"
#include "renderer/Fatal.h"
#include "renderer/blur/QuadVertices.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {

engine::VertexAttributesDescriptor quadAttributes() {
    return engine::VertexAttributesDescriptor(
        {engine::VertexAttribute(0, engine::VertexFormat::FLOAT2, 0),
         engine::VertexAttribute(1, engine::VertexFormat::FLOAT2, 8)},
        16);
}

gl::Buffer makeQuadBuffer(const std::array<float, 16>& vertices, gl::State& state,
                          const char* label) {
    gl::Buffer buffer = gl::Buffer::create();
    if (!buffer) {
        fatal("Cannot create the full-screen quad's vertex buffer");
    }
    state.bindArrayBuffer(buffer.id());
    glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices.data(), GL_STATIC_DRAW);
    gl::label(GL_BUFFER, buffer.id(), label);
    return buffer;
}

FullscreenQuad::FullscreenQuad(std::shared_ptr<engine::commands::DrawBlurredCommand> commandIn)
    : vertices(QUAD_VERTICES), command(std::move(commandIn)),
      FS_SHADER(std::make_shared<engine::Shader>()),
      FS_DEPTH(std::make_shared<engine::DepthMode>(false, false)), FS_ATTRIBS(quadAttributes()) {}

RenderPipelineStateWithDepth FullscreenQuad::createPipeline(ShaderLibrary& library,
                                                            gl::State& state) {
    const ShaderFunctions functions = library.functions("FullscreenQuad");
    FS_SHADER->name = "FullscreenQuad";
    const engine::commands::DrawMeshState drawState(FS_SHADER, command->blending, FS_DEPTH,
                                                    engine::CullFace::DISABLED, FS_ATTRIBS);
    return makePipelineStateWithDepth(drawState, functions, state);
}

void FullscreenQuad::draw(GLuint texture, gl::State& state) {
    RenderPipeline* pipeline = pipelineStateWithDepth.renderPipelineState.get();
    if (pipeline == nullptr || !vertexBuffer) {
        fatal("Full-screen quad drawn before its pipeline exists");
    }
    pipeline->apply(state);
    state.setDepth(pipelineStateWithDepth.depthState);
    pipeline->bindVertexBuffer(state, vertexBuffer.id());
    state.bindTexture(0, GL_TEXTURE_2D, texture);
    state.bindSampler(0, 0);
    state.drawTriangleStrip(4);
}

} // namespace renderer
