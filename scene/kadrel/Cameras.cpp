#include "scene/kadrel/Cameras.h"

#include <memory>

namespace kadrel {

namespace {

using engine::camera::CameraPathList;
using engine::camera::CameraPathListPtr;
using engine::camera::CameraPosition;
using engine::camera::CameraPositionPair;
using engine::math::Vec3;

Vec3 toVec3(const RecordedPoint& p) {
    return Vec3(p.x, p.y, p.z);
}

CameraPathListPtr buildRoom(std::span<const RecordedPath> paths) {
    auto list = std::make_shared<CameraPathList>();
    list->reserve(paths.size());
    for (const RecordedPath& path : paths) {
        list->push_back(std::make_shared<CameraPositionPair>(
            CameraPosition(toVec3(path.startEye), toVec3(path.startLookAt)),
            CameraPosition(toVec3(path.endEye), toVec3(path.endLookAt)), path.speedMultiplier));
    }
    return list;
}

} // namespace

const std::array<CameraPathListPtr, ROOM_COUNT>& Cameras::CAMERAS() {
    static const std::array<CameraPathListPtr, ROOM_COUNT> rooms{buildRoom(CAMERA_TABLE[0]),
                                                                 buildRoom(CAMERA_TABLE[1])};
    return rooms;
}

} // namespace kadrel
