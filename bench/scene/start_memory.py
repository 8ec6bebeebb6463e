#!/usr/bin/env python3
"""Start-up time and resident memory of the real program showing the whole workspace.

Usage: start_memory.py PROGRAM [RUNS]
Starts the program RUNS times (10 by default, after one warm-up run) under a private Xvfb
when DISPLAY is unset. Each run sets ZC_REPORT_FIRST_FRAME, so the program writes the
steady-clock time at which its first frame had been presented; the time from just before
the start to then is the start-up time (goal: under 300 ms). One more run stays open for
a moment, and its resident memory is read from /proc/<pid>/smaps, split into the pages of
shared libraries and the program's own (executable, heap, anonymous and other mappings),
and into pages shared with other processes and private ones."""

import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "app"))
from xvfb_run import die_with_parent, on_display, stop  # noqa: E402

GOAL_MS = 300.0
SETTLE_S = 1.0
WAIT_S = 30
SHARED_LIBRARY = re.compile(r"\.so(\.[0-9.]+)?$")


def first_frame_ms(program, env, mode):
    """Milliseconds from just before the start to the first presented frame, and the
    still running process when mode is not "exit"."""
    env = dict(env, ZC_REPORT_FIRST_FRAME=mode)
    start = time.monotonic_ns()
    process = subprocess.Popen([program], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, preexec_fn=die_with_parent,
                               universal_newlines=True)
    line = process.stdout.readline().split()
    if len(line) != 2 or line[0] != "first-frame-ns":
        stop(process)
        raise RuntimeError("the program reported no first frame")
    elapsed = (int(line[1]) - start) / 1e6
    if mode == "exit":
        process.wait(timeout=WAIT_S)
        process.stdout.close()
        return elapsed, None
    return elapsed, process


def resident_memory(pid):
    """Resident kB per kind of mapping, and in pages shared or private."""
    totals = {"libraries": 0, "own": 0, "shared": 0, "private": 0}
    kind = "own"
    with open("/proc/%d/smaps" % pid) as smaps:
        for line in smaps:
            fields = line.split()
            if re.match(r"^[0-9a-f]+-[0-9a-f]+$", fields[0]):
                path = fields[5] if len(fields) > 5 else ""
                kind = "libraries" if SHARED_LIBRARY.search(path) else "own"
            elif fields[0] == "Rss:":
                totals[kind] += int(fields[1])
            elif fields[0] in ("Shared_Clean:", "Shared_Dirty:"):
                totals["shared"] += int(fields[1])
            elif fields[0] in ("Private_Clean:", "Private_Dirty:"):
                totals["private"] += int(fields[1])
    return totals


def measure(program, runs, display_name):
    env = dict(os.environ, DISPLAY=display_name)
    first_frame_ms(program, env, "exit")  # warm-up: caches, fonts, the X server
    times = [first_frame_ms(program, env, "exit")[0] for _ in range(runs)]
    _, process = first_frame_ms(program, env, "1")
    try:
        time.sleep(SETTLE_S)
        memory = resident_memory(process.pid)
    finally:
        stop(process)
        process.stdout.close()
    return times, memory


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    program = os.path.abspath(argv[1])
    runs = int(argv[2]) if len(argv) > 2 else 10
    times, memory = on_display(lambda display_name: measure(program, runs, display_name))
    median = statistics.median(times)
    print("start to first presented frame over %d runs: median %.1f ms, min %.1f ms, "
          "max %.1f ms (goal under %.0f ms: %s)"
          % (runs, median, min(times), max(times), GOAL_MS,
             "met" if median < GOAL_MS else "NOT met"))
    total = memory["libraries"] + memory["own"]
    print("resident memory after start: %.1f MiB = shared libraries %.1f MiB + program's own "
          "%.1f MiB; in pages shared with other processes %.1f MiB, private %.1f MiB"
          % (total / 1024.0, memory["libraries"] / 1024.0, memory["own"] / 1024.0,
             memory["shared"] / 1024.0, memory["private"] / 1024.0))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
