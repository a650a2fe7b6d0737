#pragma once

#include <cstdint>

#include "engine/Scene.h"

namespace kadrel {

// Drives a scene with a clock of its own instead of the host's, at a fixed frame rate, the
// way the host's frame loop would: one updateTimers per frame with the frame's time in
// milliseconds. Used to run a scene headless (tests, benchmarks, offline frames).
//
// Frame times are computed from the frame number rather than accumulated, so a long run
// does not drift.
class SimulatedClock {
  public:
    // startMs stands for the monotonic clock's reading at the first frame; a real one is far
    // from zero, and the engine treats a time of exactly 0 as "no previous frame".
    SimulatedClock(engine::Scene& scene, double framesPerSecond, double startMs)
        : scene_(scene), frameMs_(1000.0 / framesPerSecond), startMs_(startMs) {}

    // Runs the next frame.
    void step() { scene_.updateTimers(timeOfFrame(frame_++)); }

    // Time of the frame that step() runs next.
    double now() const noexcept { return timeOfFrame(frame_); }
    std::int64_t framesRun() const noexcept { return frame_; }
    double frameMs() const noexcept { return frameMs_; }
    // Number of frames that cover the given scene time.
    std::int64_t framesFor(double durationMs) const noexcept {
        return static_cast<std::int64_t>(durationMs / frameMs_ + 0.5);
    }

  private:
    double timeOfFrame(std::int64_t frame) const noexcept {
        return startMs_ + static_cast<double>(frame) * frameMs_;
    }

    engine::Scene& scene_;
    double frameMs_;
    double startMs_;
    std::int64_t frame_ = 0;
};

} // namespace kadrel
