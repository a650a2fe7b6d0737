// The translations of engine render state into GL values, and the half floats of uniforms.

#include <gtest/gtest.h>


#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "renderer/pipeline/ConversionTables.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {

namespace {

TEST(PipelineTablesTest, VertexFormatsReadTheirNames) {
    const auto row = [](engine::VertexFormat format) {
        const VertexFormatGl gl = vertexFormatTable(format);
        return std::tuple(gl.type, gl.components, gl.bytes, gl.normalized, gl.integer);
    };
    for (const engine::VertexFormat f : engine::common::values<engine::VertexFormat>()) {
        EXPECT_NE(std::get<0>(row(f)), GLenum{GL_NONE}) << engine::common::name(f);
        EXPECT_GE(std::get<1>(row(f)), 1) << engine::common::name(f);
    }
    using enum engine::VertexFormat;
    EXPECT_EQ(row(HALF3), std::tuple(GLenum{GL_HALF_FLOAT}, 3, 6, false, false));
    EXPECT_EQ(row(UBYTE_NORMALIZED), std::tuple(GLenum{GL_UNSIGNED_BYTE}, 1, 1, true, false));
    // Integers that are not normalised reach the shader as integers.
    EXPECT_EQ(row(BYTE4), std::tuple(GLenum{GL_BYTE}, 4, 4, false, true));
    EXPECT_EQ(row(SHORT2_NORMALIZED), std::tuple(GLenum{GL_SHORT}, 2, 4, true, false));
    EXPECT_EQ(row(INT_1010102_NORMALIZED),
              std::tuple(GLenum{GL_INT_2_10_10_10_REV}, 4, 4, true, false));
}

TEST(PipelineTablesTest, LayoutsBlendingAndDepthTranslate) {
    // Attribute slots follow list positions, not the attributes' own index fields.
    const std::vector<VertexAttributeGl> attributes =
        makeVertexDescriptor(engine::VertexAttributesDescriptor(
            {engine::VertexAttribute(5, engine::VertexFormat::FLOAT3, 0),
             engine::VertexAttribute(2, engine::VertexFormat::HALF2, 12)},
            16));
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
    // Written even while disabled; alpha follows colour unless it is separate.
    applyBlending(state, blending);
    EXPECT_EQ(state, (gl::BlendState{false, GL_FUNC_REVERSE_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT,
                                     GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA,
                                     GL_ONE_MINUS_SRC_ALPHA}));
    blending.isSeparateAlpha = true;
    applyBlending(state, blending);
    EXPECT_EQ(state, (gl::BlendState{false, GL_FUNC_REVERSE_SUBTRACT, GL_FUNC_ADD, GL_SRC_ALPHA,
                                     GL_ONE_MINUS_SRC_ALPHA, GL_CONSTANT_ALPHA, GL_ZERO}));

    EXPECT_EQ(makeDepthStencilState(*engine::DEPTH_NO_READ()), (gl::DepthState{GL_ALWAYS, true}));
    EXPECT_EQ(makeDepthStencilState(*engine::DEPTH_NO_WRITE()), (gl::DepthState{GL_LESS, false}));
    EXPECT_EQ(cullModeTable(engine::CullFace::FRONT), GLenum{GL_FRONT});
}

} // namespace
} // namespace renderer
