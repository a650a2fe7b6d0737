#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

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

// What the renderer knows of the context's state. An empty value is unknown: the next
// request for it calls GL whatever it asks for, so forgetting everything is assigning a
// fresh Known.
struct Known {
    struct TextureBinding {
        GLenum target = GL_TEXTURE_2D;
        GLuint texture = 0;
        friend bool operator==(const TextureBinding&, const TextureBinding&) = default;
    };
    struct BufferRange {
        GLuint buffer = 0;
        GLintptr offset = 0;
        GLsizeiptr size = 0;
        friend bool operator==(const BufferRange&, const BufferRange&) = default;
    };

    std::optional<GLuint> program;
    std::optional<GLuint> vertexArray;
    std::optional<GLuint> arrayBuffer;
    std::optional<GLuint> uniformBuffer; // the generic GL_UNIFORM_BUFFER binding
    std::optional<GLuint> drawFramebuffer;
    std::optional<GLuint> readFramebuffer;
    std::optional<std::pair<GLsizei, GLsizei>> viewport;
    std::optional<bool> blend;
    std::optional<std::array<GLenum, 2>> blendEquation;
    std::optional<std::array<GLenum, 4>> blendFactors;
    std::optional<GLenum> depthCompare;
    std::optional<bool> depthWrite;
    std::optional<bool> cull;
    std::optional<GLenum> cullFace;
    std::optional<GLenum> frontFace;
    std::optional<std::array<float, 4>> clearColor;
    std::optional<unsigned> activeUnit;
    std::array<std::optional<TextureBinding>, TEXTURE_UNITS> textures;
    std::array<std::optional<GLuint>, TEXTURE_UNITS> samplers;
    std::array<std::optional<BufferRange>, BUFFER_BINDINGS> uniformRanges;
};

// A shadow of the GL state the renderer changes, so that a frame calls GL only where a value
// actually changes. Every call that the frame path makes goes through here, which also
// counts them (calls()) for measurements.
//
// The renderer shares its context with the host (the desktop program draws its clock
// overlay with Qt in the same context). Two calls hand the context over:
// - leave(), before other code draws: puts everything the renderer changes back to GL's
//   initial values (no program, vertex array, buffers, textures or samplers bound, no
//   blending, depth test or culling, default pixel storage) so that code which assumes a
//   fresh context draws correctly. What it sets stays known, so the renderer pays only
//   for what the other code changes.
// - reset(), when the renderer gets the context back: forgets every shadowed value and
//   sets again the fixed state the renderer relies on; the next frame then sets what it
//   needs afresh. epoch() changes with every reset, so owners of per-object shadows (a vertex
//   array's bound buffers) know to forget theirs too.
// A frame that begins after leave() without a reset() re-enters by itself (enter()).
class State {
  public:
    State();

    void reset();
    void leave();
    // Sets the fixed state again if leave() gave the context away; otherwise does nothing.
    void enter();
    std::uint64_t epoch() const noexcept { return epoch_; }
    std::uint64_t calls() const noexcept { return calls_; }
    const Known& known() const noexcept { return known_; }

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
    // The one place that compares, calls and counts: `apply` runs only when `value` differs
    // from what is known (or nothing is), and the shadow then holds `value`.
    template <class T, class Apply>
    void update(std::optional<T>& known, const T& value, Apply&& apply) {
        if (known != value) {
            known = value;
            apply(value);
            ++calls_;
        }
    }
    template <class Apply> void pass(Apply&& apply) {
        apply();
        ++calls_;
    }
    void activeTexture(unsigned unit);
    // The state set once per hand-over (scissor and stencil off, depth test on...), or GL's
    // initial values for it.
    void setFixedState(bool forRenderer);

    Known known_;
    std::uint64_t epoch_ = 0;
    std::uint64_t calls_ = 0;
    bool entered_ = false;
    bool debugGroups_ = false;
};

} // namespace renderer::gl
