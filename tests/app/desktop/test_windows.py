"""The clock over the wallpaper and the windows of the tray menu, on a throw-away desktop:
Settings… and About open (and raise) their windows, the settings window switches tabs and
sizes to each, "Launch at login" writes the autostart entry, and closing the windows never
ends the wallpaper.

Run by ctest; by hand: KADREL_PROGRAM=build/app/kadrel \
    /usr/bin/python3 -m unittest -v tests/app/desktop/test_windows.py
KADREL_SCREENSHOTS=DIR keeps the screenshots (the README's come from here)."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop_session import DesktopSession, wait_for  # noqa: E402

PROGRAM = os.environ.get("KADREL_PROGRAM", "build/app/kadrel")
SHOTS = os.environ.get("KADREL_SCREENSHOTS")


class WindowsTest(unittest.TestCase):
    def setUp(self):
        self.session = DesktopSession(1280, 720)
        self.addCleanup(self.session.close)
        self.process = self.session.start_kadrel(
            PROGRAM, config="[General]\nclockEnabled=true\nclockFont=Oswald\nclockOpacity=0.85\n")
        self.addCleanup(self.stop)
        self.wallpaper = self.session.kadrel_window()
        wait_for(lambda: "Set scene size: 1280x720" in self.session.output(), what="the first frame")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def window_named(self, title):
        found = self.session.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title])
        return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None

    def test_the_clock_and_the_menus_windows(self):
        # For the eye (the README's picture); the clock's place and opacity in a frame are
        # measured by the GL view's own tests, where the scene can be held still.
        self.session.keep(self.session.wait_for_scene("clock.png"), SHOTS)

        service = self.session.tray_item_service()
        self.session.click(service, "Settings…")
        settings = wait_for(lambda: self.window_named("Kadrel Settings"), what="the settings window")
        _, _, width, general_height, _ = self.session.geometry(settings)
        self.assertEqual(width, 480)
        names = ["settings-general.png", "settings-scene.png", "settings-clock.png"]
        heights = []
        for index, name in enumerate(names):
            if index:
                before = self.session.geometry(settings)[3]
                self.session.run(["xdotool", "key", "--window", settings, "ctrl+Tab"])
                # Each tab is a different height: the window's change shows the switch.
                wait_for(lambda: self.session.geometry(settings)[3] != before,
                         what="the window to fit the next tab")
                time.sleep(0.3)  # the repaint, for the screenshot
            heights.append(self.session.geometry(settings)[3])
            self.session.keep(self.session.screenshot(name, settings), SHOTS)
        self.assertEqual(heights[0], general_height)
        self.assertLess(heights[2], heights[0], "the window follows the shown tab's height")

        # Opening again raises the same window rather than making a second.
        self.session.click(service, "Settings…")
        time.sleep(0.5)
        found = self.session.run(["xdotool", "search", "--onlyvisible", "--name", "^Kadrel Settings$"])
        self.assertEqual(len(found.stdout.split()), 1)

        self.session.click(service, "About")
        about = wait_for(lambda: self.window_named("About Kadrel"), what="the About window")
        self.assertEqual(self.session.geometry(about)[2], 340)
        time.sleep(0.5)
        self.session.keep(self.session.screenshot("about.png", about), SHOTS)

        # Closing both windows leaves the wallpaper running; Quit still ends it cleanly.
        for title in ("Kadrel Settings", "About Kadrel"):
            self.session.run(["wmctrl", "-c", title])
        wait_for(lambda: self.window_named("Kadrel Settings") is None
                 and self.window_named("About Kadrel") is None, what="the windows to close")
        time.sleep(0.5)
        self.assertIsNone(self.process.poll(), "closing a window ended the wallpaper")
        self.assertTrue(self.session.is_viewable(self.wallpaper))
        self.session.click(service, "Quit")
        self.assertEqual(self.process.wait(timeout=20), 0)
        self.assertEqual(self.session.errors(), "")


if __name__ == "__main__":
    unittest.main()
