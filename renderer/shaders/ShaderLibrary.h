#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"
#include "renderer/loaders/ResourceLocator.h"
#include "renderer/shaders/ShaderFunctions.h"

namespace renderer {

// The GLSL programs shipped in the resources' "shaders" directory. A shader function is the
// file named by the function ("vertexShaderDiffuse.glsl"); the library compiles the two
// functions of a shader name and links them into a program on first request, and keeps them
// for its own life. Every shader may use the helpers of "Common.glsl", which is inserted
// after its #version line.
//
// Interface conventions the renderer relies on, fixed after linking:
// - uniform blocks named VertexBuffer<N> and FragmentBuffer<N> receive the constant data
//   uploaded at buffer slot N of that stage (N from 1 in the vertex stage: slot 0 is the
//   vertex data);
// - sampler uniforms named vertexTexture<N> and fragmentTexture<N> read texture slot N of
//   that stage;
// - vertex inputs use layout(location = p) for the p-th attribute of the vertex layout.
//
// Failures stop the program with the messages of ShaderSource.h for files that are missing
// or cannot be read (the function's file, Common.glsl, the folder), "Cannot compile shader
// function " + function name + ": " + the compiler's log, and "Cannot create render pipeline
// state: " + the linker's log for a failed link.
class ShaderLibrary {
  public:
    ShaderLibrary(const ResourceLocator& locator, gl::State& state);

    ShaderFunctions functions(std::string_view name);

  private:
    struct Entry {
        gl::ShaderStage vertex;
        gl::ShaderStage fragment;
        gl::Program program;
    };

    const std::string& common();
    gl::ShaderStage compile(const std::string& function, GLenum stage);
    void bindInterface(GLuint program, std::string_view name);

    const ResourceLocator& locator_;
    gl::State& state_;
    std::optional<std::string> common_;
    std::map<std::string, Entry, std::less<>> entries_;
};

} // namespace renderer
