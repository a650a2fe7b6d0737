#include "tools/bake/Baker.h"

#include "tools/bake/AstcFile.h"
#include "tools/bake/Clearance.h"
#include "tools/bake/DdsFile.h"
#include "tools/bake/Image.h"
#include "tools/bake/ModelFile.h"
#include "tools/bake/Preview.h"
#include "tools/bake/Rooms.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace bake {

namespace {

namespace fs = std::filesystem;

// The outside, in display values: the sunlit ground and the sky from the horizon up. The
// horizon is a pale haze, the zenith a clear blue; both stay below white so that the bloom,
// not the texture, decides how far an opening glows.
constexpr V3 OUTSIDE_GROUND{0.56F, 0.52F, 0.45F};
constexpr V3 SKY_HORIZON{0.78F, 0.80F, 0.82F};
constexpr V3 SKY_ZENITH{0.42F, 0.58F, 0.84F};
// How much of the outside's colour its glow adds around the openings: the sky glows, the
// ground beyond a doorway a little.
constexpr float SKY_GLOW = 0.25F;
constexpr float GROUND_GLOW = 0.2F;

// The bloom keeps what is brighter than this (linear, after exposure) and scales it. Sunlit
// concrete is exposed to stay below it; only glints and the openings glow.
constexpr float BLOOM_THRESHOLD = 0.8F;
constexpr float BLOOM_GAIN = 0.25F;

// Where the exposure puts a room's typical surface and its brightest sunlit concrete
// (linear, before the tone curve): mid-grey, and well below white, so that sunlit floors and
// walls keep their texture.
constexpr float MEDIAN_TARGET = 0.16F;
constexpr float SUNLIT_TARGET = 0.9F;

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
// would push the brightest sunlit concrete (the top half percent of the texels) towards
// white, where it would lose its texture.
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
    const float sunlit = std::max(values[values.size() * 995 / 1000], 1e-4F);
    return std::min(MEDIAN_TARGET / median, SUNLIT_TARGET / sunlit);
}

// The sky from the horizon (t = 0) to the zenith (t = 1): haze that thins quickly above the
// horizon, then the blue deepens.
V3 skyAt(float t) {
    const float haze = std::exp(-t * 5.0F);
    return SKY_ZENITH * (1.0F - haze) + SKY_HORIZON * haze;
}

// The painted outside in the reserved block: the ground in its left quarter, the sky in the
// rest with the horizon at the bottom row and the zenith at the top. `texelOf` maps the decor's
// unit-square coordinates of each part to region texels.
struct OutsideBlock {
    int x = 0;
    int y = 0;
    int size = 0;
    static constexpr int MARGIN = 4; // texels kept clear of the block's edge for filtering
    int groundWidth() const { return size / 4; }
    V2 texelOf(Outside part, V2 uv) const {
        const auto m = static_cast<float>(MARGIN);
        if (part == Outside::Ground) {
            return {static_cast<float>(x) + static_cast<float>(groundWidth()) * 0.5F,
                    static_cast<float>(y) + static_cast<float>(size) * 0.5F};
        }
        const float left = static_cast<float>(x + groundWidth()) + m;
        const float right = static_cast<float>(x + size) - m;
        const float top = static_cast<float>(y) + m;
        const float bottom = static_cast<float>(y + size) - m;
        return {left + (right - left) * uv.x, bottom + (top - bottom) * uv.y};
    }
    // Display colour of region texel (tx, ty) of the block.
    V3 colourAt(int tx, int ty) const {
        if (tx < x + groundWidth()) {
            return OUTSIDE_GROUND;
        }
        const float top = static_cast<float>(y + MARGIN);
        const float bottom = static_cast<float>(y + size - MARGIN);
        const float t =
            std::clamp((bottom - (static_cast<float>(ty) + 0.5F)) / (bottom - top), 0.0F, 1.0F);
        return skyAt(t);
    }
};

// Writes `dir`/`file`.astc: display values, dithered with `seed`, compressed to ASTC; and its
// twin `dir`/`file`.dds for drivers without ASTC, from the same texels, in `twin` (BC1 or
// BC3; chosen from the texels where not given, and returned so that a chain keeps one).
renderer::BlockFormat writeAstc(const BakeOptions& options, const std::string& dir,
                                const std::string& file, const Image& display, std::uint32_t seed,
                                AstcBlock block, BakeSummary& summary,
                                std::optional<renderer::BlockFormat> twin = std::nullopt) {
    const std::vector<std::uint8_t> rgba = toRgba8(display, seed);
    const auto bytes = encodeAstc(rgba, display.width, display.height, block,
                                  options.lighting.threads, options.astcQuality);
    writeFile((fs::path(options.outputRoot) / dir / (file + ".astc")).string(), bytes);
    summary.files.push_back(dir + "/" + file + ".astc");
    const renderer::BlockFormat format = twin.value_or(twinFormat(rgba));
    writeFile((fs::path(options.outputRoot) / dir / (file + ".dds")).string(),
              encodeDds(rgba, display.width, display.height, format, options.lighting.threads));
    summary.files.push_back(dir + "/" + file + ".dds");
    return format;
}

