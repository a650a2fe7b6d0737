#include "renderer/headless/PngWriter.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <png.h>

namespace renderer {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Where the encoder writes, and why it stopped if it did: the system's error number of a
// failed write, or else libpng's own message.
struct Sink {
    std::FILE* file = nullptr;
    int systemError = 0;
    char encoderMessage[128] = {};
};

void writeBytes(png_structp png, png_bytep data, std::size_t length) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    errno = 0;
    if (std::fwrite(data, 1, length, sink->file) != length) {
        sink->systemError = errno != 0 ? errno : EIO;
        png_error(png, "write error");
    }
}

void flushBytes(png_structp png) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    errno = 0;
    if (std::fflush(sink->file) != 0) {
        sink->systemError = errno != 0 ? errno : EIO;
        png_error(png, "write error");
    }
}

// libpng's default handlers print to standard error; the caller reports instead.
[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
    std::snprintf(sink->encoderMessage, sizeof sink->encoderMessage, "%s", message);
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp; everything that needs unwinding is set up before the
// setjmp point and released after it, on both paths.
bool encode(Sink& sink, const Image& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onError, onWarning);
    if (png == nullptr) {
        std::snprintf(sink.encoderMessage, sizeof sink.encoderMessage, "no memory for libpng");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    volatile bool ok = false; // read after a longjmp
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &sink, writeBytes, flushBytes);
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
    const auto failed = [&](std::string_view why) {
        return RuntimeError{"Cannot write PNG " + path + ": " + std::string(why)};
    };
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4) {
        return failed("the image's size and pixels disagree");
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return failed(std::strerror(errno));
    }
    Sink sink;
    sink.file = file.get();
    if (!encode(sink, image)) {
        return failed(sink.systemError != 0 ? std::strerror(sink.systemError)
                                            : sink.encoderMessage);
    }
    // Buffered bytes reach the disk here, so a full disk often shows only now.
    errno = 0;
    if (std::fclose(file.release()) != 0) {
        return failed(errno != 0 ? std::strerror(errno) : "closing the file failed");
    }
    return {};
}

} // namespace renderer
