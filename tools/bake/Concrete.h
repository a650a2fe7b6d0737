#pragma once

#include "tools/bake/Geometry.h"

namespace bake {

// Linear reflectance of the concrete at a point of a patch: the finish decides the pattern
// (board marks, panel joints, tie holes, trowel mottling); everything is a function of the
// world position, so neighbouring charts agree along their shared edges.
V3 concreteAlbedo(Finish finish, V3 position, V3 normal);

} // namespace bake
