#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/DdsInfo.h"
#include "renderer/loaders/MipChain.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// One twin file as read (with Contents::Headers, its header alone: no blocks()).
struct DdsLevel {
    std::string file; // resource path, for messages
    DdsInfo info;
    Bytes bytes; // the whole file

    std::span<const std::uint8_t> blocks() const noexcept {
        return std::span<const std::uint8_t>(bytes).subspan(
            DdsInfo::kHeaderSize, static_cast<std::size_t>(info.dataSize()));
    }
};

// fileName + ".dds", or fileName + "_0.dds" ... fileName + "_<mipmaps>.dds" for a chain: each
// level the base halved (at least 1), all in the base level's format.
Result<std::vector<DdsLevel>> readDdsTwin(const ResourceLocator& locator,
                                          std::string_view directory, std::string_view fileName,
                                          std::int32_t mipmaps,
                                          Contents contents = Contents::Whole);

// The chain rule for levels already parsed.
Result<void> checkDdsLevel(const DdsLevel& base, const DdsLevel& level, std::int32_t index);

} // namespace renderer
