#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// An 8-bit RGBA image, rows from the top, no padding, linear (no sRGB conversion).
struct Rgba8Image {
    std::int32_t width = 0;
    std::int32_t height = 0;
    Bytes texels;
};

// Decodes a WebP image; `name` (the file name with ".webp") goes into the error
// "Cannot read texture " + name.
Result<Rgba8Image> decodeWebp(std::span<const std::uint8_t> bytes, std::string_view name);

// Reads and decodes fileName + ".webp" from `directory`. Errors:
// "Texture file not found in bundle: " / "Cannot read texture " + fileName + ".webp".
Result<Rgba8Image> readWebp(const ResourceLocator& locator, std::string_view directory,
                            std::string_view fileName);

} // namespace renderer
