"""What kadrel costs on a desktop: CPU, memory and wake-ups of the real program under Xvfb,
at two sizes and three frame rates, and while disabled from its tray menu.

    /usr/bin/python3 tests/app/desktop/bench_desktop.py PROGRAM [--seconds N] [--sizes 640x360,1920x1080]

Each run starts a fresh desktop (Xvfb, openbox, private session bus, mocked tray host), lets
the program warm up, then samples /proc over the measuring window."""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from desktop_session import DesktopSession, cpu_and_wakeups, wait_for  # noqa: E402


def rss_mib(pid):
    with open("/proc/%d/status" % pid) as file:
        for line in file:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def measure(pid, seconds):
    cpu0, wake0 = cpu_and_wakeups(pid)
    start = time.monotonic()
    time.sleep(seconds)
    cpu1, wake1 = cpu_and_wakeups(pid)
    elapsed = time.monotonic() - start
    return 100.0 * (cpu1 - cpu0) / elapsed, (wake1 - wake0) / elapsed, rss_mib(pid)


def run(program, width, height, fps, seconds, warmup, disabled=False):
    session = DesktopSession(width, height)
    try:
        process = session.start_kadrel(program, config="[General]\nfps=%d\n" % fps)
        session.kadrel_window(timeout=60)
        wait_for(lambda: "Set scene size" in session.output(), timeout=60, what="the first frame")
        if disabled:
            service = session.tray_item_service()
            session.click(service, "Disable")
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
    args = parser.parse_args()

    print("%-10s %-9s %8s %12s %9s" % ("size", "state", "CPU %", "wake-ups/s", "RSS MiB"))
    for size in args.sizes.split(","):
        width, height = (int(v) for v in size.split("x"))
        for fps in (int(v) for v in args.rates.split(",")):
            cpu, wakeups, rss = run(args.program, width, height, fps, args.seconds, args.warmup)
            print("%-10s %-9s %8.1f %12.1f %9.1f" % (size, "%d fps" % fps, cpu, wakeups, rss), flush=True)
        cpu, wakeups, rss = run(args.program, width, height, 30, args.seconds, args.warmup, disabled=True)
        print("%-10s %-9s %8.1f %12.1f %9.1f" % (size, "disabled", cpu, wakeups, rss), flush=True)
    print("CPU % counts every thread of the process (100 % = one core). With Mesa's llvmpipe the\n"
          "GPU's work (rasterising, shading, the 4x multisample resolve, the blur passes) runs on\n"
          "these CPU threads too; on a GPU that part leaves the CPU nearly idle.")


if __name__ == "__main__":
    main()
