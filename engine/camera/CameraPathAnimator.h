#pragma once

#include <cstdint>

#include "engine/camera/CameraPositionInterpolator.h"
#include "engine/camera/CameraPositionPair.h"
#include "engine/camera/CameraState.h"

namespace engine::camera {

// Plays a list of camera paths: the current path back and forth without end, a smooth glide
// to the next path on request (nextCamera) or an immediate cut to a random other one
// (randomCamera). A scene calls animate() with the frame time every frame and reads the
// camera from positionInterpolator().
//
// Once a list is set, nothing here allocates: animate, nextCamera, setCameraState and
// changeDirection reuse the interpolator and one preallocated transition path.
class CameraPathAnimator {
  public:
    CameraPathAnimator(float initialSpeed, float minDurationMs, float transitionDurationMs,
                       bool isSmooth);

    // Given to the interpolator once, in the constructor; writing it later changes nothing
    // (a scene that wants another speed writes positionInterpolator().speed).
    float speed;
    // Minimum duration of a path (times minDurationCoefficient), read when a path is applied.
    float minDuration;
    // Minimum duration of a glide to the next path, read when the glide starts.
    float transitionDuration;
    // When false, nextCamera() does nothing; everything else keeps working.
    bool enabled = true;

    CameraPositionInterpolator& positionInterpolator() noexcept { return positionInterpolator_; }
    const CameraPositionInterpolator& positionInterpolator() const noexcept {
        return positionInterpolator_;
    }
    CameraState state() const noexcept { return state_; }
    // The list given to setCameras (never null; empty before the first call).
    const CameraPathListPtr& cameras() const noexcept { return cameras_; }
    std::int32_t currentCameraIndex() const noexcept { return currentCameraIndex_; }
    // The path at currentCameraIndex; OutOfRangeError when the list is empty.
    const CameraPositionPairPtr& currentCameraPair() const;
    // The interpolator's progress along the current path.
    float timer() const noexcept { return positionInterpolator_.timer(); }

    float minDurationCoefficient() const noexcept { return minDurationCoefficient_; }
    // Stores the coefficient and restarts the current path with the new duration.
    void setMinDurationCoefficient(float value);

    // Takes a new list (shared, not copied; a null list counts as empty), starts its first
    // path and, if randomizeCamera, cuts to a random other one. The state is not changed.
    void setCameras(CameraPathListPtr value, bool randomizeCamera);
    // The per-frame step.
    void animate(double timeNow);
    // Glides to the middle of the next path of the list; nothing while disabled or already
    // gliding. DivisionByZeroError with an empty list.
    void nextCamera();
    // Cuts at once to a random other path (never the current one nor, with three or more
    // paths, the one before it), regardless of enabled and state.
    void randomCamera();
    // Cuts at once to path `index` of the list, from its start end, ending any glide: for
    // tools and hosts that put the camera on a chosen path. OutOfRangeError outside the list.
    void selectCamera(std::int32_t index);
    // ANIMATING -> TRANSITIONING starts a glide to the next path; TRANSITIONING ->
    // ANIMATING resumes on that path from its middle. Any other change only stores the state.
    void setCameraState(CameraState value);
    // Travel the current path forwards (impulse >= 0, or NaN) or backwards (impulse < 0),
    // keeping the camera where it is. Ignored while gliding.
    void changeDirection(float impulse);
    void enable() noexcept { enabled = true; }
    void disable() noexcept { enabled = false; }

  private:
    // Restarts the interpolator on the current path from its beginning (keeping reverse).
    void applyCurrentCamera();

    CameraPositionInterpolator positionInterpolator_;
    CameraState state_ = CameraState::ANIMATING;
    CameraPathListPtr cameras_;
    std::int32_t currentCameraIndex_ = 0;
    float minDurationCoefficient_ = 1.0F;
    double lastTime_ = 0.0;
    bool savedReverse_ = false;
    // The generated glide path, allocated once and rewritten in place at each transition so
    // that starting a glide allocates nothing. It is internal: only the interpolator points
    // at it, and nothing may keep it expecting a fresh object per transition.
    CameraPositionPairPtr transitionPair_;
};

} // namespace engine::camera
