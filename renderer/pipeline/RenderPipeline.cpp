#include "renderer/pipeline/RenderPipeline.h"

#include <utility>

namespace renderer {

RenderPipeline::RenderPipeline(GLuint program, std::vector<VertexAttributeGl> attributes,
                               GLsizei stride, const gl::BlendState& blend, std::string label,
                               gl::State& state)
    : program_(program), vertexArray_(gl::VertexArray::create()),
      attributes_(std::move(attributes)), stride_(stride), blend_(blend), label_(std::move(label)) {
    state.bindVertexArray(vertexArray_.id());
    for (std::size_t slot = 0; slot < attributes_.size(); ++slot) {
        glEnableVertexAttribArray(static_cast<GLuint>(slot));
    }
    epoch_ = state.epoch();
    if (!label_.empty()) {
        gl::label(GL_VERTEX_ARRAY, vertexArray_.id(), label_.c_str());
    }
}

void RenderPipeline::apply(gl::State& state, GLuint vertexArray) {
    state.useProgram(program_);
    state.bindVertexArray(vertexArray);
    state.setBlend(blend_);
}

void RenderPipeline::forgetBindingsAfterReset(const gl::State& state) {
    if (epoch_ != state.epoch()) {
        epoch_ = state.epoch();
        vertexBuffer_ = 0;
        indexBuffer_ = 0;
        // 0 is never a buffer we bind, so the next bind re-specifies everything.
    }
}

void RenderPipeline::bindVertexBuffer(gl::State& state, GLuint buffer) {
    forgetBindingsAfterReset(state);
    if (attributes_.empty() || buffer == vertexBuffer_) {
        return;
    }
    state.bindArrayBuffer(buffer);
    for (std::size_t slot = 0; slot < attributes_.size(); ++slot) {
        const VertexAttributeGl& a = attributes_[slot];
        state.vertexAttribute(static_cast<GLuint>(slot), a.format.components, a.format.type,
                              a.format.normalized, a.format.integer, stride_, a.offset);
    }
    vertexBuffer_ = buffer;
}

void RenderPipeline::bindIndexBuffer(gl::State& state, GLuint buffer) {
    forgetBindingsAfterReset(state);
    if (buffer != indexBuffer_) {
        state.elementBuffer(buffer);
        indexBuffer_ = buffer;
    }
}

} // namespace renderer
