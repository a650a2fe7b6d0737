#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/math/Random.h"
#include "scene/SimulatedClock.h"
#include "scene/kadrel/KadrelScene.h"

namespace {

constexpr double FRAMES_PER_SECOND = 30.0;
constexpr double DAY_MS = 24.0 * 3'600'000.0;

// One frame step of the wallpaper as the host runs it, with the host's settings. The scene
// keeps playing across iterations, so the figure covers cuts and room changes in their
// natural proportion.
void BM_KadrelSceneFrame(benchmark::State& state) {
    engine::math::Random::seed(1);
    kadrel::KadrelScene scene;
    scene.updateViewportSize(2560, 1440);
    kadrel::SimulatedClock clock(scene, FRAMES_PER_SECOND, 10'000'000.0);
    for (int i = 0; i < 100; ++i) {
        clock.step();
    }
    for (auto _ : state) {
        clock.step();
        benchmark::DoNotOptimize(scene.matView.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KadrelSceneFrame)->Repetitions(9)->ReportAggregatesOnly(true);

// A whole day of scene time at 30 frames per second, headless.
void BM_KadrelSceneSimulateDay(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        engine::math::Random::seed(2);
        kadrel::KadrelScene scene;
        scene.updateViewportSize(2560, 1440);
        kadrel::SimulatedClock clock(scene, FRAMES_PER_SECOND, 10'000'000.0);
        const std::int64_t frames = clock.framesFor(DAY_MS);
        state.ResumeTiming();
        for (std::int64_t f = 0; f < frames; ++f) {
            clock.step();
        }
        benchmark::DoNotOptimize(scene.matView.data());
    }
}
BENCHMARK(BM_KadrelSceneSimulateDay)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
