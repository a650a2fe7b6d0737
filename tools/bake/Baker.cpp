#include "tools/bake/Baker.h"

#include "tools/bake/Clearance.h"
#include "tools/bake/Image.h"
#include "tools/bake/ModelFile.h"
#include "tools/bake/Preview.h"
#include "tools/bake/Rooms.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace bake {

namespace {

namespace fs = std::filesystem;

// Colours of the outside, in display values: the sunlit ground and the sky gradient.
constexpr V3 OUTSIDE_COLOUR{0.96F, 0.94F, 0.89F};
constexpr V3 SKY_HORIZON{0.98F, 0.97F, 0.94F};
constexpr V3 SKY_ZENITH{0.66F, 0.77F, 0.92F};

// The bloom keeps what is brighter than this (linear, after exposure) and scales it.
constexpr float BLOOM_THRESHOLD = 0.8F;
constexpr float BLOOM_GAIN = 0.25F;

// Dither seed of the textures that have no mip chain.
constexpr std::uint32_t SINGLE_LEVEL_SEED = 4099U;

using Clock = std::chrono::steady_clock;

void say(const BakeOptions& options, const std::string& line) {
    if (options.lighting.verbose) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
}

float toLinear(float v) {
    return std::pow(std::max(v, 0.0F), 2.2F);
}
float toDisplay(float v) {
    return std::pow(std::clamp(v, 0.0F, 1.0F), 1.0F / 2.2F);
}
V3 toLinear(V3 c) {
    return {toLinear(c.x), toLinear(c.y), toLinear(c.z)};
}
V3 toDisplay(V3 c) {
    return {toDisplay(c.x), toDisplay(c.y), toDisplay(c.z)};
}

// Texel density weight: surfaces near the camera paths get finer texels.
std::vector<float> densityWeights(const Room& room, int roomIndex) {
    std::vector<float> weights;
    const auto paths = roomPaths(roomIndex);
    for (const Patch& patch : room.patches) {
        const std::vector<Triangle> triangles = patchTriangles(patch);
        float nearest = 1e9F;
        for (const auto& path : paths) {
            nearest = std::min(nearest,
                               segmentClearance(toV3(path.startEye), toV3(path.endEye), triangles));
        }
        const float closeness =
            std::clamp(std::sqrt(700.0F / std::max(nearest, 50.0F)), 0.7F, 1.8F);
        weights.push_back(patch.detail * closeness);
    }
    return weights;
}

// Exposure that puts the median surface at a mid-grey before the tone curve, unless that
// would burn out the brightest tenth of the room (walls facing a window band).
float chooseExposure(const LitRegion& lit) {
    std::vector<float> values;
    for (std::size_t i = 0; i < lit.radiance.size(); i += 7) {
        if (lit.valid[i]) {
            values.push_back(luminance(lit.radiance[i]));
        }
    }
    if (values.empty()) {
        return 1.0F;
    }
    std::sort(values.begin(), values.end());
    const float median = std::max(values[values.size() / 2], 1e-4F);
    const float high = std::max(values[values.size() * 9 / 10], 1e-4F);
    return std::min(0.11F / median, 0.5F / high);
}

// Writes `dir`/`file`: display values, dithered with `seed`, compressed to ASTC.
void writeAstc(const BakeOptions& options, const std::string& dir, const std::string& file,
               const Image& display, std::uint32_t seed, AstcBlock block, BakeSummary& summary) {
    const auto bytes = encodeAstc(toRgba8(display, seed), display.width, display.height, block,
                                  options.lighting.threads, options.astcQuality);
    writeFile((fs::path(options.outputRoot) / dir / file).string(), bytes);
    summary.files.push_back(dir + "/" + file);
}

// Writes `name`_0.astc ... for a full chain built from a linear image.
void writeChain(const BakeOptions& options, const std::string& dir, const std::string& name,
                Image linear, AstcBlock block, BakeSummary& summary) {
    int level = 0;
    while (true) {
        Image display(linear.width, linear.height);
        for (std::size_t i = 0; i < linear.pixels.size(); ++i) {
            display.pixels[i] = toDisplay(linear.pixels[i]);
        }
        writeAstc(options, dir, name + "_" + std::to_string(level) + ".astc", display,
                  static_cast<std::uint32_t>(level) * 977U + 5U, block, summary);
        if (linear.width == 1 && linear.height == 1) {
            break;
        }
        linear = downsample(linear);
        ++level;
    }
}

Image readBack(const BakeOptions& options, const std::string& relative) {
    int w = 0;
    int h = 0;
    const auto rgba =
        decodeAstc(readFile((fs::path(options.outputRoot) / relative).string()), w, h);
    Image out(w, h);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        out.pixels[i] = {rgba[4 * i] / 255.0F, rgba[4 * i + 1] / 255.0F, rgba[4 * i + 2] / 255.0F};
    }
    return out;
}

