#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include <epoxy/gl.h>

#include "renderer/RuntimeError.h"

namespace renderer {

// The block-compressed twin of an ASTC texture, for drivers without ASTC: one DirectDraw
// Surface file per mipmap level, beside the ASTC file of the same name ("room1_3.dds" beside
// "room1_3.astc"). Only what the bake tool writes is accepted: a 128-byte header without the
// DX10 extension, one 2D level, BC1 (DXT1, opaque colour) or BC3 (DXT5, colour and alpha),
// and exactly the blocks the size needs.
enum class BlockFormat : std::uint8_t { Bc1, Bc3 };

struct DdsInfo {
    static constexpr std::size_t kHeaderSize = 128;

    std::int64_t width = 0;
    std::int64_t height = 0;
    BlockFormat format = BlockFormat::Bc1;

    // The header, checked against the file's length. `file` is the resource path named in
    // messages.
    static Result<DdsInfo> parse(std::span<const std::uint8_t> bytes, std::string_view file);
    // The same checks with only the file's first bytes at hand, and its length.
    static Result<DdsInfo> parse(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                                 std::string_view file);

    // The header of a file holding one level of `width` x `height` in `format`.
    static std::vector<std::uint8_t> header(std::int64_t width, std::int64_t height,
                                            BlockFormat format);

    std::int64_t blockBytes() const noexcept { return format == BlockFormat::Bc1 ? 8 : 16; }
    // Bytes of block data after the header: 4x4 blocks, partial ones at the edges included.
    std::int64_t dataSize() const noexcept {
        return ((width + 3) / 4) * ((height + 3) / 4) * blockBytes();
    }
    GLenum pixelFormat() const noexcept {
        return format == BlockFormat::Bc1 ? GL_COMPRESSED_RGB_S3TC_DXT1_EXT
                                          : GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    }
};

} // namespace renderer
