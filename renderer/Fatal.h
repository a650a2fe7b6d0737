#pragma once

#include <string_view>

namespace renderer {

// Broken set-up ends the program: the message goes to standard error on a line of its own
// and the process exits with status 1 at once. Nothing is unwound: the GL context and its
// driver threads may be in any state here, and running destructors against them can hang.
[[noreturn]] void fatal(std::string_view message);

// The same with the message built from two parts ("Cannot load texture " + name), so that
// callers need no temporary string.
[[noreturn]] void fatal(std::string_view prefix, std::string_view detail);

} // namespace renderer
