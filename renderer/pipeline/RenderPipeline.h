#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"
#include "renderer/pipeline/ConversionTables.h"

namespace renderer {

// One attribute of a vertex layout: GL attribute slot = its position in the layout.
struct VertexAttributeGl {
    VertexFormatGl format;
    GLintptr offset = 0;

    friend bool operator==(const VertexAttributeGl&, const VertexAttributeGl&) = default;
};

// The GL half of a render pipeline: the linked program, the vertex layout held in a vertex
// array object, and the blend state of colour attachment 0. The program belongs to the
// shader library; the vertex array belongs to the pipeline.
//
// GL 3.3 ties a vertex array's attributes to the buffer bound when they were specified, so
// binding a vertex buffer re-specifies them, only when the buffer differs from the one the
// array last pointed at. That suits a pipeline that draws one model (the vignette); scene
// meshes get a vertex array each (FrameEncoder), which apply() can bind instead.
class RenderPipeline {
  public:
    RenderPipeline(GLuint program, std::vector<VertexAttributeGl> attributes, GLsizei stride,
                   const gl::BlendState& blend, std::string label, gl::State& state);

    GLuint program() const noexcept { return program_; }
    GLuint vertexArray() const noexcept { return vertexArray_.id(); }
    const gl::BlendState& blend() const noexcept { return blend_; }
    const std::vector<VertexAttributeGl>& attributes() const noexcept { return attributes_; }
    GLsizei stride() const noexcept { return stride_; }
    const std::string& label() const noexcept { return label_; }

    // Program, vertex array and blending on the context.
    void apply(gl::State& state) { apply(state, vertexArray_.id()); }
    // The same with another vertex array of this layout (one that holds a mesh's buffers).
    void apply(gl::State& state, GLuint vertexArray);
    // Vertex buffer slot 0 and the index buffer; the pipeline must be applied.
    void bindVertexBuffer(gl::State& state, GLuint buffer);
    void bindIndexBuffer(gl::State& state, GLuint buffer);

  private:
    void forgetBindingsAfterReset(const gl::State& state);

    GLuint program_;
    gl::VertexArray vertexArray_;
    std::vector<VertexAttributeGl> attributes_;
    GLsizei stride_;
    gl::BlendState blend_;
    std::string label_;
    std::uint64_t epoch_ = 0;
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
};

// Everything a draw sets before binding buffers: pipeline, depth state and cull mode.
struct RenderPipelineStateWithDepth {
    std::unique_ptr<RenderPipeline> renderPipelineState;
    gl::DepthState depthState;
    gl::CullMode cullMode = GL_NONE;

    // All three on the context, so that no draw inherits the culling of the one before it.
    void apply(gl::State& state) const { apply(state, renderPipelineState->vertexArray()); }
    void apply(gl::State& state, GLuint vertexArray) const {
        renderPipelineState->apply(state, vertexArray);
        state.setDepth(depthState);
        state.setCullMode(cullMode);
    }
};

} // namespace renderer
