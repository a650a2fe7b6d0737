#pragma once

#include <cstdint>

#include <epoxy/gl.h>

#include "engine/Enums.h"
#include "engine/VertexFormat.h"
#include "renderer/gl/GlState.h"

namespace renderer {

// Engine render-state constants to GL values. The tables are keyed by the constants'
// names, which are the engine's interface, and built once on first use. A constant without
// a row (culling FRONT_AND_BACK) stops the program with "No GL value for " + its name.

GLenum blendFactorTable(engine::BlendingFactor factor);
GLenum blendEquationTable(engine::BlendingEquation equation);
gl::CullMode cullModeTable(engine::CullFace culling);
// GL_NEAREST or GL_LINEAR: the filter within a mip level.
GLenum textureFilterTable(engine::TextureFiltering filter);
GLenum textureWrappingTable(engine::TextureWrapping wrapping);

// How one vertex attribute is read from the vertex buffer.
struct VertexFormatGl {
    GLint components = 0;
    GLenum type = GL_NONE;
    bool normalized = false;
    // Read as integers by the shader (ivec/uvec inputs) rather than converted to floats.
    bool integer = false;
    // Bytes one attribute of this format occupies.
    std::int32_t bytes = 0;

    friend bool operator==(const VertexFormatGl&, const VertexFormatGl&) = default;
};

VertexFormatGl vertexFormatTable(engine::VertexFormat format);

} // namespace renderer
