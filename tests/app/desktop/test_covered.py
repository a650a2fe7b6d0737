"""The wallpaper stops drawing while full-screen or maximised windows hide all of it, and
draws again as soon as any of it shows: the real kadrel on a throw-away desktop (Xvfb,
openbox, a private session bus), with ordinary X clients put in each state by wmctrl and
xdotool as a user's window manager would.

"Drawing" and "paused" are read from /proc: a drawing wallpaper spends CPU on every frame
(Mesa's llvmpipe renders on the CPU), a paused one neither spends CPU nor wakes up.

Run by ctest; by hand: KADREL_PROGRAM=build/app/kadrel /usr/bin/python3 -m unittest -v tests/app/desktop/test_covered.py"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop_session import DesktopSession, open_client, two_monitor_session, usage, wait_for  # noqa: E402

PROGRAM = os.environ.get("KADREL_PROGRAM", "build/app/kadrel")

# Over a measuring window: a drawing wallpaper at 30 frames a second spends far more than
# DRAWING_CPU seconds a second; a paused one spends next to nothing and wakes up rarely.
DRAWING_CPU = 0.05
PAUSED_CPU = 0.02
PAUSED_WAKEUPS = 3.0


class Covering:
    """Helpers for a test case with self.session: the program, X clients, and telling
    drawing from paused."""

    def start(self, config=None, placed=(0, 0, 640, 360)):
        self.process = self.session.start_kadrel(PROGRAM, config=config)
        self.addCleanup(self.stop)
        self.window = self.session.kadrel_window()
        self.placed = placed + ("IsViewable",)
        wait_for(lambda: self.session.geometry(self.window) == self.placed, what="the window in place")
        wait_for(lambda: "Set scene size" in self.session.output(), timeout=60, what="the first frame")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def close_and_check(self, process):
        """Closes a watched client and checks the program took its going quietly: windows
        vanish between the window manager's list and the program's requests, and Qt would
        report an X error for any request of the program's that failed."""
        process.kill()
        process.wait()
        self.assert_drawing("the covering window closed")
        self.assertNotIn("XCB error", self.session.errors())
        self.assertIsNone(self.process.poll(), "kadrel ended")

    def wmctrl(self, *args):
        self.session.run(["wmctrl", *args], check=True)

    def client(self, geometry="200x150+100+100"):
        return open_client(self.session, ["xclock", "-update", "1", "-geometry", geometry])

    def state(self, window):
        return self.session.xprop(window, "_NET_WM_STATE")

    def assert_drawing(self, why):
        # Frames resume at once; a short bounded wait covers the event's trip through X.
        def drawing():
            cpu, _ = usage(self.process.pid, 1.0)
            return cpu > DRAWING_CPU
        wait_for(drawing, timeout=15, interval=0, what="frames again: " + why)

    def assert_paused(self, why, seconds=3.0):
        """Waits for the frames to stop, then measures a quiet stretch: returns its figures."""
        def quiet():
            cpu, _ = usage(self.process.pid, 1.0)
            return cpu < PAUSED_CPU
        wait_for(quiet, timeout=15, interval=0, what="the frames to stop: " + why)
        cpu, wakeups = usage(self.process.pid, seconds)
        self.assertLess(cpu, PAUSED_CPU, "still drawing: " + why)
        self.assertLess(wakeups, PAUSED_WAKEUPS, "still waking up: " + why)
        # Paused, not hidden: the window stays mapped where it was.
        self.assertEqual(self.session.geometry(self.window), self.placed, why)
        print("\n  %s: CPU %.2f %%, %.2f wake-ups/s over %.0f s" % (why, 100 * cpu, wakeups, seconds),
              file=sys.stderr)
        return cpu, wakeups


