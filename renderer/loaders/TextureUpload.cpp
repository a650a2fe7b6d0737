#include "renderer/loaders/TextureUpload.h"

#include "renderer/loaders/AstcDecoder.h"
#include "renderer/loaders/AstcTexture.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/DdsTexture.h"
#include "renderer/loaders/GlCheck.h"

#include <algorithm>
#include <map>
#include <span>
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

// The largest band: big enough to keep the decoder's threads busy, small enough that its
// texels are no spike in memory.
constexpr std::size_t MAX_BAND_BYTES = std::size_t{4} << 20;

struct WholeUpload {
    Result<std::uint64_t> operator()(const std::monostate&) const { return std::uint64_t{0}; }
    Result<std::uint64_t> operator()(const RawHalfImage& image) const {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, image.width, image.height, 0, GL_RGBA,
                     GL_HALF_FLOAT, image.texels.data());
        return std::uint64_t(image.width) * std::uint64_t(image.height) * 8;
    }
    Result<std::uint64_t> operator()(const Rgba8Image& image) const {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image.texels.data());
        return std::uint64_t(image.width) * std::uint64_t(image.height) * 4;
    }
};

// A new texture with `levels` levels bound to the active unit: only the levels read exist, or
// a mipmapped sampler would find it incomplete and sample black. Set before any level is
// given, so that the driver lays out every level at once instead of moving the earlier ones
// when a later one arrives (Mesa loses ASTC level 0 in that move).
gl::Texture makeTexture(GLint levels) {
    gl::Texture texture = gl::Texture::create();
    glBindTexture(GL_TEXTURE_2D, texture.id());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    levels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    return texture;
}

} // namespace

Result<TextureStream> TextureStream::open(const engine::Texture& texture,
                                          const ResourceLocator& locator,
                                          std::string_view resourcesRoot, TexturePath path) {
    TextureStream stream;
    stream.fileName_ = texture.fileName;
    stream.locator_ = locator;
    stream.directory_ = joinResourcePath(resourcesRoot, "textures");
    if (texture.format != engine::TextureFormat::ASTC) {
        Result<TextureData> data = readTextureData(texture, locator, resourcesRoot);
        if (!data) {
            return data.error();
        }
        stream.label_ = data.value().label;
        stream.done_ = data.value().empty();
        stream.whole_ = std::move(data).value();
        return stream;
    }
    const std::string& fileName = texture.fileName;
    const auto levelName = [&](std::size_t index) {
        return texture.mipmaps > 0 ? fileName + "_" + std::to_string(index) : fileName;
    };
    const auto addLevels = [&](const auto& levels) {
        for (std::size_t index = 0; index < levels.size(); ++index) {
            stream.levels_.push_back({levelName(index), levels[index].file,
                                      levels[index].info.width, levels[index].info.height});
        }
    };
    if (path == TexturePath::S3tc) {
        Result<std::vector<DdsLevel>> levels =
            readDdsTwin(locator, stream.directory_, fileName, texture.mipmaps, Contents::Headers);
        if (!levels) {
            return levels.error();
        }
        const DdsInfo& base = levels.value().front().info;
        stream.label_ = fileName + ".dds";
        stream.twin_ = true;
        stream.blockBytes_ = base.blockBytes();
        stream.compressedFormat_ = base.pixelFormat();
        addLevels(levels.value());
    } else {
        Result<std::vector<AstcLevel>> levels =
            texture.mipmaps > 0
                ? AstcTexture::readChain(locator, stream.directory_, fileName, texture.mipmaps,
                                         Contents::Headers)
                : AstcTexture::readSingle(locator, stream.directory_, fileName, Contents::Headers);
        if (!levels) {
            return levels.error();
        }
        const AstcInfo& base = levels.value().front().info;
        stream.label_ = fileName + ".astc";
        stream.blockWidth_ = base.blockWidth;
        stream.blockHeight_ = base.blockHeight;
        stream.blockBytes_ = AstcInfo::kBlockSize;
        stream.compressedFormat_ = path == TexturePath::Astc ? base.pixelFormat : 0;
        addLevels(levels.value());
    }
    for (const Level& level : stream.levels_) {
        stream.gpuBytes_ += static_cast<std::uint64_t>(
            stream.compressedFormat_ != 0
                ? stream.blocksPerRow(level) * stream.blockRows(level) * stream.blockBytes_
                : level.width * level.height * 4);
    }
    return stream;
}

