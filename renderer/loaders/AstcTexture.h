#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/AstcInfo.h"
#include "renderer/loaders/MipChain.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// One ASTC file as read, its header checked against its length. Read with Contents::Headers,
// `bytes` holds the header alone and blocks() may not be called.
struct AstcLevel {
    std::string file; // resource path, for messages: "kadrel/textures/room1_3.astc"
    AstcInfo info;
    Bytes bytes; // the whole file

    // The blocks of the image, exactly info.dataSize() bytes.
    std::span<const std::uint8_t> blocks() const noexcept {
        return std::span<const std::uint8_t>(bytes).subspan(
            AstcInfo::kHeaderSize, static_cast<std::size_t>(info.dataSize()));
    }
};

// The two ways an ASTC texture is shipped: one file, or one file per mipmap level.
class AstcTexture {
  public:
    AstcTexture() = delete;

    // fileName + ".astc" from `directory`.
    static Result<std::vector<AstcLevel>> readSingle(const ResourceLocator& locator,
                                                     std::string_view directory,
                                                     std::string_view fileName,
                                                     Contents contents = Contents::Whole);

    // fileName + "_" + level + ".astc" for level 0 ... mipmaps. Level i must be the base size
    // halved i times (at least 1) in the base level's footprint, and the chain no longer than
    // the halving allows.
    static Result<std::vector<AstcLevel>> readChain(const ResourceLocator& locator,
                                                    std::string_view directory,
                                                    std::string_view fileName, std::int32_t mipmaps,
                                                    Contents contents = Contents::Whole);

    // The chain rule above, for levels already parsed.
    static Result<void> checkLevel(const AstcLevel& base, const AstcLevel& level,
                                   std::int32_t index);

    // Levels from width x height down to 1x1: floor(log2(max(width, height))) + 1.
    static std::int32_t fullChainLength(std::int64_t width, std::int64_t height) noexcept;
};

} // namespace renderer
