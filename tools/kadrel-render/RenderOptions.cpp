#include "tools/kadrel-render/RenderOptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/commands/RenderPassCommand.h"
#include "renderer/blur/BlurImageSize.h"
#include "scene/kadrel/CameraTable.h"
#include "scene/kadrel/KadrelSettings.h"
#include "tools/kadrel-render/FramePath.h"

namespace kadrel_render {

namespace {

// Large enough for any screen and poster; beyond it the framebuffer would not be made.
constexpr int MAX_SIZE = 16384;
// A day of scene time: reaching it steps the scene about 2.6 million times at 30 fps.
constexpr double MAX_TIME_MS = 86'400'000.0;
constexpr int MAX_FRAMES = 100'000;
constexpr double MAX_FPS = 240.0;

constexpr int CONTACT_CELL_WIDTH = 384;
constexpr int CONTACT_CELL_HEIGHT = 216;
constexpr int BENCH_FRAMES = 100;

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// 0.1 rather than std::to_string's "0.100000".
template <class T> std::string shortNumber(T value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The options that take a value; every other option is a switch.
constexpr std::array<std::string_view, 11> VALUE_OPTIONS{
    "--size", "--time", "--frames",   "--fps",           "--out", "--resources",
    "--room", "--path", "--progress", "--camera-period", "--seed"};

bool takesValue(std::string_view name) {
    return std::find(VALUE_OPTIONS.begin(), VALUE_OPTIONS.end(), name) != VALUE_OPTIONS.end();
}

template <class T> std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    return value;
}

// "1280x720" → (1280, 720).
std::optional<std::pair<int, int>> parseSize(std::string_view text) {
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> width = parseNumber<int>(text.substr(0, cross));
    const std::optional<int> height = parseNumber<int>(text.substr(cross + 1));
    if (!width || !height) {
        return std::nullopt;
    }
    return std::pair{*width, *height};
}

std::int32_t largestBlurShortSide(const std::vector<engine::commands::CommandPtr>& commands) {
    std::int32_t largest = 0;
    for (const engine::commands::CommandPtr& command : commands) {
        if (const auto* pass =
                dynamic_cast<const engine::commands::BlurredPassCommand*>(command.get())) {
            largest = std::max(largest, pass->minSize);
        }
        if (const auto* group = command ? command->asGroup() : nullptr) {
            largest = std::max(largest, largestBlurShortSide(group->commands));
        }
    }
    return largest;
}

// The short side of the wallpaper's largest blurred image, whichever passes a run switches
// on: the long side grows with the frame's aspect.
std::int32_t largestBlurShortSide() {
    static const std::int32_t largest = [] {
        const kadrel::KadrelScene scene;
        return largestBlurShortSide(scene.commands);
    }();
    return largest;
}

// Why the renderer could not make the blurred images of a frame of this size, if it could
// not: they are derived from the aspect and may exceed the largest texture.
std::optional<std::string> blurredImagesProblem(int width, int height) {
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const renderer::BlurImageSize blur = renderer::blurImageSize(aspect, largestBlurShortSide());
    if (blur.width <= MAX_SIZE && blur.height <= MAX_SIZE) {
        return std::nullopt;
    }
    return std::string(width > height ? "wide" : "tall") + " for the blurred passes, whose " +
           "images would be " + std::to_string(blur.width) + "x" + std::to_string(blur.height) +
           " (at most " + std::to_string(MAX_SIZE) + " a side)";
}

struct Parser {
    RenderOptions options;
    std::string error;
    bool placementGiven = false;
    CameraPlacement placement;

    bool fail(std::string message) {
        if (error.empty()) {
            error = std::move(message);
        }
        return false;
    }

    template <class T>
    bool number(std::string_view name, std::string_view value, T low, T high, T& into) {
        const std::optional<T> parsed = parseNumber<T>(value);
        if (!parsed || *parsed < low || *parsed > high) {
            std::string range;
            if constexpr (std::is_floating_point_v<T>) {
                range = "a number from " + shortNumber(low) + " to " + shortNumber(high);
            } else {
                range =
                    "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
            }
            return fail(std::string(name) + " wants " + range + ", not " + quoted(value));
        }
        into = *parsed;
        return true;
    }

