// libFuzzer target: the S3TC twins' DDS files as they come from disk, through the header
// checks and the mipmap chain rule.
//
// Input: see LevelFiles.h.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/LevelFiles.h"
#include "renderer/loaders/DdsTexture.h"
#include "renderer/loaders/TextureLimits.h"

namespace {

using namespace renderer;

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Parses one file; what passes must describe exactly the bytes that are there.
Result<DdsLevel> parseLevel(std::span<const std::uint8_t> file, const char* name) {
    Result<DdsInfo> info = DdsInfo::parse(file, name);
    // The check at start sees the header and the length only, and must judge alike.
    const Result<DdsInfo> head =
        DdsInfo::parse(file.first(std::min(file.size(), DdsInfo::kHeaderSize)), file.size(), name);
    require(head.ok() == info.ok());
    require(!info || (head.value().width == info.value().width &&
                      head.value().height == info.value().height));
    if (!info) {
        require(!info.error().message.empty());
        return info.error();
    }
    const DdsInfo& header = info.value();
    require(header.width >= 1 && header.height >= 1 && header.width <= kMaxTextureSize &&
            header.height <= kMaxTextureSize);
    require(DdsInfo::kHeaderSize + static_cast<std::size_t>(header.dataSize()) == file.size());
    DdsLevel level{name, header, Bytes(file.begin(), file.end())};
    // Every block is there to read.
    const std::span<const std::uint8_t> blocks = level.blocks();
    std::uint32_t sum = 0;
    for (const std::uint8_t byte : blocks) {
        sum += byte;
    }
    (void)sum;
    return level;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const fuzzinput::LevelFiles files = fuzzinput::levelFiles(data, size);
    if (!files.chain) {
        (void)parseLevel(files.first, "single.dds");
        return 0;
    }
    Result<DdsLevel> base = parseLevel(files.first, "chain_0.dds");
    Result<DdsLevel> next = parseLevel(files.second, "chain_1.dds");
    if (base && next) {
        if (checkDdsLevel(base.value(), next.value(), 1)) {
            require(next.value().info.width ==
                    std::max<std::int64_t>(1, base.value().info.width / 2));
            require(next.value().info.format == base.value().info.format);
        }
    }
    return 0;
}
