#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include <epoxy/gl.h>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/TextureLimits.h"

namespace renderer {

// The GPU format of an ASTC block footprint (linear colour, low dynamic range). Footprints
// without a format of their own, 4x4 included, give the 4x4 format.
GLenum astcPixelFormat(std::int64_t blockWidth, std::int64_t blockHeight) noexcept;

// The header of one ASTC file: 16 bytes, then 16-byte blocks row by row from the top.
//   0 magic (4)  4 block width (1)  5 block height (1)  6 block depth (1)
//   7 width (3)  10 height (3)  13 depth (3)              all little-endian
struct AstcInfo {
    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::size_t kBlockSize = 16;
    static constexpr std::uint32_t kMagic = 0x5CA1AB13;

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t blockWidth = 0;
    std::int64_t blockHeight = 0;
    GLenum pixelFormat = GL_COMPRESSED_RGBA_ASTC_4x4_KHR;

    // The header fields as written; fails only when the file is shorter than the header.
    // `file` is the resource path named in messages.
    static Result<AstcInfo> parseHeader(std::span<const std::uint8_t> bytes, std::string_view file);

    // The header, checked: the container's magic number, a 2D footprint that has a GPU format,
    // depth 1, width and height from 1 to kMaxTextureSize, and enough bytes for every block.
    static Result<AstcInfo> parse(std::span<const std::uint8_t> bytes, std::string_view file);
    // The same checks with only the file's first bytes at hand, and its length.
    static Result<AstcInfo> parse(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                                  std::string_view file);

    // Blocks in one row: ceil(width / blockWidth). Zero for a zero block width.
    std::int64_t blocksPerRow() const noexcept;
    std::int64_t blockRows() const noexcept;
    // Bytes from one row of blocks to the next.
    std::int64_t rowPitch() const noexcept { return blocksPerRow() * 16; }
    // Bytes of block data after the header.
    std::int64_t dataSize() const noexcept { return blocksPerRow() * blockRows() * 16; }
};

// True for the footprints that have a GPU format of their own (4x4 through 12x12).
bool isAstcFootprint(std::int64_t blockWidth, std::int64_t blockHeight) noexcept;

} // namespace renderer