    // One option with its value (empty for switches). Returns false on an error.
    bool apply(std::string_view name, std::string_view value) {
        if (name == "--size") {
            const auto size = parseSize(value);
            if (!size || size->first < 1 || size->second < 1 || size->first > MAX_SIZE ||
                size->second > MAX_SIZE) {
                return fail("--size wants WIDTHxHEIGHT, each from 1 to " +
                            std::to_string(MAX_SIZE) + ", not " + quoted(value));
            }
            if (const auto problem = blurredImagesProblem(size->first, size->second)) {
                return fail("--size " + quoted(value) + " is too " + *problem);
            }
            options.width = size->first;
            options.height = size->second;
            options.sizeGiven = true;
            return true;
        }
        if (name == "--time") {
            return number(name, value, 0.0, MAX_TIME_MS, options.timeMs);
        }
        if (name == "--frames") {
            options.framesGiven = true;
            return number(name, value, 1, MAX_FRAMES, options.frames);
        }
        if (name == "--fps") {
            return number(name, value, 1.0, MAX_FPS, options.fps);
        }
        if (name == "--out") {
            if (FramePath::classify(value) == FramePath::Kind::Invalid) {
                return fail("--out wants a file name with at most one %d or %0Nd, not " +
                            quoted(value));
            }
            options.out = std::string(value);
            options.outGiven = true;
            return true;
        }
        if (name == "--resources") {
            if (value.empty()) {
                return fail("--resources wants a folder");
            }
            options.resources = std::string(value);
            return true;
        }
        if (name == "--room") {
            placementGiven = true;
            return number(name, value, 1, static_cast<int>(kadrel::ROOM_COUNT), placement.room);
        }
        if (name == "--path") {
            placementGiven = true;
            // The room may come later on the line: finish() checks the path against it.
            const int mostPaths = static_cast<int>(std::max(pathCount(1), pathCount(2)));
            return number(name, value, 0, mostPaths - 1, placement.path);
        }
        if (name == "--progress") {
            placementGiven = true;
            return number(name, value, 0.0, 1.0, placement.progress);
        }
        if (name == "--camera-period") {
            return number(name, value, kadrel::MIN_CAMERA_PERIOD, kadrel::MAX_CAMERA_PERIOD,
                          options.cameraPeriod);
        }
        if (name == "--seed") {
            return number(name, value, std::uint64_t{0}, std::numeric_limits<std::uint64_t>::max(),
                          options.seed);
        }
        return fail("unknown option " + quoted(name));
    }

    // Switches take no value; returns false for a name that is not one.
    bool applySwitch(std::string_view name) {
        if (name == "--reverse") {
            placementGiven = true;
            placement.reverse = true;
        } else if (name == "--no-vignette") {
            options.vignette = false;
        } else if (name == "--low-quality") {
            options.lowQuality = true;
        } else if (name == "--blurred") {
            options.blurred = true;
        } else if (name == "--sepia") {
            options.sepia = true;
        } else if (name == "--astc-decode") {
            options.astcDecode = true;
        } else if (name == "--contact-sheet") {
            setMode(RenderOptions::Mode::ContactSheet);
        } else if (name == "--bench") {
            setMode(RenderOptions::Mode::Bench);
        } else if (name == "--help" || name == "-h") {
            options.mode = RenderOptions::Mode::Help;
        } else {
            return false;
        }
        return true;
    }

    void setMode(RenderOptions::Mode mode) {
        if (options.mode == RenderOptions::Mode::Help) {
            return;
        }
        if (options.mode != RenderOptions::Mode::Frames && options.mode != mode) {
            fail("--contact-sheet and --bench cannot be combined");
            return;
        }
        options.mode = mode;
    }

