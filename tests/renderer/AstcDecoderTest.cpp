#include "renderer/loaders/AstcDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

TEST(AstcDecoderTest, DecodesToTheEncodedPicture) {
    // Compression loses detail, not the picture. Limits are about twice what the reference
    // encoder reaches on these ramps; they shrink with the bit rate (8, 3.6 and 1.1 bits per
    // texel). The worst texel sits where a block's endpoints cannot follow the sine.
    struct Case {
        int blockWidth, blockHeight, width, height;
        double meanLimit;
        int worstLimit;
    };
    for (const auto& [blockWidth, blockHeight, width, height, meanLimit, worstLimit] :
         std::vector<Case>{
             {4, 4, 262, 250, 1.0, 8}, {6, 6, 70, 45, 5.0, 28}, {12, 10, 97, 67, 8.0, 56}}) {
        const Bytes source = loadertest::picture(width, height);
        const Bytes file = loadertest::encodeAstc(source, width, height, blockWidth, blockHeight);
        Result<AstcInfo> info = AstcInfo::parse(file, "picture.astc");
        ASSERT_TRUE(info.ok()) << info.error().message;
        const std::span<const std::uint8_t> blocks =
            std::span<const std::uint8_t>(file).subspan(16);

        Result<AstcDecoder> oneThread = AstcDecoder::create(blockWidth, blockHeight, 1);
        Result<AstcDecoder> fourThreads = AstcDecoder::create(blockWidth, blockHeight, 4);
        ASSERT_TRUE(oneThread.ok() && fourThreads.ok());
        Result<Bytes> serial = oneThread.value().decode(info.value(), blocks, "picture.astc");
        Result<Bytes> parallel = fourThreads.value().decode(info.value(), blocks, "picture.astc");
        ASSERT_TRUE(serial.ok() && parallel.ok());
        ASSERT_EQ(serial.value().size(), source.size());
        // Splitting the work must not change a single texel.
        EXPECT_EQ(serial.value(), parallel.value());

        double total = 0;
        int worst = 0;
        for (std::size_t i = 0; i < source.size(); ++i) {
            const int error = std::abs(int{serial.value()[i]} - int{source[i]});
            total += error;
            worst = std::max(worst, error);
        }
        EXPECT_LT(total / static_cast<double>(source.size()), meanLimit)
            << blockWidth << "x" << blockHeight;
        EXPECT_LT(worst, worstLimit) << blockWidth << "x" << blockHeight;
    }
}

TEST(AstcDecoderTest, RefusesBlocksThatDoNotMatch) {
    const Bytes file = loadertest::astcFile(6, 6, 12, 12);
    Result<AstcInfo> info = AstcInfo::parse(file, "f.astc");
    ASSERT_TRUE(info.ok());
    const std::span<const std::uint8_t> blocks = std::span<const std::uint8_t>(file).subspan(16);

    Result<AstcDecoder> other = AstcDecoder::create(8, 8, 2);
    ASSERT_TRUE(other.ok());
    Result<Bytes> wrongFootprint = other.value().decode(info.value(), blocks, "f.astc");
    ASSERT_FALSE(wrongFootprint.ok());
    EXPECT_EQ(wrongFootprint.error().message,
              "Cannot decode texture file f.astc: its header does not match its blocks");

    Result<AstcDecoder> decoder = AstcDecoder::create(6, 6, 2);
    ASSERT_TRUE(decoder.ok());
    EXPECT_FALSE(decoder.value().decode(info.value(), blocks.first(blocks.size() - 1), "f").ok());
    EXPECT_TRUE(decoder.value().decode(info.value(), blocks, "f").ok());

    EXPECT_FALSE(AstcDecoder::create(7, 7).ok());
    EXPECT_GE(decoder.value().threads(), 1U);
}

} // namespace
} // namespace renderer
