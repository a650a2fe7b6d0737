#include "renderer/loaders/TextureData.h"

namespace renderer {

namespace {

template <class T> Result<TextureData> wrap(Result<T> content, std::string label) {
    if (!content) {
        return content.error();
    }
    return TextureData{std::move(label), std::move(content).value()};
}

} // namespace

Result<TextureData> readTextureData(const engine::Texture& texture, const ResourceLocator& locator,
                                    std::string_view resourcesRoot) {
    const std::string directory = joinResourcePath(resourcesRoot, "textures");
    const std::string& fileName = texture.fileName;
    switch (texture.format) {
    case engine::TextureFormat::RGBA8:
    case engine::TextureFormat::RGB8:
        return wrap(readWebp(locator, directory, fileName), fileName + ".webp");
    case engine::TextureFormat::RGBA16F:
        return wrap(readRawHalf(locator, directory, fileName, texture.width, texture.height),
                    fileName);
    case engine::TextureFormat::ASTC:
    case engine::TextureFormat::RGB16F:
    case engine::TextureFormat::RGB32F:
    case engine::TextureFormat::RGBA32F:
        break;
    }
    return TextureData{};
}

} // namespace renderer
