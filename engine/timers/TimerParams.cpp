#include "engine/timers/TimerParams.h"

#include <cmath>

namespace engine::timers {

void TimerParams::advance(double elapsedMs) noexcept {
    const auto step = static_cast<float>(elapsedMs / static_cast<double>(period));
    timer += step;
    if (rotating) {
        // Truncating remainder: a phase pushed below zero stays negative (-0.25, not 0.75),
        // so a clock running backwards retraces the cycle instead of jumping across it.
        timer = std::fmod(timer, 1.0F);
    } else if (timer > 1.0F) {
        timer = 1.0F;
    }
}

} // namespace engine::timers
