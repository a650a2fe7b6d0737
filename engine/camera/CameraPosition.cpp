#include "engine/camera/CameraPosition.h"

#include "engine/common/Format.h"

namespace engine::camera {

std::uint32_t CameraPosition::hash() const noexcept {
    return common::hashCombine(position.hash(), rotation.hash());
}

std::string CameraPosition::toString() const {
    return "CameraPosition(position=" + position.toString() + ", rotation=" + rotation.toString() +
           ")";
}

std::ostream& operator<<(std::ostream& out, const CameraPosition& p) {
    return out << p.toString();
}

} // namespace engine::camera
