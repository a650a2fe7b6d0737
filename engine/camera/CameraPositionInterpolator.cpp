#include "engine/camera/CameraPositionInterpolator.h"

#include <cmath>
#include <span>

#include "engine/Errors.h"
#include "engine/math/MathUtils.h"
#include "engine/math/Matrix.h"

namespace engine::camera {

using math::Matrix;

namespace {

float lerp(float from, float to, float t) noexcept {
    return from + t * (to - from);
}

} // namespace

CameraPositionInterpolator::CameraPositionInterpolator(bool smooth) : isSmooth(smooth) {}

void CameraPositionInterpolator::setPosition(const CameraPositionPairPtr& value) {
    pair_ = value;
    if (!pair_) {
        throw GeneralError("position is not set");
    }
    const math::Vec3& a = pair_->start.position;
    const math::Vec3& b = pair_->end.position;
    const float dx = b._x - a._x;
    const float dy = b._y - a._y;
    const float dz = b._z - a._z;
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    // NaN-propagating, so a zero-length path at zero speed (0/0) yields NaN rather than
    // silently the minimum.
    duration_ = math::MathUtils::max(distance / speed, minDuration_);
}

void CameraPositionInterpolator::setTimer(double value) {
    progress_ = value;
    timer_ = static_cast<float>(value);
    updateMatrix();
}

void CameraPositionInterpolator::reset() {
    progress_ = 0.0;
    lastTime_ = 0.0;
    timer_ = 0.0F;
    updateMatrix();
}

void CameraPositionInterpolator::iterate(double timeNow) {
    if (lastTime_ != 0.0) {
        progress_ += (timeNow - lastTime_) / static_cast<double>(duration_);
        if (progress_ > 1.0) {
            progress_ = 1.0;
        }
    }
    timer_ = static_cast<float>(progress_);
    lastTime_ = timeNow;
    updateMatrix();
}

void CameraPositionInterpolator::updateMatrix() {
    if (!pair_) {
        throw GeneralError("position is not set");
    }
    float t = timer_;
    if (isSmooth) {
        const float c = math::MathUtils::clamp(timer_, 0.0F, 1.0F);
        t = c * c * (3.0F - 2.0F * c);
    }
    const CameraPosition& from = reverse ? pair_->end : pair_->start;
    const CameraPosition& to = reverse ? pair_->start : pair_->end;

    cameraPosition_._x = lerp(from.position._x, to.position._x, t);
    cameraPosition_._y = lerp(from.position._y, to.position._y, t);
    cameraPosition_._z = lerp(from.position._z, to.position._z, t);
    cameraRotation_._x = lerp(from.rotation._x, to.rotation._x, t);
    cameraRotation_._y = lerp(from.rotation._y, to.rotation._y, t);
    cameraRotation_._z = lerp(from.rotation._z, to.rotation._z, t);

    // The y angle turns about the z axis and the z angle about the y axis: the stored
    // rotations were recorded in a z-up world with that convention.
    const std::span<float> m{matrix_};
    Matrix::setIdentityM(m, 0);
    Matrix::rotateM(m, 0, (cameraRotation_._x - ROTATION_OFFSET) * RADIANS_TO_DEGREES, 1.0F, 0.0F,
                    0.0F);
    Matrix::rotateM(m, 0, cameraRotation_._y * RADIANS_TO_DEGREES, 0.0F, 0.0F, 1.0F);
    Matrix::rotateM(m, 0, cameraRotation_._z * RADIANS_TO_DEGREES, 0.0F, 1.0F, 0.0F);
    Matrix::translateM(m, 0, -cameraPosition_._x, -cameraPosition_._y, -cameraPosition_._z);
}

} // namespace engine::camera