std::int64_t TextureStream::blocksPerRow(const Level& level) const noexcept {
    return (level.width + blockWidth_ - 1) / blockWidth_;
}

std::int64_t TextureStream::blockRows(const Level& level) const noexcept {
    return (level.height + blockHeight_ - 1) / blockHeight_;
}

Result<void> TextureStream::begin() {
    texture_ = makeTexture(static_cast<GLint>(levels_.size()));
    for (std::size_t index = 0; index < levels_.size(); ++index) {
        const Level& level = levels_[index];
        const auto glLevel = static_cast<GLint>(index);
        if (compressedFormat_ != 0) {
            const std::int64_t size = blocksPerRow(level) * blockRows(level) * blockBytes_;
            glCompressedTexImage2D(GL_TEXTURE_2D, glLevel, compressedFormat_, glSize(level.width),
                                   glSize(level.height), 0, glSize(size), nullptr);
        } else {
            glTexImage2D(GL_TEXTURE_2D, glLevel, GL_RGBA8, glSize(level.width),
                         glSize(level.height), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        }
    }
    if (Result<void> made = checkGlErrors("texture " + label_); !made) {
        texture_.reset();
        return made.error();
    }
    texture_.setStorage(gl::Memory::Textures, gpuBytes_);
    gl::label(GL_TEXTURE, texture_.id(), label_.c_str());
    return {};
}

namespace {

// A level file read again, whole, with its header checked; its size and block kind must still
// be what TextureStream::open() checked.
template <class FileLevel, class SameBlocks>
Result<Bytes> rereadLevel(const ResourceLocator& locator, std::string_view directory,
                          const std::string& name, const char* extension, std::int64_t width,
                          std::int64_t height, SameBlocks&& sameBlocks) {
    Result<FileLevel> read = readTextureLevel<FileLevel>(locator, directory, name, extension);
    if (!read) {
        return read.error();
    }
    const auto& info = read.value().info;
    if (info.width != width || info.height != height || !sameBlocks(info)) {
        return RuntimeError{"Texture file " + read.value().file + " changed after it was checked"};
    }
    return std::move(read.value().bytes);
}

} // namespace

Result<void> TextureStream::readLevel() {
    const Level& level = levels_[level_];
    Result<Bytes> bytes =
        twin_ ? rereadLevel<DdsLevel>(
                    locator_, directory_, level.name, "dds", level.width, level.height,
                    [&](const DdsInfo& info) { return info.blockBytes() == blockBytes_; })
              : rereadLevel<AstcLevel>(locator_, directory_, level.name, "astc", level.width,
                                       level.height, [&](const AstcInfo& info) {
                                           return info.blockWidth == blockWidth_ &&
                                                  info.blockHeight == blockHeight_;
                                       });
    if (!bytes) {
        return bytes.error();
    }
    file_ = std::move(bytes).value();
    row_ = 0;
    return {};
}

Result<void> TextureStream::uploadBand(std::size_t bandBytes, std::size_t& uploaded) {
    const Level& level = levels_[level_];
    const std::int64_t perRow = blocksPerRow(level);
    const std::int64_t rowBytes =
        compressedFormat_ != 0 ? perRow * blockBytes_ : level.width * blockHeight_ * 4;
    // Compressed levels go up whole (see the class's comment).
    const std::int64_t rows =
        compressedFormat_ != 0
            ? blockRows(level)
            : std::clamp<std::int64_t>(
                  static_cast<std::int64_t>(bandBytes / static_cast<std::size_t>(rowBytes)), 1,
                  blockRows(level) - row_);
    const std::int64_t y = row_ * blockHeight_;
    const std::int64_t height = std::min(rows * blockHeight_, level.height - y);
    const std::span<const std::uint8_t> blocks = std::span<const std::uint8_t>(file_).subspan(
        (twin_ ? DdsInfo::kHeaderSize : AstcInfo::kHeaderSize) +
            static_cast<std::size_t>(row_ * perRow * blockBytes_),
        static_cast<std::size_t>(rows * perRow * blockBytes_));
    const auto glLevel = static_cast<GLint>(level_);
    if (compressedFormat_ != 0) {
        glCompressedTexSubImage2D(GL_TEXTURE_2D, glLevel, 0, glSize(y), glSize(level.width),
                                  glSize(height), compressedFormat_,
                                  glSize(static_cast<std::int64_t>(blocks.size())), blocks.data());
        uploaded += blocks.size();
    } else {
        Result<AstcDecoder*> decoder = decoderFor(blockWidth_, blockHeight_);
        if (!decoder) {
            return decoder.error();
        }
        AstcInfo band;
        band.width = level.width;
        band.height = height;
        band.blockWidth = blockWidth_;
        band.blockHeight = blockHeight_;
        const auto texels = static_cast<std::size_t>(level.width * height * 4);
        if (band_.size() < texels) {
            band_.resize(texels);
        }
        if (Result<void> decoded = decoder.value()->decodeInto(band, blocks, band_, level.file);
            !decoded) {
            return decoded.error();
        }
        glTexSubImage2D(GL_TEXTURE_2D, glLevel, 0, glSize(y), glSize(level.width), glSize(height),
                        GL_RGBA, GL_UNSIGNED_BYTE, band_.data());
        uploaded += texels;
    }
    row_ += rows;
    if (row_ == blockRows(level)) {
        file_ = Bytes();
        ++level_;
    }
    return {};
}

Result<void> TextureStream::step(std::size_t budget) {
    if (done_) {
        return {};
    }
    UploadState state;
    if (whole_) {
        gl::Texture texture = makeTexture(1);
        Result<std::uint64_t> bytes = std::visit(WholeUpload{}, whole_->content);
        if (!bytes) {
            return bytes.error();
        }
        if (Result<void> made = checkGlErrors("texture " + label_); !made) {
            return made.error();
        }
        texture.setStorage(gl::Memory::Textures, bytes.value());
        gl::label(GL_TEXTURE, texture.id(), label_.c_str());
        texture_ = std::move(texture);
        gpuBytes_ = bytes.value();
        whole_.reset();
        done_ = true;
        return {};
    }
    if (!texture_) {
        if (Result<void> begun = begin(); !begun) {
            return begun;
        }
    } else {
        glBindTexture(GL_TEXTURE_2D, texture_.id());
    }
    const std::size_t bandBytes = std::min(budget, MAX_BAND_BYTES);
    std::size_t uploaded = 0;
    do {
        if (file_.empty()) {
            if (Result<void> read = readLevel(); !read) {
                return read;
            }
        }
        if (Result<void> band = uploadBand(bandBytes, uploaded); !band) {
            return band;
        }
    } while (level_ < levels_.size() && uploaded < budget);
    if (level_ < levels_.size()) {
        return {};
    }
    band_ = Bytes();
    done_ = true;
    return checkGlErrors("texture " + label_);
}

Result<std::optional<gl::Texture>> loadTexture(const engine::Texture& texture,
                                               const ResourceLocator& locator,
                                               std::string_view resourcesRoot) {
    const TexturePath path =
        texture.format == engine::TextureFormat::ASTC ? texturePath() : TexturePath::Astc;
    Result<TextureStream> stream = TextureStream::open(texture, locator, resourcesRoot, path);
    if (!stream) {
        return stream.error();
    }
    if (Result<void> finished = stream.value().finish(); !finished) {
        return finished.error();
    }
    gl::Texture made = stream.value().take();
    if (!made) {
        return std::optional<gl::Texture>();
    }
    return std::optional<gl::Texture>(std::move(made));
}

} // namespace renderer
