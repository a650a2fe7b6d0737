#pragma once

#include <array>
#include <cstdint>

#include <epoxy/gl.h>

namespace renderer::gl {

// Blend state of colour attachment 0, in GL terms.
struct BlendState {
    bool enabled = false;
    GLenum equationColor = GL_FUNC_ADD;
    GLenum equationAlpha = GL_FUNC_ADD;
    GLenum sourceColor = GL_ONE;
    GLenum destinationColor = GL_ZERO;
    GLenum sourceAlpha = GL_ONE;
    GLenum destinationAlpha = GL_ZERO;

    friend bool operator==(const BlendState&, const BlendState&) = default;
};

// Depth state. The depth test stays enabled at all times: "no test" is the comparison
// GL_ALWAYS, because a disabled GL depth test also stops depth writes, and a draw may want
// to write depth without testing it.
struct DepthState {
    GLenum compare = GL_LESS;
    bool write = true;

    friend bool operator==(const DepthState&, const DepthState&) = default;
};

// Face culling: GL_NONE (no culling), GL_FRONT or GL_BACK.
using CullMode = GLenum;

// Texture and sampler units: fragment slot s uses unit s, vertex slot s unit
// FIRST_VERTEX_TEXTURE_UNIT + s. Uniform block bindings likewise: vertex buffer slot s is
// binding s, fragment buffer slot s binding FIRST_FRAGMENT_BUFFER_BINDING + s.
inline constexpr unsigned SLOTS_PER_STAGE = 8;
inline constexpr unsigned FIRST_VERTEX_TEXTURE_UNIT = SLOTS_PER_STAGE;
inline constexpr unsigned TEXTURE_UNITS = 2 * SLOTS_PER_STAGE;
inline constexpr unsigned FIRST_FRAGMENT_BUFFER_BINDING = SLOTS_PER_STAGE;
inline constexpr unsigned BUFFER_BINDINGS = 2 * SLOTS_PER_STAGE;

// A shadow of the GL state the renderer changes, so that a frame calls GL only where a value
// actually changes. Every call that the frame path makes goes through here, which also
// counts them (calls()) for measurements.
//
// When other code has used the same context (a toolkit drawing its own widgets), reset()
// forgets every shadowed value and re-establishes the fixed state the renderer relies on;
// the next frame then sets everything afresh. epoch() changes with every reset, so owners of
// per-object shadows (a vertex array's bound buffers) know to forget theirs too.
class State {
  public:
    State();

    void reset();
    std::uint64_t epoch() const noexcept { return epoch_; }
    std::uint64_t calls() const noexcept { return calls_; }

    void useProgram(GLuint program);
    void bindVertexArray(GLuint vertexArray);
    void bindArrayBuffer(GLuint buffer);
    // The generic GL_UNIFORM_BUFFER binding, which buffer uploads address.
    void bindUniformBufferTarget(GLuint buffer);
    void bindDrawFramebuffer(GLuint framebuffer);
    void bindReadFramebuffer(GLuint framebuffer);
    void viewport(GLsizei width, GLsizei height);
    void setBlend(const BlendState& blend);
    void setDepth(const DepthState& depth);
    void setCullMode(CullMode mode);
    void setFrontFace(GLenum winding);
    void bindTexture(unsigned unit, GLenum target, GLuint texture);
    void bindSampler(unsigned unit, GLuint sampler);
    void bindUniformBuffer(unsigned binding, GLuint buffer, GLintptr offset, GLsizeiptr size);

    // Clears the bound draw framebuffer; depth masks are opened first as GL requires.
    void clear(bool color, const std::array<float, 4>& rgba, bool depth);
    // Copies colour from the read to the draw framebuffer (a multisample resolve when the
    // source has samples); both must be width x height.
    void blitColor(GLint width, GLint height);

    // Counted pass-throughs for the calls that change no shadowed state.
    void drawIndexedTriangles(GLsizei indexCount);
    void drawTriangleStrip(GLsizei vertexCount);
    void vertexAttribute(GLuint slot, GLint size, GLenum type, bool normalized, bool integer,
                         GLsizei stride, GLintptr offset);
    void elementBuffer(GLuint buffer); // of the bound vertex array
    void bufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data);
    void orphanBuffer(GLenum target, GLsizeiptr size);
    void pushDebugGroup(const char* label);
    void popDebugGroup();

  private:
    void activeTexture(unsigned unit);

    static constexpr GLuint UNKNOWN = 0xFFFFFFFFU;

    struct UniformBinding {
        GLuint buffer = UNKNOWN;
        GLintptr offset = 0;
        GLsizeiptr size = 0;
    };

    std::uint64_t epoch_ = 0;
    std::uint64_t calls_ = 0;
    bool debugGroups_ = false;

    GLuint program_ = UNKNOWN;
    GLuint vertexArray_ = UNKNOWN;
    GLuint arrayBuffer_ = UNKNOWN;
    GLuint uniformBuffer_ = UNKNOWN;
    GLuint drawFramebuffer_ = UNKNOWN;
    GLuint readFramebuffer_ = UNKNOWN;
    GLsizei viewportWidth_ = -1;
    GLsizei viewportHeight_ = -1;
    bool blendKnown_ = false;
    BlendState blend_;
    bool depthKnown_ = false;
    DepthState depth_;
    GLuint cullEnabled_ = UNKNOWN; // 0, 1 or UNKNOWN
    GLenum cullFace_ = UNKNOWN;
    GLenum frontFace_ = UNKNOWN;
    bool clearColorKnown_ = false;
    std::array<float, 4> clearColor_{};
    unsigned activeUnit_ = UNKNOWN;
    std::array<GLuint, TEXTURE_UNITS> textures_{};
    std::array<GLenum, TEXTURE_UNITS> textureTargets_{};
    std::array<GLuint, TEXTURE_UNITS> samplers_{};
    std::array<UniformBinding, BUFFER_BINDINGS> uniformBindings_{};
};

} // namespace renderer::gl
