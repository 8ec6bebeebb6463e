#!/usr/bin/env python3
"""Processor share of the real program while it sits idle in its window.

Usage: idle_cpu.py PROGRAM [SECONDS]
Starts the program (under a private Xvfb when DISPLAY is unset), waits for its window and
a moment of settling, then reads its user and system time from /proc/<pid>/stat over
SECONDS (10 by default) and prints the share of one core. Target: under 2 %.
It runs with a data folder and a home of its own: started where a last work lies, the
start notice's animation would be measured instead of the program at rest."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "app"))
from xvfb_run import die_with_parent, on_display, stop  # noqa: E402
from window_test import close_window  # noqa: E402

SETTLE_S = 2.0
TARGET_PERCENT = 2.0


def cpu_ticks(pid):
    """User plus system clock ticks the process has used so far."""
    with open("/proc/%d/stat" % pid) as stat:
        # The command name may hold spaces; fields after its closing parenthesis are fixed.
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime (fields 14 and 15)


def measure(program, seconds, display_name):
    home = tempfile.mkdtemp(prefix="zc-bench-home-")
    env = dict(os.environ, DISPLAY=display_name, HOME=home,
               XDG_DATA_HOME=os.path.join(home, "data"))
    process = subprocess.Popen([program], env=env, preexec_fn=die_with_parent)
    try:
        out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                              "^ZundleApps$"], env=env, check=True, timeout=60,
                             stdout=subprocess.PIPE, universal_newlines=True).stdout
        window = int(out.split()[0])
        time.sleep(SETTLE_S)
        start_ticks, start = cpu_ticks(process.pid), time.monotonic()
        time.sleep(seconds)
        end_ticks, end = cpu_ticks(process.pid), time.monotonic()
        close_window(display_name, window)
        process.wait(timeout=30)
    finally:
        stop(process)
        shutil.rmtree(home, ignore_errors=True)
    ticks_per_s = os.sysconf("SC_CLK_TCK")
    return 100.0 * (end_ticks - start_ticks) / ticks_per_s / (end - start), end - start


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    program = os.path.abspath(argv[1])
    seconds = float(argv[2]) if len(argv) > 2 else 10.0
    share, elapsed = on_display(lambda display_name: measure(program, seconds, display_name))
    verdict = "ok" if share < TARGET_PERCENT else "OVER TARGET"
    print("idle CPU of %s: %.2f %% of one core over %.1f s (target < %.0f %%: %s)"
          % (os.path.basename(program), share, elapsed, TARGET_PERCENT, verdict))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
