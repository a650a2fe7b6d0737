#pragma once

#include <array>
#include <memory>

#include "engine/camera/CameraPositionPair.h"
#include "engine/math/Vec.h"

namespace engine::camera {

// Moves a camera along one path as time passes, optionally eased, forwards or backwards,
// and keeps the current eye position, rotation and view matrix. Those three live in this
// object and are overwritten in place, so a scene may keep references to them.
//
// Times are milliseconds of the host's clock; speed is world units per millisecond.
// Nothing here allocates once a path is set.
class CameraPositionInterpolator {
  public:
    // The rotation offset of the view matrix: pi/2 as a float.
    static constexpr float ROTATION_OFFSET = 1.5707964F;
    // Radians to degrees, as the literal the view matrix has always used (not 180/pi exact).
    static constexpr float RADIANS_TO_DEGREES = 57.2958F;

    explicit CameraPositionInterpolator(bool smooth);

    // Ease the progress with c^2 (3 - 2c).
    bool isSmooth;
    // Travel from the path's end towards its start.
    bool reverse = false;
    // World units per millisecond; read by setPosition.
    float speed = 0.0F;

    // Progress along the path before easing: 0 at the end the camera starts from, 1 at the
    // end it travels to.
    float timer() const noexcept { return timer_; }
    const math::Vec3& cameraPosition() const noexcept { return cameraPosition_; }
    const math::Vec3& cameraRotation() const noexcept { return cameraRotation_; }
    // The view matrix, column-major.
    const std::array<float, 16>& matrix() const noexcept { return matrix_; }
    const CameraPositionPairPtr& pair() const noexcept { return pair_; }
    // The double-precision progress that timer is taken from.
    double progress() const noexcept { return progress_; }
    // Time of the previous iterate(); 0 means there was none since the last restart.
    double lastTime() const noexcept { return lastTime_; }
    // Milliseconds the current path takes.
    float duration() const noexcept { return duration_; }
    float minDuration() const noexcept { return minDuration_; }

    // Starts using value and computes its duration: its length over speed, but no less than
    // minDuration. Keeps the progress. GeneralError "position is not set" for a null value
    // (the interpolator is then left without a path).
    void setPosition(const CameraPositionPairPtr& value);
    // Lower bound of the duration, used from the next setPosition on.
    void setMinDuration(float value) noexcept { minDuration_ = value; }
    // Jumps to a progress and recomputes the outputs.
    void setTimer(double value);
    // Back to the start of the path; the next iterate() only records its time.
    void reset();
    // Advances the progress to timeNow (never past 1). The first call after a restart only
    // records the time.
    void iterate(double timeNow);
    // Recomputes position, rotation and matrix from timer; GeneralError "position is not
    // set" without a path.
    void updateMatrix();

  private:
    float timer_ = 0.0F;
    math::Vec3 cameraPosition_;
    math::Vec3 cameraRotation_;
    std::array<float, 16> matrix_{};
    CameraPositionPairPtr pair_;
    double progress_ = 0.0;
    double lastTime_ = 0.0;
    float duration_ = 0.0F;
    float minDuration_ = 3000.0F;
};

} // namespace engine::camera
