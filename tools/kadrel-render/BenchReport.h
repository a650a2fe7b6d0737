#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "tools/kadrel-render/RenderOptions.h"

namespace kadrel_render {

// Median of a list of samples (the mean of the middle two for an even count); 0 for none.
double median(std::vector<double> samples);

// Renders the first frame and --frames more, waiting for the GPU after each, and prints:
// the time from `programStart` to the first finished frame (with its parts: context and
// loading, the run up to --time, the frame itself), then per frame the median and mean
// wall time, the median CPU time of the whole process (on a CPU renderer this includes its
// rasterising threads) and of the render thread alone, and the GL calls the renderer made;
// how many frames the textures the first frame did not need took to arrive and what those
// frames cost; the process's peak resident memory; and, with every texture loaded, the
// renderer's video memory account. Returns the program's exit status.
int runBench(const RenderOptions& options, std::chrono::steady_clock::time_point programStart);

} // namespace kadrel_render
