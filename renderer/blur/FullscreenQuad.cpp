#include "renderer/blur/FullscreenQuad.h"

#include <utility>

#include "engine/DepthMode.h"
#include "engine/Shader.h"
#include "engine/commands/DrawMeshState.h"
#include "renderer/Fatal.h"
#include "renderer/blur/QuadVertices.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {

namespace {

// QUAD_VERTICES: FLOAT2 position at 0, FLOAT2 texture coordinate at 8.
engine::VertexAttributesDescriptor quadAttributes() {
    return engine::VertexAttributesDescriptor(
        {engine::VertexAttribute(0, engine::VertexFormat::FLOAT2, 0),
         engine::VertexAttribute(1, engine::VertexFormat::FLOAT2, 8)},
        16);
}

} // namespace

gl::Buffer makeQuadBuffer(gl::State& state, const char* label) {
    gl::Buffer buffer = gl::Buffer::create();
    if (!buffer) {
        fatal("Cannot create the full-screen quad's vertex buffer");
    }
    state.bindArrayBuffer(buffer.id());
    glBufferData(GL_ARRAY_BUFFER, sizeof QUAD_VERTICES, QUAD_VERTICES.data(), GL_STATIC_DRAW);
    buffer.setStorage(gl::Memory::Buffers, sizeof QUAD_VERTICES);
    gl::label(GL_BUFFER, buffer.id(), label);
    return buffer;
}

RenderPipelineStateWithDepth makeQuadPipeline(ShaderLibrary& library, gl::State& state,
                                              const std::string& shaderName,
                                              const engine::BlendingPtr& blending,
                                              const std::string& label) {
    const ShaderFunctions functions = library.functions(shaderName);
    auto shader = std::make_shared<engine::Shader>();
    shader->name = shaderName;
    const engine::commands::DrawMeshState drawState(std::move(shader), blending,
                                                    engine::DEPTH_NONE(),
                                                    engine::CullFace::DISABLED, quadAttributes());
    return makePipelineStateWithDepth(drawState, functions, state, label);
}

FullscreenQuad::FullscreenQuad(std::shared_ptr<engine::commands::DrawBlurredCommand> commandIn)
    : command(std::move(commandIn)) {}

RenderPipelineStateWithDepth FullscreenQuad::createPipeline(ShaderLibrary& library,
                                                            gl::State& state) {
    return makeQuadPipeline(library, state, "FullscreenQuad", command->blending);
}

void FullscreenQuad::draw(GLuint texture, gl::State& state) {
    RenderPipeline* pipeline = pipelineStateWithDepth.renderPipelineState.get();
    if (pipeline == nullptr || !vertexBuffer) {
        fatal("Full-screen quad drawn before its pipeline exists");
    }
    pipelineStateWithDepth.apply(state);
    pipeline->bindVertexBuffer(state, vertexBuffer.id());
    state.bindTexture(0, GL_TEXTURE_2D, texture);
    state.bindSampler(0, 0);
    state.drawTriangleStrip(4);
}

} // namespace renderer
