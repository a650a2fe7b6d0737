"""The installed Kadrel, as a user gets it: `cmake --install` into a throw-away prefix, then
the installed `kadrel` on a throw-away desktop (Xvfb, openbox, a mocked tray host, UPower
and logind) with a fresh config folder. It must find its resources under share/, show the
wallpaper, follow the settings file, the screen lock and the command line, and quit from
the tray menu cleanly. The installed desktop entry and metainfo must validate.

Run by ctest; by hand: KADREL_BUILD_DIR=build /usr/bin/python3 -m unittest -v tests/app/desktop/test_installed.py"""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop_session import DesktopSession, image_stats, wait_for  # noqa: E402

BUILD = os.environ.get("KADREL_BUILD_DIR", "build")
UPOWER = "org.freedesktop.UPower"


class InstalledTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="kadrel-installed-")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True,
                       capture_output=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def installed(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_installed_files_are_where_desktops_look(self):
        for path in ("bin/kadrel", "bin/kadrel-render", "share/applications/org.kadrel.Kadrel.desktop",
                     "share/metainfo/org.kadrel.Kadrel.metainfo.xml",
                     "share/icons/hicolor/scalable/apps/kadrel.svg",
                     "share/man/man1/kadrel.1.gz", "share/man/man1/kadrel-render.1.gz",
                     "share/doc/kadrel/copyright", "share/kadrel/resources/shaders/Common.glsl"):
            self.assertTrue(os.path.isfile(self.installed(path)), path)
        self.assertEqual(len(glob.glob(self.installed("share/kadrel/resources/fonts/*.woff"))), 5)
        desktop = subprocess.run(["desktop-file-validate",
                                  self.installed("share/applications/org.kadrel.Kadrel.desktop")],
                                 capture_output=True, text=True)
        self.assertEqual(desktop.returncode, 0, desktop.stdout + desktop.stderr)
        metainfo = subprocess.run(["appstreamcli", "validate", "--no-net",
                                   self.installed("share/metainfo/org.kadrel.Kadrel.metainfo.xml")],
                                  capture_output=True, text=True)
        self.assertEqual(metainfo.returncode, 0, metainfo.stdout + metainfo.stderr)
        # The manual pages format without warnings.
        for page in ("kadrel.1.gz", "kadrel-render.1.gz"):
            shown = subprocess.run("zcat %s | groff -man -Tutf8 -ww -z" % self.installed("share/man/man1", page),
                                   shell=True, capture_output=True, text=True)
            self.assertEqual(shown.returncode, 0)
            self.assertEqual(shown.stderr, "", page)

    def test_installed_program_on_a_desktop(self):
        session = DesktopSession(640, 360, system_bus=True)
        self.addCleanup(session.close)
        session.env.pop("KADREL_RESOURCES", None)
        session.start_mock(["--template", "upower", "--parameters", '{"OnBattery": false}'], UPOWER)
        _, lock = session.start_logind()
        program = self.installed("bin/kadrel")
        self.assertFalse(os.path.exists(session.config_path()), "a fresh config folder")

        process = session.start_kadrel(program)
        self.addCleanup(lambda: process.poll() is None and process.kill())
        window = session.kadrel_window()
        wait_for(lambda: "Set scene size: 640x360" in session.output(), what="the first frame")
        mean, spread = image_stats(session.wait_for_scene("installed.png"))
        self.assertGreater(mean, 0.1, "the wallpaper, not a black window")
        self.assertGreater(spread, 0.05, "the rooms, not a flat colour")

        os.makedirs(os.path.dirname(session.config_path()), exist_ok=True)
        with open(session.config_path(), "w") as file:
            file.write("[General]\nfps=60\n")
        wait_for(lambda: "updateFps 60 false false" in session.output(), what="the outside write of fps")

        lock.Lock()
        wait_for(lambda: not session.is_viewable(window), what="the window to go on lock")
        lock.Unlock()
        wait_for(lambda: session.is_viewable(window), what="the window to return on unlock")

        def control(option):
            done = subprocess.run([program, option], env=session.env, capture_output=True, text=True,
                                  timeout=30)
            self.assertEqual(done.returncode, 0, done.stderr)
            return done.stdout
        control("--disable")
        wait_for(lambda: not session.is_viewable(window), what="the window to go on --disable")
        self.assertIn("disabled", control("--status"))
        control("--enable")
        wait_for(lambda: session.is_viewable(window), what="the window to return on --enable")

        session.click(session.tray_item_service(), "Quit")
        self.assertEqual(process.wait(timeout=20), 0)
        self.assertEqual(session.errors(), "")


if __name__ == "__main__":
    unittest.main()
