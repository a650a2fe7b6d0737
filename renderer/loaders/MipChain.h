#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// The rules every per-level texture file chain keeps (ASTC and its DDS twin alike): level i
// is the base size halved i times, at least 1, and the chain is no longer than the halving
// allows. `Level` has `file` (the resource path) and `info.width`, `info.height`.

// How much of a texture file to read: all of it, or the header alone (checked against the
// file's length, so that a file can be judged without reading its blocks).
enum class Contents { Whole, Headers };

// Reads `name`.`extension` from `directory` and parses its header with the level's Info::parse.
// Lookup errors name `name` without the extension, as a bundle lookup by name and type does.
// With Contents::Headers `bytes` holds the header alone.

template <class Level>
Result<Level> readTextureLevel(const ResourceLocator& locator, std::string_view directory,
                               const std::string& name, const char* extension,
                               Contents contents = Contents::Whole) {
    using Info = decltype(Level::info);
    Level level;
    level.file = joinResourcePath(directory, name + "." + extension);
    std::uint64_t size = 0;
    if (contents == Contents::Whole) {
        Result<Bytes> bytes = locator.read(name, directory, extension);
        if (!bytes) {
            return bytes.error();
        }
        level.bytes = std::move(bytes).value();
        size = level.bytes.size();
    } else {
        Result<ResourceLocator::Head> head =
            locator.readHead(name, directory, extension, Info::kHeaderSize);
        if (!head) {
            return head.error();
        }
        level.bytes = std::move(head.value().bytes);
        size = head.value().size;
    }
    Result<Info> info = Info::parse(level.bytes, size, level.file);
    if (!info) {
        return info.error();
    }
    level.info = info.value();
    return level;
}

// Levels from width x height down to 1x1: floor(log2(max(width, height))) + 1.
inline std::int32_t fullMipChainLength(std::int64_t width, std::int64_t height) noexcept {
    std::int64_t largest = std::max(width, height);
    std::int32_t levels = 1;
    while (largest > 1) {
        largest /= 2;
        ++levels;
    }
    return levels;
}

template <class Info> std::string sizeText(const Info& info) {
    return std::to_string(info.width) + "x" + std::to_string(info.height);
}

// Level `index` of `base`'s chain has the halved size.
template <class Level>
Result<void> checkMipLevelSize(const Level& base, const Level& level, std::int32_t index) {
    const int shift = std::min(index, 62);
    const std::int64_t width = std::max<std::int64_t>(1, base.info.width >> shift);
    const std::int64_t height = std::max<std::int64_t>(1, base.info.height >> shift);
    if (level.info.width != width || level.info.height != height) {
        return RuntimeError{"Texture file " + level.file + " is level " + std::to_string(index) +
                            " of the " + sizeText(base.info) + " image " + base.file +
                            " and must be " + std::to_string(width) + "x" + std::to_string(height) +
                            ", not " + sizeText(level.info)};
    }
    return {};
}

// fileName + "_0" ... fileName + "_<mipmaps>" through `read` (name -> Result<Level>), each
// level after the first through `check` (base, level, index -> Result<void>).
template <class Level, class Read, class Check>
Result<std::vector<Level>> readMipChain(std::string_view fileName, std::int32_t mipmaps,
                                        Read&& read, Check&& check) {
    std::vector<Level> levels;
    for (std::int32_t index = 0; index <= mipmaps; ++index) {
        Result<Level> level = read(std::string(fileName) + "_" + std::to_string(index));
        if (!level) {
            return level.error();
        }
        if (index == 0) {
            const std::int32_t possible =
                fullMipChainLength(level.value().info.width, level.value().info.height);
            if (mipmaps >= possible) {
                return RuntimeError{"Texture " + std::string(fileName) + " asks for " +
                                    std::to_string(mipmaps + 1) + " mipmap levels, but its " +
                                    sizeText(level.value().info) + " base level " +
                                    level.value().file + " has only " + std::to_string(possible)};
            }
        } else if (Result<void> fits = check(levels.front(), level.value(), index); !fits) {
            return fits.error();
        }
        levels.push_back(std::move(level).value());
    }
    return levels;
}

} // namespace renderer
