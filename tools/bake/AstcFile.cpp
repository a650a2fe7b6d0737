#include "tools/bake/AstcFile.h"

#include <astcenc.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace bake {

namespace {

constexpr std::uint8_t MAGIC[4] = {0x13, 0xAB, 0xA1, 0x5C};

void check(astcenc_error status, const char* what) {
    if (status != ASTCENC_SUCCESS) {
        throw std::runtime_error(std::string(what) + ": " + astcenc_get_error_string(status));
    }
}

void put24(std::vector<std::uint8_t>& out, std::size_t at, int value) {
    out[at] = static_cast<std::uint8_t>(value & 0xff);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xff);
    out[at + 2] = static_cast<std::uint8_t>((value >> 16) & 0xff);
}

struct Context {
    astcenc_context* context = nullptr;
    ~Context() {
        if (context != nullptr) {
            astcenc_context_free(context);
        }
    }
};

} // namespace

std::vector<std::uint8_t> encodeAstc(const std::vector<std::uint8_t>& rgba, int width, int height,
                                     AstcBlock block, int threads, float quality) {
    astcenc_config config{};
    check(astcenc_config_init(ASTCENC_PRF_LDR, static_cast<unsigned>(block.width),
                              static_cast<unsigned>(block.height), 1, quality, 0, &config),
          "astcenc_config_init");
    threads = std::max(1, threads);
    Context ctx;
    check(astcenc_context_alloc(&config, static_cast<unsigned>(threads), &ctx.context),
          "astcenc_context_alloc");

    astcenc_image image{};
    image.dim_x = static_cast<unsigned>(width);
    image.dim_y = static_cast<unsigned>(height);
    image.dim_z = 1;
    image.data_type = ASTCENC_TYPE_U8;
    void* slices[1] = {const_cast<std::uint8_t*>(rgba.data())};
    image.data = slices;
    const astcenc_swizzle swizzle{ASTCENC_SWZ_R, ASTCENC_SWZ_G, ASTCENC_SWZ_B, ASTCENC_SWZ_A};

    const int blocksX = (width + block.width - 1) / block.width;
    const int blocksY = (height + block.height - 1) / block.height;
    const std::size_t payload = static_cast<std::size_t>(blocksX) * blocksY * 16;
    std::vector<std::uint8_t> out(16 + payload, 0);
    std::copy(std::begin(MAGIC), std::end(MAGIC), out.begin());
    out[4] = static_cast<std::uint8_t>(block.width);
    out[5] = static_cast<std::uint8_t>(block.height);
    out[6] = 1;
    put24(out, 7, width);
    put24(out, 10, height);
    put24(out, 13, 1);

    std::vector<astcenc_error> results(static_cast<std::size_t>(threads), ASTCENC_SUCCESS);
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&, t] {
            results[static_cast<std::size_t>(t)] = astcenc_compress_image(
                ctx.context, &image, &swizzle, out.data() + 16, payload, static_cast<unsigned>(t));
        });
    }
    for (auto& t : pool) {
        t.join();
    }
    for (astcenc_error e : results) {
        check(e, "astcenc_compress_image");
    }
    return out;
}

std::vector<std::uint8_t> decodeAstc(const std::vector<std::uint8_t>& file, int& width,
                                     int& height) {
    if (file.size() < 16) {
        throw std::runtime_error("ASTC file shorter than its header");
    }
    if (!std::equal(std::begin(MAGIC), std::end(MAGIC), file.begin())) {
        throw std::runtime_error("not an ASTC file");
    }
    const int bx = file[4];
    const int by = file[5];
    if (bx == 0 || by == 0) {
        throw std::runtime_error("ASTC block footprint of zero texels");
    }
    width = file[7] | (file[8] << 8) | (file[9] << 16);
    height = file[10] | (file[11] << 8) | (file[12] << 16);
    const std::size_t payload = static_cast<std::size_t>((width + bx - 1) / bx) *
                                static_cast<std::size_t>((height + by - 1) / by) * 16;
    if (file.size() < 16 + payload) {
        throw std::runtime_error("ASTC file shorter than its blocks");
    }
    astcenc_config config{};
    check(astcenc_config_init(ASTCENC_PRF_LDR, static_cast<unsigned>(bx), static_cast<unsigned>(by),
                              1, ASTCENC_PRE_FASTEST, ASTCENC_FLG_DECOMPRESS_ONLY, &config),
          "astcenc_config_init");
    Context ctx;
    check(astcenc_context_alloc(&config, 1, &ctx.context), "astcenc_context_alloc");
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    astcenc_image image{};
    image.dim_x = static_cast<unsigned>(width);
    image.dim_y = static_cast<unsigned>(height);
    image.dim_z = 1;
    image.data_type = ASTCENC_TYPE_U8;
    void* slices[1] = {rgba.data()};
    image.data = slices;
    const astcenc_swizzle swizzle{ASTCENC_SWZ_R, ASTCENC_SWZ_G, ASTCENC_SWZ_B, ASTCENC_SWZ_A};
    check(astcenc_decompress_image(ctx.context, file.data() + 16, payload, &image, &swizzle, 0),
          "astcenc_decompress_image");
    return rgba;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace bake
