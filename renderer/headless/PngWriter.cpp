#include "renderer/headless/PngWriter.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <png.h>

namespace renderer {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// libpng reports errors by longjmp; everything that needs unwinding is set up before the
// setjmp point and released after it, on both paths.
bool encode(std::FILE* file, const Image& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    volatile bool ok = false; // read after a longjmp
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                     static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
        for (int y = 0; y < image.height; ++y) {
            png_write_row(png, image.rgba.data() + static_cast<std::size_t>(y) * rowBytes);
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    return ok;
}
} // namespace

Result<void> writePng(const std::string& path, const Image& image) {
    const RuntimeError error{"Cannot write PNG " + path};
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4) {
        return error;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file || !encode(file.get(), image)) {
        return error;
    }
    if (std::fclose(file.release()) != 0) {
        return error;
    }
    return {};
}

} // namespace renderer
