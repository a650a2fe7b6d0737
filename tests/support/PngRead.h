#pragma once

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "renderer/headless/Image.h"

namespace testsupport {

// A PNG file as 8-bit RGBA, top row first; an empty image when it cannot be read.
inline renderer::Image readPng(const std::filesystem::path& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    renderer::Image image;
    if (png_image_begin_read_from_file(&png, path.c_str()) != 0) {
        png.format = PNG_FORMAT_RGBA;
        image = {static_cast<int>(png.width), static_cast<int>(png.height),
                 std::vector<std::uint8_t>(PNG_IMAGE_SIZE(png))};
        if (png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr) == 0) {
            image = {};
        }
    }
    return image;
}

} // namespace testsupport
