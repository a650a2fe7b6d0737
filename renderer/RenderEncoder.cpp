#include "renderer/RenderEncoder.h"

namespace renderer {

RenderEncoder::RenderEncoder(gl::State& state, const RenderPassDescriptor& descriptor,
                             const char* label)
    : state_(state), descriptor_(descriptor) {
    state_.pushDebugGroup(label);
    state_.bindDrawFramebuffer(descriptor.framebuffer);
    state_.viewport(descriptor.width, descriptor.height);
    const bool clearColor = descriptor.colorLoadAction == LoadAction::Clear;
    const bool clearDepth = descriptor.hasDepth && descriptor.depthLoadAction == LoadAction::Clear;
    const std::array<float, 4> rgba{
        static_cast<float>(descriptor.clearColor[0]), static_cast<float>(descriptor.clearColor[1]),
        static_cast<float>(descriptor.clearColor[2]), static_cast<float>(descriptor.clearColor[3])};
    state_.clear(clearColor, rgba, clearDepth);
}

RenderEncoder::~RenderEncoder() {
    endEncoding();
}

void RenderEncoder::endEncoding() {
    if (!open_) {
        return;
    }
    open_ = false;
    if (descriptor_.colorStoreAction == StoreAction::MultisampleResolve) {
        state_.bindReadFramebuffer(descriptor_.framebuffer);
        state_.bindDrawFramebuffer(descriptor_.resolveFramebuffer);
        state_.blitColor(descriptor_.width, descriptor_.height);
    }
    state_.popDebugGroup();
}

} // namespace renderer
