// Reads the committed models and textures the way the renderer will, and checks the promises
// the scene depends on: names, container headers, complete mip chains, 16-bit index ranges,
// counter-clockwise faces seen from the camera paths, and the clearance of every path.

#include "ResourceFiles.h"

#include "scene/kadrel/CameraTable.h"
#include "tools/bake/Rooms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace bake::testing {
namespace {

namespace fs = std::filesystem;

const fs::path RESOURCES = fs::path(KADREL_SOURCE_DIR) / "resources";
const fs::path MODELS = RESOURCES / "kadrel" / "models";
const fs::path TEXTURES = RESOURCES / "kadrel" / "textures";

constexpr float MIN_CLEARANCE = 25.0F;

void expectChain(const std::string& name, int baseSize, int levels) {
    for (int level = 0; level < levels; ++level) {
        const fs::path file = TEXTURES / (name + "_" + std::to_string(level) + ".astc");
        ASSERT_TRUE(fs::exists(file)) << file;
        const AstcHeader h = readAstcHeader(file);
        const int size = std::max(1, baseSize >> level);
        EXPECT_EQ(h.magic, 0x5CA1AB13U) << file;
        EXPECT_TRUE(knownFootprint(h.blockWidth, h.blockHeight)) << file;
        EXPECT_EQ(h.blockDepth, 1) << file;
        EXPECT_EQ(h.width, size) << file;
        EXPECT_EQ(h.height, size) << file;
        EXPECT_EQ(h.depth, 1) << file;
        EXPECT_EQ(h.fileSize, h.expectedSize()) << file;
    }
    EXPECT_FALSE(fs::exists(TEXTURES / (name + "_" + std::to_string(levels) + ".astc")));
    EXPECT_FALSE(fs::exists(TEXTURES / (name + ".astc")));
}

TEST(ShippedTextures, ChainsAndSingleLevelsHaveTheSizesTheSceneReads) {
    expectChain("room1", 2048, 12);
    expectChain("room20", 4096, 13);
    for (const char* name : {"room21", "room22"}) {
        const fs::path file = TEXTURES / (std::string(name) + ".astc");
        ASSERT_TRUE(fs::exists(file)) << file;
        const AstcHeader h = readAstcHeader(file);
        EXPECT_EQ(h.magic, 0x5CA1AB13U);
        EXPECT_TRUE(knownFootprint(h.blockWidth, h.blockHeight));
        EXPECT_GT(h.width, 0);
        EXPECT_EQ(h.width, h.height);
        EXPECT_EQ(h.fileSize, h.expectedSize());
        EXPECT_FALSE(fs::exists(TEXTURES / (std::string(name) + "_0.astc")));
    }
}

TEST(ShippedMeshes, VertexAndIndexFilesAreConsistent) {
    for (const char* name : {"room1", "room2-optimized0", "room2-optimized1", "room2-optimized2"}) {
        const MeshFiles mesh = readRoomMesh(MODELS, name);
        EXPECT_EQ(mesh.vertexBytes % 12, 0U) << name;
        EXPECT_EQ(mesh.indexBytes % 6, 0U) << name;
        ASSERT_GT(mesh.positions.size(), 0U) << name;
        EXPECT_LT(mesh.positions.size(), 65536U) << name;
        const auto maxIndex = *std::max_element(mesh.indices.begin(), mesh.indices.end());
        EXPECT_LT(maxIndex, mesh.positions.size()) << name;
        // Every vertex is used: the optimiser leaves no orphan behind.
        std::vector<bool> used(mesh.positions.size(), false);
        for (auto i : mesh.indices) {
            used[i] = true;
        }
        EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](bool b) { return b; })) << name;
        for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
            const V3 p = mesh.positions[v];
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << name;
            ASSERT_LE(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 8192.0F) << name;
            ASSERT_GE(mesh.uvs[v].x, 0.0F) << name;
            ASSERT_LE(mesh.uvs[v].x, 1.0F) << name;
            ASSERT_GE(mesh.uvs[v].y, 0.0F) << name;
            ASSERT_LE(mesh.uvs[v].y, 1.0F) << name;
        }
    }
}

