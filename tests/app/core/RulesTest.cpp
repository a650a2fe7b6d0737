#include <gtest/gtest.h>

#include "app/core/EnableState.h"
#include "app/core/FrameRateRule.h"
#include "app/core/MenuRule.h"

namespace app {
namespace {

constexpr PowerSource kSources[] = {PowerSource::internalBattery, PowerSource::externalUnlimited,
                                    PowerSource::externalUPS};

EnableState stateWith(bool manual, bool locked) {
    EnableState s;
    if (manual)
        s.toggleManualDisable();
    s.setScreenLocked(locked);
    return s;
}

TEST(EnableState, OnExactlyWhileNeitherDisabledNorLocked) {
    for (bool manual : {false, true})
        for (bool locked : {false, true}) {
            SCOPED_TRACE(testing::Message() << "manual " << manual << " locked " << locked);
            EnableState s = stateWith(manual, locked);
            EXPECT_EQ(s.isEnabled, !manual && !locked);
            // The "deactivateOnBattery" delivery changes nothing by itself.
            s.recompute();
            EXPECT_EQ(s.isEnabled, !manual && !locked);
            s.toggleManualDisable();
            EXPECT_EQ(s.isManuallyDisabled, !manual);
            EXPECT_EQ(s.isEnabled, manual && !locked);
        }
}

TEST(EnableState, UnlockingKeepsTheUsersDisable) {
    EnableState s;
    s.toggleManualDisable();
    s.setScreenLocked(true);
    s.setScreenLocked(false);
    EXPECT_FALSE(s.isEnabled);
    s.setScreenLocked(true);
    s.toggleManualDisable(); // "Enable" while locked: still off until unlocked
    EXPECT_FALSE(s.isEnabled);
    s.setScreenLocked(false);
    EXPECT_TRUE(s.isEnabled);
}

TEST(MenuRule, ToggleItemOverEveryCombination) {
    for (bool manual : {false, true})
        for (bool locked : {false, true})
            for (bool deactivate : {false, true})
                for (bool watcher : {false, true})
                    for (PowerSource source : kSources) {
                        SCOPED_TRACE(testing::Message()
                                     << "manual " << manual << " locked " << locked << " deact "
                                     << deactivate << " watcher " << watcher << " source "
                                     << static_cast<int>(source));
                        const EnableState s = stateWith(manual, locked);
                        const bool shown = showsToggleItem(s, deactivate, watcher, source);
                        if (!locked || manual) { // running, or the user's own choice
                            EXPECT_TRUE(shown);
                        } else { // off because the screen is locked
                            const bool onMains = source != PowerSource::internalBattery;
                            EXPECT_EQ(shown, !deactivate && watcher && onMains);
                        }
                        EXPECT_STREQ(toggleItemTitle(s), manual ? "Enable" : "Disable");
                    }
}

TEST(FrameRate, SettingsAndPowerSituations) {
    const auto mains = PowerSource::externalUnlimited;
    const auto battery = PowerSource::internalBattery;
    auto fps = [](std::int64_t requested, bool watcher, PowerSource source, bool batteryMode,
                  bool lowPowerOn, bool lowPowerMode) {
        return decideFps(requested, watcher, source, batteryMode, lowPowerOn, lowPowerMode).fps;
    };
    EXPECT_EQ(fps(30, true, mains, true, false, true), 30);
    EXPECT_EQ(fps(60, true, mains, true, false, true), 60);
    EXPECT_EQ(fps(60, true, PowerSource::externalUPS, true, false, true), 60);
    // Battery caps at 30 only with its setting on, and never raises.
    EXPECT_EQ(fps(60, true, battery, true, false, true), 30);
    EXPECT_EQ(fps(45, true, battery, true, false, true), 30);
    EXPECT_EQ(fps(20, true, battery, true, false, true), 20);
    EXPECT_EQ(fps(60, true, battery, false, false, true), 60);
    // Without a watcher the battery is unknown: mains rules.
    EXPECT_EQ(fps(60, false, battery, true, false, true), 60);
    // Power saving with its setting: 20 whatever was asked, raising a lower stored rate.
    for (std::int64_t requested : {10, 20, 30, 45, 60})
        EXPECT_EQ(fps(requested, true, battery, true, true, true), 20);
    EXPECT_EQ(fps(60, true, battery, true, true, false), 30); // setting off: battery rule alone
    EXPECT_EQ(fps(45, true, mains, true, false, true), 45);   // outside values stay
    EXPECT_EQ(fps(10, true, mains, true, false, true), 10);
    // A rate that cannot pace frames falls back to the default.
    EXPECT_EQ(fps(0, true, mains, true, false, true), 30);
    EXPECT_EQ(fps(-5, true, mains, true, false, true), 30);
}

TEST(FrameRate, FlagsAndDiagnosticLine) {
    const FpsDecision calm = decideFps(30, true, PowerSource::externalUnlimited, true, false, true);
    EXPECT_EQ(fpsDiagnosticLine(calm), "updateFps 30 false false");
    // The battery flag is set on battery with the setting even when nothing had to be capped.
    const FpsDecision both = decideFps(20, true, PowerSource::internalBattery, true, true, true);
    EXPECT_EQ(fpsDiagnosticLine(both), "updateFps 20 true true");
    const FpsDecision lowOnly =
        decideFps(60, false, PowerSource::internalBattery, true, true, true);
    EXPECT_EQ(fpsDiagnosticLine(lowOnly), "updateFps 20 false true");
}

} // namespace
} // namespace app
