#include "engine/math/Random.h"

#include <random>

namespace engine::math {

namespace {

std::mt19937_64 generator;
bool seeded = false;

std::mt19937_64& seededGenerator() {
    if (!seeded) [[unlikely]] {
        Random::seedUnpredictably();
    }
    return generator;
}

} // namespace

void Random::seed(std::uint64_t value) {
    generator.seed(value);
    seeded = true;
}

void Random::seedUnpredictably() {
    std::random_device device;
    const std::uint64_t high = device();
    const std::uint64_t low = device();
    seed(high << 32U | low);
}

// Both take the top bits of one 64-bit draw and scale them by an exact power of two, so
// every value is a multiple of 2^-24 (2^-53) below 1: the result can never round up to 1.0,
// which a plain conversion of a wider value could.
float Random::nextFloat() {
    const std::uint64_t bits = seededGenerator()() >> 40U;
    return static_cast<float>(bits) * 0x1.0p-24F;
}

double Random::nextDouble() {
    const std::uint64_t bits = seededGenerator()() >> 11U;
    return static_cast<double>(bits) * 0x1.0p-53;
}

} // namespace engine::math
