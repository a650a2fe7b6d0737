#pragma once

#include <string_view>

#include "renderer/RuntimeError.h"

namespace renderer {

// After making a GL object: fails with "Cannot create " + what + ": OpenGL error 0x...."
// when the driver has recorded an error (out of memory, a size it refuses), clearing them all.
Result<void> checkGlErrors(std::string_view what);

} // namespace renderer
