#include "tools/kadrel-render/BenchReport.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>
#include <string>

#include <epoxy/gl.h>

#include "renderer/SceneRenderer.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "tools/kadrel-render/FrameLoop.h"
#include "tools/kadrel-render/FramePath.h"
#include "tools/kadrel-render/RenderSession.h"

namespace kadrel_render {

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

const char* glString(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "unknown";
}

} // namespace

double median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    const std::size_t middle = samples.size() / 2;
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(middle),
                     samples.end());
    const double upper = samples[middle];
    if (samples.size() % 2 == 1) {
        return upper;
    }
    const double lower =
        *std::max_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(middle));
    return (lower + upper) / 2.0;
}

int runBench(const RenderOptions& options, Clock::time_point programStart) {
    const Clock::time_point loadStart = Clock::now();
    RenderSession session(options);
    const double loadMs = msSince(loadStart);

    FrameLoop loop(session, options);
    const Clock::time_point prepareStart = Clock::now();
    loop.prepare();
    const double prepareMs = msSince(prepareStart);

    const Clock::time_point firstStart = Clock::now();
    loop.draw(0);
    glFinish();
    const double firstMs = msSince(firstStart);
    const double toFirstMs = msSince(programStart);

    if (options.outGiven) {
        const std::optional<std::string> path = FramePath::format(options.out, 0);
        if (!path || !saveImage(*path, loop.capture())) {
            return 1;
        }
    }

    renderer::SceneRenderer& scene = session.renderer();
    const std::size_t loadingAfterFirst = scene.stats().texturesLoading;
    std::vector<double> wall;
    std::vector<double> processCpu;
    std::vector<double> threadCpu;
    std::vector<double> glCalls;
    // Frames drawn while textures were still arriving: the slowest, and the render thread's
    // time in them and in the frames after.
    int loadingFrames = 0;
    double slowestLoading = 0.0;
    std::vector<double> threadCpuLoading;
    std::vector<double> threadCpuLoaded;
    for (int index = 1; index <= options.frames; ++index) {
        const bool loading = scene.stats().texturesLoading > 0;
        const std::uint64_t callsBefore = scene.stats().glCalls;
        const double processBefore = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        const double threadBefore = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        const Clock::time_point start = Clock::now();
        loop.draw(index);
        glFinish();
        wall.push_back(msSince(start));
        processCpu.push_back(cpuMs(CLOCK_PROCESS_CPUTIME_ID) - processBefore);
        threadCpu.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - threadBefore);
        glCalls.push_back(static_cast<double>(scene.stats().glCalls - callsBefore));
        if (loading) {
            ++loadingFrames;
            slowestLoading = std::max(slowestLoading, wall.back());
            threadCpuLoading.push_back(threadCpu.back());
        } else {
            threadCpuLoaded.push_back(threadCpu.back());
        }
    }
    const bool allArrived = scene.stats().texturesLoading == 0;
    scene.finishLoading();
    const renderer::gl::VideoMemory memory = scene.stats().videoMemory;

    const double meanWall =
        std::accumulate(wall.begin(), wall.end(), 0.0) / static_cast<double>(wall.size());
    std::printf("renderer: %s (OpenGL %s)\n", glString(GL_RENDERER), glString(GL_VERSION));
    std::printf("frame: %dx%d, %d frames measured after the first\n", options.width, options.height,
                options.frames);
    std::printf("textures: %s\n", renderer::texturePathName(renderer::texturePath()));
    std::printf("time to first frame: %.1f ms (set-up and loading %.1f ms, run up to the "
                "first frame %.1f ms, first frame %.1f ms)\n",
                toFirstMs, loadMs, prepareMs, firstMs);
    std::printf("frame time: median %.2f ms, mean %.2f ms, min %.2f ms, max %.2f ms\n",
                median(wall), meanWall, *std::min_element(wall.begin(), wall.end()),
                *std::max_element(wall.begin(), wall.end()));
    std::printf("frame CPU time: median %.2f ms (all threads), %.2f ms (render thread)\n",
                median(processCpu), median(threadCpu));
    std::printf("GL calls per frame: median %.0f, min %.0f, max %.0f\n", median(glCalls),
                *std::min_element(glCalls.begin(), glCalls.end()),
                *std::max_element(glCalls.begin(), glCalls.end()));
    if (loadingAfterFirst == 0) {
        std::printf("textures after the first frame: none left to load\n");
    } else {
        if (allArrived) {
            std::printf("textures after the first frame: %zu, arrived over the next %d frames\n",
                        loadingAfterFirst, loadingFrames);
        } else {
            std::printf("textures after the first frame: %zu, still loading after %d frames "
                        "(finished at once for the memory count)\n",
                        loadingAfterFirst, loadingFrames);
        }
        std::printf("frames while they loaded: slowest %.2f ms, render thread median %.2f ms "
                    "(%.2f ms in the frames after)\n",
                    slowestLoading, median(threadCpuLoading), median(threadCpuLoaded));
    }
    const auto mib = [](std::uint64_t bytes) { return static_cast<double>(bytes) / 1048576.0; };
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("video memory: %.1f MiB (textures %.1f, multisampled targets %.1f, bloom targets "
                "%.1f, buffers %.1f)\n",
                mib(memory.total()), mib(memory.textures), mib(memory.multisampleTargets),
                mib(memory.blurTargets), mib(memory.buffers));
    std::fflush(stdout);
    return 0;
}

} // namespace kadrel_render
