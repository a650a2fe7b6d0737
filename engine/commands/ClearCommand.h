#pragma once

#include "engine/commands/ClearCommandClearType.h"
#include "engine/commands/Command.h"

namespace engine::commands {

// Which attachments the enclosing pass clears when it begins.
class ClearCommand : public Command {
  public:
    ClearCommand() noexcept : Command(CommandType::CLEAR) {}

    ClearCommandClearType clearType = ClearCommandClearType::COLOR_AND_DEPTH;
};

} // namespace engine::commands
