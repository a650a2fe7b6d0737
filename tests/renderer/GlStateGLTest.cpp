// The GL state shadow: calls only for changes, and a reset for a context others have used.

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"
#include "renderer/gl/UniformStream.h"
#include "renderer/headless/HeadlessSurface.h"

namespace renderer::gl {
namespace {

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

TEST(GlStateGLTest, CallsGlOnlyForChangesAndAgainAfterAReset) {
    HeadlessSurface surface(4, 4);
    State state;
    const BlendState additive{true, GL_FUNC_ADD, GL_FUNC_ADD, GL_ONE, GL_ONE, GL_ONE, GL_ONE};

    BlendState other = additive;
    other.destinationColor = GL_ZERO;

    // The second round changes nothing and must call nothing.
    std::uint64_t calls = state.calls();
    for (int round = 0; round < 2; ++round) {
        state.setBlend(additive);
        state.setDepth(DepthState{GL_LESS, false});
        state.setCullMode(GL_BACK);
        state.bindSampler(3, 0);
    }
    EXPECT_EQ(state.calls() - calls, 3U + 2U + 2U + 1U) << "unchanged state was set again";

    // Only the part that changed: the destination factor, then culling off and on again.
    calls = state.calls();
    state.setBlend(other);
    state.setCullMode(GL_NONE);
    state.setCullMode(GL_BACK);
    EXPECT_EQ(state.calls() - calls, 3U);
    EXPECT_EQ(integer(GL_BLEND_DST_RGB), GL_ZERO);
    EXPECT_EQ(integer(GL_CULL_FACE_MODE), GL_BACK);

    // Clearing depth opens the depth mask, and the shadow knows it.
    state.clear(false, {}, true);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    calls = state.calls();
    state.setDepth(DepthState{GL_LESS, false});
    EXPECT_EQ(state.calls() - calls, 1U);

    // Someone else changes the context; after a reset everything is set afresh.
    glDisable(GL_BLEND);
    state.reset();
    calls = state.calls();
    state.setBlend(other);
    EXPECT_EQ(state.calls() - calls, 3U);
    EXPECT_EQ(integer(GL_BLEND), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
}

// Leaving hands other code a context as GL makes it: nothing bound, nothing enabled that a
// fresh context has off, default pixel rows. What it set stays known, so leaving twice
// costs nothing, and entering again restores the renderer's fixed state.
TEST(GlStateGLTest, LeavingRestoresGlDefaultsAndEnteringTheRenderersState) {
    HeadlessSurface surface(4, 4);
    State state;
    const Buffer buffer = Buffer::create();
    const Texture texture = Texture::create();
    state.bindUniformBufferTarget(buffer.id());
    glBufferData(GL_UNIFORM_BUFFER, 256, nullptr, GL_STREAM_DRAW);
    state.bindUniformBuffer(3, buffer.id(), 0, 16);
    state.bindTexture(5, GL_TEXTURE_2D, texture.id());
    state.bindArrayBuffer(buffer.id());
    state.setBlend(BlendState{true, GL_FUNC_ADD, GL_FUNC_ADD, GL_ONE, GL_ONE, GL_ONE, GL_ONE});
    state.setDepth(DepthState{GL_ALWAYS, false});
    state.setCullMode(GL_FRONT);
    state.setFrontFace(GL_CW);
    state.clear(true, {0.5F, 0.5F, 0.5F, 1.0F}, false);
    // A surfaceless context has no default framebuffer to clear: only the colour counts here.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_FRAMEBUFFER_OPERATION));

    state.leave();
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(integer(GL_UNIFORM_BUFFER_BINDING), 0);
    GLint range = -1;
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 3, &range);
    EXPECT_EQ(range, 0);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE5);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(std::tuple(integer(GL_BLEND_SRC_RGB), integer(GL_BLEND_DST_RGB)),
              std::tuple(GL_ONE, GL_ZERO));
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_FALSE);
    EXPECT_EQ(std::tuple(integer(GL_DEPTH_FUNC), integer(GL_DEPTH_WRITEMASK)),
              std::tuple(GL_LESS, GL_TRUE));
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE), GL_FALSE);
    EXPECT_EQ(std::tuple(integer(GL_CULL_FACE_MODE), integer(GL_FRONT_FACE)),
              std::tuple(GL_BACK, GL_CCW));
    EXPECT_EQ(glIsEnabled(GL_DITHER), GL_TRUE);
    EXPECT_EQ(std::tuple(integer(GL_PACK_ALIGNMENT), integer(GL_UNPACK_ALIGNMENT)),
              std::tuple(4, 4));
    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0F);

    const std::uint64_t calls = state.calls();
    state.leave();
    EXPECT_EQ(state.calls(), calls) << "leaving twice set something again";

    state.enter();
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_DITHER), GL_FALSE);
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 1);
    const std::uint64_t entered = state.calls();
    state.enter();
    EXPECT_EQ(state.calls(), entered) << "entering an entered context set its state again";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A value its binding already holds goes up once: the draws after it bind nothing and
// upload nothing, until the value changes.
TEST(GlStateGLTest, UniformStreamSendsARepeatedValueOnce) {
    HeadlessSurface surface(4, 4);
    State state;
    UniformStream stream(state);
    const std::array<float, 16> matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const std::array<float, 4> colour{0.5F, 0.25F, 1.0F, 1.0F};

    stream.stage(1, matrix.data(), sizeof matrix);
    stream.stage(9, colour.data(), sizeof colour);
    stream.commit();
    const std::size_t matrixAt = stream.lastCommitted()[0].offset;

    std::uint64_t calls = state.calls();
    stream.stage(1, matrix.data(), sizeof matrix);
    stream.commit();
    EXPECT_EQ(state.calls() - calls, 0U) << "the same matrix was sent or bound again";
    EXPECT_EQ(stream.lastCommitted()[0].offset, matrixAt);

    // A new colour: one upload and one binding, the matrix stays where it is.
    const std::array<float, 4> other{0.0F, 1.0F, 0.0F, 1.0F};
    calls = state.calls();
    stream.stage(1, matrix.data(), sizeof matrix);
    stream.stage(9, other.data(), sizeof other);
    stream.commit();
    EXPECT_EQ(state.calls() - calls, 2U);
    EXPECT_EQ(stream.lastCommitted()[0].offset, matrixAt);
    GLint bound = -1;
    glGetIntegeri_v(GL_UNIFORM_BUFFER_START, 9, &bound);
    EXPECT_EQ(static_cast<std::size_t>(bound), stream.lastCommitted()[1].offset);
    std::array<float, 4> read{};
    glGetBufferSubData(GL_UNIFORM_BUFFER, bound, sizeof read, read.data());
    EXPECT_EQ(read, other);

    // The same bytes at another binding are that binding's first value: sent.
    calls = state.calls();
    stream.stage(2, matrix.data(), sizeof matrix);
    stream.commit();
    EXPECT_EQ(state.calls() - calls, 2U);
}

} // namespace
} // namespace renderer::gl
