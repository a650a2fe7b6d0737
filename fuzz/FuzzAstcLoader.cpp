// libFuzzer target: ASTC files as they come from disk, through header checks, the mipmap
// chain rule and the processor decoder.
//
// Input: see LevelFiles.h.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <utility>

#include "fuzz/LevelFiles.h"
#include "renderer/loaders/AstcDecoder.h"
#include "renderer/loaders/AstcInfo.h"
#include "renderer/loaders/AstcTexture.h"

namespace {

using namespace renderer;

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Decoders are slow to make and keep no state between images: one per footprint.
AstcDecoder& decoderFor(std::int64_t blockWidth, std::int64_t blockHeight) {
    static std::map<std::pair<std::int64_t, std::int64_t>, AstcDecoder> decoders;
    const auto key = std::make_pair(blockWidth, blockHeight);
    auto found = decoders.find(key);
    if (found == decoders.end()) {
        Result<AstcDecoder> made = AstcDecoder::create(blockWidth, blockHeight, 1);
        require(made.ok());
        found = decoders.emplace(key, std::move(made).value()).first;
    }
    return found->second;
}

// Parses one file; what passes must describe only bytes that are there, and decode.
Result<AstcLevel> parseLevel(std::span<const std::uint8_t> file, const char* name) {
    Result<AstcInfo> info = AstcInfo::parse(file, name);
    // The check at start sees the header and the length only, and must judge alike.
    const Result<AstcInfo> head = AstcInfo::parse(
        file.first(std::min(file.size(), AstcInfo::kHeaderSize)), file.size(), name);
    require(head.ok() == info.ok());
    require(!info || (head.value().width == info.value().width &&
                      head.value().height == info.value().height));
    if (!info) {
        require(!info.error().message.empty());
        return info.error();
    }
    const AstcInfo& header = info.value();
    require(header.width >= 1 && header.height >= 1 && header.width <= kMaxTextureSize &&
            header.height <= kMaxTextureSize);
    require(isAstcFootprint(header.blockWidth, header.blockHeight));
    require(header.pixelFormat == astcPixelFormat(header.blockWidth, header.blockHeight));
    require(AstcInfo::kHeaderSize + static_cast<std::size_t>(header.dataSize()) <= file.size());

    AstcLevel level{name, header, Bytes(file.begin(), file.end())};
    Result<Bytes> texels =
        decoderFor(header.blockWidth, header.blockHeight).decode(header, level.blocks(), name);
    require(texels.ok());
    require(texels.value().size() == static_cast<std::size_t>(header.width * header.height * 4));
    return level;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const fuzzinput::LevelFiles files = fuzzinput::levelFiles(data, size);
    if (!files.chain) {
        (void)parseLevel(files.first, "single.astc");
        return 0;
    }
    Result<AstcLevel> base = parseLevel(files.first, "chain_0.astc");
    Result<AstcLevel> next = parseLevel(files.second, "chain_1.astc");
    if (base && next) {
        const Result<void> fits = AstcTexture::checkLevel(base.value(), next.value(), 1);
        if (fits) {
            require(next.value().info.width ==
                    std::max<std::int64_t>(1, base.value().info.width / 2));
            require(next.value().info.blockWidth == base.value().info.blockWidth);
        }
    }
    return 0;
}
