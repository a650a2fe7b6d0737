#include "renderer/loaders/DdsTexture.h"

#include "renderer/loaders/MipChain.h"

namespace renderer {

namespace {

Result<DdsLevel> readLevel(const ResourceLocator& locator, std::string_view directory,
                           const std::string& name, Contents contents) {
    return readTextureLevel<DdsLevel>(locator, directory, name, "dds", contents);
}

} // namespace

Result<void> checkDdsLevel(const DdsLevel& base, const DdsLevel& level, std::int32_t index) {
    if (level.info.format != base.info.format) {
        return RuntimeError{"Texture file " + level.file + " is in another block format than " +
                            base.file};
    }
    return checkMipLevelSize(base, level, index);
}

Result<std::vector<DdsLevel>> readDdsTwin(const ResourceLocator& locator,
                                          std::string_view directory, std::string_view fileName,
                                          std::int32_t mipmaps, Contents contents) {
    const auto read = [&](const std::string& name) {
        return readLevel(locator, directory, name, contents);
    };
    if (mipmaps <= 0) {
        Result<DdsLevel> level = read(std::string(fileName));
        if (!level) {
            return level.error();
        }
        std::vector<DdsLevel> levels;
        levels.push_back(std::move(level).value());
        return levels;
    }
    return readMipChain<DdsLevel>(fileName, mipmaps, read, &checkDdsLevel);
}

} // namespace renderer
