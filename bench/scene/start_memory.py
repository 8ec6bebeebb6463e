#!/usr/bin/env python3
"""Start-up time and proportional memory of the real program, each as a ratio to a bare SDL
window measured in the same run.

Usage: start_memory.py PROGRAM [RUNS] [--bare BARE_WINDOW]
Starts the program and the bare window (bench/scene/bare_window.cpp: a window, one
renderer, one clear and one present) RUNS times each, in turns (10 by default, after one
warm-up start of each), under a private Xvfb when DISPLAY is unset. Each start has a data
folder of its own (XDG_DATA_HOME) in a home of the run's own (HOME), so that no user's last
work or settings change what is measured. Each sets ZC_REPORT_FIRST_FRAME, and writes the
steady-clock time at which its first frame had been presented: the time from just before
the start to then is the start-up time. After a moment of settling its proportional set
size (PSS: each shared page counted in share of the processes that map it) is read from
/proc/<pid>/smaps_rollup, and it is stopped. Reported: the medians, and their ratios to the
bare window's (goals: start within 1.2 times, memory within 1.3 times). Without --bare the
bare window is looked for beside the program's build folder."""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "app"))
from xvfb_run import die_with_parent, on_display, stop  # noqa: E402

START_GOAL = 1.2
MEMORY_GOAL = 1.3
SETTLE_S = 1.0


def start_once(program, env, home):
    """Milliseconds from just before the start to the first presented frame, and the
    proportional set size in kB once it has settled."""
    data = tempfile.mkdtemp(prefix="data-", dir=home)
    env = dict(env, HOME=home, XDG_DATA_HOME=data, ZC_REPORT_FIRST_FRAME="1")
    start = time.monotonic_ns()
    process = subprocess.Popen([program], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, preexec_fn=die_with_parent,
                               universal_newlines=True)
    try:
        line = process.stdout.readline().split()
        if len(line) != 2 or line[0] != "first-frame-ns":
            raise RuntimeError("%s reported no first frame" % os.path.basename(program))
        elapsed = (int(line[1]) - start) / 1e6
        time.sleep(SETTLE_S)
        return elapsed, proportional_kb(process.pid)
    finally:
        stop(process)
        process.stdout.close()
        shutil.rmtree(data, ignore_errors=True)


def proportional_kb(pid):
    with open("/proc/%d/smaps_rollup" % pid) as rollup:
        for line in rollup:
            fields = line.split()
            if fields[0] == "Pss:":
                return int(fields[1])
    raise RuntimeError("no Pss in smaps_rollup")


def measure(programs, runs, display_name):
    """Per program, the lists of start-up times and memory sizes."""
    home = tempfile.mkdtemp(prefix="zc-bench-home-")
    try:
        env = dict(os.environ, DISPLAY=display_name)
        for program in programs:
            start_once(program, env, home)  # warm-up: caches, fonts, the X server
        figures = {program: ([], []) for program in programs}
        # In turns, so that a busy moment of the machine falls on both alike.
        for _ in range(runs):
            for program in programs:
                elapsed, memory = start_once(program, env, home)
                figures[program][0].append(elapsed)
                figures[program][1].append(memory)
        return figures
    finally:
        shutil.rmtree(home, ignore_errors=True)


def bare_window_beside(program):
    build = os.path.dirname(os.path.dirname(os.path.abspath(program)))
    return os.path.join(build, "bench", "scene", "bare_window")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("runs", nargs="?", type=int, default=10)
    parser.add_argument("--bare", help="the bare window program")
    args = parser.parse_args(argv[1:])
    program = os.path.abspath(args.program)
    bare = os.path.abspath(args.bare or bare_window_beside(program))
    if not os.access(bare, os.X_OK):
        print("start_memory: no bare window program at %s" % bare, file=sys.stderr)
        return 2
    figures = on_display(lambda display_name: measure([program, bare], args.runs, display_name))
    start = {p: statistics.median(figures[p][0]) for p in figures}
    memory = {p: statistics.median(figures[p][1]) / 1024.0 for p in figures}
    start_ratio = start[program] / start[bare]
    memory_ratio = memory[program] / memory[bare]
    print("start to first presented frame, median of %d: program %.1f ms, bare window %.1f ms: "
          "%.2f times (goal within %.1f: %s)"
          % (args.runs, start[program], start[bare], start_ratio, START_GOAL,
             "met" if start_ratio <= START_GOAL else "NOT met"))
    print("proportional memory (PSS) after start, median of %d: program %.1f MiB, bare window "
          "%.1f MiB: %.2f times (goal within %.1f: %s)"
          % (args.runs, memory[program], memory[bare], memory_ratio, MEMORY_GOAL,
             "met" if memory_ratio <= MEMORY_GOAL else "NOT met"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
