// Cost of a wallpaper frame on the GL back end: the command walk and GL submission alone,
// and the whole frame including rasterisation (on llvmpipe the processor does that too).
// The scene is the real wallpaper scene over stand-in files: a box room, solid textures.
//
//   EGL_PLATFORM=surfaceless renderer_bench

#include <benchmark/benchmark.h>

#include <memory>

#include "renderer/KadrelRenderer.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/renderer/RenderTestSupport.h"

namespace {

struct Wallpaper {
    Wallpaper(int width, int height) : surface(width, height) {
        rendertest::writeWallpaperStandIns(resources);
        scene = std::make_shared<kadrel::KadrelScene>();
        renderer = std::make_unique<renderer::KadrelRenderer>(surface, scene, "kadrel",
                                                              resources.locator());
        for (int i = 0; i < 3; ++i) { // make every pass, quad and pipeline
            renderer->drawFrame(time());
        }
        glFinish();
    }
    double time() { return (frame++) * 1000.0 / 60.0; }

    rendertest::TestResources resources;
    renderer::HeadlessSurface surface;
    std::shared_ptr<kadrel::KadrelScene> scene;
    std::unique_ptr<renderer::KadrelRenderer> renderer;
    int frame = 0;
};

void reportCalls(benchmark::State& state, const Wallpaper& w, std::uint64_t callsBefore) {
    state.counters["glCallsPerFrame"] =
        static_cast<double>(w.renderer->stats().glCalls - callsBefore) /
        static_cast<double>(state.iterations());
}

// The renderer's own work per frame: scene step, command walk, GL calls issued.
void BM_FrameSubmit(benchmark::State& state) {
    Wallpaper w(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const std::uint64_t calls = w.renderer->stats().glCalls;
    for (auto _ : state) {
        w.renderer->drawFrame(w.time());
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
    reportCalls(state, w, calls);
}

// The same with the frame finished: what a frame costs on a software rasteriser.
void BM_FrameComplete(benchmark::State& state) {
    Wallpaper w(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const std::uint64_t calls = w.renderer->stats().glCalls;
    for (auto _ : state) {
        w.renderer->drawFrame(w.time());
        glFinish();
    }
    reportCalls(state, w, calls);
}

BENCHMARK(BM_FrameSubmit)->Args({640, 360})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameComplete)->Args({640, 360})->Args({320, 180})->Unit(benchmark::kMillisecond);

} // namespace
