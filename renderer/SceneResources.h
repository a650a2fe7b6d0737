#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "renderer/gl/GlObject.h"
#include "renderer/loaders/FullModel.h"
#include "renderer/loaders/TextureUpload.h"
#include "renderer/pipeline/Uniform.h"
#include "renderer/shaders/ShaderFunctions.h"

namespace renderer {

// Everything a renderer loads for its scene (textures by the first frame that needs them), by
// the ids it gives the scene's objects (Mesh.id, Texture.id, Shader.id: positions in these
// lists).
struct SceneResources {
    std::vector<FullModel> models;
    // A texture of a format the renderer has no loader for keeps its own slot with no GL
    // texture (it samples as black), so later ids stay aligned.
    std::vector<gl::Texture> textures;
    std::vector<gl::Sampler> samplers;
    // How each texture gets there: its files checked at start, its texels uploaded when a
    // frame first needs them or over the frames after the first, in bands.
    std::vector<TextureStream> textureStreams;
    std::size_t texturesLoading = 0;
    std::vector<ShaderFunctions> shaders;
    ShadersUniforms shadersUniforms;
    std::unique_ptr<FullModel> vignette;

    // Stops the program with `failure` + the cause when the model's files do not fit a
    // vertex layout of `stride` bytes; each model remembers the stride it last passed.
    void checkModelLayout(std::size_t model, std::int32_t stride, std::string_view failure);

    // The vertex stride each model was last checked against (0: not yet).
    std::vector<std::int32_t> modelCheckedStride;
};

} // namespace renderer
