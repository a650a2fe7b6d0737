#pragma once

#include <limits>

#include "engine/common/ColorMode.h"

namespace kadrel {

// The switches through which the host steers the wallpaper scene. The scene owns one and
// reads every field once per frame, so a change takes effect on the next frame without any
// notification. Values arrive from a store the user can edit by hand, so the scene treats
// them as untrusted (see effectiveCameraPeriod).
struct KadrelSettings {
    // Sepia turns the background clear colour warm; every other mode keeps it white.
    engine::common::ColorMode colorMode = engine::common::ColorMode::Normal;
    // Multiplies the minimum duration of every camera path: larger is slower.
    float cameraPeriod = 1.0F;
    // Smaller bloom kernel and coarser shading of the main room meshes.
    bool lowQuality = false;
    bool vignette = true;
    // The scene's own clock hook; the host draws its clock as an overlay instead.
    bool clock = false;
    // The full-frame blurred render path instead of the normal one with bloom.
    bool blurred = false;
    // Cut to a random camera or to the other room near the end of every camera path.
    bool autoSwitchCameras = true;
};

// The range of camera periods the scene accepts. The settings window offers 0.5 to 3.0; a
// wider band leaves room for hand-edited values, and its ends keep the camera visibly
// moving (a path of 22 s × 0.1 = 2.2 s at the fast end, 220 s at the slow end) instead of
// flipping direction every frame or standing still.
inline constexpr float MIN_CAMERA_PERIOD = 0.1F;
inline constexpr float MAX_CAMERA_PERIOD = 10.0F;
inline constexpr float DEFAULT_CAMERA_PERIOD = 1.0F;

// The camera period the scene actually uses for a stored value: the value itself inside the
// accepted range, the nearest end of the range for finite values outside it, and the
// default for values that carry no usable speed at all (zero, negative, infinite, NaN).
// A NaN must never reach the animator: it compares unequal to everything, so the scene
// would restart the camera on every frame and fill the matrices with NaN.
constexpr float effectiveCameraPeriod(float stored) noexcept {
    if (!(stored > 0.0F) || stored > std::numeric_limits<float>::max()) {
        return DEFAULT_CAMERA_PERIOD;
    }
    if (stored < MIN_CAMERA_PERIOD) {
        return MIN_CAMERA_PERIOD;
    }
    if (stored > MAX_CAMERA_PERIOD) {
        return MAX_CAMERA_PERIOD;
    }
    return stored;
}

} // namespace kadrel
