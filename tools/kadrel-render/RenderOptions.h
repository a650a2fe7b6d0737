#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/kadrel-render/CameraPlacement.h"

namespace kadrel_render {

// What one run of kadrel-render is asked to do, after checking.
struct RenderOptions {
    enum class Mode {
        Frames,       // one frame or a sequence, one PNG per frame
        ContactSheet, // every path of both rooms at start, middle and end, in one PNG
        Bench,        // figures on standard output, no file unless --out is given
        Help,
    };

    Mode mode = Mode::Frames;

    // Frame size; for a contact sheet, the size of one cell.
    int width = 1920;
    int height = 1080;
    bool sizeGiven = false;

    // Scene time of the first frame in milliseconds, counted from the scene's first frame.
    double timeMs = 5000.0;
    // Frames rendered (Bench: frames measured after the first).
    int frames = 1;
    bool framesGiven = false;
    // Rate of the scene clock: a sequence's frames are 1000 / fps ms apart, and the scene is
    // stepped at this rate up to the first frame.
    double fps = 30.0;

    // A file name, or a pattern with one %d (%04d, ...) numbered from 0 for sequences.
    std::string out;
    bool outGiven = false;

    // Empty: the default folder (beside the program, or installed).
    std::string resources;

    std::optional<CameraPlacement> placement;

    bool vignette = true;
    float cameraPeriod = 1.0F;
    bool lowQuality = false;
    bool blurred = false;
    bool sepia = false;

    bool astcDecode = false;
    std::uint64_t seed = 1;
};

// Either the options, or why the command line was refused (one line, no usage text).
struct ParseResult {
    std::optional<RenderOptions> options;
    std::string error;
};

// Reads the arguments after the program name. Every option takes "--name value" or
// "--name=value"; numbers must be whole and in range.
ParseResult parseOptions(std::span<const std::string_view> arguments);

// The --help text.
std::string usage(std::string_view program);

} // namespace kadrel_render
