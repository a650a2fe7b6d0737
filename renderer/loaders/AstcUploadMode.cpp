#include "renderer/loaders/AstcUploadMode.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <epoxy/gl.h>

namespace renderer {

namespace {

std::atomic<bool> forcedBySwitch{false};
std::atomic_flag announced = ATOMIC_FLAG_INIT;

bool forcedByEnvironment() {
    const char* value = std::getenv("KADREL_ASTC_DECODE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

} // namespace

void setAstcDecodeForced(bool forced) noexcept {
    forcedBySwitch.store(forced);
}

bool astcDecodeForced() noexcept {
    return forcedBySwitch.load() || forcedByEnvironment();
}

bool astcUploadsCompressed() {
    const bool forced = astcDecodeForced();
    if (!forced && epoxy_has_gl_extension("GL_KHR_texture_compression_astc_ldr")) {
        return true;
    }
    if (!announced.test_and_set()) {
        std::printf("ASTC textures are decoded on the CPU: %s\n",
                    forced ? "decoding was requested (KADREL_ASTC_DECODE)"
                           : "the OpenGL driver lacks GL_KHR_texture_compression_astc_ldr");
        std::fflush(stdout);
    }
    return false;
}

} // namespace renderer
