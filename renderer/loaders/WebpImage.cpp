#include "renderer/loaders/WebpImage.h"

#include <new>
#include <string>

#include <webp/decode.h>

#include "renderer/loaders/TextureLimits.h"

namespace renderer {

Result<Rgba8Image> decodeWebp(std::span<const std::uint8_t> bytes, std::string_view name) {
    const RuntimeError unreadable{"Cannot read texture " + std::string(name)};
    int width = 0;
    int height = 0;
    if (bytes.empty() || WebPGetInfo(bytes.data(), bytes.size(), &width, &height) == 0 ||
        width < 1 || height < 1 || width > kMaxTextureSize || height > kMaxTextureSize) {
        return unreadable;
    }
    Rgba8Image image;
    image.width = width;
    image.height = height;
    try {
        image.texels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    } catch (const std::bad_alloc&) {
        return RuntimeError{unreadable.message + ": not enough memory for its " +
                            std::to_string(width) + "x" + std::to_string(height) + " texels"};
    }
    const int stride = width * 4;
    if (WebPDecodeRGBAInto(bytes.data(), bytes.size(), image.texels.data(), image.texels.size(),
                           stride) == nullptr) {
        return unreadable;
    }
    return image;
}

Result<Rgba8Image> readWebp(const ResourceLocator& locator, std::string_view directory,
                            std::string_view fileName) {
    const std::string name = std::string(fileName) + ".webp";
    // The image loader words its errors itself, in place of the lookup's messages.
    if (!locator.contains(name, directory)) {
        return RuntimeError{"Texture file not found in bundle: " + name};
    }
    Result<Bytes> bytes = locator.read(name, directory);
    if (!bytes) {
        return RuntimeError{"Cannot read texture " + name};
    }
    return decodeWebp(bytes.value(), name);
}

} // namespace renderer
