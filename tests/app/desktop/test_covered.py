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
from desktop_session import DesktopSession, cpu_and_wakeups, open_client, wait_for  # noqa: E402

PROGRAM = os.environ.get("KADREL_PROGRAM", "build/app/kadrel")

# Over a measuring window: a drawing wallpaper at 30 frames a second spends far more than
# DRAWING_CPU seconds a second; a paused one spends next to nothing and wakes up rarely.
DRAWING_CPU = 0.05
PAUSED_CPU = 0.02
PAUSED_WAKEUPS = 3.0


def usage(pid, seconds):
    """CPU seconds per second and wake-ups per second over the next `seconds`."""
    cpu0, wake0 = cpu_and_wakeups(pid)
    start = time.monotonic()
    time.sleep(seconds)
    cpu1, wake1 = cpu_and_wakeups(pid)
    elapsed = time.monotonic() - start
    return (cpu1 - cpu0) / elapsed, (wake1 - wake0) / elapsed


class CoveredTest(unittest.TestCase):
    def setUp(self):
        self.session = DesktopSession(640, 360)
        self.addCleanup(self.session.close)

    def start(self, config=None):
        self.process = self.session.start_kadrel(PROGRAM, config=config)
        self.addCleanup(self.stop)
        self.window = self.session.kadrel_window()
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
        self.assertEqual(self.session.geometry(self.window), (0, 0, 640, 360, "IsViewable"), why)
        print("\n  %s: CPU %.2f %%, %.2f wake-ups/s over %.0f s" % (why, 100 * cpu, wakeups, seconds),
              file=sys.stderr)
        return cpu, wakeups

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


if __name__ == "__main__":
    unittest.main()
