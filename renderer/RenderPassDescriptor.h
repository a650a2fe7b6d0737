#pragma once

#include <array>

#include <epoxy/gl.h>

namespace renderer {

// What happens to an attachment when a pass begins.
enum class LoadAction {
    // Keep what the attachment holds (GL framebuffers keep their contents between passes).
    Load,
    // Fill it with the clear value.
    Clear,
};

// What happens to the colour attachment when a pass ends.
enum class StoreAction {
    Store,
    // Copy (and for multisampled targets, average) the colour into resolveFramebuffer.
    MultisampleResolve,
};

// One render pass over a framebuffer: its size, the load and store actions and the clear
// values. Clear commands of the scene edit these before the pass begins.
struct RenderPassDescriptor {
    GLuint framebuffer = 0;
    GLsizei width = 0;
    GLsizei height = 0;
    bool hasDepth = false;

    LoadAction colorLoadAction = LoadAction::Load;
    std::array<double, 4> clearColor{0.0, 0.0, 0.0, 1.0};
    StoreAction colorStoreAction = StoreAction::Store;
    GLuint resolveFramebuffer = 0;

    LoadAction depthLoadAction = LoadAction::Load;
};

} // namespace renderer
