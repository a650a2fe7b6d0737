#pragma once

#include <cstdint>

namespace app {

struct OverlayImage;

// Draws an OverlayImage over the finished frame in the window's framebuffer, in the GL
// context the renderer draws in. It makes its program, texture and vertex array once and
// uploads the picture only when its generation changes. Call it between the renderer's
// releaseGlState() and resetGlState(): it relies on GL's defaults and leaves what it set.
class OverlayLayer {
  public:
    OverlayLayer() = default;
    ~OverlayLayer() = default; // the owner deletes the objects first, with the context current
    OverlayLayer(const OverlayLayer&) = delete;
    OverlayLayer& operator=(const OverlayLayer&) = delete;

    // True when it drew.
    bool draw(const OverlayImage& overlay, unsigned framebuffer, int width, int height);

    // Deletes the GL objects, in their context, current.
    void deleteObjects();
    // The context is gone: forget the names without deleting them.
    void forgetContext();

    // GL objects made so far (tests: none per frame).
    int objectsMade() const noexcept { return objectsMade_; }

  private:
    bool prepare();
    void upload(const OverlayImage& overlay);

    unsigned program_ = 0;
    unsigned vertexArray_ = 0;
    unsigned texture_ = 0;
    int rectLocation_ = -1;
    std::uint64_t uploaded_ = UINT64_MAX;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    int objectsMade_ = 0;
    bool failed_ = false;
};

} // namespace app
