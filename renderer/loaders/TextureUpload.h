#pragma once

#include <optional>
#include <string_view>

#include "engine/Texture.h"
#include "renderer/RuntimeError.h"
#include "renderer/gl/GlObject.h"
#include "renderer/loaders/ResourceLocator.h"
#include "renderer/loaders/TextureData.h"

namespace renderer {

// Makes the GL_TEXTURE_2D for data read by readTextureData (which must have content), with
// exactly the levels read (GL_TEXTURE_MAX_LEVEL is the last of them), labelled data.label.
// ASTC levels go up compressed or decoded as AstcUploadMode decides. Needs a current context;
// leaves the active unit's 2D binding and the pixel-unpack state as it found them.
Result<gl::Texture> uploadTexture(const TextureData& data);

// readTextureData, then uploadTexture. No texture and no error for the formats the renderer
// does not load (RGB16F, RGB32F, RGBA32F). The renderer turns an error into the fatal
// "Cannot load texture " + fileName.
Result<std::optional<gl::Texture>> loadTexture(const engine::Texture& texture,
                                               const ResourceLocator& locator,
                                               std::string_view resourcesRoot);

} // namespace renderer
