#pragma once

#include <cstdint>
#include <optional>

#include <QString>

#include "app/core/Display.h"

namespace app {

// A preference: the name it is stored under (case-sensitive) and what reading gives while
// nothing (or nothing readable) is stored.
template <typename T> struct Key {
    const char* name;
    T defaultValue;
};

namespace keys {

inline constexpr Key<bool> hideMenuBarIcon{"hideMenuBarIcon", false};
// Absent until the user picks a monitor; absent means the primary screen.
inline const Key<std::optional<Display>> display{"display", std::nullopt};
inline constexpr Key<bool> deactivateOnBattery{"deactivateOnBattery", false};
inline constexpr Key<bool> showOnAllSpaces{"showOnAllSpaces", true};
inline constexpr Key<bool> bringBrowsingModeToFront{"bringBrowsingModeToFront", false};
inline constexpr Key<bool> muteAudio{"muteAudio", true};
inline constexpr Key<bool> extendTarvoBelowMenuBar{"extendTarvoBelowMenuBar", false};
// 20, 30 or 60 from the settings window; any other stored rate is used as it is.
inline constexpr Key<std::int64_t> fps{"fps", 30};
inline constexpr Key<bool> lowPowerMode{"lowPowerMode", true};
inline constexpr Key<bool> batteryMode{"batteryMode", true};
inline constexpr Key<bool> sceneVignette{"sceneVignette", true};
// The camera's period: larger is slower. 0.5 to 3.0 from the settings window.
inline constexpr Key<float> sceneSpeed{"sceneSpeed", 1.5f};
inline const Key<QString> clockFont{"clockFont", QStringLiteral("Baloo")};
inline const Key<QString> clockFormat{"clockFormat", QStringLiteral("h:mm")};
inline constexpr Key<bool> clockEnabled{"clockEnabled", false};
inline constexpr Key<double> clockOpacity{"clockOpacity", 0.7};
inline constexpr Key<float> clockSize{"clockSize", 220.0f};
inline constexpr Key<bool> pauseWhenCovered{"pauseWhenCovered", true};

} // namespace keys
} // namespace app
