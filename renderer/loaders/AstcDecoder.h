#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/AstcInfo.h"
#include "renderer/loaders/ResourceLocator.h"

struct astcenc_context;

namespace renderer {

// Decodes ASTC blocks into RGBA8 texels (rows from the top, no padding) on the processor,
// for drivers that cannot sample ASTC. One decoder serves every image of one block
// footprint; each image is split across `threads` threads.
class AstcDecoder {
  public:
    // threads 0: one per core.
    static Result<AstcDecoder> create(std::int64_t blockWidth, std::int64_t blockHeight,
                                      unsigned threads = 0);

    AstcDecoder(AstcDecoder&& other) noexcept;
    AstcDecoder& operator=(AstcDecoder&& other) noexcept;
    AstcDecoder(const AstcDecoder&) = delete;
    AstcDecoder& operator=(const AstcDecoder&) = delete;
    ~AstcDecoder();

    unsigned threads() const noexcept { return threads_; }

    // `info` must have this decoder's footprint and `blocks` at least info.dataSize() bytes;
    // otherwise, or when the codec fails, the error names `file`.
    Result<Bytes> decode(const AstcInfo& info, std::span<const std::uint8_t> blocks,
                         std::string_view file);
    // The same into `texels`, which must hold info.width * info.height * 4 bytes: a band of
    // block rows decodes as an image of the band's height.
    Result<void> decodeInto(const AstcInfo& info, std::span<const std::uint8_t> blocks,
                            std::span<std::uint8_t> texels, std::string_view file);

  private:
    AstcDecoder(astcenc_context* context, std::int64_t blockWidth, std::int64_t blockHeight,
                unsigned threads) noexcept;

    astcenc_context* context_ = nullptr;
    std::int64_t blockWidth_ = 0;
    std::int64_t blockHeight_ = 0;
    unsigned threads_ = 1;
};

} // namespace renderer
