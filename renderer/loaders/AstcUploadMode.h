#pragma once

namespace renderer {

// How the ASTC-shipped textures reach the GPU, in order of preference:
//   Astc    the ASTC blocks as they are, where the driver samples them
//           (GL_KHR_texture_compression_astc_ldr): few desktop GPUs;
//   S3tc    the BC1/BC3 twin shipped beside each ASTC file, where the driver has S3TC
//           (GL_EXT_texture_compression_s3tc): nearly every desktop GPU, and Mesa's llvmpipe;
//   Decode  the ASTC blocks decoded on the processor at load time, uploaded as RGBA8.
// A limit takes the preference down for tools and tests (both paths on one machine): by
// setTexturePathLimit, or KADREL_TEXTURES=astc|s3tc|decode in the environment
// (KADREL_ASTC_DECODE=1 is KADREL_TEXTURES=decode).
enum class TexturePath { Astc, S3tc, Decode };

// The first path of the order, at or after `limit`, that the driver offers. Decode is always
// offered.
TexturePath chooseTexturePath(bool driverHasAstc, bool driverHasS3tc, TexturePath limit) noexcept;

void setTexturePathLimit(TexturePath limit) noexcept;
// The switch's limit, or the environment's where it asks for less.
TexturePath texturePathLimit() noexcept;

// With a current context: the path for this driver. The first time, it prints one line to
// standard output saying which and why.
TexturePath texturePath();

const char* texturePathName(TexturePath path) noexcept;

// The older switch, kept for tools: a forced decode is the limit Decode.
void setAstcDecodeForced(bool forced) noexcept;
bool astcDecodeForced() noexcept;
// texturePath() == TexturePath::Astc.
bool astcUploadsCompressed();

} // namespace renderer
