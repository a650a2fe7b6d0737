#pragma once

#include "engine/commands/Command.h"

namespace kadrel {

// Marks where a clock belongs in the frame: the last command of the normal main pass, after
// the vignette. The scene switches it with its clock setting. A renderer without a case for
// CUSTOM commands passes over it; the desktop host draws its clock as an overlay instead.
class DrawClockCommand : public engine::commands::Command {
  public:
    DrawClockCommand() noexcept : Command(engine::commands::CommandType::CUSTOM) {}
};

} // namespace kadrel
