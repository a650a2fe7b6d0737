#include "renderer/gl/GlState.h"

#include <cstring>

namespace renderer::gl {

State::State() {
    reset();
}

void State::reset() {
    ++epoch_;
    // Pass labels cost two calls a pass; they are only worth it where a debugger listens,
    // which asks for a debug context.
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    debugGroups_ = (flags & GL_CONTEXT_FLAG_DEBUG_BIT) != 0 &&
                   (epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_KHR_debug"));

    program_ = UNKNOWN;
    vertexArray_ = UNKNOWN;
    arrayBuffer_ = UNKNOWN;
    uniformBuffer_ = UNKNOWN;
    drawFramebuffer_ = UNKNOWN;
    readFramebuffer_ = UNKNOWN;
    viewportWidth_ = -1;
    viewportHeight_ = -1;
    blendKnown_ = false;
    depthKnown_ = false;
    cullEnabled_ = UNKNOWN;
    cullFace_ = UNKNOWN;
    frontFace_ = UNKNOWN;
    clearColorKnown_ = false;
    activeUnit_ = UNKNOWN;
    textures_.fill(UNKNOWN);
    textureTargets_.fill(GL_TEXTURE_2D);
    samplers_.fill(UNKNOWN);
    uniformBindings_.fill(UniformBinding{});

    // Fixed for the renderer's life; another user of the context may have changed them.
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_DITHER);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    glEnable(GL_MULTISAMPLE);
    glEnable(GL_DEPTH_TEST);
    glDepthRange(0.0, 1.0);
    glClearDepth(1.0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    calls_ += 12;
}

void State::useProgram(GLuint program) {
    if (program_ != program) {
        program_ = program;
        glUseProgram(program);
        ++calls_;
    }
}

void State::bindVertexArray(GLuint vertexArray) {
    if (vertexArray_ != vertexArray) {
        vertexArray_ = vertexArray;
        glBindVertexArray(vertexArray);
        ++calls_;
    }
}

void State::bindArrayBuffer(GLuint buffer) {
    if (arrayBuffer_ != buffer) {
        arrayBuffer_ = buffer;
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        ++calls_;
    }
}

void State::bindUniformBufferTarget(GLuint buffer) {
    if (uniformBuffer_ != buffer) {
        uniformBuffer_ = buffer;
        glBindBuffer(GL_UNIFORM_BUFFER, buffer);
        ++calls_;
    }
}

void State::bindDrawFramebuffer(GLuint framebuffer) {
    if (drawFramebuffer_ != framebuffer) {
        drawFramebuffer_ = framebuffer;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        ++calls_;
    }
}

void State::bindReadFramebuffer(GLuint framebuffer) {
    if (readFramebuffer_ != framebuffer) {
        readFramebuffer_ = framebuffer;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        ++calls_;
    }
}

void State::viewport(GLsizei width, GLsizei height) {
    if (viewportWidth_ != width || viewportHeight_ != height) {
        viewportWidth_ = width;
        viewportHeight_ = height;
        glViewport(0, 0, width, height);
        ++calls_;
    }
}

void State::setBlend(const BlendState& blend) {
    if (!blendKnown_ || blend_.enabled != blend.enabled) {
        if (blend.enabled) {
            glEnable(GL_BLEND);
        } else {
            glDisable(GL_BLEND);
        }
        ++calls_;
    }
    // Factors and equations are kept even while blending is off, as pipelines carry them.
    if (!blendKnown_ || blend_.equationColor != blend.equationColor ||
        blend_.equationAlpha != blend.equationAlpha) {
        glBlendEquationSeparate(blend.equationColor, blend.equationAlpha);
        ++calls_;
    }
    if (!blendKnown_ || blend_.sourceColor != blend.sourceColor ||
        blend_.destinationColor != blend.destinationColor ||
        blend_.sourceAlpha != blend.sourceAlpha ||
        blend_.destinationAlpha != blend.destinationAlpha) {
        glBlendFuncSeparate(blend.sourceColor, blend.destinationColor, blend.sourceAlpha,
                            blend.destinationAlpha);
        ++calls_;
    }
    blend_ = blend;
    blendKnown_ = true;
}

void State::setDepth(const DepthState& depth) {
    if (!depthKnown_ || depth_.compare != depth.compare) {
        glDepthFunc(depth.compare);
        ++calls_;
    }
    if (!depthKnown_ || depth_.write != depth.write) {
        glDepthMask(depth.write ? GL_TRUE : GL_FALSE);
        ++calls_;
    }
    depth_ = depth;
    depthKnown_ = true;
}

void State::setCullMode(CullMode mode) {
    const GLuint enable = mode == GL_NONE ? 0U : 1U;
    if (cullEnabled_ != enable) {
        cullEnabled_ = enable;
        if (enable != 0U) {
            glEnable(GL_CULL_FACE);
        } else {
            glDisable(GL_CULL_FACE);
        }
        ++calls_;
    }
    if (enable != 0U && cullFace_ != mode) {
        cullFace_ = mode;
        glCullFace(mode);
        ++calls_;
    }
}

void State::setFrontFace(GLenum winding) {
    if (frontFace_ != winding) {
        frontFace_ = winding;
        glFrontFace(winding);
        ++calls_;
    }
}

void State::activeTexture(unsigned unit) {
    if (activeUnit_ != unit) {
        activeUnit_ = unit;
        glActiveTexture(GL_TEXTURE0 + unit);
        ++calls_;
    }
}

void State::bindTexture(unsigned unit, GLenum target, GLuint texture) {
    if (textures_[unit] != texture || textureTargets_[unit] != target) {
        activeTexture(unit);
        glBindTexture(target, texture);
        ++calls_;
        textures_[unit] = texture;
        textureTargets_[unit] = target;
    }
}

void State::bindSampler(unsigned unit, GLuint sampler) {
    if (samplers_[unit] != sampler) {
        samplers_[unit] = sampler;
        glBindSampler(unit, sampler);
        ++calls_;
    }
}

void State::bindUniformBuffer(unsigned binding, GLuint buffer, GLintptr offset, GLsizeiptr size) {
    UniformBinding& b = uniformBindings_[binding];
    if (b.buffer != buffer || b.offset != offset || b.size != size) {
        b = UniformBinding{buffer, offset, size};
        glBindBufferRange(GL_UNIFORM_BUFFER, binding, buffer, offset, size);
        ++calls_;
        uniformBuffer_ = buffer; // glBindBufferRange binds the generic target too
    }
}

void State::clear(bool color, const std::array<float, 4>& rgba, bool depth) {
    GLbitfield mask = 0;
    if (color) {
        if (!clearColorKnown_ || clearColor_ != rgba) {
            clearColor_ = rgba;
            clearColorKnown_ = true;
            glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
            ++calls_;
        }
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (depth) {
        if (!depthKnown_ || !depth_.write) {
            glDepthMask(GL_TRUE);
            ++calls_;
            depth_.write = true;
            if (!depthKnown_) {
                // The comparison is unknown yet; pin it so the shadow is whole again.
                glDepthFunc(depth_.compare);
                ++calls_;
                depthKnown_ = true;
            }
        }
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask != 0) {
        glClear(mask);
        ++calls_;
    }
}

void State::blitColor(GLint width, GLint height) {
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    ++calls_;
}

void State::drawIndexedTriangles(GLsizei indexCount) {
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, nullptr);
    ++calls_;
}

void State::drawTriangleStrip(GLsizei vertexCount) {
    glDrawArrays(GL_TRIANGLE_STRIP, 0, vertexCount);
    ++calls_;
}

void State::vertexAttribute(GLuint slot, GLint size, GLenum type, bool normalized, bool integer,
                            GLsizei stride, GLintptr offset) {
    // The offset into the bound array buffer travels as a pointer, as GL defines it.
    const void* pointer = reinterpret_cast<const void*>(offset);
    if (integer) {
        glVertexAttribIPointer(slot, size, type, stride, pointer);
    } else {
        glVertexAttribPointer(slot, size, type, normalized ? GL_TRUE : GL_FALSE, stride, pointer);
    }
    ++calls_;
}

void State::elementBuffer(GLuint buffer) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    ++calls_;
}

void State::bufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
    glBufferSubData(target, offset, size, data);
    ++calls_;
}

void State::orphanBuffer(GLenum target, GLsizeiptr size) {
    glBufferData(target, size, nullptr, GL_STREAM_DRAW);
    ++calls_;
}

void State::pushDebugGroup(const char* label) {
    if (debugGroups_) {
        glPushDebugGroup(GL_DEBUG_SOURCE_APPLICATION, 0, static_cast<GLsizei>(std::strlen(label)),
                         label);
        ++calls_;
    }
}

void State::popDebugGroup() {
    if (debugGroups_) {
        glPopDebugGroup();
        ++calls_;
    }
}

} // namespace renderer::gl
