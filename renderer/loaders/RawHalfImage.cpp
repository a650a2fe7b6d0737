#include "renderer/loaders/RawHalfImage.h"

#include <string>

#include "renderer/loaders/TextureLimits.h"

namespace renderer {

Result<RawHalfImage> readRawHalf(const ResourceLocator& locator, std::string_view directory,
                                 std::string_view fileName, std::int32_t width,
                                 std::int32_t height) {
    Result<Bytes> bytes = locator.read(fileName, directory);
    if (!bytes) {
        return bytes.error();
    }
    const std::string file = joinResourcePath(directory, fileName);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width < 1 || height < 1 || width > kMaxTextureSize || height > kMaxTextureSize) {
        return RuntimeError{"Texture file " + file + " cannot be read as a " + size +
                            " RGBA16F image: width and height must be 1 to " +
                            std::to_string(kMaxTextureSize)};
    }
    const std::int64_t needed = std::int64_t{width} * height * RawHalfImage::kBytesPerTexel;
    const auto available = static_cast<std::int64_t>(bytes.value().size());
    if (available < needed) {
        return RuntimeError{"Texture file " + file + " is truncated: a " + size +
                            " RGBA16F image needs " + std::to_string(needed) +
                            " bytes, the file holds " + std::to_string(available)};
    }
    return RawHalfImage{width, height, std::move(bytes).value()};
}

} // namespace renderer
