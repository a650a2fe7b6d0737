#pragma once

#include <string>

#include "renderer/RuntimeError.h"
#include "renderer/headless/Image.h"

namespace renderer {

// Writes an RGBA image as an 8-bit RGBA PNG file. Fails with "Cannot write PNG " + path +
// ": " + why: the system's reason when the file cannot be created or written ("No space left
// on device"), or the image's size and data disagreeing.
Result<void> writePng(const std::string& path, const Image& image);

} // namespace renderer