TEST(ShippedMeshes, VignetteModelHasItsLayout) {
    const auto vertices =
        readFile((RESOURCES / "models" / "vignette-round-vntao-strides.bin").string());
    const auto indices =
        readFile((RESOURCES / "models" / "vignette-round-vntao-indices.bin").string());
    ASSERT_EQ(vertices.size() % 8, 0U);
    ASSERT_EQ(indices.size() % 6, 0U);
    const std::size_t count = vertices.size() / 8;
    int centre = -1;
    int corners = 0;
    for (std::size_t v = 0; v < count; ++v) {
        const float x =
            halfToFloat(static_cast<std::uint16_t>(vertices[8 * v] | (vertices[8 * v + 1] << 8)));
        const float y = halfToFloat(
            static_cast<std::uint16_t>(vertices[8 * v + 2] | (vertices[8 * v + 3] << 8)));
        if (x == 0.0F && y == 0.0F) {
            centre = vertices[8 * v + 6];
        }
        if (std::hypot(x, y) > 1.42F) {
            ++corners;
            EXPECT_EQ(vertices[8 * v + 6], 0) << "the corners take colour 0";
        }
    }
    EXPECT_EQ(centre, 255) << "the centre keeps the picture";
    EXPECT_GT(corners, 0) << "the disc must cover the screen corners";
    for (std::size_t i = 0; i + 1 < indices.size(); i += 2) {
        EXPECT_LT(static_cast<std::size_t>(indices[i] | (indices[i + 1] << 8)), count);
    }
}

std::vector<Triangle> roomTriangles(int room) {
    std::vector<Triangle> all;
    const std::vector<std::string> names =
        room == 0
            ? std::vector<std::string>{"room1"}
            : std::vector<std::string>{"room2-optimized0", "room2-optimized1", "room2-optimized2"};
    for (const auto& name : names) {
        const auto t = trianglesOf(readRoomMesh(MODELS, name));
        all.insert(all.end(), t.begin(), t.end());
    }
    return all;
}

TEST(ShippedMeshes, EveryCameraPathRunsThroughOpenSpace) {
    for (std::size_t room = 0; room < kadrel::ROOM_COUNT; ++room) {
        const std::vector<Triangle> triangles = roomTriangles(static_cast<int>(room));
        const auto paths = kadrel::CAMERA_TABLE[room];
        for (std::size_t p = 0; p < paths.size(); ++p) {
            const float clearance =
                segmentClearance(toV3(paths[p].startEye), toV3(paths[p].endEye), triangles);
            EXPECT_GE(clearance, MIN_CLEARANCE) << "room " << room + 1 << " path " << p;
        }
    }
}

// Möller-Trumbore; returns the distance and whether the triangle faces the ray.
bool rayHit(V3 origin, V3 dir, const Triangle& t, float& distance, bool& front) {
    const V3 e1 = t.b - t.a;
    const V3 e2 = t.c - t.a;
    const V3 p = cross(dir, e2);
    const float det = dot(e1, p);
    if (std::fabs(det) < 1e-9F) {
        return false;
    }
    const float inv = 1.0F / det;
    const V3 s = origin - t.a;
    const float u = dot(s, p) * inv;
    if (u < 0.0F || u > 1.0F) {
        return false;
    }
    const V3 q = cross(s, e1);
    const float v = dot(dir, q) * inv;
    if (v < 0.0F || u + v > 1.0F) {
        return false;
    }
    distance = dot(e2, q) * inv;
    front = dot(cross(e1, e2), dir) < 0.0F;
    return distance > 0.0F;
}

TEST(ShippedMeshes, FromEveryPathOnlyFrontFacesAreSeen) {
    // With back faces culled, a back face nearest to the eye would be a hole in the room.
    for (std::size_t room = 0; room < kadrel::ROOM_COUNT; ++room) {
        const std::vector<Triangle> triangles = roomTriangles(static_cast<int>(room));
        const auto paths = kadrel::CAMERA_TABLE[room];
        int seen = 0;
        int backFaces = 0;
        for (std::size_t p = 0; p < paths.size(); ++p) {
            for (float t : {0.0F, 0.5F, 1.0F}) {
                const V3 eye =
                    toV3(paths[p].startEye) + (toV3(paths[p].endEye) - toV3(paths[p].startEye)) * t;
                for (int k = 0; k < 96; ++k) {
                    // A spiral of directions over the sphere.
                    const float z = 1.0F - (static_cast<float>(k) + 0.5F) / 48.0F;
                    const float r = std::sqrt(std::max(0.0F, 1.0F - z * z));
                    const float phi = static_cast<float>(k) * 2.39996F;
                    const V3 dir{r * std::cos(phi), r * std::sin(phi), z};
                    float best = std::numeric_limits<float>::max();
                    bool bestFront = true;
                    for (const Triangle& tri : triangles) {
                        float d = 0.0F;
                        bool front = false;
                        if (rayHit(eye, dir, tri, d, front) && d < best) {
                            best = d;
                            bestFront = front;
                        }
                    }
                    if (best < std::numeric_limits<float>::max()) {
                        ++seen;
                        backFaces += bestFront ? 0 : 1;
                    }
                }
            }
        }
        EXPECT_GT(seen, 0);
        EXPECT_EQ(backFaces, 0) << "room " << room + 1;
    }
}

