#include "tools/kadrel-render/FrameLoop.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "renderer/headless/PngWriter.h"
#include "scene/SimulatedClock.h"
#include "tools/kadrel-render/ContactSheet.h"
#include "tools/kadrel-render/FramePath.h"

namespace kadrel_render {

FrameLoop::FrameLoop(RenderSession& session, const RenderOptions& options)
    : session_(session), options_(options), frameMs_(1000.0 / options.fps),
      firstFrame_(std::llround(options.timeMs / frameMs_)) {}

void FrameLoop::prepare() {
    if (options_.placement) {
        placeCamera(session_.scene(), *options_.placement, frameTime(0));
        return;
    }
    kadrel::SimulatedClock clock(session_.scene(), options_.fps, CLOCK_START_MS);
    for (long long frame = 0; frame < firstFrame_; ++frame) {
        clock.step();
    }
}

double FrameLoop::frameTime(int index) const {
    return CLOCK_START_MS + static_cast<double>(firstFrame_ + index) * frameMs_;
}

void FrameLoop::draw(int index) {
    session_.renderer().drawFrame(frameTime(index));
}

renderer::Image FrameLoop::capture() {
    return session_.surface().readPixels();
}

bool saveImage(const std::string& path, const renderer::Image& image) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code ignored; // writePng reports a folder that could not be made
        std::filesystem::create_directories(parent, ignored);
    }
    if (const renderer::Result<void> written = renderer::writePng(path, image); !written) {
        std::fprintf(stderr, "%s\n", written.error().message.c_str());
        return false;
    }
    std::printf("Wrote %s\n", path.c_str());
    std::fflush(stdout);
    return true;
}

int renderFrames(const RenderOptions& options) {
    RenderSession session(options);
    FrameLoop loop(session, options);
    loop.prepare();
    for (int index = 0; index < options.frames; ++index) {
        loop.draw(index);
        const std::optional<std::string> path = FramePath::format(options.out, index);
        if (!path || !saveImage(*path, loop.capture())) {
            return 1;
        }
    }
    return 0;
}

int renderContactSheet(const RenderOptions& options) {
    RenderSession session(options);
    FrameLoop loop(session, options);
    const std::vector<ContactShot> shots = contactSheetShots();
    int rows = 0;
    for (const ContactShot& shot : shots) {
        rows = std::max(rows, shot.row + 1);
    }
    ContactSheet sheet(options.width, options.height, ContactSheet::COLUMNS, rows);
    for (std::size_t index = 0; index < shots.size(); ++index) {
        const int frame = static_cast<int>(index);
        placeCamera(session.scene(), shots[index].placement, loop.frameTime(frame));
        loop.draw(frame);
        sheet.place(shots[index].column, shots[index].row, loop.capture(), shots[index].label);
    }
    const std::optional<std::string> path = FramePath::format(options.out, 0);
    return path && saveImage(*path, sheet.image()) ? 0 : 1;
}

} // namespace kadrel_render
