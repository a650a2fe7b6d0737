#pragma once

#include <string>
#include <string_view>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// The shader library's files as text: read, told apart when missing or unreadable, and put
// together with the shared helpers. No GL here.

// The library's folder under the resources, and the helpers every program may use.
inline constexpr std::string_view SHADER_DIRECTORY = "shaders";
inline constexpr std::string_view COMMON = "Common.glsl";

// The source of a shader function: `function` + ".glsl" in the shader folder. Errors:
//   "Cannot find the shader folder " + path          the folder is not there
//   "Cannot read the shader folder " + path + ": " + why   it is there but is no folder, or
//                                                    may not be searched
//   "Cannot find shader function " + function        the folder has no such file
//   "Cannot read shader function " + function + ": " + why   the file is there but cannot be
//                                                    read (a folder, permissions, ...)
Result<std::string> readShaderFunction(const ResourceLocator& locator, std::string_view function);

// The shared helpers (COMMON in the shader folder); errors as above for the folder, then
// "Cannot find the shared shader include shaders/Common.glsl" or
// "Cannot read the shared shader include shaders/Common.glsl: " + why.
Result<std::string> readSharedInclude(const ResourceLocator& locator);

// Puts `common` after the #version line of `source` and renumbers the rest so that compiler
// messages give the line numbers of the file itself. A source without a #version line on a
// line of its own, or an empty `common`, comes back as it is.
std::string withCommon(const std::string& source, const std::string& common);

} // namespace renderer
