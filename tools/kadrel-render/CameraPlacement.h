#pragma once

#include <cstddef>

#include "scene/kadrel/KadrelScene.h"

namespace kadrel_render {

// Where to put the wallpaper's camera: a recorded path of a room and a point along it.
struct CameraPlacement {
    int room = 2;          // 1 or 2, as the rooms are known to users
    int path = 0;          // index within the room's list
    double progress = 0.0; // 0 at the end the camera starts from, 1 at the other (before easing)
    bool reverse = false;  // travel from the path's recorded end towards its start
};

// Paths recorded for room 1 or 2; 0 for any other number.
std::size_t pathCount(int room);

// Puts the camera on the placement and keeps it on that path from now on: automatic
// switching is turned off, so the camera plays that path back and forth. `timeMs` is the
// scene time of the next frame; from it on the camera moves along the path at the scene's
// speed. Random draws (the room cut) come from the process-wide generator, which the caller
// seeds for reproducible runs; where the camera ends up does not depend on them.
//
// The camera period of the settings is applied first, since a change of period restarts
// the path from its beginning.
void placeCamera(kadrel::KadrelScene& scene, const CameraPlacement& placement, double timeMs);

} // namespace kadrel_render
