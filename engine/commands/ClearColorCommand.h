#pragma once

#include <memory>

#include "engine/commands/Command.h"
#include "engine/math/Vec.h"

namespace engine::commands {

// The colour (r, g, b, a) to which the enclosing pass is cleared. The colour is held by
// reference: a scene points it at one of its own colour objects and swaps the object to
// change the clear colour of every pass that reaches this command.
class ClearColorCommand : public Command {
  public:
    ClearColorCommand()
        : Command(CommandType::CLEAR_COLOR),
          color(std::make_shared<math::Vec4>(0.0F, 0.0F, 0.0F, 0.0F)) {}

    std::shared_ptr<math::Vec4> color;
};

} // namespace engine::commands
