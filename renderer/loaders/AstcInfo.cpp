#include "renderer/loaders/AstcInfo.h"

#include <array>
#include <cstdio>
#include <string>

namespace renderer {

namespace {

struct Footprint {
    std::int64_t width;
    std::int64_t height;
    GLenum format;
};

constexpr std::array<Footprint, 14> kFootprints{{
    {4, 4, GL_COMPRESSED_RGBA_ASTC_4x4_KHR},
    {5, 4, GL_COMPRESSED_RGBA_ASTC_5x4_KHR},
    {5, 5, GL_COMPRESSED_RGBA_ASTC_5x5_KHR},
    {6, 5, GL_COMPRESSED_RGBA_ASTC_6x5_KHR},
    {6, 6, GL_COMPRESSED_RGBA_ASTC_6x6_KHR},
    {8, 5, GL_COMPRESSED_RGBA_ASTC_8x5_KHR},
    {8, 6, GL_COMPRESSED_RGBA_ASTC_8x6_KHR},
    {8, 8, GL_COMPRESSED_RGBA_ASTC_8x8_KHR},
    {10, 5, GL_COMPRESSED_RGBA_ASTC_10x5_KHR},
    {10, 6, GL_COMPRESSED_RGBA_ASTC_10x6_KHR},
    {10, 8, GL_COMPRESSED_RGBA_ASTC_10x8_KHR},
    {10, 10, GL_COMPRESSED_RGBA_ASTC_10x10_KHR},
    {12, 10, GL_COMPRESSED_RGBA_ASTC_12x10_KHR},
    {12, 12, GL_COMPRESSED_RGBA_ASTC_12x12_KHR},
}};

std::int64_t read24(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::int64_t>(bytes[offset]) |
           (static_cast<std::int64_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::int64_t>(bytes[offset + 2]) << 16);
}

std::string text(std::int64_t value) {
    return std::to_string(value);
}

} // namespace

GLenum astcPixelFormat(std::int64_t blockWidth, std::int64_t blockHeight) noexcept {
    for (const Footprint& footprint : kFootprints) {
        if (footprint.width == blockWidth && footprint.height == blockHeight) {
            return footprint.format;
        }
    }
    return GL_COMPRESSED_RGBA_ASTC_4x4_KHR;
}

bool isAstcFootprint(std::int64_t blockWidth, std::int64_t blockHeight) noexcept {
    for (const Footprint& footprint : kFootprints) {
        if (footprint.width == blockWidth && footprint.height == blockHeight) {
            return true;
        }
    }
    return false;
}

std::int64_t AstcInfo::blocksPerRow() const noexcept {
    return blockWidth > 0 ? (width + blockWidth - 1) / blockWidth : 0;
}

std::int64_t AstcInfo::blockRows() const noexcept {
    return blockHeight > 0 ? (height + blockHeight - 1) / blockHeight : 0;
}

Result<AstcInfo> AstcInfo::parseHeader(std::span<const std::uint8_t> bytes, std::string_view file) {
    if (bytes.size() < kHeaderSize) {
        return RuntimeError{"Texture file " + std::string(file) +
                            " is truncated: " + text(static_cast<std::int64_t>(bytes.size())) +
                            " bytes, shorter than the 16-byte ASTC header"};
    }
    AstcInfo info;
    info.blockWidth = bytes[4];
    info.blockHeight = bytes[5];
    info.width = read24(bytes, 7);
    info.height = read24(bytes, 10);
    info.pixelFormat = astcPixelFormat(info.blockWidth, info.blockHeight);
    return info;
}

Result<AstcInfo> AstcInfo::parse(std::span<const std::uint8_t> bytes, std::string_view file) {
    return parse(bytes, bytes.size(), file);
}

Result<AstcInfo> AstcInfo::parse(std::span<const std::uint8_t> bytes, std::uint64_t fileSize,
                                 std::string_view file) {
    Result<AstcInfo> header = parseHeader(bytes, file);
    if (!header) {
        return header;
    }
    const AstcInfo& info = header.value();
    const std::string name(file);
    const std::uint32_t magic =
        static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
        (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    if (magic != kMagic) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", magic);
        return RuntimeError{"Texture file " + name + " is not an ASTC file (magic number " + hex +
                            ")"};
    }
    const std::int64_t blockDepth = bytes[6];
    // Another footprint would be uploaded under a format whose blocks it does not hold.
    if (!isAstcFootprint(info.blockWidth, info.blockHeight) || blockDepth != 1) {
        return RuntimeError{"Texture file " + name + " has the ASTC block footprint " +
                            text(info.blockWidth) + "x" + text(info.blockHeight) + "x" +
                            text(blockDepth) + ", which is not a 2D ASTC format"};
    }
    const std::int64_t depth = read24(bytes, 13);
    if (info.width < 1 || info.height < 1 || info.width > kMaxTextureSize ||
        info.height > kMaxTextureSize || depth != 1) {
        return RuntimeError{"Texture file " + name + " has the image size " + text(info.width) +
                            "x" + text(info.height) + "x" + text(depth) +
                            "; a 2D texture is 1 to " + text(kMaxTextureSize) +
                            " texels wide and high and 1 deep"};
    }
    const auto available = static_cast<std::int64_t>(fileSize - kHeaderSize);
    if (available < info.dataSize()) {
        return RuntimeError{"Texture file " + name + " is truncated: its " + text(info.width) +
                            "x" + text(info.height) + " image in " + text(info.blockWidth) + "x" +
                            text(info.blockHeight) + " blocks needs " + text(info.dataSize()) +
                            " bytes of blocks, the file holds " + text(available)};
    }
    return header;
}

} // namespace renderer
