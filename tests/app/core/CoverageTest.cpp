#include <gtest/gtest.h>

#include <random>

#include "app/core/Coverage.h"

namespace app {
namespace {

const QRect kScreen(0, 0, 1920, 1080);
// A screen with a 32-pixel panel on top: what the wallpaper shows.
const QRect kBelowPanel(0, 32, 1920, 1048);

ClientWindow fullscreen(QRect frame, std::uint32_t desktop = 0) {
    ClientWindow w;
    w.frame = frame;
    w.fullscreen = true;
    w.desktop = desktop;
    return w;
}

ClientWindow maximized(QRect frame, bool vert = true, bool horz = true) {
    ClientWindow w;
    w.frame = frame;
    w.maximizedVert = vert;
    w.maximizedHorz = horz;
    return w;
}

TEST(Coverage, AFullScreenOrFullyMaximisedWindowCoversItsScreen) {
    EXPECT_TRUE(isCovered(kScreen, {fullscreen(kScreen)}, 0));
    EXPECT_TRUE(isCovered(kBelowPanel, {maximized(kBelowPanel)}, 0));
    // A frame larger than the area (decorations pushed off screen) still covers it.
    EXPECT_TRUE(isCovered(kBelowPanel, {maximized(QRect(-4, 28, 1928, 1056))}, 0));
}

TEST(Coverage, OnlyFullScreenAndBothWaysMaximisedWindowsCount) {
    EXPECT_FALSE(isCovered(kBelowPanel, {maximized(kBelowPanel, true, false)}, 0));
    EXPECT_FALSE(isCovered(kBelowPanel, {maximized(kBelowPanel, false, true)}, 0));
    // An ordinary window dragged over the whole screen: the user may move it any moment.
    ClientWindow plain;
    plain.frame = kScreen;
    EXPECT_FALSE(isCovered(kScreen, {plain}, 0));
}

TEST(Coverage, AnyUncoveredPixelKeepsItDrawing) {
    EXPECT_FALSE(isCovered(kScreen, {fullscreen(QRect(0, 0, 1920, 1079))}, 0));
    EXPECT_FALSE(isCovered(kScreen, {fullscreen(QRect(1, 0, 1920, 1080))}, 0));
    // A window maximised on the work area leaves the panel's strip: when the wallpaper shows
    // there too, it is not covered.
    EXPECT_FALSE(isCovered(kScreen, {maximized(kBelowPanel)}, 0));
    // The other monitor's full-screen window covers nothing of this one.
    EXPECT_FALSE(isCovered(kScreen, {fullscreen(QRect(1920, 0, 1920, 1080))}, 0));
}

TEST(Coverage, HiddenWindowsAndOtherWorkspacesCoverNothing) {
    ClientWindow minimised = fullscreen(kScreen);
    minimised.hidden = true;
    EXPECT_FALSE(isCovered(kScreen, {minimised}, 0));

    const ClientWindow elsewhere = fullscreen(kScreen, 2);
    EXPECT_FALSE(isCovered(kScreen, {elsewhere}, 0));
    EXPECT_TRUE(isCovered(kScreen, {elsewhere}, 2));

    ClientWindow everywhere = fullscreen(kScreen, 2);
    everywhere.onAllDesktops = true;
    EXPECT_TRUE(isCovered(kScreen, {everywhere}, 0));
    EXPECT_TRUE(isCovered(kScreen, {everywhere}, 5));

    // One that counts among several that don't.
    EXPECT_TRUE(isCovered(
        kScreen, {minimised, elsewhere, maximized(kScreen, true, false), fullscreen(kScreen)}, 0));
}

TEST(Coverage, NothingToShowIsNeverCovered) {
    EXPECT_FALSE(isCovered(QRect(), {fullscreen(kScreen)}, 0));
    EXPECT_FALSE(isCovered(QRect(10, 10, 0, 100), {fullscreen(kScreen)}, 0));
    EXPECT_FALSE(isCovered(kScreen, {}, 0));
    // A window with an empty frame (not yet placed) covers nothing.
    EXPECT_FALSE(isCovered(kScreen, {fullscreen(QRect())}, 0));
}

// Many random arrangements on a small grid, against counting the pixels one by one.
TEST(Coverage, AgreesWithPixelByPixelCounting) {
    std::mt19937 random(11);
    const auto pick = [&random](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    const QRect area(2, 3, 12, 9);
    int covered = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<ClientWindow> windows;
        const int count = pick(1, 6);
        for (int i = 0; i < count; ++i) {
            // Mostly large windows, so that full cover happens often enough to be tested.
            windows.push_back(
                fullscreen(QRect(pick(-2, 10), pick(-2, 8), pick(0, 16), pick(0, 14))));
        }
        bool expected = true;
        for (int y = area.top(); y <= area.bottom() && expected; ++y)
            for (int x = area.left(); x <= area.right() && expected; ++x)
                expected = std::any_of(windows.begin(), windows.end(), [&](const ClientWindow& w) {
                    return w.frame.contains(x, y);
                });
        covered += expected ? 1 : 0;
        ASSERT_EQ(isCovered(area, windows, 0), expected) << "round " << round;
    }
    EXPECT_GT(covered, 100);
}

} // namespace
} // namespace app
