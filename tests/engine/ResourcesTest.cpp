#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "engine/Enums.h"
#include "engine/Errors.h"
#include "engine/Mesh.h"
#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "engine/VertexAttributes.h"
#include "engine/VertexFormat.h"
#include "engine/common/ColorMode.h"
#include "engine/common/Format.h"
#include "engine/math/Vec.h"

namespace {

using namespace engine;
using common::fromName;
using common::name;
using common::ordinal;
using common::values;
using math::Vec2;
using math::Vec3;
using math::Vec4;

TEST(ResourceDefaultsTest, NewObjectsAndSharedStates) {
    const Blending blending;
    EXPECT_FALSE(blending.enabled);
    EXPECT_FALSE(blending.isSeparateAlpha);
    EXPECT_EQ(blending.equationColor, BlendingEquation::ADD);
    EXPECT_EQ(blending.equationAlpha, BlendingEquation::ADD);
    EXPECT_EQ(blending.sourceFactorColor, BlendingFactor::ZERO);
    EXPECT_EQ(blending.destinationFactorColor, BlendingFactor::ZERO);
    EXPECT_EQ(blending.sourceFactorAlpha, BlendingFactor::ZERO);
    EXPECT_EQ(blending.destinationFactorAlpha, BlendingFactor::ZERO);

    ASSERT_NE(BLENDING_NONE(), nullptr);
    EXPECT_EQ(BLENDING_NONE(), BLENDING_NONE());
    EXPECT_FALSE(BLENDING_NONE()->enabled);

    const std::vector<std::pair<const DepthModePtr*, std::pair<bool, bool>>> depths{
        {&DEPTH_NONE(), {false, false}},
        {&DEPTH_NO_READ(), {false, true}},
        {&DEPTH_NO_WRITE(), {true, false}},
        {&DEPTH_TEST_ENABLED(), {true, true}},
    };
    for (const auto& [mode, expected] : depths) {
        EXPECT_EQ((*mode)->depthTest, expected.first);
        EXPECT_EQ((*mode)->depthWrite, expected.second);
    }
    EXPECT_EQ(DEPTH_NO_READ(), DEPTH_NO_READ());
    EXPECT_NE(DEPTH_NO_READ(), DEPTH_NO_WRITE());

    EXPECT_EQ(Shader().id, -1);
    const Mesh mesh;
    EXPECT_EQ(mesh.id, 0);
    EXPECT_TRUE(mesh.name.empty() && mesh.fileName.empty());
    EXPECT_FALSE(mesh.loaded);

    const Texture texture;
    EXPECT_EQ(texture.id, 0);
    EXPECT_EQ(texture.format, TextureFormat::RGBA8);
    EXPECT_EQ(texture.minFilter, TextureFiltering::LINEAR);
    EXPECT_EQ(texture.magFilter, TextureFiltering::LINEAR);
    EXPECT_EQ(texture.wrapping, TextureWrapping::REPEAT);
    EXPECT_EQ(texture.mipmaps + texture.anisotropy + texture.width + texture.height, 0);
    EXPECT_FALSE(texture.loaded);
}

template <typename E> void expectRoundTrip(std::size_t count) {
    ASSERT_EQ(values<E>().size(), count);
    int expectedOrdinal = 0;
    for (const E e : values<E>()) {
        EXPECT_EQ(ordinal(e), expectedOrdinal++);
        EXPECT_EQ(fromName<E>(name(e)), e) << name(e);
        std::ostringstream out;
        out << e;
        EXPECT_EQ(out.str(), name(e));
    }
    EXPECT_FALSE(fromName<E>("").has_value());
}

TEST(ResourceEnumsTest, EveryConstantRoundTripsThroughItsName) {
    expectRoundTrip<BackendMode>(2);
    expectRoundTrip<BlendingEquation>(3);
    expectRoundTrip<BlendingFactor>(15);
    expectRoundTrip<CullFace>(4);
    expectRoundTrip<TextureFiltering>(6);
    expectRoundTrip<TextureWrapping>(3);
    expectRoundTrip<TextureFormat>(7);
    expectRoundTrip<common::ColorMode>(9);
    expectRoundTrip<VertexFormat>(50);

    EXPECT_EQ(name(BlendingFactor::SRC_ALPHA_SATURATE), "SRC_ALPHA_SATURATE");
    EXPECT_EQ(name(common::ColorMode::HighContrast), "HighContrast");
    EXPECT_FALSE(fromName<common::ColorMode>("HIGHCONTRAST").has_value());
    EXPECT_EQ(name(TextureFiltering::LINEAR_MIPMAP_LINEAR), "LINEAR_MIPMAP_LINEAR");

    EXPECT_EQ(values<VertexFormat>()[0], VertexFormat::UBYTE);
    EXPECT_EQ(ordinal(VertexFormat::HALF3), 34);
    EXPECT_EQ(name(values<VertexFormat>()[34]), "HALF3");
    EXPECT_EQ(ordinal(VertexFormat::FLOAT2), 37);
    EXPECT_EQ(ordinal(VertexFormat::INT_1010102_NORMALIZED), 48);
    EXPECT_EQ(name(values<VertexFormat>()[49]), "UINT_1010102_NORMALIZED");
}

std::shared_ptr<UniformFloatValue> floatUniform(std::size_t length, float fill = 0.0F) {
    return std::make_shared<UniformFloatValue>(std::vector<float>(length, fill));
}

TEST(SetUniformTest, ComponentFormsWriteWhatFitsThenFail) {
    const auto one = floatUniform(1);
    EXPECT_THROW(setUniform(one.get(), 1.0F, 2.0F), OutOfRangeError);
    EXPECT_EQ(one->value, std::vector<float>{1.0F});

    const auto four = floatUniform(4, 9.0F);
    setUniform(four.get(), 1.0F, 2.0F, 3.0F);
    EXPECT_EQ(four->value, (std::vector<float>{1, 2, 3, 9}));
    setUniform(four.get(), 5.0F, 6.0F, 7.0F, 8.0F);
    EXPECT_EQ(four->value, (std::vector<float>{5, 6, 7, 8}));

    const auto ints = std::make_shared<UniformIntValue>(std::vector<std::int32_t>(2, -1));
    setUniform(ints.get(), 4);
    EXPECT_EQ(ints->value, (std::vector<std::int32_t>{4, -1}));
    EXPECT_THROW(setUniform(ints.get(), 1, 2, 3), OutOfRangeError);
    EXPECT_EQ(ints->value, (std::vector<std::int32_t>{1, 2}));

    // The shared-pointer forms do the same.
    const UniformValuePtr shared = floatUniform(2);
    setUniform(shared, 0.5F, 0.25F);
    EXPECT_EQ(static_cast<UniformFloatValue&>(*shared).value, (std::vector<float>{0.5F, 0.25F}));
}

TEST(SetUniformTest, WrongKindOrMissingUniformWritesNothing) {
    const auto floats = floatUniform(4, 1.5F);
    EXPECT_THROW(setUniform(floats.get(), 3), TypeMismatchError);
    EXPECT_THROW(setUniform(floats.get(), std::vector<std::int32_t>{1, 2}), TypeMismatchError);
    EXPECT_EQ(floats->value, std::vector<float>(4, 1.5F));

    const auto ints = std::make_shared<UniformIntValue>(std::vector<std::int32_t>(4, 7));
    EXPECT_THROW(setUniform(ints.get(), 1.0F), TypeMismatchError);
    EXPECT_EQ(ints->value, std::vector<std::int32_t>(4, 7));

    const auto texture = std::make_shared<Texture>();
    UniformTextureValue sampler(texture);
    EXPECT_THROW(setUniform(&sampler, 1.0F, 2.0F), TypeMismatchError);
    EXPECT_THROW(setUniform(&sampler, 1), TypeMismatchError);
    EXPECT_EQ(sampler.value, texture);

    EXPECT_THROW(setUniform(static_cast<UniformValue*>(nullptr), 1.0F), MissingValueError);
    EXPECT_THROW(setUniform(UniformValuePtr{}, std::vector<float>(16)), MissingValueError);
}

TEST(SetUniformTest, ArrayFormsCopyFromTheStartOrFailBeforeWriting) {
    std::vector<float> matrix(16);
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        matrix[i] = static_cast<float>(i) + 0.5F;
    }
    const auto full = floatUniform(16, -1.0F);
    const float* storage = full->value.data();
    setUniform(full.get(), matrix);
    EXPECT_EQ(full->value, matrix);
    EXPECT_EQ(full->value.data(), storage); // written in place, never reallocated

