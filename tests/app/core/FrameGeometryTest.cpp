#include <gtest/gtest.h>

#include "app/core/FrameGeometry.h"

namespace app {
namespace {

ScreenGeometry screen(QRect geometry, int topPanel, int bottomPanel = 0) {
    return {geometry, geometry.adjusted(0, topPanel, 0, -bottomPanel)};
}

TEST(FrameGeometry, TopPanelPlaysTheMenuBar) {
    const QRect full(0, 0, 1920, 1080);
    // The window reaches 2 px into the panel's strip: shortened by (32 - 1), then 1 px taller.
    EXPECT_EQ(windowFrame(screen(full, 32), false), QRect(0, 30, 1920, 1050));
    EXPECT_EQ(frameWithoutMenuBar(screen(full, 32)), QRect(0, 31, 1920, 1049));
    EXPECT_FALSE(isMenuBarAutoHidden(screen(full, 32)));
    // Thinner than a menu bar (the sliver of an auto-hiding panel), absent, or at the bottom
    // only: the whole screen.
    for (const ScreenGeometry& s :
         {screen(full, 20), screen(full, 24), screen(full, 0), screen(full, 0, 48)}) {
        EXPECT_TRUE(isMenuBarAutoHidden(s));
        EXPECT_EQ(windowFrame(s, false), full);
    }
    EXPECT_EQ(windowFrame(screen(full, 25), false), QRect(0, 23, 1920, 1057));
    // A bottom panel besides the top one changes nothing: the bottom edge stays.
    EXPECT_EQ(windowFrame(screen(full, 32, 48), false), QRect(0, 30, 1920, 1050));
    EXPECT_EQ(windowFrame(screen(full, 32), true), full);
}

TEST(FrameGeometry, EveryScreenByItsOwnPanel) {
    const QRect second(1920, 0, 2560, 1440);
    EXPECT_EQ(windowFrame(screen(second, 32), false), QRect(1920, 30, 2560, 1410));
    EXPECT_EQ(windowFrame(screen(second, 0), false), second);
    // A screen stacked below another: nothing spills onto the monitor above.
    const QRect below(0, 1080, 1920, 1080);
    EXPECT_EQ(windowFrame(screen(below, 0), false), below);
    EXPECT_EQ(windowFrame(screen(below, 40), false), QRect(0, 1080 + 38, 1920, 1042));
}

TEST(FrameGeometry, NonsenseAvailableAreaMeansNoPanel) {
    const QRect full(0, 0, 1280, 720);
    EXPECT_EQ(windowFrame({full, QRect()}, false), full);
    EXPECT_EQ(windowFrame({full, QRect(0, 900, 1280, 10)}, false), full);
}

TEST(ChooseScreen, TargetThenPrimaryThenNothing) {
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), gone = QUuid::createUuid();
    const std::vector<QUuid> screens{a, QUuid(), b};
    EXPECT_EQ(chooseScreen(screens, Display{b}, 0), 2u);
    EXPECT_EQ(chooseScreen(screens, Display{gone}, 1), 1u); // unplugged: primary
    EXPECT_EQ(chooseScreen(screens, std::nullopt, 2), 2u);
    EXPECT_EQ(chooseScreen(screens, Display{QUuid()}, 2), 2u); // never a screen without identity
    EXPECT_EQ(chooseScreen({b, b}, Display{b}, 0), 0u);        // the first match
    EXPECT_EQ(chooseScreen(screens, std::nullopt, std::nullopt), 0u);
    EXPECT_EQ(chooseScreen(screens, std::nullopt, 7), 0u);
    EXPECT_EQ(chooseScreen({}, Display{a}, 0), std::nullopt);
}

} // namespace
} // namespace app
