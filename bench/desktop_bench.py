"""What kadrel costs on a desktop: CPU, memory and wake-ups of the real program under Xvfb,
at two sizes and three frame rates, and while disabled from its tray menu.

    /usr/bin/python3 bench/desktop_bench.py PROGRAM [--seconds N] [--sizes 640x360,1920x1080]

Each run starts a fresh desktop (Xvfb, openbox, private session bus, mocked tray host), lets
the program warm up, then samples /proc over the measuring window."""

import argparse
import os
import sys
import time

# The throw-away desktop of the desktop tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "app", "desktop"))
from desktop_session import DesktopSession, open_client, rss_mib, usage, wait_for  # noqa: E402


def measure(pid, seconds):
    cpu, wakeups = usage(pid, seconds)
    return 100.0 * cpu, wakeups, rss_mib(pid)


def run(program, width, height, fps, seconds, warmup, state="running"):
    """state: running, disabled (from the tray menu), locked (logind's session lock) or
    covered (a full-screen window over the wallpaper)."""
    session = DesktopSession(width, height, system_bus=True)
    try:
        if state == "locked":
            _, lock = session.start_logind()
        process = session.start_kadrel(program, config="[General]\nfps=%d\n" % fps)
        session.kadrel_window(timeout=60)
        wait_for(lambda: "Set scene size" in session.output(), timeout=60, what="the first frame")
        if state == "disabled":
            session.click(session.tray_item_service(), "Disable")
        elif state == "locked":
            lock.Lock()
        elif state == "covered":
            _, window = open_client(session, ["xclock"])
            session.run(["wmctrl", "-i", "-r", window, "-b", "add,fullscreen"], check=True)
        time.sleep(warmup)
        result = measure(process.pid, seconds)
        process.terminate()
        process.wait(timeout=30)
        return result
    finally:
        session.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--warmup", type=float, default=4.0)
    parser.add_argument("--sizes", default="640x360,1920x1080")
    parser.add_argument("--rates", default="20,30,60")
    parser.add_argument("--idle-seconds", type=float, default=30.0,
                        help="how long each idle state (disabled, locked, covered) is measured")
    args = parser.parse_args()

    print("%-10s %-9s %8s %12s %9s" % ("size", "state", "CPU %", "wake-ups/s", "RSS MiB"))
    for size in args.sizes.split(","):
        width, height = (int(v) for v in size.split("x"))
        for fps in (int(v) for v in args.rates.split(",")):
            cpu, wakeups, rss = run(args.program, width, height, fps, args.seconds, args.warmup)
            print("%-10s %-9s %8.1f %12.1f %9.1f" % (size, "%d fps" % fps, cpu, wakeups, rss), flush=True)
        for state in ("disabled", "locked", "covered"):
            cpu, wakeups, rss = run(args.program, width, height, 30, args.idle_seconds, args.warmup, state)
            print("%-10s %-9s %8.1f %12.1f %9.1f" % (size, state, cpu, wakeups, rss), flush=True)
    print("CPU % counts every thread of the process (100 % = one core). With Mesa's llvmpipe the\n"
          "GPU's work (rasterising, shading, the 4x multisample resolve, the blur passes) runs on\n"
          "these CPU threads too; on a GPU that part leaves the CPU nearly idle.")


if __name__ == "__main__":
    main()
