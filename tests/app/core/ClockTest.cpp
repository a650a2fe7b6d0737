// The clock's text and face: ICU patterns in a given locale and zone, and what each stored
// font name is drawn in.
#include <gtest/gtest.h>

#include "app/core/ClockFace.h"
#include "app/core/ClockText.h"

namespace app {
namespace {

// 2026-03-14 21:27:05 and 06:27:00 UTC, in milliseconds since the epoch.
constexpr double EVENING = 1773523625000.0;
constexpr double MORNING = 1773469620000.0;

TEST(ClockText, TheSettingsPatternsAndAUsersOwn) {
    ClockText clock("en_US", "UTC");
    EXPECT_EQ(clock.format("h:mm", EVENING), "9:27");
    EXPECT_EQ(clock.format("hh:mm", EVENING), "09:27");
    EXPECT_EQ(clock.format("H:mm", EVENING), "21:27");
    EXPECT_EQ(clock.format("HH:mm", EVENING), "21:27");
    EXPECT_EQ(clock.format("H:mm", MORNING), "6:27");
    EXPECT_EQ(clock.format("hh:mm", MORNING), "06:27");
    // A pattern written from outside is used as it stands: seconds, AM/PM, quoted text.
    EXPECT_EQ(clock.format("HH:mm:ss", EVENING), "21:27:05");
    EXPECT_EQ(clock.format("h:mm a", EVENING), "9:27 PM");
    EXPECT_EQ(clock.format("'at' H", EVENING), "at 21");
    EXPECT_EQ(clock.format("", EVENING), "");
    // Going back to an earlier pattern re-applies it (the formatter keeps only the last).
    EXPECT_EQ(clock.format("h:mm", EVENING), "9:27");
}

TEST(ClockText, FollowsTheZoneAndTheLocale) {
    ClockText berlin("de_DE", "Europe/Berlin");
    EXPECT_EQ(berlin.format("HH:mm", EVENING), "22:27"); // UTC+1 in March
    EXPECT_EQ(berlin.format("EEEE", EVENING), "Samstag");
    ClockText newYork("en_US", "America/New_York");
    EXPECT_EQ(newYork.format("h:mm", EVENING), "5:27"); // daylight time from 8 March
    // An unknown zone is ICU's "Etc/Unknown", which keeps UTC: the clock still shows a time.
    ClockText nowhere("en_US", "Not/AZone");
    EXPECT_EQ(nowhere.format("HH:mm", EVENING), "21:27");
}

TEST(ClockFace, EveryOfferedNameHasAFaceAndOthersFallBack) {
    const struct {
        const char* name;
        const char* family;
    } offered[] = {
        {"Abril Fatface", "Abril Fatface"},
        {"Baloo", "Baloo 2"},
        {"Black Ops One", "Black Ops One"},
        {"CarbonType", "DejaVu Sans Mono"},
        {"Limelight", "Limelight"},
        {"Major Snafu", "Black Ops One"},
        {"Nyamomobile", "Baloo 2"},
        {"Oswald", "Oswald"},
        {"Virgo 01", "Oswald"},
        {"Yukarimobile", "Baloo 2"},
    };
    for (const auto& face : offered) {
        const ClockFace got = clockFaceFor(QString::fromLatin1(face.name));
        EXPECT_EQ(got.family, QString::fromLatin1(face.family)) << face.name;
        EXPECT_TRUE(got.known) << face.name;
    }
    // The names are matched exactly, as they are stored.
    for (const char* other : {"Comic Sans", "", "baloo", "Virgo", "Carbon"}) {
        const ClockFace got = clockFaceFor(QString::fromLatin1(other));
        EXPECT_EQ(got.family, fallbackClockFamily()) << other;
        EXPECT_FALSE(got.known) << other;
    }
}

} // namespace
} // namespace app
