// The GL state shadow: calls only for changes, and a reset for a context others have used.

#include <gtest/gtest.h>

#include "renderer/gl/GlState.h"
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

} // namespace
} // namespace renderer::gl
