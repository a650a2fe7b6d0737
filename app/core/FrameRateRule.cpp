#include "app/core/FrameRateRule.h"

namespace app {

namespace {
constexpr std::int64_t kLowPowerFps = 20;
constexpr std::int64_t kBatteryCapFps = 30;
constexpr std::int64_t kFallbackFps = 30; // the "fps" key's default
} // namespace

FpsDecision decideFps(std::int64_t requested, bool watcherPresent, PowerSource current,
                      bool batteryModeSetting, bool lowPowerModeOn, bool lowPowerModeSetting) {
    // A stored 0 or negative rate (only an outside write can make one) would leave the frame
    // timer without an interval.
    if (requested < 1)
        requested = kFallbackFps;
    const bool batteryLimit =
        watcherPresent && current == PowerSource::internalBattery && batteryModeSetting;
    const bool lowPowerLimit = lowPowerModeOn && lowPowerModeSetting;

    std::int64_t fps = requested;
    if (lowPowerLimit)
        fps = kLowPowerFps;
    else if (batteryLimit && requested > kBatteryCapFps)
        fps = kBatteryCapFps;
    return {fps, batteryLimit, lowPowerLimit};
}

QString fpsDiagnosticLine(const FpsDecision& decision) {
    return QStringLiteral("updateFps %1 %2 %3")
        .arg(decision.fps)
        .arg(decision.batteryLimit ? u"true" : u"false")
        .arg(decision.lowPowerLimit ? u"true" : u"false");
}

} // namespace app
