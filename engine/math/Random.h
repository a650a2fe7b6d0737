#pragma once

#include <cstdint>

namespace engine::math {

// The process-wide pseudo-random generator behind MathUtils::nextRandom and every random
// draw of the scenes. Seeded unpredictably on first use; seed() makes a run reproducible
// (tests, simulations). Main thread only, like the rest of the engine.
class Random {
  public:
    Random() = delete;

    static void seed(std::uint64_t value);
    // Re-seeds from the operating system's entropy source.
    static void seedUnpredictably();
    // Uniform in [0, 1).
    static float nextFloat();
    // Uniform in [0, 1), double precision.
    static double nextDouble();
};

} // namespace engine::math
