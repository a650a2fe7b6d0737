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
        const auto blocks = std::span<const std::uint8_t>(file).subspan(16);
        Result<Bytes> serial = AstcDecoder::create(blockWidth, blockHeight, 1)
                                   .value()
                                   .decode(info.value(), blocks, "p");
        Result<Bytes> parallel = AstcDecoder::create(blockWidth, blockHeight, 4)
                                     .value()
                                     .decode(info.value(), blocks, "p");
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
        EXPECT_LT(total / static_cast<double>(source.size()), meanLimit) << blockWidth;
        EXPECT_LT(worst, worstLimit) << blockWidth << "x" << blockHeight;
    }
}

TEST(AstcDecoderTest, RefusesBlocksThatDoNotMatch) {
    const Bytes file = loadertest::astcFile(6, 6, 12, 12);
    const AstcInfo info = AstcInfo::parse(file, "f.astc").value();
    const auto blocks = std::span<const std::uint8_t>(file).subspan(16);

    Result<Bytes> wrongFootprint =
        AstcDecoder::create(8, 8, 2).value().decode(info, blocks, "f.astc");
    ASSERT_FALSE(wrongFootprint.ok());
    EXPECT_EQ(wrongFootprint.error().message,
              "Cannot decode texture file f.astc: its header does not match its blocks");
    AstcDecoder decoder = AstcDecoder::create(6, 6, 2).value();
    EXPECT_FALSE(decoder.decode(info, blocks.first(blocks.size() - 1), "f").ok());
    EXPECT_TRUE(decoder.decode(info, blocks, "f").ok());
    EXPECT_FALSE(AstcDecoder::create(7, 7).ok());
}

} // namespace
} // namespace renderer