// Through every opening of both rooms the outside shows: a sky box round each room, drawn
// from the room's own texture, blue overhead and pale at the horizon, and not itself white
// (the bloom alone decides how far an opening glows).
TEST(ShippedTextures, BothRoomsSeeASkyGradedFromHorizonToZenith) {
    for (const auto& [mesh, texture] :
         {std::pair{"room1", "room1_0"}, std::pair{"room2-optimized0", "room20_0"}}) {
        const MeshFiles files = readRoomMesh(MODELS, mesh);
        int w = 0;
        int h = 0;
        const auto rgba =
            decodeAstc(readFile((TEXTURES / (std::string(texture) + ".astc")).string()), w, h);
        auto texel = [&](V2 uv) {
            const int x = std::clamp(static_cast<int>(uv.x * static_cast<float>(w)), 0, w - 1);
            const int y = std::clamp(static_cast<int>(uv.y * static_cast<float>(h)), 0, h - 1);
            const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * w + x) * 4;
            return V3{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
        };
        // The sky's walls: triangles lying in one of the box's vertical planes.
        int horizons = 0;
        int zeniths = 0;
        V3 horizon{};
        V3 zenith{};
        for (std::size_t t = 0; t + 2 < files.indices.size(); t += 3) {
            const std::uint16_t* k = &files.indices[t];
            const V3 a = files.positions[k[0]];
            const V3 b = files.positions[k[1]];
            const V3 c = files.positions[k[2]];
            const bool wallX = std::fabs(a.x) >= 4000.0F && a.x == b.x && b.x == c.x;
            const bool wallY = std::fabs(a.y) >= 4000.0F && a.y == b.y && b.y == c.y;
            if (!wallX && !wallY) {
                continue;
            }
            for (int corner = 0; corner < 3; ++corner) {
                const std::uint16_t v = k[corner];
                if (files.positions[v].z < 0.0F) {
                    horizon = horizon + texel(files.uvs[v]);
                    ++horizons;
                } else {
                    zenith = zenith + texel(files.uvs[v]);
                    ++zeniths;
                }
            }
        }
        ASSERT_GT(horizons, 0) << mesh;
        ASSERT_GT(zeniths, 0) << mesh;
        horizon = horizon * (1.0F / static_cast<float>(horizons));
        zenith = zenith * (1.0F / static_cast<float>(zeniths));
        EXPECT_GT(zenith.z, zenith.x + 40.0F) << mesh << ": a blue sky overhead";
        EXPECT_GT(horizon.x + horizon.y + horizon.z, zenith.x + zenith.y + zenith.z + 60.0F)
            << mesh << ": a pale horizon";
        EXPECT_LT(std::max({horizon.x, horizon.y, horizon.z}), 245.0F) << mesh;
    }
}

TEST(ShippedTextures, BloomGlowsOnlyWhereTheRoomsAreBright) {
    int w = 0;
    int h = 0;
    const auto bloom = decodeAstc(readFile((TEXTURES / "room21.astc").string()), w, h);
    ASSERT_EQ(bloom.size(), static_cast<std::size_t>(w) * h * 4);
    // Room 1's charts take the left five eighths, room 2's the rest. Both must glow somewhere
    // (their openings), and most of each share must stay dark so that only the openings and
    // the brightest glints bloom, not the sunlit concrete.
    const int split = w * 5 / 8;
    for (int room = 0; room < 2; ++room) {
        int bright = 0;
        int dark = 0;
        const int first = room == 0 ? 0 : split;
        const int last = room == 0 ? split : w;
        for (int y = 0; y < h; ++y) {
            for (int x = first; x < last; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 4;
                const int m = std::max({bloom[i], bloom[i + 1], bloom[i + 2]});
                bright += m > 40 ? 1 : 0;
                dark += m < 16 ? 1 : 0;
            }
        }
        const int texels = (last - first) * h;
        EXPECT_GT(bright, texels / 1000) << "room " << room + 1;
        EXPECT_GT(dark, texels * 7 / 10) << "room " << room + 1;
    }
}

} // namespace
} // namespace bake::testing
