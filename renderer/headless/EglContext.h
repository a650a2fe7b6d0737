#pragma once

#include <epoxy/egl.h>

namespace renderer {

// An OpenGL 3.3 core context without any window: Mesa's surfaceless EGL platform, which
// renders on the CPU (llvmpipe) where there is no GPU, or else the first EGL device (the
// way NVIDIA's driver offers headless rendering). Creating one makes it current.
// Without a usable EGL implementation the program stops with "GPU not available".
class EglContext {
  public:
    EglContext();
    ~EglContext();
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    void makeCurrent();

  private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
};

} // namespace renderer
