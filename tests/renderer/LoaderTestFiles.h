#pragma once

// Builds resource folders and texture files for the loader tests.

// The packaged codec exports C symbols only with this defined; its CMake target defines it, but
// reaches the tests only through the renderer's private link.
#ifndef ASTCENC_DYNAMIC_LIBRARY
#define ASTCENC_DYNAMIC_LIBRARY
#endif
#include <astcenc.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Texture.h"
#include "renderer/loaders/AstcInfo.h"
#include "renderer/loaders/ResourceLocator.h"

namespace loadertest {

// A fresh resources folder under the system's temporary directory, removed afterwards.
class TempResources {
  public:
    TempResources() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kadrel-res-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root_ = pattern;
    }
    ~TempResources() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempResources(const TempResources&) = delete;
    TempResources& operator=(const TempResources&) = delete;

    const std::filesystem::path& root() const { return root_; }
    renderer::ResourceLocator locator() const { return renderer::ResourceLocator(root_); }

    void write(const std::string& relative, const renderer::Bytes& bytes) const {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

  private:
    std::filesystem::path root_;
};

// The message of a failed result, or "accepted".
template <class Result> std::string failure(const Result& result) {
    return result.ok() ? std::string("accepted") : result.error().message;
}

// An ASTC header with the given fields (standard magic, depth 1 unless told otherwise).
// An engine texture of ASTC files: fileName.astc, or a chain fileName_0 ... _mipmaps.
inline engine::Texture astcTexture(const std::string& fileName, int mipmaps) {
    engine::Texture t;
    t.fileName = fileName;
    t.format = engine::TextureFormat::ASTC;
    t.mipmaps = mipmaps;
    return t;
}

inline renderer::Bytes astcHeader(int blockWidth, int blockHeight, std::uint32_t width,
                                  std::uint32_t height, std::uint32_t depth = 1,
                                  int blockDepth = 1) {
    renderer::Bytes header{0x13, 0xAB, 0xA1, 0x5C};
    header.push_back(static_cast<std::uint8_t>(blockWidth));
    header.push_back(static_cast<std::uint8_t>(blockHeight));
    header.push_back(static_cast<std::uint8_t>(blockDepth));
    for (const std::uint32_t value : {width, height, depth}) {
        header.push_back(static_cast<std::uint8_t>(value));
        header.push_back(static_cast<std::uint8_t>(value >> 8));
        header.push_back(static_cast<std::uint8_t>(value >> 16));
    }
    return header;
}

// A whole ASTC file whose blocks are all `fill`.
inline renderer::Bytes astcFile(int blockWidth, int blockHeight, std::uint32_t width,
                                std::uint32_t height, std::uint8_t fill = 0) {
    renderer::Bytes file = astcHeader(blockWidth, blockHeight, width, height);
    const std::size_t blocks =
        ((width + blockWidth - 1) / blockWidth) * ((height + blockHeight - 1) / blockHeight);
    file.resize(file.size() + blocks * 16, fill);
    return file;
}

// A smooth picture with a different ramp in each channel, so a swapped channel or a shifted
// row shows as a large error.
inline renderer::Bytes picture(int width, int height) {
    renderer::Bytes texels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            texels.push_back(static_cast<std::uint8_t>(x * 255 / (width - 1)));
            texels.push_back(static_cast<std::uint8_t>(y * 255 / (height - 1)));
            texels.push_back(static_cast<std::uint8_t>(128 + 100 * std::sin((x + y) / 20.0)));
            texels.push_back(255);
        }
    }
    return texels;
}

// A whole ASTC file compressed from RGBA8 texels with the reference encoder.
inline renderer::Bytes encodeAstc(renderer::Bytes texels, int width, int height, int blockWidth,
                                  int blockHeight) {
    astcenc_config config{};
    astcenc_context* context = nullptr;
    if (astcenc_config_init(ASTCENC_PRF_LDR, blockWidth, blockHeight, 1, ASTCENC_PRE_FAST, 0,
                            &config) != ASTCENC_SUCCESS ||
        astcenc_context_alloc(&config, 1, &context) != ASTCENC_SUCCESS) {
        std::abort();
    }
    void* slices[] = {texels.data()};
    astcenc_image image{static_cast<unsigned>(width), static_cast<unsigned>(height), 1,
                        ASTCENC_TYPE_U8, slices};
    const astcenc_swizzle swizzle{ASTCENC_SWZ_R, ASTCENC_SWZ_G, ASTCENC_SWZ_B, ASTCENC_SWZ_A};
    const std::size_t blocks = static_cast<std::size_t>((width + blockWidth - 1) / blockWidth) *
                               ((height + blockHeight - 1) / blockHeight);
    renderer::Bytes file = astcHeader(blockWidth, blockHeight, width, height);
    file.resize(16 + blocks * 16);
    if (astcenc_compress_image(context, &image, &swizzle, file.data() + 16, blocks * 16, 0) !=
        ASTCENC_SUCCESS) {
        std::abort();
    }
    astcenc_context_free(context);
    return file;
}

} // namespace loadertest
