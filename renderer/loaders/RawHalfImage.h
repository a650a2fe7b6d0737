#pragma once

#include <cstdint>
#include <string_view>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// A headerless RGBA16F image: width x height texels of four little-endian half floats, rows
// from the top, no padding. The size comes from the scene, not from the file.
struct RawHalfImage {
    static constexpr std::int64_t kBytesPerTexel = 8;

    std::int32_t width = 0;
    std::int32_t height = 0;
    Bytes texels; // at least width * height * 8 bytes; any excess is never uploaded

    std::int64_t rowPitch() const noexcept { return std::int64_t{width} * kBytesPerTexel; }
};

// Reads `fileName` (which carries its own extension) from `directory` and checks that it
// holds a whole width x height image.
Result<RawHalfImage> readRawHalf(const ResourceLocator& locator, std::string_view directory,
                                 std::string_view fileName, std::int32_t width,
                                 std::int32_t height);

} // namespace renderer
