#pragma once

#include <cstdint>

namespace renderer {

// The largest width or height the loaders accept for any texture: what GL 3.3 drivers
// commonly allow, and far beyond anything shipped. Also bounds what a corrupt header can
// make the processor allocate.
inline constexpr std::int64_t kMaxTextureSize = 16384;

} // namespace renderer
