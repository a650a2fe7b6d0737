#include "renderer/loaders/AstcDecoder.h"

#include <algorithm>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <astcenc.h>

namespace renderer {

namespace {

// Below this many blocks per thread, starting another thread costs more than it saves.
constexpr std::int64_t kBlocksPerThread = 1024;

} // namespace

AstcDecoder::AstcDecoder(astcenc_context* context, std::int64_t blockWidth,
                         std::int64_t blockHeight, unsigned threads) noexcept
    : context_(context), blockWidth_(blockWidth), blockHeight_(blockHeight), threads_(threads) {}

AstcDecoder::AstcDecoder(AstcDecoder&& other) noexcept
    : context_(std::exchange(other.context_, nullptr)), blockWidth_(other.blockWidth_),
      blockHeight_(other.blockHeight_), threads_(other.threads_) {}

AstcDecoder& AstcDecoder::operator=(AstcDecoder&& other) noexcept {
    if (this != &other) {
        if (context_ != nullptr) {
            astcenc_context_free(context_);
        }
        context_ = std::exchange(other.context_, nullptr);
        blockWidth_ = other.blockWidth_;
        blockHeight_ = other.blockHeight_;
        threads_ = other.threads_;
    }
    return *this;
}

AstcDecoder::~AstcDecoder() {
    if (context_ != nullptr) {
        astcenc_context_free(context_);
    }
}

Result<AstcDecoder> AstcDecoder::create(std::int64_t blockWidth, std::int64_t blockHeight,
                                        unsigned threads) {
    const std::string footprint = std::to_string(blockWidth) + "x" + std::to_string(blockHeight);
    if (!isAstcFootprint(blockWidth, blockHeight)) {
        return RuntimeError{"Cannot decode ASTC blocks of " + footprint};
    }
    if (threads == 0) {
        threads = std::max(1U, std::thread::hardware_concurrency());
    }
    astcenc_config config{};
    astcenc_error status = astcenc_config_init(
        ASTCENC_PRF_LDR, static_cast<unsigned>(blockWidth), static_cast<unsigned>(blockHeight), 1,
        ASTCENC_PRE_FASTEST, ASTCENC_FLG_DECOMPRESS_ONLY, &config);
    astcenc_context* context = nullptr;
    if (status == ASTCENC_SUCCESS) {
        status = astcenc_context_alloc(&config, threads, &context);
    }
    if (status != ASTCENC_SUCCESS) {
        return RuntimeError{"Cannot create an ASTC decoder for " + footprint +
                            " blocks: " + astcenc_get_error_string(status)};
    }
    return AstcDecoder(context, blockWidth, blockHeight, threads);
}

namespace {

bool fitsDecoder(const AstcInfo& info, std::int64_t blockWidth, std::int64_t blockHeight,
                 std::span<const std::uint8_t> blocks) {
    return info.blockWidth == blockWidth && info.blockHeight == blockHeight &&
           isAstcFootprint(info.blockWidth, info.blockHeight) && info.width >= 1 &&
           info.height >= 1 && info.width <= kMaxTextureSize && info.height <= kMaxTextureSize &&
           static_cast<std::int64_t>(blocks.size()) >= info.dataSize();
}

RuntimeError mismatch(std::string_view file) {
    return RuntimeError{"Cannot decode texture file " + std::string(file) +
                        ": its header does not match its blocks"};
}

} // namespace

Result<Bytes> AstcDecoder::decode(const AstcInfo& info, std::span<const std::uint8_t> blocks,
                                  std::string_view file) {
    if (!fitsDecoder(info, blockWidth_, blockHeight_, blocks)) {
        return mismatch(file);
    }
    Bytes texels;
    try {
        texels.resize(static_cast<std::size_t>(info.width * info.height * 4));
    } catch (const std::bad_alloc&) {
        return RuntimeError{"Cannot decode texture file " + std::string(file) +
                            ": not enough memory for its " + std::to_string(info.width) + "x" +
                            std::to_string(info.height) + " texels"};
    }
    if (Result<void> decoded = decodeInto(info, blocks, texels, file); !decoded) {
        return decoded.error();
    }
    return texels;
}

Result<void> AstcDecoder::decodeInto(const AstcInfo& info, std::span<const std::uint8_t> blocks,
                                     std::span<std::uint8_t> texels, std::string_view file) {
    if (!fitsDecoder(info, blockWidth_, blockHeight_, blocks) ||
        static_cast<std::int64_t>(texels.size()) < info.width * info.height * 4) {
        return mismatch(file);
    }
    void* slices[] = {texels.data()};
    astcenc_image image{static_cast<unsigned>(info.width), static_cast<unsigned>(info.height), 1,
                        ASTCENC_TYPE_U8, slices};
    const astcenc_swizzle swizzle{ASTCENC_SWZ_R, ASTCENC_SWZ_G, ASTCENC_SWZ_B, ASTCENC_SWZ_A};
    const auto length = static_cast<std::size_t>(info.dataSize());

    // Every thread takes blocks from the same image until none are left; the calling thread
    // works too, so the image is finished even if no helper thread can be started.
    const auto wanted = static_cast<unsigned>(std::clamp<std::int64_t>(
        info.blocksPerRow() * info.blockRows() / kBlocksPerThread, 1, threads_));
    std::vector<astcenc_error> results(wanted, ASTCENC_SUCCESS);
    std::vector<std::thread> helpers;
    helpers.reserve(wanted - 1);
    for (unsigned index = 1; index < wanted; ++index) {
        try {
            helpers.emplace_back([&, index] {
                results[index] = astcenc_decompress_image(context_, blocks.data(), length, &image,
                                                          &swizzle, index);
            });
        } catch (const std::system_error&) {
            break;
        }
    }
    results[0] = astcenc_decompress_image(context_, blocks.data(), length, &image, &swizzle, 0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    astcenc_decompress_reset(context_);
    for (const astcenc_error status : results) {
        if (status != ASTCENC_SUCCESS) {
            return RuntimeError{"Cannot decode texture file " + std::string(file) + ": " +
                                astcenc_get_error_string(status)};
        }
    }
    return {};
}

} // namespace renderer
