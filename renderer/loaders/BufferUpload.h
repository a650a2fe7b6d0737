#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "renderer/RuntimeError.h"
#include "renderer/gl/GlObject.h"

namespace renderer {

// A new GL buffer holding a copy of `bytes`, labelled for GL debuggers. Needs a current
// context; leaves every buffer binding as it found it (the copy goes through
// GL_COPY_WRITE_BUFFER, which no draw state uses). Fails with a message naming `label` when
// the driver refuses the storage.
Result<gl::Buffer> uploadBuffer(std::span<const std::uint8_t> bytes, const std::string& label);

} // namespace renderer
