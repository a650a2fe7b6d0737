#include "scene/example/Cameras.h"

#include <array>
#include <memory>

#include "scene/example/InteractiveCameraPositionPair.h"

namespace example {

namespace {

using engine::camera::CameraPathList;
using engine::camera::CameraPathListPtr;
using engine::camera::CameraPosition;
using engine::math::Vec3;

struct Path {
    Vec3 startPosition;
    Vec3 startRotation;
    Vec3 endPosition;
    Vec3 endRotation;
    bool interactive;
};

constexpr std::array<Path, 7> PATHS{{
    {{4.84F, -644.785F, -25.362F},
     {4.673F, -1.741F, 4.447F},
     {2.56F, -126.0F, -8.595F},
     {2.533F, -1.741F, 3.993F},
     false},
    {{-137.0F, -115.0F, -12.0F},
     {3.485F, -0.679F, -16.321F},
     {138.0F, -110.0F, 20.0F},
     {3.485F, -0.679F, -16.321F},
     true},
    {{208.0F, -208.0F, -21.0F},
     {0.0F, 0.0F, 0.0F},
     {265.0F, 77.0F, 22.0F},
     {0.0F, 0.0F, -35.0F},
     true},
    {{347.0F, 73.0F, 15.0F},
     {161.0F, -220.0F, -19.0F},
     {69.0F, 365.0F, 15.0F},
     {-100.0F, 162.0F, -18.0F},
     true},
    {{147.0F, 212.0F, 0.0F},
     {20.0F, -10.0F, 7.0F},
     {-146.0F, 182.0F, 30.0F},
     {-20.0F, 4.0F, -35.0F},
     true},
    {{-244.0F, 139.0F, 77.0F},
     {-3.0F, -27.0F, -37.0F},
     {-151.0F, -357.0F, 11.0F},
     {20.0F, -45.0F, 0.0F},
     true},
    {{-265.0F, -158.0F, -20.0F},
     {0.0F, 0.0F, 32.0F},
     {-95.0F, -70.0F, 0.0F},
     {9.0F, -13.0F, -10.0F},
     false},
}};

CameraPathListPtr build() {
    auto list = std::make_shared<CameraPathList>();
    list->reserve(PATHS.size());
    for (const Path& p : PATHS) {
        list->push_back(std::make_shared<InteractiveCameraPositionPair>(
            CameraPosition(p.startPosition, p.startRotation),
            CameraPosition(p.endPosition, p.endRotation), 1.0F, std::string(), p.interactive));
    }
    return list;
}

} // namespace

const CameraPathListPtr& Cameras::CAMERAS() {
    static const CameraPathListPtr cameras = build();
    return cameras;
}

} // namespace example
