#pragma once

#include "tools/bake/Geometry.h"

namespace bake {

// Linear reflectance of the concrete at a point of a patch: the finish decides the pattern
// (board marks, panel joints, tie holes, trowel mottling); everything is a function of the
// world position, so neighbouring charts agree along their shared edges.
V3 concreteAlbedo(Finish finish, V3 position, V3 normal);

// Smooth 3D value noise in [0, 1] and its fractal sum, exposed for the sky and for tests.
float valueNoise(V3 p, std::uint32_t seed);
float fractalNoise(V3 p, int octaves, std::uint32_t seed);

} // namespace bake
