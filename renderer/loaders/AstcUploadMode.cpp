#include "renderer/loaders/AstcUploadMode.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <epoxy/gl.h>

namespace renderer {

namespace {

std::atomic<TexturePath> limitBySwitch{TexturePath::Astc};
std::atomic_flag announced = ATOMIC_FLAG_INIT;

TexturePath limitByEnvironment() {
    const char* decode = std::getenv("KADREL_ASTC_DECODE");
    if (decode != nullptr && std::strcmp(decode, "1") == 0) {
        return TexturePath::Decode;
    }
    const char* textures = std::getenv("KADREL_TEXTURES");
    if (textures != nullptr && std::strcmp(textures, "s3tc") == 0) {
        return TexturePath::S3tc;
    }
    if (textures != nullptr && std::strcmp(textures, "decode") == 0) {
        return TexturePath::Decode;
    }
    return TexturePath::Astc;
}

TexturePath later(TexturePath a, TexturePath b) noexcept {
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

} // namespace

TexturePath chooseTexturePath(bool driverHasAstc, bool driverHasS3tc, TexturePath limit) noexcept {
    if (limit == TexturePath::Astc && driverHasAstc) {
        return TexturePath::Astc;
    }
    if (limit != TexturePath::Decode && driverHasS3tc) {
        return TexturePath::S3tc;
    }
    return TexturePath::Decode;
}

void setTexturePathLimit(TexturePath limit) noexcept {
    limitBySwitch.store(limit);
}

TexturePath texturePathLimit() noexcept {
    return later(limitBySwitch.load(), limitByEnvironment());
}

const char* texturePathName(TexturePath path) noexcept {
    switch (path) {
    case TexturePath::Astc:
        return "ASTC, uploaded compressed";
    case TexturePath::S3tc:
        return "S3TC twins (BC1/BC3), uploaded compressed";
    case TexturePath::Decode:
        return "ASTC decoded on the CPU";
    }
    return "";
}

TexturePath texturePath() {
    const bool astc = epoxy_has_gl_extension("GL_KHR_texture_compression_astc_ldr");
    const bool s3tc = epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
    const TexturePath limit = texturePathLimit();
    const TexturePath path = chooseTexturePath(astc, s3tc, limit);
    if (!announced.test_and_set()) {
        const char* why = "";
        switch (path) {
        case TexturePath::Astc:
            why = "the driver samples ASTC";
            break;
        case TexturePath::S3tc:
            why = astc ? "ASTC was ruled out (KADREL_TEXTURES=s3tc)"
                       : "the OpenGL driver lacks GL_KHR_texture_compression_astc_ldr";
            break;
        case TexturePath::Decode:
            why = limit == TexturePath::Decode ? "decoding was requested"
                                               : "the OpenGL driver has neither ASTC nor S3TC";
            break;
        }
        if (path == TexturePath::Decode) {
            std::printf("ASTC textures are decoded on the CPU: %s\n", why);
        } else {
            std::printf("Textures: %s: %s\n", texturePathName(path), why);
        }
        std::fflush(stdout);
    }
    return path;
}

void setAstcDecodeForced(bool forced) noexcept {
    setTexturePathLimit(forced ? TexturePath::Decode : TexturePath::Astc);
}

bool astcDecodeForced() noexcept {
    return texturePathLimit() == TexturePath::Decode;
}

bool astcUploadsCompressed() {
    return texturePath() == TexturePath::Astc;
}

} // namespace renderer
