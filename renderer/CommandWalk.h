#pragma once

#include <memory>
#include <vector>

#include "engine/commands/Commands.h"
#include "renderer/RenderPassDescriptor.h"

namespace renderer {

// What the walks hand the commands they find to. The renderer implements it with GL; the
// walk itself makes no GL call, so its order can be checked without a context.
class CommandVisitor {
  public:
    virtual void mainPass(const engine::commands::MainPassCommand& command) = 0;
    virtual void blurredPass(const engine::commands::BlurredPassCommand& command) = 0;
    virtual void drawMesh(const engine::commands::DrawMeshCommand& command) = 0;
    // By shared pointer: the renderer's full-screen quad keeps the command it draws.
    virtual void
    drawBlurred(const std::shared_ptr<engine::commands::DrawBlurredCommand>& command) = 0;
    virtual void vignette(const engine::commands::VignetteCommand& command) = 0;

  protected:
    ~CommandVisitor() = default;
};

// The walks over a scene's command tree. Each dispatches on Command::type() with a switch
// that has no default, so a new kind of command is a compiler warning in every walk until
// each says what it does with it. A null or disabled node is passed over with everything
// below it; a node reachable from several parents is visited at each place. CUSTOM commands
// belong to a scene or its host and are passed over.
class CommandWalk {
  public:
    using CommandList = std::vector<engine::commands::CommandPtr>;

    explicit CommandWalk(CommandVisitor& visitor) noexcept : visitor_(visitor) {}

    // The frame: every main and blurred pass in tree order. Groups and plain render passes
    // are looked into; anything outside a pass is not drawn.
    void passes(const CommandList& commands);
    // The draws of a pass, in tree order. A pass inside a pass is drawn into the outer one.
    void draws(const CommandList& commands);

    // How a pass begins: clear colour and load actions from the pass's clear commands,
    // nested groups included. Later commands override earlier ones.
    static void clears(const CommandList& commands, RenderPassDescriptor& descriptor);

    // Every mesh draw of the tree, switched on or not, with the place of any repeated node.
    template <class Function> static void everyMeshDraw(const CommandList& commands, Function&& f) {
        meshDraws(commands, f, false);
    }
    // The mesh draws the next frame makes: those switched on, below nodes switched on.
    template <class Function>
    static void enabledMeshDraws(const CommandList& commands, Function&& f) {
        meshDraws(commands, f, true);
    }

  private:
    template <class Function>
    static void meshDraws(const CommandList& commands, Function& f, bool enabledOnly);

    CommandVisitor& visitor_;
};

template <class Function>
void CommandWalk::meshDraws(const CommandList& commands, Function& f, bool enabledOnly) {
    using engine::commands::CommandType;
    for (const engine::commands::CommandPtr& command : commands) {
        if (!command || (enabledOnly && !command->enabled)) {
            continue;
        }
        switch (command->type()) {
        case CommandType::GROUP:
        case CommandType::RENDER_PASS:
        case CommandType::MAIN_PASS:
        case CommandType::BLURRED_PASS:
            meshDraws(static_cast<const engine::commands::GroupCommand&>(*command).commands, f,
                      enabledOnly);
            break;
        case CommandType::DRAW_MESH:
            f(static_cast<const engine::commands::DrawMeshCommand&>(*command));
            break;
        case CommandType::NOOP:
        case CommandType::CLEAR_COLOR:
        case CommandType::CLEAR:
        case CommandType::VIGNETTE:
        case CommandType::DRAW_BLURRED:
        case CommandType::CUSTOM:
            break;
        }
    }
}

} // namespace renderer
