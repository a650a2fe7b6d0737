"""kadrel against the machine's power and login services, mocked with python3-dbusmock on
private system and session buses: the frame-rate rule on battery and in power-saver mode,
lock and unlock with and without a manual disable, wake, services missing, vanishing and
coming back, and the command-line control.

Run by ctest; by hand: KADREL_PROGRAM=build/app/kadrel /usr/bin/python3 -m unittest -v tests.app.desktop.test_power"""

import os
import subprocess
import sys
import time
import unittest

import dbus

sys.path.insert(0, os.path.dirname(__file__))
from desktop_session import DesktopSession, usage, wait_for  # noqa: E402

PROGRAM = os.environ.get("KADREL_PROGRAM", "build/app/kadrel")
UPOWER = "org.freedesktop.UPower"
UPOWER_PATH = "/org/freedesktop/UPower"
DISPLAY_DEVICE = "/org/freedesktop/UPower/devices/DisplayDevice"
PPD = "net.hadess.PowerProfiles"
PPD_PATH = "/net/hadess/PowerProfiles"
PPD2 = "org.freedesktop.UPower.PowerProfiles"
PPD2_PATH = "/org/freedesktop/UPower/PowerProfiles"
LOGIN = "org.freedesktop.login1"
SESSION_PATH = "/org/freedesktop/login1/session/c1"
SAVER = "org.freedesktop.ScreenSaver"


