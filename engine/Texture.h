#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/Enums.h"

namespace engine {

// Description of one texture. width and height are set by the scene where the file format
// carries no size; mipmaps counts the levels below the base level (0: base level only);
// anisotropy below 2 leaves the sampler's default.
struct Texture {
    std::string name;
    std::string fileName;
    std::int32_t id = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t mipmaps = 0;
    std::int32_t anisotropy = 0;
    TextureFormat format = TextureFormat::RGBA8;
    TextureFiltering minFilter = TextureFiltering::LINEAR;
    TextureFiltering magFilter = TextureFiltering::LINEAR;
    TextureWrapping wrapping = TextureWrapping::REPEAT;
    bool loaded = false;
};

using TexturePtr = std::shared_ptr<Texture>;

} // namespace engine
