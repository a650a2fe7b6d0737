// The translations of engine render state into GL values, and the half floats of uniforms.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "renderer/HalfFloat.h"
#include "renderer/pipeline/ConversionTables.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {
namespace {

TEST(PipelineTablesTest, VertexFormatsReadTheirNames) {
    int rows = 0;
    for (const engine::VertexFormat f : engine::common::values<engine::VertexFormat>()) {
        const VertexFormatGl gl = vertexFormatTable(f);
        EXPECT_NE(gl.type, GLenum{GL_NONE}) << engine::common::name(f);
        EXPECT_GE(gl.components, 1);
        ++rows;
    }
    EXPECT_EQ(rows, 50);

    const VertexFormatGl half3 = vertexFormatTable(engine::VertexFormat::HALF3);
    EXPECT_EQ(half3.type, GLenum{GL_HALF_FLOAT});
    EXPECT_EQ(half3.components, 3);
    EXPECT_EQ(half3.bytes, 6);
    EXPECT_FALSE(half3.integer);
    const VertexFormatGl shade = vertexFormatTable(engine::VertexFormat::UBYTE_NORMALIZED);
    EXPECT_EQ(shade.type, GLenum{GL_UNSIGNED_BYTE});
    EXPECT_EQ(shade.components, 1);
    EXPECT_TRUE(shade.normalized);
    EXPECT_FALSE(shade.integer);
    // Integers that are not normalised reach the shader as integers.
    const VertexFormatGl bytes = vertexFormatTable(engine::VertexFormat::BYTE4);
    EXPECT_EQ(bytes.type, GLenum{GL_BYTE});
    EXPECT_TRUE(bytes.integer);
    const VertexFormatGl uints = vertexFormatTable(engine::VertexFormat::UINT2);
    EXPECT_EQ(uints.type, GLenum{GL_UNSIGNED_INT});
    EXPECT_EQ(uints.bytes, 8);
    const VertexFormatGl shorts = vertexFormatTable(engine::VertexFormat::SHORT2_NORMALIZED);
    EXPECT_EQ(shorts.type, GLenum{GL_SHORT});
    EXPECT_TRUE(shorts.normalized);
    const VertexFormatGl packed = vertexFormatTable(engine::VertexFormat::INT_1010102_NORMALIZED);
    EXPECT_EQ(packed.type, GLenum{GL_INT_2_10_10_10_REV});
    EXPECT_EQ(packed.components, 4);
    EXPECT_EQ(packed.bytes, 4);
}

TEST(PipelineTablesTest, LayoutsBlendingAndDepthTranslate) {
    // Attribute slots follow list positions, not the attributes' own index fields.
    const engine::VertexAttributesDescriptor layout(
        {engine::VertexAttribute(5, engine::VertexFormat::FLOAT3, 0),
         engine::VertexAttribute(2, engine::VertexFormat::HALF2, 12)},
        16);
    const std::vector<VertexAttributeGl> attributes = makeVertexDescriptor(layout);
    ASSERT_EQ(attributes.size(), 2U);
    EXPECT_EQ(attributes[0].format.type, GLenum{GL_FLOAT});
    EXPECT_EQ(attributes[1].offset, 12);

    engine::Blending blending;
    blending.enabled = false;
    blending.equationColor = engine::BlendingEquation::REVERSE_SUBTRACT;
    blending.sourceFactorColor = engine::BlendingFactor::SRC_ALPHA;
    blending.destinationFactorColor = engine::BlendingFactor::ONE_MINUS_SRC_ALPHA;
    blending.sourceFactorAlpha = engine::BlendingFactor::CONSTANT_ALPHA;
    gl::BlendState state;
    applyBlending(state, blending);
    EXPECT_FALSE(state.enabled);
    // Written even while disabled; alpha follows colour unless it is separate.
    EXPECT_EQ(state.equationAlpha, GLenum{GL_FUNC_REVERSE_SUBTRACT});
    EXPECT_EQ(state.sourceAlpha, GLenum{GL_SRC_ALPHA});
    EXPECT_EQ(state.destinationAlpha, GLenum{GL_ONE_MINUS_SRC_ALPHA});
    blending.isSeparateAlpha = true;
    applyBlending(state, blending);
    EXPECT_EQ(state.equationAlpha, GLenum{GL_FUNC_ADD});
    EXPECT_EQ(state.sourceAlpha, GLenum{GL_CONSTANT_ALPHA});
    EXPECT_EQ(state.destinationAlpha, GLenum{GL_ZERO});
    EXPECT_EQ(blendFactorTable(engine::BlendingFactor::SRC_ALPHA_SATURATE),
              GLenum{GL_SRC_ALPHA_SATURATE});

    EXPECT_EQ(makeDepthStencilState(*engine::DEPTH_NO_READ()), (gl::DepthState{GL_ALWAYS, true}));
    EXPECT_EQ(makeDepthStencilState(*engine::DEPTH_NO_WRITE()), (gl::DepthState{GL_LESS, false}));
    EXPECT_EQ(cullModeTable(engine::CullFace::DISABLED), GLenum{GL_NONE});
    EXPECT_EQ(cullModeTable(engine::CullFace::FRONT), GLenum{GL_FRONT});
    EXPECT_EQ(textureFilterTable(engine::TextureFiltering::NEAREST_MIPMAP_LINEAR),
              GLenum{GL_NEAREST});
}

TEST(PipelineTablesTest, HalfFloatsRoundToNearestEven) {
    EXPECT_EQ(floatToHalf(0.0F), 0x0000);
    EXPECT_EQ(floatToHalf(-0.0F), 0x8000);
    EXPECT_EQ(floatToHalf(1.0F), 0x3C00);
    EXPECT_EQ(floatToHalf(0.4F), 0x3666);
    EXPECT_EQ(floatToHalf(-2.5F), 0xC100);
    EXPECT_EQ(floatToHalf(65504.0F), 0x7BFF);
    EXPECT_EQ(floatToHalf(65520.0F), 0x7C00) << "rounds up to infinity";
    EXPECT_EQ(floatToHalf(1e-8F), 0x0000);
    EXPECT_EQ(floatToHalf(std::ldexp(1.0F, -24)), 0x0001) << "smallest subnormal";
    EXPECT_EQ(floatToHalf(std::ldexp(3.0F, -25)), 0x0002) << "1.5 ulp ties to even";
    EXPECT_EQ(floatToHalf(1.0F + std::ldexp(1.0F, -11)), 0x3C00) << "tie to even";
    EXPECT_EQ(floatToHalf(std::numeric_limits<float>::infinity()), 0x7C00);
    EXPECT_TRUE(std::isnan(halfToFloat(floatToHalf(std::nanf("")))));
    for (std::uint32_t bits = 0; bits < 0x7C00; ++bits) {
        const auto h = static_cast<std::uint16_t>(bits);
        ASSERT_EQ(floatToHalf(halfToFloat(h)), h) << bits;
    }
}

} // namespace
} // namespace renderer
