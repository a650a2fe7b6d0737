"""Kadrel over hours: the real program on a throw-away desktop (Xvfb, openbox, mocked tray
and logind) at 640x360 and 30 fps with its clock on, while settings change and the screen
locks and unlocks now and then. Every 10 s it samples the resident memory, the CPU use since
the last sample and the open file descriptors, into a CSV file, and ends with a summary.

    /usr/bin/python3 bench/soak.py PROGRAM [--minutes 60] [--out soak.csv]

Memory must be flat after the warm-up: the summary gives the first sample after warm-up, the
last, the peak, and the slope of a least-squares line through the second half."""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "app", "desktop"))
from desktop_session import DesktopSession, rss_mib, wait_for  # noqa: E402

SAMPLE_SECONDS = 10.0
WARMUP_SECONDS = 60.0
TICKS = os.sysconf("SC_CLK_TCK")

# What changes, one step a minute, in turn: settings written as a user or the settings window
# would, and a lock of 20 s.
STEPS = [
    ("set", "clockFont", "Oswald"),
    ("set", "sceneSpeed", "0.75"),
    ("lock", None, None),
    ("set", "clockEnabled", "false"),
    ("set", "sceneVignette", "false"),
    ("set", "clockEnabled", "true"),
    ("lock", None, None),
    ("set", "clockFormat", "HH:mm:ss"),
    ("set", "clockSize", "300"),
    ("set", "sceneSpeed", "2.5"),
    ("set", "clockFont", "Limelight"),
    ("set", "sceneVignette", "true"),
]


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as file:
        fields = file.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def open_fds(pid):
    return len(os.listdir("/proc/%d/fd" % pid))


def slope_per_hour(points):
    """Least-squares slope of (seconds, value) points, per hour."""
    n = len(points)
    if n < 2:
        return 0.0
    mean_t = sum(t for t, _ in points) / n
    mean_v = sum(v for _, v in points) / n
    var = sum((t - mean_t) ** 2 for t, _ in points)
    return 3600.0 * sum((t - mean_t) * (v - mean_v) for t, v in points) / var if var else 0.0


def write_setting(session, settings, key, value):
    settings[key] = value
    with open(session.config_path(), "w") as file:
        file.write("[General]\n" + "".join("%s=%s\n" % kv for kv in settings.items()))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--minutes", type=float, default=60.0)
    parser.add_argument("--out", default="soak.csv")
    args = parser.parse_args()

    session = DesktopSession(640, 360, system_bus=True)
    try:
        _, lock = session.start_logind()
        settings = {"fps": "30", "clockEnabled": "true"}
        config = "[General]\n" + "".join("%s=%s\n" % kv for kv in settings.items())
        process = session.start_kadrel(args.program, config=config)
        session.kadrel_window(timeout=60)
        wait_for(lambda: "Set scene size" in session.output(), timeout=60, what="the first frame")

        pid = process.pid
        start = time.monotonic()
        end = start + 60.0 * args.minutes
        samples = []
        step = 0
        next_step = start + 60.0
        unlock_at = None
        last_cpu, last_time = cpu_seconds(pid), start
        with open(args.out, "w") as out:
            out.write("seconds,rss_mib,cpu_percent,fds,locked\n")
            next_sample = start + SAMPLE_SECONDS
            while time.monotonic() < end:
                now = time.monotonic()
                if process.poll() is not None:
                    raise SystemExit("kadrel ended with status %s:\n%s" % (process.returncode, session.errors()))
                if unlock_at is not None and now >= unlock_at:
                    lock.Unlock()
                    unlock_at = None
                if now >= next_step:
                    kind, key, value = STEPS[step % len(STEPS)]
                    step += 1
                    next_step += 60.0
                    if kind == "lock":
                        lock.Lock()
                        unlock_at = now + 20.0
                    else:
                        write_setting(session, settings, key, value)
                if now >= next_sample:
                    cpu = cpu_seconds(pid)
                    percent = 100.0 * (cpu - last_cpu) / (now - last_time)
                    last_cpu, last_time = cpu, now
                    sample = (now - start, rss_mib(pid), percent, open_fds(pid), unlock_at is not None)
                    samples.append(sample)
                    out.write("%.0f,%.1f,%.1f,%d,%d\n" % sample)
                    out.flush()
                    next_sample += SAMPLE_SECONDS
                time.sleep(0.2)
        process.terminate()
        status = process.wait(timeout=30)
    finally:
        session.close()

    warm = [s for s in samples if s[0] >= WARMUP_SECONDS] or samples
    second_half = [s for s in warm if s[0] >= warm[0][0] + (warm[-1][0] - warm[0][0]) / 2]
    running = [s for s in warm if not s[4]]
    print("soak: %.0f min, %d samples every %.0f s, exit status %d after SIGTERM"
          % (args.minutes, len(samples), SAMPLE_SECONDS, status))
    print("RSS MiB    first %.1f  last %.1f  peak %.1f  slope over the second half %+.2f MiB/h"
          % (warm[0][1], warm[-1][1], max(s[1] for s in warm), slope_per_hour([(s[0], s[1]) for s in second_half])))
    print("open fds   first %d  last %d  peak %d" % (warm[0][3], warm[-1][3], max(s[3] for s in warm)))
    if running:
        print("CPU %%      while drawing: mean %.0f  peak %.0f (llvmpipe rasterises on the CPU)"
              % (sum(s[2] for s in running) / len(running), max(s[2] for s in running)))
    print("samples in", args.out)


if __name__ == "__main__":
    main()
