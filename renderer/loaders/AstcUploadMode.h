#pragma once

namespace renderer {

// ASTC textures go to the GPU compressed where the driver samples them
// (GL_KHR_texture_compression_astc_ldr); elsewhere they are decoded on the processor at load
// time and uploaded as RGBA8. The decode can also be forced, so that both paths run on one
// machine: by this switch (tools, tests) or by KADREL_ASTC_DECODE=1 in the environment.
void setAstcDecodeForced(bool forced) noexcept;
bool astcDecodeForced() noexcept;

// With a current context: true when ASTC blocks are uploaded as they are. The first time it
// answers false, it prints one line to standard output saying why.
bool astcUploadsCompressed();

} // namespace renderer
