#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <epoxy/gl.h>

#include "engine/Texture.h"
#include "renderer/RuntimeError.h"
#include "renderer/gl/GlObject.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/ResourceLocator.h"
#include "renderer/loaders/TextureData.h"

namespace renderer {

// One texture on its way to the GPU, a band of block rows at a time, so that the textures a
// first frame does not need can follow it over the next frames without a long one.
//
// open() checks every file the texture will read: present, its header sound and its length
// what the header needs, the mip chain whole. It reads no more than the headers and makes no
// GL object, so a broken install stops the start even for a texture shown minutes later.
// Each step reads the level files it reaches, one at a time, and uploads them: compressed
// levels whole, in one call each (a copy for a driver that samples the format; a driver that
// only emulates it decodes the whole level on every call, so bands would cost it more), and
// ASTC decoded on the processor band by band on the Decode path, so that no more than one
// level's file and one band of texels are held at once. The GL texture has every level laid
// out from its first step and is complete once done().
//
// The formats without mipmap files (WebP, raw half floats) are read whole by open() and go up
// in one step.
class TextureStream {
  public:
    // Messages name the file; the renderer turns an error into "Cannot load texture " + fileName.
    static Result<TextureStream> open(const engine::Texture& texture,
                                      const ResourceLocator& locator,
                                      std::string_view resourcesRoot, TexturePath path);

    // Needs a current context; leaves the active unit's 2D binding and the pixel-unpack state
    // as it found them. Uploads at least one level or band, then more while this call has
    // uploaded fewer than `budget` bytes. A file that no longer holds what open() checked is an
    // error naming it, as is a failed decode or upload.
    Result<void> step(std::size_t budget);
    // Every band left, in large bands.
    Result<void> finish() { return step(SIZE_MAX); }

    bool done() const noexcept { return done_; }
    // The engine texture's file name, "room1".
    const std::string& fileName() const noexcept { return fileName_; }
    // The GPU object's label: "room1.astc", "room1.dds", "animal.rgba.fp16", ...
    const std::string& label() const noexcept { return label_; }
    // Bytes of texels every level takes on the GPU (the video memory account's figure).
    std::uint64_t gpuBytes() const noexcept { return gpuBytes_; }
    // Once done(): the texture, labelled, with exactly the levels read (GL_TEXTURE_MAX_LEVEL
    // is the last); an empty one for the formats the renderer makes no texture for.
    gl::Texture take() noexcept { return std::move(texture_); }

  private:
    struct Level {
        std::string name; // the lookup name, "room1_3"
        std::string file; // the resource path, for messages
        std::int64_t width = 0;
        std::int64_t height = 0;
    };

    TextureStream() = default;
    Result<void> begin();
    Result<void> readLevel();
    Result<void> uploadBand(std::size_t bandBytes, std::size_t& uploaded);
    std::int64_t blocksPerRow(const Level& level) const noexcept;
    std::int64_t blockRows(const Level& level) const noexcept;

    std::string fileName_;
    std::string label_;
    ResourceLocator locator_{std::filesystem::path()};
    std::string directory_;
    std::vector<Level> levels_;
    std::int64_t blockWidth_ = 4;
    std::int64_t blockHeight_ = 4;
    std::int64_t blockBytes_ = 16;
    bool twin_ = false;           // the DDS twin's files, else the ASTC files
    GLenum compressedFormat_ = 0; // 0: decoded to RGBA8
    std::optional<TextureData> whole_;
    std::uint64_t gpuBytes_ = 0;

    gl::Texture texture_;
    std::size_t level_ = 0;
    std::int64_t row_ = 0; // the next block row of the level
    Bytes file_;           // the level's whole file while its rows go up
    Bytes band_;           // decoded texels of one band
    bool done_ = false;
};

// TextureStream::open and finish at once, on the path the driver takes (texturePath()) for an
// ASTC texture. No texture and no error for the formats the renderer does not load (RGB16F,
// RGB32F, RGBA32F).
Result<std::optional<gl::Texture>> loadTexture(const engine::Texture& texture,
                                               const ResourceLocator& locator,
                                               std::string_view resourcesRoot);

} // namespace renderer
