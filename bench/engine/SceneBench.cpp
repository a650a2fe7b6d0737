#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/DepthMode.h"
#include "engine/Scene.h"
#include "engine/camera/CameraPathAnimator.h"
#include "engine/commands/Commands.h"
#include "engine/math/Matrix.h"

namespace {

using namespace engine;
using namespace engine::commands;
using camera::CameraPosition;
using camera::CameraPositionPair;
using math::Vec3;

class BenchScene : public Scene {
  public:
    void initialize() override {}
};

// The camera step of every frame, with the wallpaper's constants; the clock runs at 60 fps
// so the paths play back and forth during the run.
void BM_cameraAnimate(benchmark::State& state) {
    camera::CameraPathAnimator animator(1000000.0F, 22000.0F, 3500.0F, true);
    auto paths = std::make_shared<camera::CameraPathList>();
    paths->push_back(std::make_shared<CameraPositionPair>(
        CameraPosition(Vec3(-829, -1516, 40), Vec3(0, 0, 80)),
        CameraPosition(Vec3(1957, 1357, 137), Vec3(100, 50, 90)), 1.0F));
    paths->push_back(std::make_shared<CameraPositionPair>(
        CameraPosition(Vec3(-500, 300, 60), Vec3(0, 0, 80)),
        CameraPosition(Vec3(700, -200, 100), Vec3(-40, 10, 70)), 1.0F));
    animator.setCameras(paths, false);
    double time = 1000.0;
    for (auto _ : state) {
        animator.animate(time += 1000.0 / 60.0);
        benchmark::DoNotOptimize(animator.positionInterpolator().matrix().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_cameraAnimate);

// The matrix walk over a tree of 8 transformed draws in groups and passes, as a scene runs
// it once per frame after setting its view and projection.
void BM_updateMeshTransformations(benchmark::State& state) {
    BenchScene scene;
    scene.FOV_LANDSCAPE = 85.0F;
    scene.FOV_PORTRAIT = 100.0F;
    scene.Z_NEAR = 20.0F;
    scene.Z_FAR = 10000.0F;
    scene.calculateProjection(1.0F, 1920, 1080);
    math::Matrix::setLookAtM(scene.matView, 0, 100, 200, 50, 0, 0, 80, 0, 0, 1);

    const auto drawState =
        std::make_shared<DrawMeshState>(std::make_shared<Shader>(), BLENDING_NONE(),
                                        DEPTH_TEST_ENABLED(), CullFace::BACK, std::nullopt);
    std::vector<CommandPtr> draws;
    for (int i = 0; i < 8; ++i) {
        const auto f = static_cast<float>(i);
        draws.push_back(std::make_shared<DrawTransformedMeshCommand>(
            std::make_shared<Mesh>(),
            std::vector<UniformValuePtr>{
                std::make_shared<UniformFloatValue>(std::vector<float>(16)),
                std::make_shared<UniformTextureValue>(std::make_shared<Texture>())},
            drawState, AffineTranformation(Vec3(f, 0, 0), Vec3(0, 0, 10 * f), Vec3(1, 1, 1)), 0, -1,
            -1, -1));
    }
    const auto room1 = std::make_shared<GroupCommand>(
        true, std::vector<CommandPtr>(draws.begin(), draws.begin() + 3));
    const auto room2 = std::make_shared<GroupCommand>(
        true, std::vector<CommandPtr>(draws.begin() + 3, draws.end()));
    const auto bloom = std::make_shared<BlurredPassCommand>();
    bloom->enabled = false;
    bloom->commands = {room1, room2};
    scene.commands = {
        bloom, std::make_shared<MainPassCommand>(
                   true, std::make_shared<GroupCommand>(true, std::make_shared<ClearCommand>()),
                   room1, room2, std::make_shared<VignetteCommand>())};

    for (auto _ : state) {
        scene.updateMeshTransformations(scene.commands);
        benchmark::DoNotOptimize(scene.matMVP.data());
        benchmark::ClobberMemory();
    }
    state.counters["draws"] = 8;
}
BENCHMARK(BM_updateMeshTransformations);

} // namespace
