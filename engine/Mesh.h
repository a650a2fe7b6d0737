#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace engine {

// Description of one model; the renderer loads the files named by fileName and writes id,
// the mesh's position in its own model list.
struct Mesh {
    std::string name;
    std::string fileName;
    std::int32_t id = 0;
    bool loaded = false;
};

using MeshPtr = std::shared_ptr<Mesh>;

} // namespace engine
