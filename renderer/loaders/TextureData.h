#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/Texture.h"
#include "renderer/RuntimeError.h"
#include "renderer/loaders/AstcTexture.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/DdsTexture.h"
#include "renderer/loaders/RawHalfImage.h"
#include "renderer/loaders/ResourceLocator.h"
#include "renderer/loaders/WebpImage.h"

namespace renderer {

// Everything read from the resources for one engine texture, checked and ready to upload.
// No content (std::monostate) for the formats the renderer creates no texture for.
struct TextureData {
    using Content = std::variant<std::monostate, std::vector<AstcLevel>, std::vector<DdsLevel>,
                                 RawHalfImage, Rgba8Image>;

    std::string label; // the GPU object's label: "room21.astc", "animal.rgba.fp16", ...
    Content content;

    bool empty() const noexcept { return std::holds_alternative<std::monostate>(content); }
};

// Picks the files by the texture's format and reads them from resourcesRoot/textures:
//   RGBA8, RGB8           fileName + ".webp"
//   RGBA16F               fileName, texture.width x texture.height
//   ASTC, mipmaps 0       fileName + ".astc"
//   ASTC, mipmaps n > 0   fileName + "_0.astc" ... fileName + "_n.astc"
//   RGB16F, RGB32F, RGBA32F   nothing, and no error
// On the S3TC path an ASTC texture is read from its twin: ".dds" in place of ".astc".
Result<TextureData> readTextureData(const engine::Texture& texture, const ResourceLocator& locator,
                                    std::string_view resourcesRoot,
                                    TexturePath path = TexturePath::Astc);

} // namespace renderer