    // Rules between options, once all are read.
    bool finish() {
        using Mode = RenderOptions::Mode;
        if (placementGiven) {
            const std::size_t paths = pathCount(placement.room);
            if (static_cast<std::size_t>(placement.path) >= paths) {
                return fail("--path wants 0 to " + std::to_string(paths - 1) + " in room " +
                            std::to_string(placement.room) + ", not " +
                            std::to_string(placement.path));
            }
            options.placement = placement;
        }
        switch (options.mode) {
        case Mode::Help:
            return true;
        case Mode::ContactSheet:
            if (placementGiven) {
                return fail("--contact-sheet shows every path itself: leave out --room, "
                            "--path, --progress and --reverse");
            }
            if (options.framesGiven) {
                return fail("--contact-sheet makes one picture: leave out --frames");
            }
            if (!options.sizeGiven) {
                options.width = CONTACT_CELL_WIDTH;
                options.height = CONTACT_CELL_HEIGHT;
            }
            if (!options.outGiven) {
                options.out = "contact-sheet.png";
            }
            break;
        case Mode::Bench:
            if (!options.framesGiven) {
                options.frames = BENCH_FRAMES;
            }
            break;
        case Mode::Frames:
            if (!options.outGiven) {
                options.out = options.frames > 1 ? "kadrel-%04d.png" : "kadrel.png";
            } else if (options.frames > 1 &&
                       FramePath::classify(options.out) != FramePath::Kind::Numbered) {
                return fail("--frames " + std::to_string(options.frames) +
                            " needs --out with a %d (or %04d) for the frame number");
            }
            break;
        }
        return true;
    }
};

} // namespace

ParseResult parseOptions(std::span<const std::string_view> arguments) {
    Parser parser;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!argument.starts_with("-")) {
            parser.fail("unexpected argument " + quoted(argument));
            break;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        if (!takesValue(name)) {
            if (equals != std::string_view::npos) {
                // A switch given a value is a mistake worth reporting, not a value to drop.
                Parser probe;
                parser.fail(probe.applySwitch(name) ? std::string(name) + " takes no value"
                                                    : "unknown option " + quoted(name));
                break;
            }
            if (!parser.applySwitch(name)) {
                parser.fail("unknown option " + quoted(name));
                break;
            }
            continue;
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            parser.fail(std::string(name) + " needs a value");
            break;
        }
        if (!parser.apply(name, value)) {
            break;
        }
    }
    if (parser.error.empty()) {
        parser.finish();
    }
    ParseResult result;
    if (parser.error.empty()) {
        result.options = std::move(parser.options);
    } else {
        result.error = std::move(parser.error);
    }
    return result;
}

std::string usage(std::string_view program) {
    std::string text = "Usage: " + std::string(program) + " [options]\n";
    text += R"(
Renders the Kadrel wallpaper without a window, into PNG files. With no options it
renders one 1920x1080 frame, 5 seconds into the scene, to kadrel.png, from the
resources folder that ships beside the program.

Frames:
  --size WxH            frame size in pixels (default 1920x1080); frames wider or
                        taller than about 80:1 are refused, as their blurred
                        images would outgrow the largest texture
  --time MS             scene time of the first frame in milliseconds (default 5000)
  --frames N            render N frames (default 1)
  --fps F               frame rate of the scene clock (default 30): frames are
                        1000/F ms apart, and the scene runs at this rate up to --time
  --out PATH            output file; for several frames a pattern with %d or %04d,
                        numbered from 0 (default kadrel.png, kadrel-%04d.png)
  --resources DIR       resources folder (default: "resources" beside the program,
                        or the installed one; $KADREL_RESOURCES overrides both)

Camera (any of these puts the camera on one path and keeps it there):
  --room 1|2            room (default 2)
  --path N              path of the room, 0-3 in room 1, 0-8 in room 2 (default 0)
  --progress P          point along the path, 0 to 1, before easing (default 0)
  --reverse             travel the path from its end towards its start

Scene settings:
  --no-vignette         leave out the vignette
  --camera-period X     slow the camera down (X > 1) or speed it up (X < 1),
                        0.1 to 10 (default 1)
  --low-quality         smaller bloom kernel, coarser shading of the room
  --blurred             the full-frame blurred picture instead of bloom
  --sepia               warm background colour
  --seed N              seed of the scene's random camera cuts (default 1)

Other modes:
  --contact-sheet       every path of both rooms at its start, middle and end in one
                        labelled PNG (default contact-sheet.png); --size is the size
                        of one picture (default 384x216)
  --bench               print the time to the first frame and, over --frames frames
                        (default 100), the median time, CPU time and GL calls of a
                        frame, the cost of the frames while the textures the first
                        frame did not need arrive, the peak memory and the video
                        memory account; writes the first frame only if --out is given
  --astc-decode         decode ASTC textures on the CPU instead of uploading them
                        compressed (also: KADREL_ASTC_DECODE=1)
  -h, --help            show this text

A missing resources folder or file stops the program with the renderer's message and
exit status 1; a bad option, with this text and exit status 2.
)";
    return text;
}

} // namespace kadrel_render
