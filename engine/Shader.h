#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace engine {

// Description of one shader program; the renderer finds its stages by name and writes id.
struct Shader {
    std::string name;
    std::int32_t id = -1;
};

using ShaderPtr = std::shared_ptr<Shader>;

} // namespace engine
