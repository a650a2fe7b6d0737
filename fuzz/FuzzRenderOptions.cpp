// libFuzzer target: kadrel-render's command line.
//
// Input: the arguments, separated by NUL bytes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/blur/BlurImageSize.h"
#include "tools/kadrel-render/CameraPlacement.h"
#include "tools/kadrel-render/FramePath.h"
#include "tools/kadrel-render/RenderOptions.h"

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

constexpr int MAX_SIZE = 16384;
// The short side of the wallpaper's largest blurred pass.
constexpr std::int32_t BLUR_SHORT_SIDE = 200;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kadrel_render;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> arguments;
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        arguments.push_back(input.substr(start, end - start));
        start = end + 1;
    }

    const ParseResult result = parseOptions(arguments);
    // Either options or a reason, never both or neither.
    require(result.options.has_value() == result.error.empty());
    if (!result.options) {
        return 0;
    }
    const RenderOptions& o = *result.options;
    if (o.mode == RenderOptions::Mode::Help) {
        return 0;
    }
    // Whatever is accepted is something the renderer can make: a frame and blurred images
    // within GL's sizes, a clock that advances, a file name for every frame.
    require(o.width >= 1 && o.width <= MAX_SIZE && o.height >= 1 && o.height <= MAX_SIZE);
    const renderer::BlurImageSize blur = renderer::blurImageSize(
        static_cast<float>(o.width) / static_cast<float>(o.height), BLUR_SHORT_SIDE);
    require(blur.width <= MAX_SIZE && blur.height <= MAX_SIZE);
    require(std::isfinite(o.timeMs) && o.timeMs >= 0.0);
    require(std::isfinite(o.fps) && o.fps >= 1.0);
    require(o.frames >= 1);
    require(o.cameraPeriod > 0.0F);
    if (o.placement) {
        require(static_cast<std::size_t>(o.placement->path) < pathCount(o.placement->room));
        require(o.placement->progress >= 0.0 && o.placement->progress <= 1.0);
    }
    // A benchmark writes no picture unless --out names one.
    const bool writes = o.mode != RenderOptions::Mode::Bench || o.outGiven;
    require(!writes || FramePath::format(o.out, 0).has_value());
    if (o.mode == RenderOptions::Mode::Frames && o.frames > 1) {
        require(FramePath::classify(o.out) == FramePath::Kind::Numbered);
        require(FramePath::format(o.out, 0) != FramePath::format(o.out, o.frames - 1));
    }
    return 0;
}
