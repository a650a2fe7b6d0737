#include "tools/bake/Geometry.h"
#include "engine/math/HalfFloat.h"
#include "tools/bake/AstcFile.h"
#include "tools/bake/Atlas.h"
#include "tools/bake/Clearance.h"
#include "tools/bake/Rooms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace bake {

using engine::math::floatToHalf;
using engine::math::halfToFloat;
namespace {

TEST(HalfFloat, RoomGridCoordinatesAreExact) {
    // The rooms are authored on multiples of 8 within +-4096: all exact in half floats.
    for (float v : {0.0F, 8.0F, -1152.0F, 2176.0F, 4096.0F, -4096.0F, 1016.0F, 0.5F, 1.0F}) {
        EXPECT_EQ(halfToFloat(floatToHalf(v)), v) << v;
    }
}

TEST(Geometry, WallCellsAroundHolesTileTheWallWithoutOverlap) {
    const Rect outer{0, 0, 100, 50};
    const std::vector<Rect> holes{{10, 10, 20, 40}, {60, 0, 70, 30}};
    const auto cells = rectsAroundHoles(outer, holes);
    float area = 0.0F;
    for (const Rect& c : cells) {
        area += (c.a1 - c.a0) * (c.b1 - c.b0);
        for (const Rect& h : holes) {
            const bool overlaps = c.a0 < h.a1 && h.a0 < c.a1 && c.b0 < h.b1 && h.b0 < c.b1;
            EXPECT_FALSE(overlaps);
        }
    }
    EXPECT_FLOAT_EQ(area, 100.0F * 50.0F - 10.0F * 30.0F - 10.0F * 30.0F);
}

TEST(Geometry, AxisPatchesFaceTheirSide) {
    const Facing facings[] = {Facing::PosX, Facing::NegX, Facing::PosY,
                              Facing::NegY, Facing::PosZ, Facing::NegZ};
    const V3 normals[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int i = 0; i < 6; ++i) {
        const Patch p = axisPatch(facings[i], 16.0F, {{-8, 0, 24, 40}}, Finish::Floor);
        const V3 n = p.normal();
        EXPECT_FLOAT_EQ(dot(n, normals[i]), 1.0F) << i;
        // The rectangle keeps its world extent and lies in the plane.
        const auto& poly = p.polygons.at(0);
        const V3 a = p.toWorld(poly[0]);
        const V3 c = p.toWorld(poly[2]);
        EXPECT_FLOAT_EQ(dot(a, normals[i]) * (i % 2 == 0 ? 1.0F : -1.0F), 16.0F);
        EXPECT_FLOAT_EQ(length(c - a), std::sqrt(32.0F * 32.0F + 40.0F * 40.0F));
        // Counter-clockwise seen from the front.
        const V3 b = p.toWorld(poly[1]);
        EXPECT_GT(dot(cross(b - a, c - a), n), 0.0F);
    }
}

TEST(Clearance, SegmentTriangleDistanceCases) {
    const Triangle t{{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
    EXPECT_FLOAT_EQ(segmentTriangleDistance({10, 10, 30}, {50, 20, 30}, t), 30.0F);
    EXPECT_FLOAT_EQ(segmentTriangleDistance({10, 10, -5}, {10, 10, 5}, t), 0.0F);
    // Passing beside the hypotenuse, closest to an edge rather than an end point.
    EXPECT_NEAR(segmentTriangleDistance({100, 100, -50}, {100, 100, 50}, t),
                50.0F * std::sqrt(2.0F), 1e-3F);
    EXPECT_NEAR(segmentTriangleDistance({-10, -20, 0}, {-10, 200, 0}, t), 10.0F, 1e-4F);
}

TEST(Atlas, ChartsStayInsideTheRegionAndApart) {
    const Room room = buildRoom1();
    AtlasRequest request;
    request.width = 512;
    request.height = 1024;
    request.padding = 4;
    request.alignment = 4;
    request.weights.assign(room.patches.size(), 1.0F);
    const AtlasLayout layout = packAtlas(room, request);
    ASSERT_EQ(layout.charts.size(), room.patches.size());
    std::vector<int> owner(static_cast<std::size_t>(512 * 1024), -1);
    for (std::size_t i = 0; i < layout.charts.size(); ++i) {
        const Chart& c = layout.charts[i];
        ASSERT_GE(c.x, 0);
        ASSERT_GE(c.y, 0);
        ASSERT_LE(c.x + c.width, 512);
        ASSERT_LE(c.y + c.height, 1024);
        EXPECT_EQ(c.x % 4, 0);
        EXPECT_EQ(c.width % 4, 0);
        for (int y = c.y; y < c.y + c.height; ++y) {
            for (int x = c.x; x < c.x + c.width; ++x) {
                ASSERT_EQ(owner[static_cast<std::size_t>(y * 512 + x)], -1) << "charts overlap";
                owner[static_cast<std::size_t>(y * 512 + x)] = static_cast<int>(i);
            }
        }
        // Every polygon vertex maps inside the chart, off the padding.
        for (const auto& poly : room.patches[i].polygons) {
            for (V2 p : poly) {
                const V2 t = c.texelOf(p, layout.padding);
                EXPECT_GE(t.x, static_cast<float>(c.x + 4) - 1e-3F);
                EXPECT_LE(t.x, static_cast<float>(c.x + c.width - 4) + 1e-3F);
            }
        }
    }
}

TEST(AstcFile, DecodesItsOwnFilesAndRefusesBrokenHeaders) {
    const std::vector<std::uint8_t> grey(8 * 4 * 4, 128);
    const std::vector<std::uint8_t> file = encodeAstc(grey, 8, 4, {6, 6}, 1, 0.0F);
    int w = 0;
    int h = 0;
    const std::vector<std::uint8_t> back = decodeAstc(file, w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 4);
    ASSERT_EQ(back.size(), grey.size());
    EXPECT_NEAR(back[0], 128, 2);

    std::vector<std::uint8_t> noMagic = file;
    noMagic[0] = 0;
    EXPECT_THROW(decodeAstc(noMagic, w, h), std::runtime_error);
    std::vector<std::uint8_t> zeroBlock = file;
    zeroBlock[4] = 0;
    EXPECT_THROW(decodeAstc(zeroBlock, w, h), std::runtime_error);
    EXPECT_THROW(decodeAstc({file.begin(), file.end() - 1}, w, h), std::runtime_error);
}

} // namespace
} // namespace bake
