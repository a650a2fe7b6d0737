#pragma once

#include <cstdint>

#include <QString>

#include "app/core/PowerSource.h"

namespace app {

struct FpsDecision {
    std::int64_t fps;
    bool batteryLimit;  // on battery with the battery limit on
    bool lowPowerLimit; // power saver on with the low-power limit on
};

// The frame rate to pace at. Power saving with its setting on gives 20 whatever was asked;
// otherwise on battery with its setting on, rates above 30 are capped at 30; otherwise the
// requested rate as it is (a stored 45 stays 45). Without a power-source watcher the machine
// counts as on mains power. A requested rate below 1 cannot pace anything and gives the
// default of 30.
FpsDecision decideFps(std::int64_t requested, bool watcherPresent, PowerSource current,
                      bool batteryModeSetting, bool lowPowerModeOn, bool lowPowerModeSetting);

// The diagnostic line for standard output: "updateFps 30 false false".
QString fpsDiagnosticLine(const FpsDecision& decision);

} // namespace app
