#include "renderer/loaders/AstcTexture.h"

#include <algorithm>

namespace renderer {

namespace {

// Reads `name` + ".astc"; lookup errors name `name` without the extension, as a bundle
// lookup by name and type does.
Result<AstcLevel> readLevel(const ResourceLocator& locator, std::string_view directory,
                            const std::string& name) {
    Result<Bytes> bytes = locator.read(name, directory, "astc");
    if (!bytes) {
        return bytes.error();
    }
    AstcLevel level;
    level.file = joinResourcePath(directory, name + ".astc");
    level.bytes = std::move(bytes).value();
    Result<AstcInfo> info = AstcInfo::parse(level.bytes, level.file);
    if (!info) {
        return info.error();
    }
    level.info = info.value();
    return level;
}

std::string size(const AstcInfo& info) {
    return std::to_string(info.width) + "x" + std::to_string(info.height);
}

} // namespace

std::int32_t AstcTexture::fullChainLength(std::int64_t width, std::int64_t height) noexcept {
    std::int64_t largest = std::max(width, height);
    std::int32_t levels = 1;
    while (largest > 1) {
        largest /= 2;
        ++levels;
    }
    return levels;
}

Result<std::vector<AstcLevel>> AstcTexture::readSingle(const ResourceLocator& locator,
                                                       std::string_view directory,
                                                       std::string_view fileName) {
    Result<AstcLevel> level = readLevel(locator, directory, std::string(fileName));
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
    const int shift = std::min(index, 62);
    const std::int64_t width = std::max<std::int64_t>(1, base.info.width >> shift);
    const std::int64_t height = std::max<std::int64_t>(1, base.info.height >> shift);
    if (level.info.width != width || level.info.height != height) {
        return RuntimeError{"Texture file " + level.file + " is level " + std::to_string(index) +
                            " of the " + size(base.info) + " image " + base.file + " and must be " +
                            std::to_string(width) + "x" + std::to_string(height) + ", not " +
                            size(level.info)};
    }
    return {};
}

Result<std::vector<AstcLevel>> AstcTexture::readChain(const ResourceLocator& locator,
                                                      std::string_view directory,
                                                      std::string_view fileName,
                                                      std::int32_t mipmaps) {
    std::vector<AstcLevel> levels;
    for (std::int32_t index = 0; index <= mipmaps; ++index) {
        Result<AstcLevel> level =
            readLevel(locator, directory, std::string(fileName) + "_" + std::to_string(index));
        if (!level) {
            return level.error();
        }
        if (index == 0) {
            const std::int32_t possible =
                fullChainLength(level.value().info.width, level.value().info.height);
            if (mipmaps >= possible) {
                return RuntimeError{"Texture " + std::string(fileName) + " asks for " +
                                    std::to_string(mipmaps + 1) + " mipmap levels, but its " +
                                    size(level.value().info) + " base level " + level.value().file +
                                    " has only " + std::to_string(possible)};
            }
        } else if (Result<void> fits = checkLevel(levels.front(), level.value(), index); !fits) {
            return fits.error();
        }
        levels.push_back(std::move(level).value());
    }
    return levels;
}

} // namespace renderer