class PowerTest(unittest.TestCase):
    def setUp(self):
        self.session = DesktopSession(320, 180, system_bus=True)
        self.addCleanup(self.session.close)
        self.session.env["XDG_SESSION_ID"] = "c1"
        self.process = None

    def start(self, config="", wait_for_window=True):
        self.process = self.session.start_kadrel(PROGRAM, config="[General]\n" + config)
        self.addCleanup(self.stop)
        if wait_for_window:
            self.window = self.session.kadrel_window()
            wait_for(lambda: "Set scene size" in self.session.output(), what="the first frame")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.assertEqual(self.process.wait(timeout=20), 0, self.session.errors())

    def lines(self):
        return self.session.output().splitlines()

    def wait_line(self, line, after=0, what=None):
        """Waits for `line` among the output lines from index `after` on; returns its index."""
        def find():
            lines = self.lines()
            for index in range(after, len(lines)):
                if lines[index] == line:
                    return index + 1
            return None
        return wait_for(find, what=what or repr(line)) - 1

    def control(self, *args):
        return subprocess.run([PROGRAM, *args], env=self.session.env, capture_output=True, text=True,
                              timeout=30)

    def status(self):
        result = self.control("--status")
        self.assertEqual(result.returncode, 0, result.stderr)
        return dict(line.split(": ", 1) for line in result.stdout.splitlines())

    def start_upower(self, on_battery, ups=False):
        process = self.session.start_mock(["--template", "upower", "--parameters",
                                           '{"OnBattery": %s}' % ("true" if on_battery else "false")], UPOWER)
        if ups:
            self.session.mock_object(UPOWER, DISPLAY_DEVICE).UpdateProperties(
                UPOWER + ".Device", {"Type": dbus.UInt32(3)})
        return process

    def set_battery(self, on_battery):
        self.session.mock_object(UPOWER, UPOWER_PATH).UpdateProperties(UPOWER, {"OnBattery": on_battery})

    def set_profile(self, profile, name=PPD, path=PPD_PATH):
        self.session.mock_object(name, path).UpdateProperties(name, {"ActiveProfile": profile})

    def start_login(self, locked=False):
        process, _ = self.session.start_logind(locked)
        return process

    def session_call(self, method, *args):
        proxy = self.session.system_bus.get_object(LOGIN, SESSION_PATH, introspect=False)
        getattr(dbus.Interface(proxy, LOGIN + ".Session"), method)(*args)

    def test_frame_rate_follows_battery_and_power_saver(self):
        self.start_upower(on_battery=False)
        self.session.start_mock(["--template", "power_profiles_daemon"], PPD)
        self.start(config="fps=60\n")
        mark = self.wait_line("updateFps 60 false false")
        self.assertEqual(self.status()["fps"], "60")

        self.set_battery(True)
        mark = self.wait_line("powerSourceDidChange", mark)
        mark = self.wait_line("updateFps 30 true false", mark)
        self.assertEqual(self.status()["fps"], "30")
        with open(self.session.config_path(), "a") as file:
            file.write("batteryMode=false\n")
        mark = self.wait_line("updateFps 60 false false", mark)

        self.set_profile("power-saver")
        mark = self.wait_line("powerStateDidChange", mark)
        mark = self.wait_line("updateFps 20 false true", mark)
        self.assertEqual(self.status()["fps"], "20")
        with open(self.session.config_path(), "a") as file:
            file.write("lowPowerMode=false\n")
        mark = self.wait_line("updateFps 60 false false", mark)
        # Battery never pauses: the window stays and the frames go on.
        self.assertTrue(self.session.is_viewable(self.window))
        self.assertEqual(self.status()["paused"], "no")

    def test_power_profiles_under_their_newer_name_and_a_ups(self):
        self.start_upower(on_battery=True, ups=True)
        self.session.start_mock([PPD2, PPD2_PATH, PPD2], PPD2)
        self.session.mock_object(PPD2, PPD2_PATH).AddProperty(PPD2, "ActiveProfile", "balanced")
        self.start(config="fps=60\n")
        # A UPS is not a laptop battery: no cap.
        mark = self.wait_line("updateFps 60 false false")
        self.set_profile("power-saver", PPD2, PPD2_PATH)
        self.wait_line("updateFps 20 false true", mark)

    def test_services_missing_vanishing_and_returning(self):
        self.start(config="fps=60\n")
        self.assertIn("updateFps 60 false false", self.lines())
        self.assertEqual(self.session.errors(), "")

        upower = self.start_upower(on_battery=True)
        mark = self.wait_line("powerSourceDidChange")
        mark = self.wait_line("updateFps 30 true false", mark)
        self.session.stop_mock(upower, UPOWER)
        mark = self.wait_line("updateFps 60 false false", mark, what="the cap to go with UPower")
        self.start_upower(on_battery=True)
        mark = self.wait_line("powerSourceDidChange", mark)
        mark = self.wait_line("updateFps 30 true false", mark)

        ppd = self.session.start_mock(["--template", "power_profiles_daemon"], PPD)
        self.set_profile("power-saver")
        mark = self.wait_line("updateFps 20 true true", mark)
        self.session.stop_mock(ppd, PPD)
        mark = self.wait_line("powerStateDidChange", mark)
        mark = self.wait_line("updateFps 30 true false", mark)
        self.assertTrue(self.session.is_viewable(self.window))

    def test_lock_and_unlock_with_and_without_a_manual_disable(self):
        self.start_login()
        self.start()
        self.session_call("Lock")
        wait_for(lambda: not self.session.is_viewable(self.window), what="the window to go on lock")
        self.assertEqual(self.status()["reason"], "screen locked")
        time.sleep(0.5)
        cpu, wakeups = usage(self.process.pid, 3.0)
        self.assertLess(cpu, 0.02, "drawing behind the locked screen")
        self.assertLess(wakeups, 5)
        self.session_call("Unlock")
        wait_for(lambda: self.session.is_viewable(self.window), what="the window back on unlock")

        # A disable outlives a lock: unlocking doesn't bring the wallpaper back.
        self.assertEqual(self.control("--disable").returncode, 0)
        wait_for(lambda: not self.session.is_viewable(self.window), what="the window to go on disable")
        self.session_call("Lock")
        self.session_call("Unlock")
        self.session_call("SetLockedHint", False)
        time.sleep(1)
        self.assertFalse(self.session.is_viewable(self.window))
        self.assertEqual(self.status()["reason"], "disabled")
        self.assertEqual(self.control("--enable").returncode, 0)
        wait_for(lambda: self.session.is_viewable(self.window), what="the window back on enable")

        # The session bus's screen saver locks too.
        saver = self.session.start_mock([SAVER, "/org/freedesktop/ScreenSaver", SAVER], SAVER, system=False)
        mock = self.session.mock_object(SAVER, "/org/freedesktop/ScreenSaver", system=False)
        mock.EmitSignal(SAVER, "ActiveChanged", "b", [True])
        wait_for(lambda: not self.session.is_viewable(self.window), what="the window to go with the saver")
        self.session.stop_mock(saver, SAVER, system=False)
        wait_for(lambda: self.session.is_viewable(self.window), what="the window back when the saver goes")

    def test_locked_at_start_and_the_menu_on_battery(self):
        self.start_upower(on_battery=True)
        self.start_login(locked=True)
        self.start(wait_for_window=False)
        service = self.session.tray_item_service()
        wait_for(lambda: self.status().get("reason") == "screen locked", what="the lock read at start")
        # Locked, on battery, watcher present: no Enable/Disable item.
        labels = [label for _, label, _ in self.session.menu_items(service)]
        self.assertEqual(labels, ["-", "Settings…", "About", "Quit"])
        self.set_battery(False)
        self.wait_line("updateFps 30 false false", what="mains power")
        labels = [label for _, label, _ in self.session.menu_items(service)]
        self.assertEqual(labels[0], "Disable")
        self.session.mock_object(LOGIN, SESSION_PATH).UpdateProperties(LOGIN + ".Session", {"LockedHint": False})
        self.window = self.session.kadrel_window()
        wait_for(lambda: self.session.is_viewable(self.window), what="the window after unlocking")

    def test_a_lock_during_start_up_is_kept(self):
        # As a screen locker does: Lock, then the hint, while the program is still looking up
        # its session and reading the hint. Whatever comes first, the newest news must win.
        self.start_login()
        self.start(wait_for_window=False)
        self.session_call("Lock")
        self.session_call("SetLockedHint", True)
        reason = lambda: (self.control("--status").stdout + "reason: ?").split("reason: ")[1].split("\n")[0]
        wait_for(lambda: reason() == "screen locked", what="the lock to hold")
        time.sleep(1.0)
        self.assertEqual(self.status().get("reason"), "screen locked")

    def test_wake_places_the_window_again(self):
        self.start_login()
        self.start()
        manager = self.session.mock_object(LOGIN, "/org/freedesktop/login1")
        manager.EmitSignal(LOGIN + ".Manager", "PrepareForSleep", "b", [True])
        manager.EmitSignal(LOGIN + ".Manager", "PrepareForSleep", "b", [False])
        self.wait_line("deviceDidWake")
        self.assertEqual(self.lines().count("deviceDidWake"), 1)
        self.assertEqual(self.session.geometry(self.window), (0, 0, 320, 180, "IsViewable"))

    def test_command_line_control(self):
        result = self.control("--status")
        self.assertEqual(result.returncode, 1)
        self.assertIn("Kadrel is not running", result.stderr)
        self.start()
        self.assertEqual(self.status(), {"enabled": "yes", "paused": "no", "fps": "30"})
        self.assertEqual(self.control("--toggle").returncode, 0)
        wait_for(lambda: not self.session.is_viewable(self.window), what="the window to go")
        self.assertEqual(self.status()["reason"], "disabled")
        self.assertEqual(self.control("--toggle").returncode, 0)
        wait_for(lambda: self.session.is_viewable(self.window), what="the window back")
        self.assertEqual(self.control("--next-camera").returncode, 0)
        self.assertEqual(self.status()["paused"], "no")


if __name__ == "__main__":
    unittest.main()
