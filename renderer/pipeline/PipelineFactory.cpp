#include "renderer/pipeline/PipelineFactory.h"

#include "renderer/Fatal.h"
#include "renderer/pipeline/Anisotropy.h"
#include "renderer/pipeline/ConversionTables.h"

namespace renderer {

gl::DepthState makeDepthStencilState(const engine::DepthMode& depthMode) {
    return gl::DepthState{depthMode.depthTest ? static_cast<GLenum>(GL_LESS)
                                              : static_cast<GLenum>(GL_ALWAYS),
                          depthMode.depthWrite};
}

std::vector<VertexAttributeGl> makeVertexDescriptor(const engine::VertexAttributesDescriptor& d) {
    std::vector<VertexAttributeGl> attributes;
    attributes.reserve(d.attributes.size());
    for (const engine::VertexAttribute& a : d.attributes) {
        attributes.push_back(VertexAttributeGl{vertexFormatTable(a.format), a.offset});
    }
    return attributes;
}

void applyBlending(gl::BlendState& attachment, const engine::Blending& blending) {
    const bool separate = blending.isSeparateAlpha;
    attachment.enabled = blending.enabled;
    attachment.equationColor = blendEquationTable(blending.equationColor);
    attachment.equationAlpha =
        blendEquationTable(separate ? blending.equationAlpha : blending.equationColor);
    attachment.sourceColor = blendFactorTable(blending.sourceFactorColor);
    attachment.destinationColor = blendFactorTable(blending.destinationFactorColor);
    attachment.sourceAlpha =
        blendFactorTable(separate ? blending.sourceFactorAlpha : blending.sourceFactorColor);
    attachment.destinationAlpha = blendFactorTable(separate ? blending.destinationFactorAlpha
                                                            : blending.destinationFactorColor);
}

std::unique_ptr<RenderPipeline>
makeRenderPipelineState(const engine::commands::DrawMeshState& state,
                        const ShaderFunctions& functions, gl::State& glState,
                        const std::string& label) {
    if (functions.program == 0 || !state.blending) {
        fatal("Cannot create render pipeline state: incomplete draw state for shader ",
              functions.name);
    }
    std::vector<VertexAttributeGl> attributes;
    GLsizei stride = 0;
    if (state.vertexAttributes) {
        attributes = makeVertexDescriptor(*state.vertexAttributes);
        stride = state.vertexAttributes->stride;
        // An attribute reaching past its vertex would read past the end of the buffer.
        for (const VertexAttributeGl& a : attributes) {
            if (a.offset < 0 || a.offset + a.format.bytes > stride) {
                fatal("Cannot create render pipeline state: a vertex attribute lies outside the "
                      "vertex of shader ",
                      functions.name);
            }
        }
    }
    gl::BlendState blend;
    applyBlending(blend, *state.blending);
    return std::make_unique<RenderPipeline>(functions.program, std::move(attributes), stride, blend,
                                            label, glState);
}

RenderPipelineStateWithDepth
makePipelineStateWithDepth(const engine::commands::DrawMeshState& state,
                           const ShaderFunctions& functions, gl::State& glState,
                           const std::string& label) {
    if (!state.depthMode) {
        fatal("Cannot create render pipeline state: no depth mode for shader ", functions.name);
    }
    RenderPipelineStateWithDepth result;
    result.depthState = makeDepthStencilState(*state.depthMode);
    result.renderPipelineState = makeRenderPipelineState(state, functions, glState, label);
    result.cullMode = cullModeTable(state.culling);
    return result;
}

namespace {
GLenum minificationFilter(const engine::Texture& texture) {
    const GLenum filter = textureFilterTable(texture.minFilter);
    if (texture.mipmaps <= 0) {
        return filter;
    }
    // The mip mode comes from the magnification filter's name.
    const std::string_view mip = engine::common::name(texture.magFilter);
    const bool nearestLevel = mip == "NEAREST_MIPMAP_NEAREST" || mip == "LINEAR_MIPMAP_NEAREST";
    const bool linearLevels = mip == "NEAREST_MIPMAP_LINEAR" || mip == "LINEAR_MIPMAP_LINEAR";
    if (nearestLevel) {
        return filter == GL_NEAREST ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_NEAREST;
    }
    if (linearLevels) {
        return filter == GL_NEAREST ? GL_NEAREST_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_LINEAR;
    }
    return filter;
}
} // namespace

gl::Sampler makeSamplerState(const engine::Texture& texture) {
    gl::Sampler sampler = gl::Sampler::create();
    if (!sampler) {
        fatal("Cannot create sampler state.");
    }
    const GLuint id = sampler.id();
    glSamplerParameteri(id, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minificationFilter(texture)));
    glSamplerParameteri(id, GL_TEXTURE_MAG_FILTER,
                        static_cast<GLint>(textureFilterTable(texture.magFilter)));
    if (const float anisotropy = samplerAnisotropy(texture.anisotropy); anisotropy > 1.0F) {
        glSamplerParameterf(id, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
    }
    const auto wrap = static_cast<GLint>(textureWrappingTable(texture.wrapping));
    glSamplerParameteri(id, GL_TEXTURE_WRAP_S, wrap);
    glSamplerParameteri(id, GL_TEXTURE_WRAP_T, wrap);
    if (!texture.name.empty()) {
        gl::label(GL_SAMPLER, id, texture.name.c_str());
    }
    return sampler;
}

} // namespace renderer
