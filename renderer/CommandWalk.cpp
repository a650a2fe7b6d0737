#include "renderer/CommandWalk.h"

namespace renderer {

using engine::commands::BlurredPassCommand;
using engine::commands::ClearColorCommand;
using engine::commands::ClearCommand;
using engine::commands::ClearCommandClearType;
using engine::commands::CommandPtr;
using engine::commands::CommandType;
using engine::commands::DrawBlurredCommand;
using engine::commands::DrawMeshCommand;
using engine::commands::GroupCommand;
using engine::commands::MainPassCommand;
using engine::commands::VignetteCommand;

// Every class reports its own kind (passes are groups too), so a static_cast by type() is
// the class the command was made as.

void CommandWalk::passes(const CommandList& commands) {
    for (const CommandPtr& command : commands) {
        if (!command || !command->enabled) {
            continue;
        }
        switch (command->type()) {
        case CommandType::MAIN_PASS:
            visitor_.mainPass(static_cast<const MainPassCommand&>(*command));
            break;
        case CommandType::BLURRED_PASS:
            visitor_.blurredPass(static_cast<const BlurredPassCommand&>(*command));
            break;
        case CommandType::GROUP:
        case CommandType::RENDER_PASS:
            passes(static_cast<const GroupCommand&>(*command).commands);
            break;
        case CommandType::NOOP:
        case CommandType::CLEAR_COLOR:
        case CommandType::CLEAR:
        case CommandType::VIGNETTE:
        case CommandType::DRAW_MESH:
        case CommandType::DRAW_BLURRED:
        case CommandType::CUSTOM:
            break;
        }
    }
}

void CommandWalk::draws(const CommandList& commands) {
    for (const CommandPtr& command : commands) {
        if (!command || !command->enabled) {
            continue;
        }
        switch (command->type()) {
        case CommandType::GROUP:
        case CommandType::RENDER_PASS:
        case CommandType::MAIN_PASS:
        case CommandType::BLURRED_PASS:
            draws(static_cast<const GroupCommand&>(*command).commands);
            break;
        case CommandType::VIGNETTE:
            visitor_.vignette(static_cast<const VignetteCommand&>(*command));
            break;
        case CommandType::DRAW_MESH:
            visitor_.drawMesh(static_cast<const DrawMeshCommand&>(*command));
            break;
        case CommandType::DRAW_BLURRED:
            visitor_.drawBlurred(std::static_pointer_cast<DrawBlurredCommand>(command));
            break;
        case CommandType::NOOP:
        case CommandType::CLEAR_COLOR:
        case CommandType::CLEAR:
        case CommandType::CUSTOM:
            break;
        }
    }
}

void CommandWalk::clears(const CommandList& commands, RenderPassDescriptor& descriptor) {
    for (const CommandPtr& command : commands) {
        if (!command || !command->enabled) {
            continue;
        }
        switch (command->type()) {
        case CommandType::GROUP:
        case CommandType::RENDER_PASS:
        case CommandType::MAIN_PASS:
        case CommandType::BLURRED_PASS:
            clears(static_cast<const GroupCommand&>(*command).commands, descriptor);
            break;
        case CommandType::CLEAR_COLOR:
            if (const auto& color = static_cast<const ClearColorCommand&>(*command).color) {
                descriptor.clearColor = {color->r(), color->g(), color->b(), color->a()};
            }
            break;
        case CommandType::CLEAR: {
            const ClearCommandClearType clearType =
                static_cast<const ClearCommand&>(*command).clearType;
            if (clearType != ClearCommandClearType::DEPTH) {
                descriptor.colorLoadAction = LoadAction::Clear;
            }
            if (clearType != ClearCommandClearType::COLOR) {
                descriptor.depthLoadAction = LoadAction::Clear;
            }
            break;
        }
        case CommandType::NOOP:
        case CommandType::VIGNETTE:
        case CommandType::DRAW_MESH:
        case CommandType::DRAW_BLURRED:
        case CommandType::CUSTOM:
            break;
        }
    }
}

} // namespace renderer
