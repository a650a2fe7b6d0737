#pragma once

#include <cstdint>

#include "engine/Blending.h"
#include "engine/commands/Command.h"

namespace engine::commands {

// Composites the image of the most recently executed blurred pass over the current pass
// with `blending`; id names the renderer's cached full-screen quad.
class DrawBlurredCommand : public Command {
  public:
    DrawBlurredCommand() : Command(CommandType::DRAW_BLURRED), blending(BLENDING_NONE()) {}

    BlendingPtr blending;
    std::int32_t id = 0;
};

} // namespace engine::commands
