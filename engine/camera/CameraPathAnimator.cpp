#include "engine/camera/CameraPathAnimator.h"

#include "engine/Errors.h"
#include "engine/math/MathUtils.h"

namespace engine::camera {

namespace {

math::Vec3 midpoint(const math::Vec3& a, const math::Vec3& b) noexcept {
    return {a._x + (b._x - a._x) * 0.5F, a._y + (b._y - a._y) * 0.5F, a._z + (b._z - a._z) * 0.5F};
}

} // namespace

CameraPathAnimator::CameraPathAnimator(float initialSpeed, float minDurationMs,
                                       float transitionDurationMs, bool isSmooth)
    : speed(initialSpeed), minDuration(minDurationMs), transitionDuration(transitionDurationMs),
      positionInterpolator_(isSmooth), cameras_(std::make_shared<const CameraPathList>()),
      transitionPair_(
          std::make_shared<CameraPositionPair>(CameraPosition(), CameraPosition(), 1.0F)) {
    positionInterpolator_.speed = speed;
    positionInterpolator_.setMinDuration(minDuration * minDurationCoefficient_);
}

const CameraPositionPairPtr& CameraPathAnimator::currentCameraPair() const {
    const auto size = cameras_->size();
    if (currentCameraIndex_ < 0 || static_cast<std::size_t>(currentCameraIndex_) >= size) {
        throwIndexOutOfRange(currentCameraIndex_, size);
    }
    return (*cameras_)[static_cast<std::size_t>(currentCameraIndex_)];
}

void CameraPathAnimator::setMinDurationCoefficient(float value) {
    minDurationCoefficient_ = value;
    applyCurrentCamera();
}

void CameraPathAnimator::setCameras(CameraPathListPtr value, bool randomizeCamera) {
    cameras_ = value ? std::move(value) : std::make_shared<const CameraPathList>();
    currentCameraIndex_ = 0;
    applyCurrentCamera();
    if (randomizeCamera) {
        randomCamera();
    }
}

void CameraPathAnimator::applyCurrentCamera() {
    const CameraPositionPairPtr& path = currentCameraPair();
    positionInterpolator_.setMinDuration(minDuration * minDurationCoefficient_);
    positionInterpolator_.setPosition(path);
    positionInterpolator_.reset();
}

void CameraPathAnimator::randomCamera() {
    currentCameraIndex_ = math::MathUtils::nextRandom(static_cast<std::int32_t>(cameras_->size()),
                                                      currentCameraIndex_);
    applyCurrentCamera();
}

void CameraPathAnimator::selectCamera(std::int32_t index) {
    const std::size_t count = cameras_->size();
    if (index < 0 || static_cast<std::size_t>(index) >= count) {
        throwIndexOutOfRange(index, count);
    }
    currentCameraIndex_ = index;
    if (state_ == CameraState::TRANSITIONING) {
        positionInterpolator_.reverse = savedReverse_;
    }
    state_ = CameraState::ANIMATING;
    applyCurrentCamera();
}

void CameraPathAnimator::nextCamera() {
    if (enabled) {
        setCameraState(CameraState::TRANSITIONING);
    }
}

void CameraPathAnimator::setCameraState(CameraState value) {
    if (state_ == CameraState::ANIMATING && value == CameraState::TRANSITIONING) {
        const auto size = static_cast<std::int32_t>(cameras_->size());
        if (size == 0) {
            throw DivisionByZeroError("division by zero: the camera list is empty");
        }
        const std::int32_t nextIndex = (currentCameraIndex_ + 1) % size;
        const CameraPositionPairPtr& nextPath = (*cameras_)[static_cast<std::size_t>(nextIndex)];
        if (!nextPath) {
            // A hole in the list: fail as applying it would, before anything has changed.
            throw GeneralError("position is not set");
        }
        const CameraPositionPair& next = *nextPath;
        currentCameraIndex_ = nextIndex;

        positionInterpolator_.setMinDuration(transitionDuration);
        // The glide path is rewritten in place rather than allocated per transition (see the
        // header). Its start is read from the interpolator's outputs, which are copies, so
        // overwriting the path the interpolator points at cannot disturb them.
        CameraPositionPair& glide = *transitionPair_;
        glide.start.position = positionInterpolator_.cameraPosition();
        glide.start.rotation = positionInterpolator_.cameraRotation();
        glide.end.position = midpoint(next.start.position, next.end.position);
        glide.end.rotation = midpoint(next.start.rotation, next.end.rotation);
        glide.speedMultiplier = 1.0F;
        positionInterpolator_.setPosition(transitionPair_);

        savedReverse_ = positionInterpolator_.reverse;
        positionInterpolator_.reverse = false;
        positionInterpolator_.reset();
        state_ = CameraState::TRANSITIONING;
    } else if (state_ == CameraState::TRANSITIONING && value == CameraState::ANIMATING) {
        applyCurrentCamera();
        positionInterpolator_.reverse = savedReverse_;
        // The glide ended in the middle of this path: resume there, heading the way the
        // camera travelled before the glide.
        positionInterpolator_.setTimer(0.5);
        state_ = CameraState::ANIMATING;
    } else {
        state_ = value;
    }
}

void CameraPathAnimator::animate(double timeNow) {
    if (lastTime_ != 0.0) {
        positionInterpolator_.iterate(timeNow);
        if (positionInterpolator_.timer() == 1.0F) {
            if (state_ == CameraState::ANIMATING) {
                // Play the same path back from the end just reached.
                positionInterpolator_.reverse = !positionInterpolator_.reverse;
                positionInterpolator_.reset();
            } else {
                setCameraState(CameraState::ANIMATING);
            }
        }
    }
    lastTime_ = timeNow;
}

void CameraPathAnimator::changeDirection(float impulse) {
    if (state_ == CameraState::TRANSITIONING) {
        return;
    }
    const bool wanted = !(impulse < 0.0F);
    if (positionInterpolator_.reverse == wanted) {
        return;
    }
    positionInterpolator_.reverse = wanted;
    positionInterpolator_.setTimer(1.0F - positionInterpolator_.timer());
}

} // namespace engine::camera