class CoveredTest(Covering, unittest.TestCase):
    def setUp(self):
        self.session = DesktopSession(640, 360)
        self.addCleanup(self.session.close)

    def test_full_screen_window_pauses_until_it_leaves_hides_or_changes_workspace(self):
        self.start()
        self.assert_drawing("nothing covers it")
        clock_process, clock = self.client()
        self.assert_drawing("a small window over part of it")

        self.wmctrl("-i", "-r", clock, "-b", "add,fullscreen")
        wait_for(lambda: "FULLSCREEN" in self.state(clock), what="xclock to go full screen")
        self.assert_paused("full screen")
        self.wmctrl("-i", "-r", clock, "-b", "remove,fullscreen")
        self.assert_drawing("full screen left")

        # Minimised, a full-screen window shows nothing; restored, it covers again.
        self.wmctrl("-i", "-r", clock, "-b", "add,fullscreen")
        self.assert_paused("full screen again")
        self.session.run(["xdotool", "windowminimize", "--sync", str(int(clock, 16))], check=True)
        wait_for(lambda: "HIDDEN" in self.state(clock), what="xclock to be minimised")
        self.assert_drawing("the full-screen window minimised")
        self.session.run(["xdotool", "windowmap", str(int(clock, 16))], check=True)
        wait_for(lambda: "HIDDEN" not in self.state(clock), what="xclock to come back")
        self.assert_paused("the full-screen window restored")

        # On another workspace it covers that one only; the wallpaper is on every workspace.
        self.wmctrl("-i", "-r", clock, "-t", "1")
        wait_for(lambda: "= 1" in self.session.xprop(clock, "_NET_WM_DESKTOP"), what="xclock on workspace 2")
        self.assert_drawing("the full-screen window on another workspace")
        self.wmctrl("-s", "1")
        self.assert_paused("its workspace made current")
        self.wmctrl("-s", "0")
        self.assert_drawing("back on the first workspace")

        self.wmctrl("-s", "1")
        self.assert_paused("its workspace made current again")
        self.close_and_check(clock_process)

    def test_maximised_windows_pause_and_partial_cover_does_not(self):
        self.start()
        # Two windows over most of the screen, neither maximised: it still shows.
        self.client("600x300+0+0")
        other_process, other = self.client("300x300+300+40")
        self.assert_drawing("windows over part of it")

        self.wmctrl("-i", "-r", other, "-b", "add,maximized_vert")
        wait_for(lambda: "MAXIMIZED_VERT" in self.state(other), what="xclock maximised vertically")
        self.assert_drawing("a window maximised one way")
        self.wmctrl("-i", "-r", other, "-b", "add,maximized_horz")
        wait_for(lambda: "MAXIMIZED_HORZ" in self.state(other), what="xclock maximised both ways")
        self.assert_paused("maximised")

        self.wmctrl("-i", "-r", other, "-b", "remove,maximized_horz")
        self.assert_drawing("maximised one way again")
        self.wmctrl("-i", "-r", other, "-b", "add,maximized_horz")
        self.assert_paused("maximised both ways again")
        self.close_and_check(other_process)

    def test_maximised_window_pauses_it_above_a_panel(self):
        self.start()
        # A bottom panel: a window that reserves the screen's last 40 rows. The wallpaper
        # shows there only under the panel, so what is left is all there is to cover.
        _, panel = self.client("640x40+0+320")
        self.session.run(["xprop", "-id", panel, "-f", "_NET_WM_STRUT_PARTIAL", "32c", "-set",
                          "_NET_WM_STRUT_PARTIAL", "0,0,0,40,0,0,0,0,0,0,0,639"], check=True)
        wait_for(lambda: "0, 0, 640, 320" in self.session.xprop_root("_NET_WORKAREA"), what="the work area")
        _, window = self.client()
        self.wmctrl("-i", "-r", window, "-b", "add,maximized_vert,maximized_horz")
        self.assert_paused("maximised above a panel")

    def test_setting_off_keeps_drawing_under_a_full_screen_window(self):
        self.start(config="[General]\npauseWhenCovered=false\n")
        _, clock = self.client()
        self.wmctrl("-i", "-r", clock, "-b", "add,fullscreen")
        wait_for(lambda: "FULLSCREEN" in self.state(clock), what="xclock to go full screen")
        time.sleep(0.5)
        self.assert_drawing("covered, with pauseWhenCovered off")

        # Outside writes of the setting, as an editor makes them, apply while covered.
        with open(self.session.config_path(), "w") as file:
            file.write("[General]\npauseWhenCovered=true\n")
        self.assert_paused("covered, with pauseWhenCovered switched on")
        with open(self.session.config_path(), "w") as file:
            file.write("[General]\npauseWhenCovered=false\n")
        self.assert_drawing("covered, with pauseWhenCovered switched off")


class MonitorsCoveredTest(Covering, unittest.TestCase):
    """Two monitors need Xorg's dummy driver (root only), and a scaled screen makes Qt's
    coordinates differ from the window manager's: only the wallpaper's own monitor counts."""

    def setUp(self):
        self.session = two_monitor_session(self)

    def test_only_a_full_screen_window_on_the_wallpapers_monitor_pauses_it(self):
        listing = wait_for(lambda: (lambda lines: lines if len(lines) == 2 else None)(
            self.session.run([PROGRAM, "--list-displays"]).stdout.splitlines()), what="two monitors")
        second = next(line.split()[0] for line in listing if line.split()[1] == "DUMMY1")
        self.session.env["QT_SCALE_FACTOR"] = "2"
        self.start(config="[General]\ndisplay=%s\n" % second, placed=(1024, 0, 800, 600))

        _, first = self.client("200x150+100+100")
        self.wmctrl("-i", "-r", first, "-b", "add,fullscreen")
        wait_for(lambda: "FULLSCREEN" in self.state(first), what="a full-screen window on the first monitor")
        time.sleep(0.5)
        self.assert_drawing("covered on the other monitor only")

        _, other = self.client("200x150+1100+100")
        self.wmctrl("-i", "-r", other, "-b", "add,fullscreen")
        self.assert_paused("a full-screen window on its own monitor, screen scaled by 2")


if __name__ == "__main__":
    unittest.main()
