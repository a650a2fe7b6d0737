#include "renderer/loaders/TextureUpload.h"

#include "renderer/loaders/AstcDecoder.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/GlCheck.h"

#include <map>
#include <utility>

namespace renderer {

namespace {

// Uploads read tightly packed rows from client memory whatever the caller had set, and the
// caller's texture binding and unpack state come back afterwards.
class UploadState {
  public:
    UploadState() {
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
        glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer_);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment_);
        glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength_);
        glGetIntegerv(GL_UNPACK_SKIP_ROWS, &skipRows_);
        glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &skipPixels_);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    }
    ~UploadState() {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(unpackBuffer_));
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment_);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength_);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, skipRows_);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, skipPixels_);
    }
    UploadState(const UploadState&) = delete;
    UploadState& operator=(const UploadState&) = delete;

  private:
    GLint texture_ = 0;
    GLint unpackBuffer_ = 0;
    GLint alignment_ = 4;
    GLint rowLength_ = 0;
    GLint skipRows_ = 0;
    GLint skipPixels_ = 0;
};

GLsizei glSize(std::int64_t value) {
    return static_cast<GLsizei>(value);
}

// One decoder per block footprint for the process: making one sets up the codec's tables,
// and every texture of a footprint can share it (loading runs on one thread).
Result<AstcDecoder*> decoderFor(std::int64_t blockWidth, std::int64_t blockHeight) {
    static std::map<std::pair<std::int64_t, std::int64_t>, AstcDecoder> decoders;
    const auto key = std::make_pair(blockWidth, blockHeight);
    auto found = decoders.find(key);
    if (found == decoders.end()) {
        Result<AstcDecoder> made = AstcDecoder::create(blockWidth, blockHeight);
        if (!made) {
            return made.error();
        }
        found = decoders.emplace(key, std::move(made).value()).first;
    }
    return &found->second;
}

Result<void> uploadAstc(const std::vector<AstcLevel>& levels) {
    if (astcUploadsCompressed()) {
        for (std::size_t level = 0; level < levels.size(); ++level) {
            const AstcInfo& info = levels[level].info;
            const std::span<const std::uint8_t> blocks = levels[level].blocks();
            glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), info.pixelFormat,
                                   glSize(info.width), glSize(info.height), 0,
                                   glSize(static_cast<std::int64_t>(blocks.size())), blocks.data());
        }
        return {};
    }
    const AstcInfo& base = levels.front().info;
    Result<AstcDecoder*> decoder = decoderFor(base.blockWidth, base.blockHeight);
    if (!decoder) {
        return decoder.error();
    }
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const AstcLevel& file = levels[level];
        Result<Bytes> texels = decoder.value()->decode(file.info, file.blocks(), file.file);
        if (!texels) {
            return texels.error();
        }
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, glSize(file.info.width),
                     glSize(file.info.height), 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.value().data());
    }
    return {};
}

Result<void> uploadBlocks(const std::vector<DdsLevel>& levels) {
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const DdsInfo& info = levels[level].info;
        const std::span<const std::uint8_t> blocks = levels[level].blocks();
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), info.pixelFormat(),
                               glSize(info.width), glSize(info.height), 0,
                               glSize(static_cast<std::int64_t>(blocks.size())), blocks.data());
    }
    return {};
}

GLint levelCount(const TextureData::Content& content) {
    if (const auto* levels = std::get_if<std::vector<AstcLevel>>(&content)) {
        return static_cast<GLint>(levels->size());
    }
    if (const auto* levels = std::get_if<std::vector<DdsLevel>>(&content)) {
        return static_cast<GLint>(levels->size());
    }
    return std::holds_alternative<std::monostate>(content) ? 0 : 1;
}

struct ContentUpload {
    Result<void> operator()(const std::monostate&) const { return {}; }
    Result<void> operator()(const std::vector<AstcLevel>& levels) const {
        return uploadAstc(levels);
    }
    Result<void> operator()(const std::vector<DdsLevel>& levels) const {
        return uploadBlocks(levels);
    }
    Result<void> operator()(const RawHalfImage& image) const {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, image.width, image.height, 0, GL_RGBA,
                     GL_HALF_FLOAT, image.texels.data());
        return {};
    }
    Result<void> operator()(const Rgba8Image& image) const {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image.texels.data());
        return {};
    }
};

} // namespace

Result<gl::Texture> uploadTexture(const TextureData& data) {
    const GLint levels = levelCount(data.content);
    if (levels == 0) {
        return RuntimeError{"Cannot create texture " + data.label + ": nothing was read"};
    }
    UploadState state;
    gl::Texture texture = gl::Texture::create();
    glBindTexture(GL_TEXTURE_2D, texture.id());
    // Only the levels read exist: without this a mipmapped sampler would find the texture
    // incomplete and sample black. Set before the upload, so that the driver lays out every
    // level at once instead of moving the earlier ones when a later one arrives (Mesa loses
    // ASTC level 0 in that move).
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    levels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    if (Result<void> uploaded = std::visit(ContentUpload{}, data.content); !uploaded) {
        return uploaded.error();
    }
    if (Result<void> made = checkGlErrors("texture " + data.label); !made) {
        return made.error();
    }
    gl::label(GL_TEXTURE, texture.id(), data.label.c_str());
    return texture;
}

Result<std::optional<gl::Texture>> loadTexture(const engine::Texture& texture,
                                               const ResourceLocator& locator,
                                               std::string_view resourcesRoot) {
    const TexturePath path =
        texture.format == engine::TextureFormat::ASTC ? texturePath() : TexturePath::Astc;
    Result<TextureData> data = readTextureData(texture, locator, resourcesRoot, path);
    if (!data) {
        return data.error();
    }
    if (data.value().empty()) {
        return std::optional<gl::Texture>();
    }
    Result<gl::Texture> made = uploadTexture(data.value());
    if (!made) {
        return made.error();
    }
    return std::optional<gl::Texture>(std::move(made).value());
}

} // namespace renderer
