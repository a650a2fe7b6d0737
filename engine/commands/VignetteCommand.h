#pragma once

#include <memory>

#include "engine/commands/Command.h"
#include "engine/math/Vec.h"

namespace engine::commands {

// A full-frame vignette over what is drawn so far, shaded between color0 and color1. The two
// colours are separate objects, so a scene may change one without touching the other.
class VignetteCommand : public Command {
  public:
    VignetteCommand()
        : Command(CommandType::VIGNETTE),
          color0(std::make_shared<math::Vec4>(0.0F, 0.0F, 0.0F, 1.0F)),
          color1(std::make_shared<math::Vec4>(0.0F, 0.0F, 0.0F, 1.0F)) {}

    std::shared_ptr<math::Vec4> color0;
    std::shared_ptr<math::Vec4> color1;
};

} // namespace engine::commands
