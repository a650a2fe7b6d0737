#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/Mesh.h"
#include "engine/Uniforms.h"
#include "engine/commands/AffineTranformation.h"
#include "engine/commands/Command.h"
#include "engine/commands/DrawMeshState.h"
#include "engine/commands/Hint.h"

namespace engine::commands {

// Draws `mesh` once with the program and fixed-function state of `state`, feeding it
// `uniforms`: the value at position i is the shader's i-th uniform.
//
// `hints` is a list that several draws may share (a scene switches the hint of all of them by
// replacing one element); a new draw gets a new empty list of its own.
class DrawMeshCommand : public Command {
  public:
    DrawMeshCommand(MeshPtr meshIn, std::vector<UniformValuePtr> uniformsIn,
                    DrawMeshStatePtr stateIn)
        : Command(CommandType::DRAW_MESH), mesh(std::move(meshIn)), uniforms(std::move(uniformsIn)),
          state(std::move(stateIn)) {}

    MeshPtr mesh;
    std::vector<UniformValuePtr> uniforms;
    DrawMeshStatePtr state;
    HintListPtr hints = std::make_shared<HintList>();
};

// A draw whose model transform is `tranform`. Before each frame's walk the scene computes
// its matrices and writes them into the uniforms at the four indices; an index below 0 means
// that matrix is not wanted. Reports DRAW_MESH like a plain draw.
class DrawTransformedMeshCommand : public DrawMeshCommand {
  public:
    DrawTransformedMeshCommand(MeshPtr meshIn, std::vector<UniformValuePtr> uniformsIn,
                               DrawMeshStatePtr stateIn, const AffineTranformation& tranformIn,
                               std::int32_t indexMvp, std::int32_t indexModel,
                               std::int32_t indexView, std::int32_t indexProjection)
        : DrawMeshCommand(std::move(meshIn), std::move(uniformsIn), std::move(stateIn)),
          tranform(tranformIn), indexUniformMvp(indexMvp), indexUniformModel(indexModel),
          indexUniformView(indexView), indexUniformProjection(indexProjection) {}

    DrawTransformedMeshCommand* asTransformedDraw() noexcept override { return this; }
    const DrawTransformedMeshCommand* asTransformedDraw() const noexcept override { return this; }

    AffineTranformation tranform;
    std::int32_t indexUniformMvp;
    std::int32_t indexUniformModel;
    std::int32_t indexUniformView;
    std::int32_t indexUniformProjection;
};

} // namespace engine::commands
