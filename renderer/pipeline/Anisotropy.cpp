#include "renderer/pipeline/Anisotropy.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cstdio>

#include <epoxy/gl.h>

namespace renderer {

namespace {

std::atomic_flag announced = ATOMIC_FLAG_INIT;

bool containsIgnoringCase(std::string_view text, std::string_view lowerPart) noexcept {
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    };
    return std::search(text.begin(), text.end(), lowerPart.begin(), lowerPart.end(), same) !=
           text.end();
}

bool anisotropySupported() {
    return epoxy_gl_version() >= 46 ||
           epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
           epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic");
}

} // namespace

bool isSoftwareRasterizer(std::string_view glRenderer) noexcept {
    // Mesa: "llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer" (swrast),
    // also behind zink or virgl ("zink (llvmpipe ...)"); others: "Apple Software Renderer",
    // "Microsoft Basic Render Driver" (WARP, through Mesa's d3d12 driver).
    constexpr std::array<std::string_view, 6> NAMES{
        "llvmpipe",
        "softpipe",
        "swrast",
        "software rasterizer",
        "software renderer",
        "basic render driver",
    };
    return std::any_of(NAMES.begin(), NAMES.end(), [&](std::string_view name) {
        return containsIgnoringCase(glRenderer, name);
    });
}

float samplerAnisotropy(std::int32_t wanted) {
    if (wanted <= 1 || !anisotropySupported()) {
        return 1.0F;
    }
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string_view renderer = name != nullptr ? name : "";
    if (isSoftwareRasterizer(renderer)) {
        if (!announced.test_and_set()) {
            std::printf("Anisotropic filtering is off: %.*s rasterises in software\n",
                        static_cast<int>(renderer.size()), renderer.data());
            std::fflush(stdout);
        }
        return 1.0F;
    }
    return static_cast<float>(wanted);
}

} // namespace renderer
