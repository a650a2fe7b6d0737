// kadrel-render: renders the wallpaper without a window, into PNG files. See --help.

#include <chrono>
#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include "engine/math/Random.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "tools/kadrel-render/BenchReport.h"
#include "tools/kadrel-render/FrameLoop.h"
#include "tools/kadrel-render/RenderOptions.h"

int main(int argc, char** argv) {
    using namespace kadrel_render;
    const auto programStart = std::chrono::steady_clock::now();
    constexpr std::string_view PROGRAM = "kadrel-render";

    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParseResult parsed = parseOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "%s: %s\n\n%s", PROGRAM.data(), parsed.error.c_str(),
                     usage(PROGRAM).c_str());
        return 2;
    }
    const RenderOptions& options = *parsed.options;
    if (options.mode == RenderOptions::Mode::Help) {
        std::fputs(usage(PROGRAM).c_str(), stdout);
        return 0;
    }

    renderer::setAstcDecodeForced(options.astcDecode);
    engine::math::Random::seed(options.seed);
    try {
        switch (options.mode) {
        case RenderOptions::Mode::ContactSheet:
            return renderContactSheet(options);
        case RenderOptions::Mode::Bench:
            return runBench(options, programStart);
        case RenderOptions::Mode::Frames:
        case RenderOptions::Mode::Help:
            break;
        }
        return renderFrames(options);
    } catch (const std::exception& error) {
        // The engine reports broken scene state by throwing; say what it was.
        std::fprintf(stderr, "%s: %s\n", PROGRAM.data(), error.what());
        return 1;
    }
}
