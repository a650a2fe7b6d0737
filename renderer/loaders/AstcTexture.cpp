#include "renderer/loaders/AstcTexture.h"

#include "renderer/loaders/MipChain.h"

namespace renderer {

namespace {

Result<AstcLevel> readLevel(const ResourceLocator& locator, std::string_view directory,
                            const std::string& name, Contents contents) {
    return readTextureLevel<AstcLevel>(locator, directory, name, "astc", contents);
}

} // namespace

std::int32_t AstcTexture::fullChainLength(std::int64_t width, std::int64_t height) noexcept {
    return fullMipChainLength(width, height);
}

Result<std::vector<AstcLevel>> AstcTexture::readSingle(const ResourceLocator& locator,
                                                       std::string_view directory,
                                                       std::string_view fileName,
                                                       Contents contents) {
    Result<AstcLevel> level = readLevel(locator, directory, std::string(fileName), contents);
    if (!level) {
        return level.error();
    }
    std::vector<AstcLevel> levels;
    levels.push_back(std::move(level).value());
    return levels;
}

Result<void> AstcTexture::checkLevel(const AstcLevel& base, const AstcLevel& level,
                                     std::int32_t index) {
    if (level.info.blockWidth != base.info.blockWidth ||
        level.info.blockHeight != base.info.blockHeight) {
        return RuntimeError{"Texture file " + level.file + " has " +
                            std::to_string(level.info.blockWidth) + "x" +
                            std::to_string(level.info.blockHeight) + " blocks, unlike the " +
                            std::to_string(base.info.blockWidth) + "x" +
                            std::to_string(base.info.blockHeight) + " blocks of " + base.file};
    }
    return checkMipLevelSize(base, level, index);
}

Result<std::vector<AstcLevel>> AstcTexture::readChain(const ResourceLocator& locator,
                                                      std::string_view directory,
                                                      std::string_view fileName,
                                                      std::int32_t mipmaps, Contents contents) {
    return readMipChain<AstcLevel>(
        fileName, mipmaps,
        [&](const std::string& name) { return readLevel(locator, directory, name, contents); },
        &AstcTexture::checkLevel);
}

} // namespace renderer
