#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Enums.h"
#include "engine/Errors.h"
#include "engine/Uniforms.h"
#include "engine/VertexAttributes.h"
#include "engine/commands/Commands.h"
#include "engine/common/ColorMode.h"
#include "engine/common/Format.h"

namespace {

using namespace engine;
using namespace engine::common;
using commands::ShadingRate;
using math::Vec2;
using math::Vec3;
using math::Vec4;

// Each constant's name reads back to it and positions are the ordinals; in every enum but
// the shading rates, whose values are GL tokens, the ordinals are also the values, which
// catches a reordered constants table.
template <typename E> void expectRoundTrip(std::size_t count, bool valuesAreOrdinals = true) {
    ASSERT_EQ(values<E>().size(), count);
    int expectedOrdinal = 0;
    for (const E e : values<E>()) {
        EXPECT_EQ(ordinal(e), expectedOrdinal++);
        EXPECT_TRUE(!valuesAreOrdinals || value(e) == ordinal(e)) << name(e);
        EXPECT_EQ(fromName<E>(name(e)), e) << name(e);
        std::ostringstream out;
        out << e;
        EXPECT_EQ(out.str(), name(e));
    }
    EXPECT_FALSE(fromName<E>("").has_value());
}

TEST(EnumsTest, EveryConstantRoundTripsThroughItsName) {
    expectRoundTrip<BackendMode>(2);
    expectRoundTrip<BlendingEquation>(3);
    expectRoundTrip<BlendingFactor>(15);
    expectRoundTrip<CullFace>(4);
    expectRoundTrip<TextureFiltering>(6);
    expectRoundTrip<TextureWrapping>(3);
    expectRoundTrip<TextureFormat>(7);
    expectRoundTrip<ColorMode>(9);
    expectRoundTrip<VertexFormat>(50);
    expectRoundTrip<commands::CommandType>(11);
    expectRoundTrip<commands::BlurSize>(4);
    expectRoundTrip<commands::ClearCommandClearType>(3);
    expectRoundTrip<ShadingRate>(6, false);
    EXPECT_EQ(value(ShadingRate::SHADING_RATE_4X4), 0x96AE);

    // A round trip cannot see two swapped names, and the renderer picks blur kernels, mip
    // modes and vertex layouts by name: spot checks along those tables.
    EXPECT_EQ(name(commands::BlurSize::KERNEL_5), "KERNEL_5");
    EXPECT_EQ(name(commands::BlurSize::KERNEL_3), "KERNEL_3");
    EXPECT_EQ(name(TextureFiltering::LINEAR_MIPMAP_LINEAR), "LINEAR_MIPMAP_LINEAR");
    EXPECT_EQ(name(BlendingFactor::SRC_ALPHA_SATURATE), "SRC_ALPHA_SATURATE");
    EXPECT_EQ(name(VertexFormat::HALF3), "HALF3");
    EXPECT_EQ(name(VertexFormat::UINT_1010102_NORMALIZED), "UINT_1010102_NORMALIZED");
    EXPECT_EQ(name(ColorMode::HighContrast), "HighContrast");
    EXPECT_FALSE(fromName<ColorMode>("HIGHCONTRAST").has_value()); // matched exactly
}

std::shared_ptr<UniformFloatValue> floats(std::size_t length, float fill = 0.0F) {
    return std::make_shared<UniformFloatValue>(std::vector<float>(length, fill));
}

std::shared_ptr<UniformIntValue> ints(std::size_t length, std::int32_t fill) {
    return std::make_shared<UniformIntValue>(std::vector<std::int32_t>(length, fill));
}

TEST(SetUniformTest, ComponentFormsWriteWhatFitsThenFail) {
    const auto one = floats(1);
    EXPECT_THROW(setUniform(one.get(), 1.0F, 2.0F), OutOfRangeError);
    EXPECT_EQ(one->value, std::vector<float>{1.0F});

    const auto four = floats(4, 9.0F);
    setUniform(four.get(), 1.0F, 2.0F, 3.0F);
    EXPECT_EQ(four->value, (std::vector<float>{1, 2, 3, 9}));
    setUniform(four.get(), 5.0F, 6.0F, 7.0F, 8.0F);
    EXPECT_EQ(four->value, (std::vector<float>{5, 6, 7, 8}));

    const auto two = ints(2, -1);
    setUniform(two.get(), 4);
    EXPECT_EQ(two->value, (std::vector<std::int32_t>{4, -1}));
    EXPECT_THROW(setUniform(two.get(), 1, 2, 3), OutOfRangeError);
    EXPECT_EQ(two->value, (std::vector<std::int32_t>{1, 2}));
}

TEST(SetUniformTest, ArrayFormsCopyFromTheStartInPlaceOrFailBeforeWriting) {
    std::vector<float> matrix(16);
    std::iota(matrix.begin(), matrix.end(), 0.5F);
    const auto full = floats(16, -1.0F);
    const float* storage = full->value.data();
    setUniform(full.get(), matrix);
    EXPECT_EQ(full->value, matrix);
    EXPECT_EQ(full->value.data(), storage); // written in place, never reallocated
    const auto small = floats(4, -1.0F);
    EXPECT_THROW(setUniform(small.get(), matrix), OutOfRangeError);
    EXPECT_EQ(small->value, std::vector<float>(4, -1.0F));
    const auto three = ints(3, 0);
    setUniform(three.get(), std::vector<std::int32_t>{8, 9}); // leaves the rest
    EXPECT_THROW(setUniform(three.get(), std::vector<std::int32_t>{1, 2, 3, 4}), OutOfRangeError);
    setUniform(three.get(), std::vector<std::int32_t>{}); // an empty array is a valid no-op
    EXPECT_EQ(three->value, (std::vector<std::int32_t>{8, 9, 0}));
}

TEST(SetUniformTest, WrongKindOrMissingUniformWritesNothing) {
    const auto f = floats(4, 1.5F);
    EXPECT_THROW(setUniform(f.get(), 3), TypeMismatchError);
    EXPECT_THROW(setUniform(f.get(), std::vector<std::int32_t>{1, 2}), TypeMismatchError);
    EXPECT_EQ(f->value, std::vector<float>(4, 1.5F));
    const auto i = ints(4, 7);
    EXPECT_THROW(setUniform(i.get(), 1.0F), TypeMismatchError);
    EXPECT_EQ(i->value, std::vector<std::int32_t>(4, 7));
    UniformTextureValue sampler(std::make_shared<Texture>());
    EXPECT_THROW(setUniform(&sampler, 1.0F, 2.0F), TypeMismatchError);
    EXPECT_THROW(setUniform(&sampler, 1), TypeMismatchError);
    EXPECT_THROW(setUniform(static_cast<UniformValue*>(nullptr), 1.0F), MissingValueError);
    EXPECT_THROW(setUniform(UniformValuePtr{}, std::vector<float>(16)), MissingValueError);
}

TEST(VertexAttributesTest, TextAndHash) {
    const VertexAttributesDescriptor layout(
        {VertexAttribute(0, VertexFormat::HALF3, 0), VertexAttribute(1, VertexFormat::HALF2, 6)},
        12);
    EXPECT_EQ(layout.toString(),
              "VertexAttributesDescriptor(attributes=[VertexAttribute(index=0, format=HALF3, "
              "offset=0), VertexAttribute(index=1, format=HALF2, offset=6)], stride=12)");
    // An attribute's field, the attributes' order and the stride each change the hash.
    auto moved = layout.attributes;
    moved[1].offset = 8;
    for (const auto& other : {VertexAttributesDescriptor(moved, 12),
                              VertexAttributesDescriptor({moved[1], moved[0]}, 12),
                              VertexAttributesDescriptor(layout.attributes, 10)}) {
        EXPECT_NE(layout.hash(), other.hash()) << other;
    }
}

// Equality compares bit patterns, so that equal values always hash alike.
TEST(VecTest, EqualityIsBitwiseAndHashFollowsIt) {
    EXPECT_NE(Vec3(0, 0, 0), Vec3(-0.0F, 0, 0));
    EXPECT_NE(Vec4(1, 2, 3, 4), Vec4(1, 2, 4, 3));
    EXPECT_NE(Vec2(1, 2).hash(), Vec2(2, 1).hash());
    const float nan = std::bit_cast<float>(0x7FC00001U);
    const Vec3 a(nan, nan, nan);
    EXPECT_EQ(a, Vec3(nan, nan, nan));
    EXPECT_EQ(std::hash<Vec3>{}(a), std::hash<Vec3>{}(Vec3(nan, nan, nan)));
    // Another NaN pattern is another value, but every NaN hashes alike.
    const float otherNan = std::bit_cast<float>(0xFFC00000U);
    EXPECT_NE(a, Vec3(otherNan, nan, nan));
    EXPECT_EQ(a.hash(), Vec3(otherNan, nan, nan).hash());
}

TEST(FormatFloatTest, ShortestTextThatReadsBack) {
    EXPECT_EQ(formatFloat(1.0F), "1.0");
    EXPECT_EQ(formatFloat(-2.25F), "-2.25");
    EXPECT_EQ(formatFloat(1.5707964F), "1.5707964");
    EXPECT_EQ(formatFloat(100000.0F), "100000.0");
    EXPECT_EQ(formatFloat(16777216.0F), "1.6777216e+07");
    EXPECT_EQ(formatFloat(0.00025F), "2.5e-04");
    EXPECT_EQ(formatFloat(std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(formatFloat(-std::numeric_limits<float>::infinity()), "-Infinity");

    std::mt19937 random(12345);
    for (int i = 0; i < 20000; ++i) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(f)) {
            continue;
        }
        const std::string text = formatFloat(f);
        ASSERT_NE(text.find('.'), std::string::npos) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(std::strtof(text.c_str(), nullptr)),
                  std::bit_cast<std::uint32_t>(f))
            << text;
    }
}

} // namespace
