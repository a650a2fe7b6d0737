#include "renderer/headless/EglContext.h"

#include <cstring>

#include "renderer/Fatal.h"

namespace renderer {

namespace {
bool hasClientExtension(const char* name) {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(extensions, name); p != nullptr;
         p = std::strstr(p + length, name)) {
        const bool startsWord = p == extensions || p[-1] == ' ';
        const bool endsWord = p[length] == ' ' || p[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}
// A display that needs no window system. Mesa offers a surfaceless platform (llvmpipe
// renders on the CPU where there is no GPU); other drivers (notably NVIDIA's) offer their
// devices directly instead, so fall back to the first device.
EGLDisplay openHeadlessDisplay() {
    if (hasClientExtension("EGL_MESA_platform_surfaceless")) {
        EGLDisplay display =
            eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY) {
            return display;
        }
    }
    if (hasClientExtension("EGL_EXT_device_enumeration") &&
        hasClientExtension("EGL_EXT_platform_device")) {
        auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(
            eglGetProcAddress("eglQueryDevicesEXT"));
        EGLDeviceEXT device = nullptr;
        EGLint count = 0;
        if (queryDevices != nullptr && queryDevices(1, &device, &count) == EGL_TRUE &&
            count > 0) {
            return eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
        }
    }
    return EGL_NO_DISPLAY;
}
} // namespace

EglContext::EglContext() {
    display_ = openHeadlessDisplay();
    EGLint major = 0;
    EGLint minor = 0;
    if (display_ == EGL_NO_DISPLAY || eglInitialize(display_, &major, &minor) != EGL_TRUE ||
        eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        fatal("GPU not available");
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 3,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_NONE};
    // No config: the context only ever renders into framebuffer objects.
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context_ == EGL_NO_CONTEXT) {
        fatal("GPU not available");
    }
    makeCurrent();
}

EglContext::~EglContext() {
    // The display stays initialised: other contexts of this process may share it.
    if (eglGetCurrentContext() == context_) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display_, context_);
}

void EglContext::makeCurrent() {
    if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) != EGL_TRUE) {
        fatal("GPU not available");
    }
}

} // namespace renderer
