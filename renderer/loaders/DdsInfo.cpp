#include "renderer/loaders/DdsInfo.h"

#include <string>

#include "renderer/loaders/TextureLimits.h"

namespace renderer {

namespace {

constexpr std::uint32_t MAGIC = 0x20534444; // "DDS "
constexpr std::uint32_t HEADER_SIZE = 124;  // the header after the magic
constexpr std::uint32_t PIXEL_FORMAT_SIZE = 32;
constexpr std::uint32_t DDSD_REQUIRED = 0x1 | 0x2 | 0x4 | 0x1000; // caps, height, width, format
constexpr std::uint32_t DDSD_LINEARSIZE = 0x80000;
constexpr std::uint32_t DDSD_MIPMAPCOUNT = 0x20000;
constexpr std::uint32_t DDPF_FOURCC = 0x4;
constexpr std::uint32_t DDSCAPS_TEXTURE = 0x1000;
constexpr std::uint32_t DDSCAPS2_CUBEMAP_OR_VOLUME = 0x200 | 0x200000;
constexpr std::uint32_t DXT1 = 0x31545844;
constexpr std::uint32_t DXT5 = 0x35545844;

std::uint32_t u32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

void put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

RuntimeError bad(std::string_view file, const std::string& why) {
    return RuntimeError{"Texture file " + std::string(file) + " " + why};
}

std::string size(const DdsInfo& info) {
    return std::to_string(info.width) + "x" + std::to_string(info.height);
}

} // namespace

Result<DdsInfo> DdsInfo::parse(std::span<const std::uint8_t> bytes, std::string_view file) {
    return parse(bytes, bytes.size(), file);
}

Result<DdsInfo> DdsInfo::parse(std::span<const std::uint8_t> bytes, std::uint64_t fileSize,
                               std::string_view file) {
    if (bytes.size() < kHeaderSize) {
        return bad(file,
                   "is too short for a DDS header (" + std::to_string(bytes.size()) + " bytes)");
    }
    if (u32(bytes, 0) != MAGIC || u32(bytes, 4) != HEADER_SIZE ||
        u32(bytes, 76) != PIXEL_FORMAT_SIZE) {
        return bad(file, "is not a DDS file");
    }
    const std::uint32_t flags = u32(bytes, 8);
    if ((flags & DDSD_REQUIRED) != DDSD_REQUIRED || (u32(bytes, 108) & DDSCAPS_TEXTURE) == 0) {
        return bad(file, "lacks the DDS header's required fields");
    }
    if ((u32(bytes, 80) & DDPF_FOURCC) == 0) {
        return bad(file, "is not block-compressed");
    }
    DdsInfo info;
    switch (u32(bytes, 84)) {
    case DXT1:
        info.format = BlockFormat::Bc1;
        break;
    case DXT5:
        info.format = BlockFormat::Bc3;
        break;
    default:
        return bad(file, "is neither BC1 (DXT1) nor BC3 (DXT5)");
    }
    if ((u32(bytes, 112) & DDSCAPS2_CUBEMAP_OR_VOLUME) != 0 || u32(bytes, 24) > 1) {
        return bad(file, "is not a 2D texture");
    }
    if ((flags & DDSD_MIPMAPCOUNT) != 0 && u32(bytes, 28) > 1) {
        return bad(file, "holds " + std::to_string(u32(bytes, 28)) +
                             " mipmap levels; each level is a file of its own");
    }
    info.height = u32(bytes, 12);
    info.width = u32(bytes, 16);
    if (info.width < 1 || info.height < 1 || info.width > kMaxTextureSize ||
        info.height > kMaxTextureSize) {
        return bad(file, "has a size of " + size(info) + ", outside 1 to " +
                             std::to_string(kMaxTextureSize));
    }
    if ((flags & DDSD_LINEARSIZE) != 0 &&
        u32(bytes, 20) != static_cast<std::uint32_t>(info.dataSize())) {
        return bad(file, "gives " + std::to_string(u32(bytes, 20)) + " bytes of blocks; " +
                             size(info) + " needs " + std::to_string(info.dataSize()));
    }
    const auto blocks = static_cast<std::int64_t>(fileSize - kHeaderSize);
    if (blocks != info.dataSize()) {
        return bad(file, "has " + std::to_string(blocks) + " bytes of blocks; " + size(info) +
                             " needs " + std::to_string(info.dataSize()));
    }
    return info;
}

std::vector<std::uint8_t> DdsInfo::header(std::int64_t width, std::int64_t height,
                                          BlockFormat format) {
    std::vector<std::uint8_t> bytes(kHeaderSize, 0);
    DdsInfo info{width, height, format};
    put(bytes, 0, MAGIC);
    put(bytes, 4, HEADER_SIZE);
    put(bytes, 8, DDSD_REQUIRED | DDSD_LINEARSIZE | DDSD_MIPMAPCOUNT);
    put(bytes, 12, static_cast<std::uint32_t>(height));
    put(bytes, 16, static_cast<std::uint32_t>(width));
    put(bytes, 20, static_cast<std::uint32_t>(info.dataSize()));
    put(bytes, 28, 1);
    put(bytes, 76, PIXEL_FORMAT_SIZE);
    put(bytes, 80, DDPF_FOURCC);
    put(bytes, 84, format == BlockFormat::Bc1 ? DXT1 : DXT5);
    put(bytes, 108, DDSCAPS_TEXTURE);
    return bytes;
}

} // namespace renderer
