#include "renderer/loaders/DdsTexture.h"

#include <algorithm>
#include <array>

#include "renderer/loaders/AstcTexture.h"
#include "renderer/loaders/TextureLimits.h"

namespace renderer {

namespace {

Result<DdsLevel> readLevel(const ResourceLocator& locator, std::string_view directory,
                           const std::string& name) {
    Result<Bytes> bytes = locator.read(name, directory, "dds");
    if (!bytes) {
        return bytes.error();
    }
    DdsLevel level;
    level.file = joinResourcePath(directory, name + ".dds");
    level.bytes = std::move(bytes).value();
    Result<DdsInfo> info = DdsInfo::parse(level.bytes, level.file);
    if (!info) {
        return info.error();
    }
    level.info = info.value();
    return level;
}

std::string size(const DdsInfo& info) {
    return std::to_string(info.width) + "x" + std::to_string(info.height);
}

} // namespace

Result<void> checkDdsLevel(const DdsLevel& base, const DdsLevel& level, std::int32_t index) {
    if (level.info.format != base.info.format) {
        return RuntimeError{"Texture file " + level.file + " is in another block format than " +
                            base.file};
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

Result<std::vector<DdsLevel>> readDdsTwin(const ResourceLocator& locator,
                                         std::string_view directory, std::string_view fileName,
                                         std::int32_t mipmaps) {
    std::vector<DdsLevel> levels;
    if (mipmaps <= 0) {
        Result<DdsLevel> level = readLevel(locator, directory, std::string(fileName));
        if (!level) {
            return level.error();
        }
        levels.push_back(std::move(level).value());
        return levels;
    }
    for (std::int32_t index = 0; index <= mipmaps; ++index) {
        Result<DdsLevel> level =
            readLevel(locator, directory, std::string(fileName) + "_" + std::to_string(index));
        if (!level) {
            return level.error();
        }
        if (index == 0) {
            const std::int32_t possible = AstcTexture::fullChainLength(
                level.value().info.width, level.value().info.height);
            if (mipmaps >= possible) {
                return RuntimeError{"Texture " + std::string(fileName) + " asks for " +
                                    std::to_string(mipmaps + 1) + " mipmap levels, but its " +
                                    size(level.value().info) + " base level " +
                                    level.value().file + " has only " + std::to_string(possible)};
            }
        } else {
            if (Result<void> fits = checkDdsLevel(levels.front(), level.value(), index); !fits) {
                return fits.error();
            }
        }
        levels.push_back(std::move(level).value());
    }
    return levels;
}

} // namespace renderer
