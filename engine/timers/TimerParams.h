#pragma once

namespace engine::timers {

// One named timer of a scene: a phase that advances by 1 every `period` milliseconds and
// either wraps around (a repeating cycle) or stops at 1 (a one-shot ramp).
struct TimerParams {
    float timer = 0.0F;
    float period = 0.0F;
    bool rotating = true;

    TimerParams(float initialTimer, float periodMs, bool isRotating)
        : timer(initialTimer), period(periodMs), rotating(isRotating) {}

    // Moves the phase on by elapsedMs (which may be negative: a clock that went back moves
    // the phase back). The quotient is taken in double precision so that large elapsed times
    // lose nothing before being narrowed to the phase's float.
    void advance(double elapsedMs) noexcept;
};

} // namespace engine::timers
