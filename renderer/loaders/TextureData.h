#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "engine/Texture.h"
#include "renderer/RuntimeError.h"
#include "renderer/loaders/RawHalfImage.h"
#include "renderer/loaders/ResourceLocator.h"
#include "renderer/loaders/WebpImage.h"

namespace renderer {

// A texture of a format read whole (WebP, raw half floats), checked and ready to upload. No
// content (std::monostate) for the formats read otherwise or not at all.
struct TextureData {
    using Content = std::variant<std::monostate, RawHalfImage, Rgba8Image>;

    std::string label; // the GPU object's label: "animal.rgba.fp16", ...
    Content content;

    bool empty() const noexcept { return std::holds_alternative<std::monostate>(content); }
};

// Picks the file by the texture's format and reads it from resourcesRoot/textures:
//   RGBA8, RGB8           fileName + ".webp"
//   RGBA16F               fileName, texture.width x texture.height
//   anything else         nothing, and no error (ASTC textures and their twins are read
//                         level by level by TextureStream)
Result<TextureData> readTextureData(const engine::Texture& texture, const ResourceLocator& locator,
                                    std::string_view resourcesRoot);

} // namespace renderer