void writeMesh(const BakeOptions& options, const std::string& name, const TriangleSoup& soup,
               BakeSummary& summary) {
    const IndexedMesh mesh = optimizeMesh(soup);
    const fs::path dir = fs::path(options.outputRoot) / "kadrel" / "models";
    writeFile((dir / (name + "-strides.bin")).string(), roomVertexBytes(mesh));
    writeFile((dir / (name + "-indices.bin")).string(), indexBytes(mesh.indices));
    summary.files.push_back("kadrel/models/" + name + "-strides.bin");
    summary.files.push_back("kadrel/models/" + name + "-indices.bin");
    summary.vertexCounts.push_back(mesh.positions.size());
}

struct BakedRoom {
    Room room;
    AtlasLayout layout;
    std::vector<TriangleSoup> meshes;
    Image bloomRegion; // display values at the bloom texture's scale
};

BakedRoom bakeRoom(const BakeOptions& options, int roomIndex, BakeSummary& summary) {
    const auto started = Clock::now();
    BakedRoom out;
    out.room = roomIndex == 0 ? buildRoom1() : buildRoom2();
    Room& room = out.room;
    const int textureSize = roomIndex == 0 ? options.room1Size : options.room2Size;
    const int regionWidth = textureSize / 2;
    const int offsetX = roomIndex == 0 ? 0 : textureSize / 2;
    say(options, "Room " + std::to_string(roomIndex + 1) + ": " +
                     std::to_string(room.patches.size()) + " surfaces, " +
                     std::to_string(room.portals.size()) + " openings");

    AtlasRequest request;
    request.width = regionWidth;
    request.height = textureSize;
    request.padding = options.padding;
    request.alignment = LIGHTMAP_ALIGNMENT;
    request.reservedSize = roomIndex == 1 ? std::max(4, regionWidth / 64) : 0;
    request.weights = densityWeights(room, roomIndex);
    out.layout = packAtlas(room, request);
    summary.unitsPerTexel.push_back(out.layout.baseUnitsPerTexel);
    say(options, "  atlas: " + std::to_string(out.layout.charts.size()) + " charts, " +
                     std::to_string(out.layout.baseUnitsPerTexel) + " units per texel");

    // The sunlit outside samples the middle of the reserved block.
    const Chart& reserved = out.layout.reserved;
    const auto size = static_cast<float>(textureSize);
    const V2 outsideUv{(static_cast<float>(offsetX + reserved.x + reserved.width / 2)) / size,
                       (static_cast<float>(reserved.y + reserved.height / 2)) / size};
    for (DecorQuad& quad : room.decor) {
        if (quad.mesh == 1) {
            for (V2& uv : quad.uvs) {
                uv = outsideUv;
            }
        }
    }
    const RegionPlacement placement{offsetX, textureSize, textureSize};
    for (int mesh = 0; mesh < (roomIndex == 0 ? 1 : 3); ++mesh) {
        out.meshes.push_back(triangulate(room, mesh, out.layout, placement));
    }

    const LitRegion lit =
        lightRoom(room, out.layout, out.meshes[0], roomDaylight(roomIndex), options.lighting);
    const float exposure = chooseExposure(lit);

    // The texture: tone-mapped radiance in the room's half, the rest filled from the charts.
    Image linear(textureSize, textureSize);
    std::vector<std::uint8_t> filled(linear.pixels.size(), 0);
    Image bloom(regionWidth, textureSize);
    for (int y = 0; y < textureSize; ++y) {
        for (int x = 0; x < regionWidth; ++x) {
            const std::size_t r = static_cast<std::size_t>(y) * regionWidth + x;
            const std::size_t t = static_cast<std::size_t>(y) * textureSize + offsetX + x;
            if (!lit.filled[r]) {
                continue;
            }
            const V3 exposed = lit.radiance[r] * exposure;
            linear.pixels[t] = toLinear(toneMap(exposed));
            filled[t] = 1;
            const float l = luminance(exposed);
            const float keep = std::max(0.0F, l - BLOOM_THRESHOLD) / std::max(l, 1e-4F);
            bloom.at(x, y) = toneMap(exposed * (keep * BLOOM_GAIN));
        }
    }
    for (int y = reserved.y; y < reserved.y + reserved.height; ++y) {
        for (int x = reserved.x; x < reserved.x + reserved.width; ++x) {
            const std::size_t t = static_cast<std::size_t>(y) * textureSize + offsetX + x;
            linear.pixels[t] = toLinear(OUTSIDE_COLOUR);
            filled[t] = 1;
            bloom.at(x, y) = OUTSIDE_COLOUR;
        }
    }
    fillEmpty(linear, filled);
    const std::string name = roomIndex == 0 ? "room1" : "room20";
    say(options, "  encoding " + name);
    writeChain(options, "kadrel/textures", name, linear,
               roomIndex == 0 ? options.room1Block : options.room2Block, summary);
    out.bloomRegion = shrink(bloom, regionWidth / (options.bloomSize / 2));

    if (roomIndex == 0) {
        writeMesh(options, "room1", out.meshes[0], summary);
    } else {
        for (int mesh = 0; mesh < 3; ++mesh) {
            writeMesh(options, "room2-optimized" + std::to_string(mesh),
                      out.meshes[static_cast<std::size_t>(mesh)], summary);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    say(options, "  room " + std::to_string(roomIndex + 1) + " done in " +
                     std::to_string(static_cast<int>(seconds)) + " s");
    return out;
}

Image skyGradient(int size) {
    Image sky(size, size);
    for (int y = 0; y < size; ++y) {
        const float v = (static_cast<float>(y) + 0.5F) / static_cast<float>(size);
        const float t = v * v * (3.0F - 2.0F * v);
        const V3 c = SKY_HORIZON * (1.0F - t) + SKY_ZENITH * t;
        for (int x = 0; x < size; ++x) {
            sky.at(x, y) = c;
        }
    }
    return sky;
}

void writePreviews(const BakeOptions& options, const std::vector<BakedRoom>& rooms) {
    fs::create_directories(options.previewDir);
    const Image room1 = readBack(options, "kadrel/textures/room1_0.astc");
    const Image room20 = readBack(options, "kadrel/textures/room20_0.astc");
    const Image room21 = readBack(options, "kadrel/textures/room21.astc");
    const Image room22 = readBack(options, "kadrel/textures/room22.astc");
    writePng((fs::path(options.previewDir) / "texture-room1.png").string(), room1);
    writePng((fs::path(options.previewDir) / "texture-room20.png").string(), room20);
    writePng((fs::path(options.previewDir) / "texture-room21.png").string(), room21);
    for (int r = 0; r < 2; ++r) {
        const BakedRoom& baked = rooms[static_cast<std::size_t>(r)];
        std::vector<PreviewMesh> meshes;
        if (r == 0) {
            meshes.push_back({&baked.meshes[0], &room1, &room21});
        } else {
            meshes.push_back({&baked.meshes[0], &room20, &room21});
            meshes.push_back({&baked.meshes[1], &room21, &room21});
            meshes.push_back({&baked.meshes[2], &room22, &room22});
        }
        const auto paths = roomPaths(r);
        for (std::size_t p = 0; p < paths.size(); ++p) {
            for (int stop = 0; stop < 3; ++stop) {
                const float t = 0.5F * static_cast<float>(stop);
                const auto& path = paths[p];
                const V3 eye = toV3(path.startEye) + (toV3(path.endEye) - toV3(path.startEye)) * t;
                const V3 target =
                    toV3(path.startLookAt) + (toV3(path.endLookAt) - toV3(path.startLookAt)) * t;
                const Image frame = renderPreview(meshes, eye, target, options.previewWidth,
                                                  options.previewHeight, options.lighting.threads);
                const std::string file = "room" + std::to_string(r + 1) + "-path" +
                                         std::to_string(p) + "-" + std::to_string(stop) + ".png";
                writePng((fs::path(options.previewDir) / file).string(), frame);
            }
        }
        say(options, "  previews of room " + std::to_string(r + 1) + " written");
    }
}

} // namespace

BakeSummary bake(const BakeOptions& options) {
    if (options.room1Size / 2 < options.bloomSize / 2 ||
        options.room2Size / 2 < options.bloomSize / 2 || options.bloomSize < 2) {
        throw std::invalid_argument("the bloom texture must not be larger than the room textures");
    }
    const auto started = Clock::now();
    const fs::path root(options.outputRoot);
    fs::create_directories(root / "kadrel" / "models");
    fs::create_directories(root / "kadrel" / "textures");
    fs::create_directories(root / "models");
    BakeSummary summary;

    std::vector<BakedRoom> rooms;
    rooms.push_back(bakeRoom(options, 0, summary));
    rooms.push_back(bakeRoom(options, 1, summary));

    // "room21": the bloom of room 1 in the left half, of room 2 in the right half, matching
    // the halves the two rooms' charts occupy in their own textures.
    say(options, "Bloom and sky textures");
    Image bloom(options.bloomSize, options.bloomSize);
    for (int r = 0; r < 2; ++r) {
        const Image& half = rooms[static_cast<std::size_t>(r)].bloomRegion;
        const int offset = r == 0 ? 0 : options.bloomSize / 2;
        for (int y = 0; y < half.height && y < bloom.height; ++y) {
            for (int x = 0; x < half.width && offset + x < bloom.width; ++x) {
                bloom.at(offset + x, y) = half.at(x, y);
            }
        }
    }
    writeAstc(options, "kadrel/textures", "room21.astc", bloom, SINGLE_LEVEL_SEED,
              options.bloomBlock, summary);
    writeAstc(options, "kadrel/textures", "room22.astc", skyGradient(options.skySize),
              SINGLE_LEVEL_SEED, options.skyBlock, summary);

    const VignetteModel vignette = buildVignette();
    writeFile((root / "models" / "vignette-round-vntao-strides.bin").string(), vignette.vertices);
    writeFile((root / "models" / "vignette-round-vntao-indices.bin").string(),
              indexBytes(vignette.indices));
    summary.files.push_back("models/vignette-round-vntao-strides.bin");
    summary.files.push_back("models/vignette-round-vntao-indices.bin");

    if (!options.previewDir.empty()) {
        writePreviews(options, rooms);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    say(options, "Baked " + std::to_string(summary.files.size()) + " files in " +
                     std::to_string(static_cast<int>(seconds)) + " s");
    return summary;
}

} // namespace bake
