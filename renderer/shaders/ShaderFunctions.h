#pragma once

#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "renderer/pipeline/Uniform.h"

namespace renderer {

// The GPU side of one engine shader: its two compiled stages, looked up as "vertexShader" +
// name and "fragmentShader" + name, and the program linked from them. The GL objects belong
// to the ShaderLibrary that made them; this is a plain handle to them.
struct ShaderFunctions {
    std::string name;
    GLuint vertexFunction = 0;
    GLuint fragmentFunction = 0;
    GLuint program = 0;
    // Kept for the shape of the shader description; nothing reads it.
    std::vector<UniformType> uniformTypes;
};

} // namespace renderer
