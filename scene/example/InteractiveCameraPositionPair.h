#pragma once

#include <string>
#include <utility>

#include "engine/camera/CameraPositionPair.h"

namespace example {

// A camera path of the demo scene, with a label and whether a viewer may steer along it.
class InteractiveCameraPositionPair : public engine::camera::CameraPositionPair {
  public:
    InteractiveCameraPositionPair(const engine::camera::CameraPosition& startIn,
                                  const engine::camera::CameraPosition& endIn,
                                  float speedMultiplierIn, std::string nameIn, bool interactiveIn)
        : CameraPositionPair(startIn, endIn, speedMultiplierIn), name(std::move(nameIn)),
          interactive(interactiveIn) {}

    std::string name;
    bool interactive;
};

} // namespace example