    const auto partial = floatUniform(16, -1.0F);
    setUniform(partial.get(), std::vector<float>{1, 2, 3, 4});
    EXPECT_EQ(partial->value[3], 4.0F);
    EXPECT_EQ(partial->value[4], -1.0F);
    EXPECT_EQ(partial->value[15], -1.0F);

    const auto small = floatUniform(4, -1.0F);
    EXPECT_THROW(setUniform(small.get(), matrix), OutOfRangeError);
    EXPECT_EQ(small->value, std::vector<float>(4, -1.0F));

    const auto ints = std::make_shared<UniformIntValue>(std::vector<std::int32_t>(3, 0));
    setUniform(ints.get(), std::vector<std::int32_t>{8, 9});
    EXPECT_EQ(ints->value, (std::vector<std::int32_t>{8, 9, 0}));
    EXPECT_THROW(setUniform(ints.get(), std::vector<std::int32_t>{1, 2, 3, 4}), OutOfRangeError);
    EXPECT_EQ(ints->value, (std::vector<std::int32_t>{8, 9, 0}));

    // An empty array is a valid no-op.
    setUniform(ints.get(), std::vector<std::int32_t>{});
    EXPECT_EQ(ints->value, (std::vector<std::int32_t>{8, 9, 0}));
}

TEST(VertexAttributesTest, TextEqualityAndHash) {
    const VertexAttributesDescriptor layout(
        {VertexAttribute(0, VertexFormat::HALF3, 0), VertexAttribute(1, VertexFormat::HALF2, 6)},
        12);
    EXPECT_EQ(layout.toString(),
              "VertexAttributesDescriptor(attributes=[VertexAttribute(index=0, format=HALF3, "
              "offset=0), VertexAttribute(index=1, format=HALF2, offset=6)], stride=12)");
    EXPECT_EQ(VertexAttributesDescriptor({}, 0).toString(),
              "VertexAttributesDescriptor(attributes=[], stride=0)");
    EXPECT_EQ(VertexAttribute(-3, VertexFormat::UBYTE, 10).toString(),
              "VertexAttribute(index=-3, format=UBYTE, offset=10)");

    const VertexAttributesDescriptor same(
        {VertexAttribute(0, VertexFormat::HALF3, 0), VertexAttribute(1, VertexFormat::HALF2, 6)},
        12);
    EXPECT_EQ(layout, same);
    EXPECT_EQ(std::hash<VertexAttributesDescriptor>{}(layout),
              std::hash<VertexAttributesDescriptor>{}(same));

    const VertexAttributesDescriptor otherOffset(
        {VertexAttribute(0, VertexFormat::HALF3, 0), VertexAttribute(1, VertexFormat::HALF2, 8)},
        12);
    EXPECT_NE(layout, otherOffset);
    EXPECT_NE(layout.hash(), otherOffset.hash());
    EXPECT_NE(layout, VertexAttributesDescriptor(same.attributes, 10));
    const VertexAttributesDescriptor reordered({same.attributes[1], same.attributes[0]}, 12);
    EXPECT_NE(layout, reordered);
    EXPECT_NE(layout.hash(), reordered.hash());
}

