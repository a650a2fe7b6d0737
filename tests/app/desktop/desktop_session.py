"""A throw-away desktop for testing the real kadrel program: a private D-Bus session bus,
an Xvfb display with the openbox window manager, a mocked tray host, and helpers to read
X11 window properties, take screenshots and drive the tray menu over D-Bus as a desktop's
tray would. Everything is started here and stopped in close(), so the tests need nothing
from the machine but the packages."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

import dbus
import dbusmock

WATCHER_NAME = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
LOGIN = "org.freedesktop.login1"
LOGIN_SESSION_PATH = "/org/freedesktop/login1/session/c1"
MENU_PATH = "/MenuBar"
MENU_INTERFACE = "com.canonical.dbusmenu"
CONVERT = "/usr/bin/convert"
XORG_DUMMY_CONFIG = """
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 1024
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
"""


def wait_for(predicate, timeout=20.0, interval=0.1, what="condition"):
    """Polls until predicate() is truthy; returns its value or raises after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


class DesktopSession:
    def __init__(self, width=1280, height=720, tray=True, session_bus=True, server="xvfb",
                 system_bus=False):
        self.tmp = tempfile.mkdtemp(prefix="kadrel-desktop-")
        self.processes = []
        self.width, self.height = width, height
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS",
                     "DBUS_SYSTEM_BUS_ADDRESS", "XDG_SESSION_ID"):
            self.env.pop(name, None)
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.tmp, "config")
        self.env["XDG_RUNTIME_DIR"] = os.path.join(self.tmp, "runtime")
        self.env["TMPDIR"] = os.path.join(self.tmp, "tmp")
        self.env["HOME"] = os.path.join(self.tmp, "home")
        for folder in ("config", "runtime", "tmp", "home"):
            os.makedirs(os.path.join(self.tmp, folder), mode=0o700)
        try:
            if server == "xorg-dummy":
                self._start_xorg_dummy()
            else:
                self._start_x(width, height)
            self._start_window_manager()
            if system_bus:
                # A second private bus stands in for the system bus of power and login services.
                address = self._start_daemon()
                self.env["DBUS_SYSTEM_BUS_ADDRESS"] = address
                self.system_bus = dbus.bus.BusConnection(address)
            else:
                self.env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=" + os.path.join(self.tmp, "no-system-bus")
            if session_bus:
                self._start_bus()
                if tray:
                    self._start_tray_host()
            else:
                self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(self.tmp, "no-bus")
        except BaseException:
            self.close()
            raise

    # -- start and stop -------------------------------------------------------------------

    def _spawn(self, args, **kwargs):
        process = subprocess.Popen(args, env=self.env, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def _start_server(self, args, what):
        """Starts an X server with -displayfd and points DISPLAY at the number it reports."""
        read_end, write_end = os.pipe()
        self._spawn([args[0], "-displayfd", str(write_end), *args[1:]], pass_fds=(write_end,),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError(what + " did not start")
        self.env["DISPLAY"] = ":" + number

    def _start_x(self, width, height):
        self._start_server(["Xvfb", "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp",
                            "-noreset"], "Xvfb")

    def _start_xorg_dummy(self):
        """Xorg with the dummy driver: unlike Xvfb, its RandR outputs (DUMMY0 to DUMMY15)
        become monitors that Qt sees, and switching one off or on is a hot-plug to Qt."""
        config = os.path.join(self.tmp, "xorg.conf")
        with open(config, "w") as file:
            file.write(XORG_DUMMY_CONFIG)
        self._start_server(["Xorg", "-config", config, "-noreset", "-nolisten", "tcp", "-novtswitch",
                            "-sharevts", "-logfile", os.path.join(self.tmp, "xorg.log")],
                           "Xorg with the dummy driver")

    def set_monitor(self, output, width=None, height=None, x=0, y=0, primary=False):
        """Switches a dummy output on with a mode of its own at (x, y), or off (no width)."""
        if width is None:
            self.run(["xrandr", "--output", output, "--off"], check=True)
            return
        mode = "%dx%d_kadrel" % (width, height)
        # A modeline's timings only need to be plausible: the dummy driver shows nothing.
        timings = ["%d" % (width * height * 60 // 1000000), str(width), str(width + 8), str(width + 16),
                   str(width + 24), str(height), str(height + 1), str(height + 2), str(height + 3)]
        self.run(["xrandr", "--newmode", mode, *timings])
        self.run(["xrandr", "--addmode", output, mode])
        args = ["xrandr", "--output", output, "--mode", mode, "--pos", "%dx%d" % (x, y)]
        self.run(args + (["--primary"] if primary else []), check=True)

    def _start_window_manager(self):
        self.openbox = self._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.xprop_root("_NET_SUPPORTING_WM_CHECK"),
                 what="openbox to manage the display")

    def _start_daemon(self):
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        bus.stdout.close()
        return address

    def _start_bus(self):
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_daemon()
        self.bus = dbus.bus.BusConnection(self.env["DBUS_SESSION_BUS_ADDRESS"])

    # -- mocked services ------------------------------------------------------------------

    def start_mock(self, args, name, system=True):
        """Starts python3-dbusmock (a template or a plain mock) and waits for its bus name.
        Returns the process: kill it to take the service away."""
        bus = self.system_bus if system else self.bus
        process = self._spawn(["/usr/bin/python3", "-m", "dbusmock", "--system" if system else "--session", *args],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: bus.name_has_owner(name), what=name + " on the bus")
        return process

    def stop_mock(self, process, name, system=True):
        bus = self.system_bus if system else self.bus
        os.killpg(process.pid, signal.SIGTERM)
        process.wait(timeout=10)
        wait_for(lambda: not bus.name_has_owner(name), what=name + " to leave the bus")

    def mock_object(self, name, path, system=True):
        bus = self.system_bus if system else self.bus
        return dbus.Interface(bus.get_object(name, path, introspect=False), dbusmock.MOCK_IFACE)

    def start_logind(self, locked=False):
        """A mocked logind with this session as "c1" on seat0 (the program finds it through
        XDG_SESSION_ID). Returns the mock's process and the session's interface (Lock, Unlock,
        SetLockedHint)."""
        self.env["XDG_SESSION_ID"] = "c1"
        process = self.start_mock(["--template", "logind"], LOGIN)
        manager = self.mock_object(LOGIN, "/org/freedesktop/login1")
        manager.AddSeat("seat0")
        manager.AddSession("c1", "seat0", dbus.UInt32(os.getuid()), "user", True)
        if locked:
            self.mock_object(LOGIN, LOGIN_SESSION_PATH).UpdateProperties(LOGIN + ".Session",
                                                                         {"LockedHint": True})
        proxy = self.system_bus.get_object(LOGIN, LOGIN_SESSION_PATH, introspect=False)
        return process, dbus.Interface(proxy, LOGIN + ".Session")

    def _start_tray_host(self):
        self._spawn([shutil.which("python3", path="/usr/bin") or "/usr/bin/python3", "-m", "dbusmock",
                     WATCHER_NAME, WATCHER_PATH, WATCHER_NAME], stdout=subprocess.DEVNULL)
        wait_for(lambda: self.bus.name_has_owner(WATCHER_NAME), what="the tray host mock")
        watcher = self.bus.get_object(WATCHER_NAME, WATCHER_PATH, introspect=False)
        mock = dbus.Interface(watcher, dbusmock.MOCK_IFACE)
        mock.AddProperties(WATCHER_NAME, {
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
            "RegisteredStatusNotifierItems": dbus.Array([], signature="s"),
        })
        mock.AddMethod(WATCHER_NAME, "RegisterStatusNotifierItem", "s", "", "")
        mock.AddMethod(WATCHER_NAME, "RegisterStatusNotifierHost", "s", "", "")
        self.watcher_mock = mock

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self.processes):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)

    # -- the program ------------------------------------------------------------------------

    def start_kadrel(self, program, *args, config=None):
        if config is not None:
            folder = os.path.join(self.env["XDG_CONFIG_HOME"], "kadrel")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "kadrel.conf"), "w") as file:
                file.write(config)
        with open(os.path.join(self.tmp, "kadrel.out"), "w") as out, \
                open(os.path.join(self.tmp, "kadrel.err"), "w") as err:
            return self._spawn([program, *args], stdout=out, stderr=err)

    def config_path(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], "kadrel", "kadrel.conf")

    def output(self):
        with open(os.path.join(self.tmp, "kadrel.out")) as file:
            return file.read()

    def errors(self):
        with open(os.path.join(self.tmp, "kadrel.err")) as file:
            return file.read()

    # -- X11 --------------------------------------------------------------------------------

    def run(self, args, **kwargs):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30,
                              **kwargs)

    def xprop_root(self, *names):
        return self.run(["xprop", "-root", *names]).stdout

    def xprop(self, window, *names):
        return self.run(["xprop", "-id", str(window), *names]).stdout

    def kadrel_window(self, timeout=30.0):
        """The managed window whose WM_CLASS names kadrel."""
        def find():
            listing = self.xprop_root("_NET_CLIENT_LIST")
            for window in re.findall(r"0x[0-9a-f]+", listing):
                if '"kadrel"' in self.xprop(window, "WM_CLASS").lower():
                    return window
            return None
        return wait_for(find, timeout=timeout, what="the wallpaper window")

    def stacking(self):
        return re.findall(r"0x[0-9a-f]+", self.xprop_root("_NET_CLIENT_LIST_STACKING"))

    def geometry(self, window):
        info = self.run(["xwininfo", "-id", str(window)]).stdout
        value = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
        state = re.search(r"Map State:\s+(\w+)", info).group(1)
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                value("Height"), state)

    def is_viewable(self, window):
        info = self.run(["xwininfo", "-id", str(window)])
        return info.returncode == 0 and "IsViewable" in info.stdout

    def screenshot(self, name, window="root"):
        path = os.path.join(self.tmp, name)
        self.run(["import", "-window", window, path])
        return path

    def wait_for_scene(self, name, window="root"):
        """Takes screenshots until the wallpaper's first frame is on screen rather than the
        black of a window whose renderer is still uploading; returns the last one's path."""
        shot = []

        def shown():
            shot[:] = [self.screenshot(name, window)]
            return image_stats(shot[0])[0] > 0.05

        wait_for(shown, timeout=60, interval=0.5, what="the first frame on screen")
        return shot[0]

    def keep(self, path, folder):
        """Copies a screenshot out of the session folder before it is removed."""
        if folder:
            os.makedirs(folder, exist_ok=True)
            shutil.copy(path, folder)

    # -- the tray, as a tray host reads it -------------------------------------------------

    def tray_items(self):
        calls = self.watcher_mock.GetMethodCalls("RegisterStatusNotifierItem")
        return [str(args[0]) for _, args in calls]

    def tray_item_service(self, timeout=30.0):
        return wait_for(lambda: (self.tray_items() or [None])[-1], timeout=timeout,
                        what="the tray icon to register")

    def menu(self, service):
        return dbus.Interface(self.bus.get_object(service, MENU_PATH, introspect=False), MENU_INTERFACE)

    def menu_items(self, service):
        """Opens the menu as a tray does (AboutToShow, then GetLayout): [(id, label, props)]."""
        menu = self.menu(service)
        menu.AboutToShow(dbus.Int32(0))
        _, layout = menu.GetLayout(dbus.Int32(0), dbus.Int32(-1), dbus.Array([], signature="s"))
        items = []
        for child in layout[2]:
            item_id, props = int(child[0]), dict(child[1])
            if props.get("type") == "separator":
                items.append((item_id, "-", props))
            elif props.get("visible", True):
                items.append((item_id, str(props.get("label", "")), props))
        return items

    def click(self, service, label):
        for item_id, item_label, _ in self.menu_items(service):
            if item_label == label:
                self.menu(service).Event(dbus.Int32(item_id), "clicked", dbus.Int32(0, variant_level=1),
                                         dbus.UInt32(0))
                return
        raise AssertionError("no menu item " + label)


