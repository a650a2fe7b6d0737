"""The real kadrel on a throw-away desktop (Xvfb, openbox, a private session bus with a
mocked tray host), used as a person would: it shows the wallpaper behind the windows, its
tray menu disables, enables and quits it, a hidden icon goes after 5 s, a second launch
reopens the first.

Run by ctest; by hand: KADREL_PROGRAM=build/app/kadrel KADREL_RENDER=build/tools/kadrel-render/kadrel-render \
    /usr/bin/python3 -m unittest -v tests/app/desktop/test_desktop.py
KADREL_SCREENSHOTS=DIR keeps the screenshots."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop_session import (DesktopSession, crop_stats, image_stats, two_monitor_session, usage,  # noqa: E402
                             wait_for)

PROGRAM = os.environ.get("KADREL_PROGRAM", "build/app/kadrel")
RENDER = os.environ.get("KADREL_RENDER", "build/tools/kadrel-render/kadrel-render")
SHOTS = os.environ.get("KADREL_SCREENSHOTS")
ALL_DESKTOPS = "4294967295"


class DesktopTest(unittest.TestCase):
    def setUp(self):
        self.session = DesktopSession(640, 360)
        self.addCleanup(self.session.close)

    def start(self, config=None):
        self.process = self.session.start_kadrel(PROGRAM, config=config)
        self.addCleanup(self.stop)
        return self.session.kadrel_window()

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def assert_quits_cleanly(self, service):
        self.session.click(service, "Quit")
        status = self.process.wait(timeout=20)
        errors = self.session.errors()
        self.assertEqual(status, 0, errors)
        self.assertEqual(errors, "", "kadrel wrote to standard error")

    def test_wallpaper_window_is_the_desktop_and_shows_the_scene(self):
        window = self.start()
        props = self.session.xprop(window)
        self.assertIn("_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DESKTOP", props)
        state = props.split("_NET_WM_STATE(ATOM) = ")[1].split("\n")[0]
        for flag in ("_NET_WM_STATE_BELOW", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"):
            self.assertIn(flag, state)
        self.assertIn("_NET_WM_DESKTOP(CARDINAL) = " + ALL_DESKTOPS, props)
        self.assertIn("Client accepts input or input focus: False", props)
        self.assertEqual(self.session.geometry(window), (0, 0, 640, 360, "IsViewable"))

        # The scene, not a black or flat window: compare with a headless frame of it.
        wait_for(lambda: "Set scene size: 640x360" in self.session.output(), what="the first frame")
        shot = self.session.wait_for_scene("desktop.png")
        self.session.keep(shot, SHOTS)
        reference = os.path.join(self.session.tmp, "reference.png")
        subprocess.run([RENDER, "--size", "640x360", "--time", "2000", "--out", reference],
                       check=True, capture_output=True, env=dict(os.environ, EGL_PLATFORM="surfaceless"))
        mean, spread = image_stats(shot)
        ref_mean, ref_spread = image_stats(reference)
        # The camera keeps moving, so the frames differ; the rooms' light levels don't much.
        self.assertGreater(mean, 0.1)
        self.assertGreater(spread, 0.05)
        self.assertAlmostEqual(mean, ref_mean, delta=0.15)
        self.assertAlmostEqual(spread, ref_spread, delta=0.1)

        # An ordinary window opened later stays in front of the wallpaper.
        clock = self.session._spawn(["xclock", "-bg", "#ff0000", "-geometry", "200x150+100+100"])
        clock_window = wait_for(lambda: next((w for w in self.session.stacking() if w != window), None),
                                what="xclock's window")
        stacking = self.session.stacking()
        self.assertLess(stacking.index(window), stacking.index(clock_window))
        time.sleep(0.5)
        x, y, _, _, _ = self.session.geometry(clock_window)
        # The corner of xclock's face: its red background, drawn over the wallpaper.
        red, green, blue = crop_stats(self.session.screenshot("clock.png"), x + 2, y + 2, 6, 6)
        self.assertGreater(red, 0.9)
        self.assertLess(green + blue, 0.2)
        clock.kill()

        self.assert_quits_cleanly(self.session.tray_item_service())

    def test_tray_menu_disables_enables_and_quits(self):
        window = self.start()
        service = self.session.tray_item_service()
        labels = [label for _, label, _ in self.session.menu_items(service)]
        self.assertEqual(labels, ["Disable", "-", "Settings…", "About", "Quit"])
        wait_for(lambda: "Set scene size" in self.session.output(), what="the first frame")
        running_cpu, _ = usage(self.process.pid, 2.0)
        self.assertGreater(running_cpu, 0.05, "no frames while enabled")

        self.session.click(service, "Disable")
        wait_for(lambda: not self.session.is_viewable(window), what="the window to go")
        time.sleep(0.5)
        idle_cpu, wakeups = usage(self.process.pid, 3.0)
        self.assertLess(idle_cpu, 0.02, "still drawing while disabled")
        self.assertLess(wakeups, 5.0, "still waking up while disabled")
        self.assertEqual([label for _, label, _ in self.session.menu_items(service)][0], "Enable")

        self.session.click(service, "Enable")
        wait_for(lambda: self.session.is_viewable(window), what="the window to come back")
        self.assertEqual(self.session.geometry(window), (0, 0, 640, 360, "IsViewable"))
        cpu, _ = usage(self.process.pid, 2.0)
        self.assertGreater(cpu, 0.05, "no frames after enabling again")
        self.assertEqual([label for _, label, _ in self.session.menu_items(service)][0], "Disable")

        self.assert_quits_cleanly(service)

    def test_hidden_icon_shows_for_five_seconds_after_launch_and_reopen(self):
        self.start(config="[General]\nhideMenuBarIcon=true\n")
        # Each time the icon shows, Qt registers it with the tray host anew, from a bus
        # connection of its own; when it hides, that connection and its menu go away.
        service = self.session.tray_item_service()
        shown_at = time.monotonic()
        self.assertTrue(self.has_menu(service))
        wait_for(lambda: not self.has_menu(service), timeout=15, what="the icon to hide")
        self.assertGreater(time.monotonic() - shown_at, 4.0)

        # A second launch reopens the first and leaves with status 0.
        registered = len(self.session.tray_items())
        second = subprocess.run([PROGRAM], env=self.session.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(second.returncode, 0, second.stderr)
        wait_for(lambda: len(self.session.tray_items()) > registered, timeout=10,
                 what="the icon to come back")
        service = self.session.tray_items()[-1]
        self.assertTrue(self.has_menu(service))
        wait_for(lambda: not self.has_menu(service), timeout=15, what="the icon to hide again")

        # Showing it for good: an outside write of the setting, as a text editor would do.
        registered = len(self.session.tray_items())
        with open(self.session.config_path(), "w") as file:
            file.write("[General]\nhideMenuBarIcon=false\n")
        wait_for(lambda: len(self.session.tray_items()) > registered, timeout=10,
                 what="the icon to show for good")
        service = self.session.tray_items()[-1]
        time.sleep(6)
        self.assertTrue(self.has_menu(service))
        self.assert_quits_cleanly(service)

    def has_menu(self, service):
        try:
            self.session.menu_items(service)
            return True
        except Exception:  # the item's object is gone from the bus
            return False

    def test_outside_settings_reach_the_running_program(self):
        window = self.start(config="[General]\nfps=20\n")
        wait_for(lambda: "updateFps 20 false false" in self.session.output(), what="fps 20")
        with open(self.session.config_path(), "w") as file:
            file.write("[General]\nfps=60\n")
        wait_for(lambda: "updateFps 60 false false" in self.session.output(), what="fps 60")

        # openbox keeps desktop windows on every workspace whatever they ask, so the request
        # is seen on the window while it is off the screen, where the program writes it.
        service = self.session.tray_item_service()
        self.session.click(service, "Disable")
        wait_for(lambda: not self.session.is_viewable(window), what="the window to go")
        with open(self.session.config_path(), "a") as file:
            file.write("showOnAllSpaces=false\n")
        wait_for(lambda: "_NET_WM_DESKTOP(CARDINAL) = 0" in self.session.xprop(window, "_NET_WM_DESKTOP"),
                 what="the window to ask for the current workspace only")
        self.assert_quits_cleanly(service)


class WithoutDesktopServicesTest(unittest.TestCase):
    def test_single_instance_without_a_session_bus(self):
        session = DesktopSession(320, 180, session_bus=False)
        self.addCleanup(session.close)
        first = session.start_kadrel(PROGRAM)
        self.addCleanup(lambda: first.poll() is None and (first.kill(), first.wait()))
        window = session.kadrel_window()
        second = subprocess.run([PROGRAM], env=session.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertIn("already running", second.stdout)
        self.assertIsNone(first.poll())

        # The command line reaches it through the socket too.
        control = lambda *args: subprocess.run([PROGRAM, *args], env=session.env, capture_output=True,
                                               text=True, timeout=30)
        self.assertIn("enabled: yes", control("--status").stdout)
        self.assertEqual(control("--disable").returncode, 0)
        wait_for(lambda: not session.is_viewable(window), what="the window to go")
        self.assertIn("reason: disabled", control("--status").stdout)
        self.assertEqual(control("--enable").returncode, 0)
        wait_for(lambda: session.is_viewable(window), what="the window back")
        first.terminate()
        self.assertEqual(first.wait(timeout=20), 0)

    def test_help_version_and_no_display(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        for option in ("--help", "--version"):
            result = subprocess.run([PROGRAM, option], env=env, capture_output=True, text=True, timeout=30)
            self.assertEqual(result.returncode, 0)
            self.assertIn("kadrel", result.stdout.lower())
        result = subprocess.run([PROGRAM], env=env, capture_output=True, text=True, timeout=30)
        self.assertEqual(result.returncode, 1)
        self.assertIn("no display", result.stderr)
        result = subprocess.run([PROGRAM], env=dict(env, DISPLAY=":999"), capture_output=True, text=True,
                                timeout=30)
        self.assertEqual(result.returncode, 1)
        self.assertIn('cannot connect to the X display ":999"', result.stderr)
        result = subprocess.run([PROGRAM, "--bogus"], env=env, capture_output=True, text=True, timeout=30)
        self.assertEqual(result.returncode, 2)

    def test_scaled_screen_draws_in_device_pixels(self):
        session = DesktopSession(640, 360)
        self.addCleanup(session.close)
        session.env["QT_SCALE_FACTOR"] = "2"
        process = session.start_kadrel(PROGRAM)
        self.addCleanup(lambda: process.poll() is None and (process.kill(), process.wait()))
        window = session.kadrel_window()
        self.assertEqual(session.geometry(window), (0, 0, 640, 360, "IsViewable"))
        wait_for(lambda: "Set scene size: 640x360" in session.output(), what="a frame in device pixels")
        process.terminate()
        self.assertEqual(process.wait(timeout=20), 0)

    def test_no_opengl_33_stops_start_up_with_a_reason(self):
        session = DesktopSession(320, 180)
        self.addCleanup(session.close)
        # Mesa then offers OpenGL 3.0 at most, as an old driver would.
        session.env["MESA_GL_VERSION_OVERRIDE"] = "3.0"
        process = session.start_kadrel(PROGRAM)
        self.assertEqual(process.wait(timeout=60), 1)
        self.assertIn("OpenGL 3.3", session.errors())

    def test_missing_resources_stop_start_up_with_the_renderers_message(self):
        session = DesktopSession(320, 180)
        self.addCleanup(session.close)
        session.env["KADREL_RESOURCES"] = os.path.join(session.tmp, "nowhere")
        process = session.start_kadrel(PROGRAM)
        self.assertEqual(process.wait(timeout=60), 1)
        self.assertIn("Cannot find the resources folder", session.errors())


if __name__ == "__main__":
    unittest.main()


class MonitorsTest(unittest.TestCase):
    """Several monitors need Xorg's dummy driver (root only): Xvfb's monitors are invisible
    to Qt."""

    def setUp(self):
        self.session = two_monitor_session(self)

    def displays(self):
        listing = self.session.run([PROGRAM, "--list-displays"]).stdout
        return {line.split()[1]: line.split()[0] for line in listing.splitlines()}

    def test_window_follows_its_monitor_off_and_on(self):
        displays = wait_for(lambda: (lambda d: d if len(d) == 2 else None)(self.displays()),
                            what="two monitors")
        process = self.session.start_kadrel(PROGRAM, config="[General]\ndisplay=%s\n" % displays["DUMMY1"])
        self.addCleanup(lambda: process.poll() is None and (process.kill(), process.wait()))
        window = self.session.kadrel_window()
        geometry = lambda: self.session.geometry(window)[:4]
        wait_for(lambda: geometry() == (1024, 0, 800, 600), what="the window on the second monitor")

        # Switched off: the primary monitor until the stored one comes back.
        self.session.set_monitor("DUMMY1")
        wait_for(lambda: geometry() == (0, 0, 1024, 768), what="the window on the primary monitor")
        self.session.set_monitor("DUMMY1", 800, 600, 1024, 0)
        wait_for(lambda: geometry() == (1024, 0, 800, 600), what="the window back on its monitor")

        # The monitor's id stays across restarts of the program, and a new choice moves it.
        self.assertEqual(self.displays()["DUMMY1"], displays["DUMMY1"])
        with open(self.session.config_path(), "w") as file:
            file.write("[General]\ndisplay=%s\n" % displays["DUMMY0"])
        wait_for(lambda: geometry() == (0, 0, 1024, 768), what="the window on the chosen monitor")
        shot = self.session.screenshot("monitors.png")
        self.session.keep(shot, SHOTS)
        process.terminate()
        self.assertEqual(process.wait(timeout=20), 0)