TEST(VecTest, TextualForms) {
    EXPECT_EQ(Vec4(0, 0, 0, 1).toString(), "Vec4(_x=0.0, _y=0.0, _z=0.0, _w=1.0)");
    EXPECT_EQ(Vec3(0.5F, -2.25F, 100.0F).toString(), "Vec3(_x=0.5, _y=-2.25, _z=100.0)");
    EXPECT_EQ(Vec2(0.1F, -0.0F).toString(), "Vec2(_x=0.1, _y=-0.0)");
    std::ostringstream out;
    out << Vec3(1, 2, 3);
    EXPECT_EQ(out.str(), "Vec3(_x=1.0, _y=2.0, _z=3.0)");
}

TEST(VecTest, EqualityIsByBitPatternAndHashFollowsIt) {
    EXPECT_NE(Vec3(0, 0, 0), Vec3(-0.0F, 0, 0));
    EXPECT_EQ(Vec3(1, 2, 3), Vec3(1, 2, 3));
    EXPECT_NE(Vec4(1, 2, 3, 4), Vec4(1, 2, 4, 3));
    EXPECT_NE(Vec2(1, 2).hash(), Vec2(2, 1).hash());

    const float nan = std::bit_cast<float>(0x7FC00001U);
    const Vec3 a(nan, nan, nan);
    const Vec3 b(nan, nan, nan);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<Vec3>{}(a), std::hash<Vec3>{}(b));
    // Another NaN pattern is another value, but every NaN hashes alike.
    const float otherNan = std::bit_cast<float>(0xFFC00000U);
    EXPECT_NE(a, Vec3(otherNan, nan, nan));
    EXPECT_EQ(a.hash(), Vec3(otherNan, nan, nan).hash());
}

TEST(VecTest, ColourNamesAliasTheComponents) {
    Vec4 colour(0, 0, 0, 0);
    colour.r() = 0.25F;
    colour.a() = 1.0F;
    EXPECT_EQ(colour._x, 0.25F);
    EXPECT_EQ(colour.x(), 0.25F);
    EXPECT_EQ(colour.w(), 1.0F);
    Vec3 v(1, 2, 3);
    v.b() = 9.0F;
    EXPECT_EQ(v.z(), 9.0F);
    Vec4 copy = colour;
    copy.g() = 5.0F;
    EXPECT_EQ(colour.y(), 0.0F);
}

TEST(FormatFloatTest, ShortestTextThatReadsBack) {
    EXPECT_EQ(common::formatFloat(1.0F), "1.0");
    EXPECT_EQ(common::formatFloat(0.1F), "0.1");
    EXPECT_EQ(common::formatFloat(-2.25F), "-2.25");
    EXPECT_EQ(common::formatFloat(1.5707964F), "1.5707964");
    EXPECT_EQ(common::formatFloat(100000.0F), "100000.0");
    EXPECT_EQ(common::formatFloat(16777216.0F), "1.6777216e+07");
    EXPECT_EQ(common::formatFloat(0.00025F), "2.5e-04");
    EXPECT_EQ(common::formatFloat(1e20F), "1.0e+20");
    EXPECT_EQ(common::formatFloat(std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(common::formatFloat(-std::numeric_limits<float>::infinity()), "-Infinity");

    std::mt19937 random(12345);
    for (int i = 0; i < 20000; ++i) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(f)) {
            continue;
        }
        const std::string text = common::formatFloat(f);
        ASSERT_NE(text.find('.'), std::string::npos) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(std::strtof(text.c_str(), nullptr)),
                  std::bit_cast<std::uint32_t>(f))
            << text;
    }
}

} // namespace
