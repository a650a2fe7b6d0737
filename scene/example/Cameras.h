#pragma once

#include "engine/camera/CameraPositionPair.h"

namespace example {

// The demo scene's seven camera paths, built once on first use and never modified. Every
// element is an InteractiveCameraPositionPair; the first and the last are not interactive.
class Cameras {
  public:
    Cameras() = delete;

    static const engine::camera::CameraPathListPtr& CAMERAS();
};

} // namespace example
