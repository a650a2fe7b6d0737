#pragma once

#include <string>

#include "renderer/headless/Image.h"
#include "tools/kadrel-render/RenderOptions.h"
#include "tools/kadrel-render/RenderSession.h"

namespace kadrel_render {

// The scene clock of one run. Frame k of the clock is at CLOCK_START_MS + k * 1000 / fps;
// the first rendered frame is the clock's frame nearest to --time, and a sequence takes the
// frames after it. Computing each time from its number keeps long runs from drifting.
class FrameLoop {
  public:
    // The clock starts here rather than at 0: the engine reads a time of 0 as "no frame yet".
    static constexpr double CLOCK_START_MS = 1000.0;

    FrameLoop(RenderSession& session, const RenderOptions& options);

    // Brings the scene to the first frame: runs it at the frame rate up to --time, the way a
    // host would have, so that its cuts between cameras and rooms happen as they would; or,
    // with a camera placement, puts the camera there (the run up to --time is then moot).
    void prepare();

    // Scene time of rendered frame `index` (0 is the first).
    double frameTime(int index) const;
    // Draws rendered frame `index` into the surface.
    void draw(int index);
    // The surface's pixels, rows from the top.
    renderer::Image capture();

  private:
    RenderSession& session_;
    const RenderOptions& options_;
    double frameMs_;
    long long firstFrame_;
};

// Writes an image, creating missing parent folders; on failure prints the reason to
// standard error and returns false.
bool saveImage(const std::string& path, const renderer::Image& image);

// The two ways kadrel-render writes pictures. Both return the program's exit status.
int renderFrames(const RenderOptions& options);
int renderContactSheet(const RenderOptions& options);

} // namespace kadrel_render