// Writes `name`_0 ... for a full chain built from a linear image.
void writeChain(const BakeOptions& options, const std::string& dir, const std::string& name,
                Image linear, AstcBlock block, BakeSummary& summary) {
    int level = 0;
    std::optional<renderer::BlockFormat> twin;
    while (true) {
        Image display(linear.width, linear.height);
        for (std::size_t i = 0; i < linear.pixels.size(); ++i) {
            display.pixels[i] = toDisplay(linear.pixels[i]);
        }
        twin = writeAstc(options, dir, name + "_" + std::to_string(level), display,
                         static_cast<std::uint32_t>(level) * 977U + 5U, block, summary, twin);
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

// The columns of a texture `size` wide that room `roomIndex` takes: first and count.
std::pair<int, int> roomColumns(const BakeOptions& options, int roomIndex, int size) {
    const int split = size * options.room1Eighths / 8;
    return roomIndex == 0 ? std::pair{0, split} : std::pair{split, size - split};
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
    const auto [offsetX, regionWidth] = roomColumns(options, roomIndex, textureSize);
    say(options, "Room " + std::to_string(roomIndex + 1) + ": " +
                     std::to_string(room.patches.size()) + " surfaces, " +
                     std::to_string(room.portals.size()) + " openings");

    AtlasRequest request;
    request.width = regionWidth;
    request.height = textureSize;
    request.padding = options.padding;
    request.alignment = LIGHTMAP_ALIGNMENT;
    request.reservedSize = regionWidth / 16;
    request.weights = densityWeights(room, roomIndex);
    out.layout = packAtlas(room, request);
    summary.unitsPerTexel.push_back(out.layout.baseUnitsPerTexel);
    say(options, "  atlas: " + std::to_string(out.layout.charts.size()) + " charts, " +
                     std::to_string(out.layout.baseUnitsPerTexel) + " units per texel");

    // The outside's quads take their texture from the painted block.
    const OutsideBlock block{out.layout.reserved.x, out.layout.reserved.y,
                             out.layout.reserved.width};
    const auto size = static_cast<float>(textureSize);
    for (DecorQuad& quad : room.decor) {
        if (quad.part == Outside::Hidden) {
            continue;
        }
        for (V2& uv : quad.uvs) {
            const V2 texel = block.texelOf(quad.part, uv);
            uv = {(static_cast<float>(offsetX) + texel.x) / size, texel.y / size};
        }
    }
    const RegionPlacement placement{offsetX, textureSize, textureSize};
    for (int mesh = 0; mesh < (roomIndex == 0 ? 1 : 3); ++mesh) {
        out.meshes.push_back(triangulate(room, mesh, out.layout, placement));
    }

    const LitRegion lit =
        lightRoom(room, out.layout, out.meshes[0], roomDaylight(roomIndex), options.lighting);
    const float exposure = chooseExposure(lit);
    say(options, "  exposure " + std::to_string(exposure));

    // The texture: tone-mapped radiance in the room's columns, the rest filled from the charts.
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
    for (int y = block.y; y < block.y + block.size; ++y) {
        for (int x = block.x; x < block.x + block.size; ++x) {
            const std::size_t t = static_cast<std::size_t>(y) * textureSize + offsetX + x;
            const V3 colour = block.colourAt(x, y);
            linear.pixels[t] = toLinear(colour);
            filled[t] = 1;
            bloom.at(x, y) = colour * (x < block.x + block.groundWidth() ? GROUND_GLOW : SKY_GLOW);
        }
    }
    fillEmpty(linear, filled);
    const std::string name = roomIndex == 0 ? "room1" : "room20";
    say(options, "  encoding " + name);
    writeChain(options, "kadrel/textures", name, linear,
               roomIndex == 0 ? options.room1Block : options.room2Block, summary);
    out.bloomRegion = shrink(bloom, textureSize / options.bloomSize);

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

// "room22": the sky as the scene's sky draw reads it, horizon at the bottom row.
Image skyGradient(int size) {
    Image sky(size, size);
    for (int y = 0; y < size; ++y) {
        const float t = (static_cast<float>(y) + 0.5F) / static_cast<float>(size);
        for (int x = 0; x < size; ++x) {
            sky.at(x, y) = skyAt(t);
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
    // Every room's columns must shrink by a whole factor onto its columns of the bloom
    // texture, and hold whole cells of the indirect light's grid.
    for (int r = 0; r < 2; ++r) {
        const int size = r == 0 ? options.room1Size : options.room2Size;
        const auto [first, count] = roomColumns(options, r, size);
        const auto [bloomFirst, bloomCount] = roomColumns(options, r, options.bloomSize);
        if (options.room1Eighths < 1 || options.room1Eighths > 7 || options.bloomSize < 8 ||
            size < options.bloomSize || size % options.bloomSize != 0 ||
            first != bloomFirst * (size / options.bloomSize) ||
            count != bloomCount * (size / options.bloomSize) || count % LIGHTMAP_ALIGNMENT != 0) {
            throw std::invalid_argument(
                "the room textures must be whole multiples of the bloom texture, and both "
                "rooms' shares of its width whole texels of every texture");
        }
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

    // "room21": the bloom of room 1 on the left, of room 2 on the right, matching the columns
    // the two rooms' charts occupy in their own textures.
    say(options, "Bloom and sky textures");
    Image bloom(options.bloomSize, options.bloomSize);
    for (int r = 0; r < 2; ++r) {
        const Image& region = rooms[static_cast<std::size_t>(r)].bloomRegion;
        const int offset = roomColumns(options, r, options.bloomSize).first;
        for (int y = 0; y < region.height && y < bloom.height; ++y) {
            for (int x = 0; x < region.width && offset + x < bloom.width; ++x) {
                bloom.at(offset + x, y) = region.at(x, y);
            }
        }
    }
    writeAstc(options, "kadrel/textures", "room21", bloom, SINGLE_LEVEL_SEED,
              options.bloomBlock, summary);
    writeAstc(options, "kadrel/textures", "room22", skyGradient(options.skySize),
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
