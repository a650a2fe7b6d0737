#include "renderer/loaders/GlCheck.h"

#include <cstdio>
#include <string>

#include <epoxy/gl.h>

namespace renderer {

Result<void> checkGlErrors(std::string_view what) {
    const GLenum first = glGetError();
    if (first == GL_NO_ERROR) {
        return {};
    }
    // A lost context keeps reporting; a bounded drain cannot spin forever.
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", first);
    return RuntimeError{"Cannot create " + std::string(what) + ": OpenGL error " + code};
}

} // namespace renderer