def image_stats(path):
    """Mean and standard deviation of the picture's grey levels, 0 to 1."""
    out = subprocess.run([CONVERT, path, "-colorspace", "Gray", "-format",
                          "%[fx:mean] %[fx:standard_deviation]", "info:"],
                         capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]), float(out[1])


def crop_stats(path, x, y, w, h):
    out = subprocess.run([CONVERT, path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                          "-format", "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]", "info:"],
                         capture_output=True, text=True, check=True).stdout.split()
    return tuple(float(v) for v in out)


def rss_mib(pid):
    """The resident memory of a process, in MiB."""
    with open("/proc/%d/status" % pid) as file:
        for line in file:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def usage(pid, seconds):
    """CPU seconds per second and wake-ups per second of a process over the next `seconds`."""
    cpu0, wake0 = cpu_and_wakeups(pid)
    start = time.monotonic()
    time.sleep(seconds)
    cpu1, wake1 = cpu_and_wakeups(pid)
    elapsed = time.monotonic() - start
    return (cpu1 - cpu0) / elapsed, (wake1 - wake0) / elapsed


def two_monitor_session(test):
    """A desktop on Xorg's dummy driver with two monitors side by side: DUMMY0 (1024x768,
    primary) and DUMMY1 (800x600) to its right. Xvfb's monitors are invisible to Qt, and the
    dummy driver needs root: the test is skipped without it."""
    if os.geteuid() != 0:
        test.skipTest("Xorg with the dummy driver needs root")
    session = DesktopSession(server="xorg-dummy")
    test.addCleanup(session.close)
    session.set_monitor("DUMMY0", 1024, 768, 0, 0, primary=True)
    session.set_monitor("DUMMY1", 800, 600, 1024, 0)
    return session


def cpu_and_wakeups(pid):
    """CPU seconds used and context switches (wake-ups) of a process so far."""
    with open("/proc/%d/stat" % pid) as file:
        fields = file.read().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])
    switches = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/status" % (pid, task)) as file:
                for line in file:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return ticks / os.sysconf("SC_CLK_TCK"), switches


def open_client(session, args, timeout=20.0):
    """Starts an X client (xclock, xmessage, ...) and waits until the window manager lists
    its window: (process, window id as "0x..." the way the client list spells it)."""
    before = set(re.findall(r"0x[0-9a-f]+", session.xprop_root("_NET_CLIENT_LIST")))
    process = session._spawn(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = wait_for(lambda: next((w for w in re.findall(r"0x[0-9a-f]+", session.xprop_root("_NET_CLIENT_LIST"))
                                    if w not in before), None),
                      timeout=timeout, what="the window of " + args[0])
    return process, window
