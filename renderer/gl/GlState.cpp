#include "renderer/gl/GlState.h"

#include <cstring>

namespace renderer::gl {

namespace {

void enable(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

} // namespace

State::State() {
    reset();
}

void State::reset() {
    ++epoch_;
    known_ = Known{};
    // Pass labels cost two calls a pass; they are only worth it where a debugger listens,
    // which asks for a debug context.
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    debugGroups_ = (flags & GL_CONTEXT_FLAG_DEBUG_BIT) != 0 &&
                   (epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_KHR_debug"));
    entered_ = false;
    enter();
}

void State::enter() {
    if (!entered_) {
        setFixedState(true);
        entered_ = true;
    }
}

void State::setFixedState(bool forRenderer) {
    // Fixed for the renderer's life; another user of the context may have changed them, and
    // expects GL's initial values back (dithering on, depth test off, 4-byte rows).
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    enable(GL_DITHER, !forRenderer);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    glEnable(GL_MULTISAMPLE);
    enable(GL_DEPTH_TEST, forRenderer);
    glDepthRange(0.0, 1.0);
    glClearDepth(1.0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const GLint alignment = forRenderer ? 1 : 4;
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    calls_ += 12;
}

void State::leave() {
    useProgram(0);
    bindVertexArray(0);
    bindArrayBuffer(0);
    for (unsigned binding = 0; binding < BUFFER_BINDINGS; ++binding) {
        update(known_.uniformRanges[binding], Known::BufferRange{},
               [binding](const Known::BufferRange&) {
                   glBindBufferBase(GL_UNIFORM_BUFFER, binding, 0);
               });
    }
    bindUniformBufferTarget(0);
    for (unsigned unit = 0; unit < TEXTURE_UNITS; ++unit) {
        bindSampler(unit, 0);
        const GLenum target = known_.textures[unit] ? known_.textures[unit]->target : GL_TEXTURE_2D;
        bindTexture(unit, target, 0);
    }
    activeTexture(0);
    setBlend(BlendState{});
    setDepth(DepthState{});
    setCullMode(GL_NONE);
    update(known_.cullFace, GLenum{GL_BACK}, [](GLenum face) { glCullFace(face); });
    setFrontFace(GL_CCW);
    update(known_.clearColor, std::array<float, 4>{},
           [](const std::array<float, 4>& c) { glClearColor(c[0], c[1], c[2], c[3]); });
    // The framebuffers stay: the draw framebuffer is the drawable the frame was resolved into,
    // which is where the host draws next.
    if (entered_) {
        setFixedState(false);
        entered_ = false;
    }
}

void State::useProgram(GLuint program) {
    update(known_.program, program, [](GLuint p) { glUseProgram(p); });
}

void State::bindVertexArray(GLuint vertexArray) {
    update(known_.vertexArray, vertexArray, [](GLuint v) { glBindVertexArray(v); });
}

void State::bindArrayBuffer(GLuint buffer) {
    update(known_.arrayBuffer, buffer, [](GLuint b) { glBindBuffer(GL_ARRAY_BUFFER, b); });
}

void State::bindUniformBufferTarget(GLuint buffer) {
    update(known_.uniformBuffer, buffer, [](GLuint b) { glBindBuffer(GL_UNIFORM_BUFFER, b); });
}

void State::bindDrawFramebuffer(GLuint framebuffer) {
    update(known_.drawFramebuffer, framebuffer,
           [](GLuint f) { glBindFramebuffer(GL_DRAW_FRAMEBUFFER, f); });
}

void State::bindReadFramebuffer(GLuint framebuffer) {
    update(known_.readFramebuffer, framebuffer,
           [](GLuint f) { glBindFramebuffer(GL_READ_FRAMEBUFFER, f); });
}

void State::viewport(GLsizei width, GLsizei height) {
    update(known_.viewport, std::pair(width, height), [](const std::pair<GLsizei, GLsizei>& size) {
        glViewport(0, 0, size.first, size.second);
    });
}

void State::setBlend(const BlendState& blend) {
    update(known_.blend, blend.enabled, [](bool on) { enable(GL_BLEND, on); });
    // Factors and equations are kept even while blending is off, as pipelines carry them.
    update(known_.blendEquation, std::array{blend.equationColor, blend.equationAlpha},
           [](const std::array<GLenum, 2>& e) { glBlendEquationSeparate(e[0], e[1]); });
    update(known_.blendFactors,
           std::array{blend.sourceColor, blend.destinationColor, blend.sourceAlpha,
                      blend.destinationAlpha},
           [](const std::array<GLenum, 4>& f) { glBlendFuncSeparate(f[0], f[1], f[2], f[3]); });
}

void State::setDepth(const DepthState& depth) {
    update(known_.depthCompare, depth.compare, [](GLenum compare) { glDepthFunc(compare); });
    update(known_.depthWrite, depth.write,
           [](bool write) { glDepthMask(write ? GL_TRUE : GL_FALSE); });
}

void State::setCullMode(CullMode mode) {
    update(known_.cull, mode != GL_NONE, [](bool on) { enable(GL_CULL_FACE, on); });
    if (mode != GL_NONE) {
        update(known_.cullFace, mode, [](GLenum face) { glCullFace(face); });
    }
}

void State::setFrontFace(GLenum winding) {
    update(known_.frontFace, winding, [](GLenum w) { glFrontFace(w); });
}

void State::activeTexture(unsigned unit) {
    update(known_.activeUnit, unit, [](unsigned u) { glActiveTexture(GL_TEXTURE0 + u); });
}

void State::bindTexture(unsigned unit, GLenum target, GLuint texture) {
    const Known::TextureBinding binding{target, texture};
    if (known_.textures[unit] != binding) {
        activeTexture(unit);
        update(known_.textures[unit], binding,
               [](const Known::TextureBinding& b) { glBindTexture(b.target, b.texture); });
    }
}

void State::bindSampler(unsigned unit, GLuint sampler) {
    update(known_.samplers[unit], sampler, [unit](GLuint s) { glBindSampler(unit, s); });
}

void State::bindUniformBuffer(unsigned binding, GLuint buffer, GLintptr offset, GLsizeiptr size) {
    const std::uint64_t before = calls_;
    update(known_.uniformRanges[binding], Known::BufferRange{buffer, offset, size},
           [binding](const Known::BufferRange& r) {
               glBindBufferRange(GL_UNIFORM_BUFFER, binding, r.buffer, r.offset, r.size);
           });
    if (calls_ != before) {
        known_.uniformBuffer = buffer; // glBindBufferRange binds the generic target too
    }
}

void State::clear(bool color, const std::array<float, 4>& rgba, bool depth) {
    GLbitfield mask = 0;
    if (color) {
        update(known_.clearColor, rgba,
               [](const std::array<float, 4>& c) { glClearColor(c[0], c[1], c[2], c[3]); });
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (depth) {
        update(known_.depthWrite, true, [](bool) { glDepthMask(GL_TRUE); });
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask != 0) {
        pass([mask] { glClear(mask); });
    }
}

void State::blitColor(GLint width, GLint height) {
    pass([=] {
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    });
}

void State::drawIndexedTriangles(GLsizei indexCount) {
    pass([=] { glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, nullptr); });
}

void State::drawTriangleStrip(GLsizei vertexCount) {
    pass([=] { glDrawArrays(GL_TRIANGLE_STRIP, 0, vertexCount); });
}

void State::vertexAttribute(GLuint slot, GLint size, GLenum type, bool normalized, bool integer,
                            GLsizei stride, GLintptr offset) {
    // The offset into the bound array buffer travels as a pointer, as GL defines it.
    const void* pointer = reinterpret_cast<const void*>(offset);
    pass([=] {
        if (integer) {
            glVertexAttribIPointer(slot, size, type, stride, pointer);
        } else {
            glVertexAttribPointer(slot, size, type, normalized ? GL_TRUE : GL_FALSE, stride,
                                  pointer);
        }
    });
}

void State::elementBuffer(GLuint buffer) {
    pass([=] { glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer); });
}

void State::bufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
    pass([=] { glBufferSubData(target, offset, size, data); });
}

void State::orphanBuffer(GLenum target, GLsizeiptr size) {
    pass([=] { glBufferData(target, size, nullptr, GL_STREAM_DRAW); });
}

void State::pushDebugGroup(const char* label) {
    if (debugGroups_) {
        pass([=] {
            glPushDebugGroup(GL_DEBUG_SOURCE_APPLICATION, 0,
                             static_cast<GLsizei>(std::strlen(label)), label);
        });
    }
}

void State::popDebugGroup() {
    if (debugGroups_) {
        pass([] { glPopDebugGroup(); });
    }
}

} // namespace renderer::gl
